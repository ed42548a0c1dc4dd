#include "platform/audio/AlsaOutput.h"

#include <alsa/asoundlib.h>

#include <QThread>
#include <cerrno>
#include <cstdarg>
#include <utility>

namespace norak {

namespace {

// The library prints every failed open to stderr; with no card that is one line every few
// seconds for as long as the program runs. Failures are handled where they happen.
void quietAlsa(const char*, int, const char*, int, const char*, ...) {}

void silenceAlsaErrors() {
    static const bool silenced = [] {
        snd_lib_error_set_handler(quietAlsa);
        return true;
    }();
    (void)silenced;
}

}  // namespace

AlsaOutput::~AlsaOutput() {
    close();
}

bool AlsaOutput::open(const QByteArray& device, unsigned rate, int bufferMs) {
    close();
    silenceAlsaErrors();
    snd_pcm_t* pcm = nullptr;
    // Non-blocking open: a device another program holds fails at once instead of waiting.
    if (snd_pcm_open(&pcm, device.constData(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0)
        return false;
    if (snd_pcm_nonblock(pcm, 0) < 0 ||
        snd_pcm_set_params(pcm, SND_PCM_FORMAT_U8, SND_PCM_ACCESS_RW_INTERLEAVED, 1, rate, 1,
                           unsigned(bufferMs) * 1000) < 0) {
        snd_pcm_close(pcm);
        return false;
    }
    m_pcm = pcm;
    m_rate = rate;
    m_written = 0;
    m_since.start();
    return true;
}

bool AlsaOutput::write(const char* frames, qint64 count) {
    if (!m_pcm)
        return false;
    qint64 done = 0;
    while (done < count) {
        snd_pcm_sframes_t n = snd_pcm_writei(m_pcm, frames + done, snd_pcm_uframes_t(count - done));
        if (n == -EAGAIN || n == -EINTR)
            continue;
        if (n < 0) {
            // An underrun (-EPIPE) or a suspend (-ESTRPIPE) starts again; anything else, and a
            // device that has gone (-ENODEV), ends the stream.
            if (snd_pcm_recover(m_pcm, int(n), 1) < 0) {
                close();
                return false;
            }
            continue;
        }
        done += n;
    }
    m_written += count;
    const qint64 aheadMs = m_written * 1000 / m_rate - m_since.elapsed();
    if (aheadMs > kMaxAheadMs)
        QThread::msleep(static_cast<unsigned long>(aheadMs - kMaxAheadMs));
    return true;
}

void AlsaOutput::close() {
    if (snd_pcm_t* pcm = std::exchange(m_pcm, nullptr)) {
        snd_pcm_drop(pcm);
        snd_pcm_close(pcm);
    }
}

}  // namespace norak
