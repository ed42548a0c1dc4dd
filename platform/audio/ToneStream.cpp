#include "platform/audio/ToneStream.h"

#include <QMutexLocker>
#include <algorithm>

namespace norak {

namespace {
// Requests wait here only while the output is not pulling; a stalled output must not make the
// queue grow without end.
constexpr size_t kMaxPending = 64;

qint64 framesForMs(qint64 ms) {
    return ms * ToneMixer::kSampleRate / 1000;
}
}  // namespace

ToneStream::ToneStream(const QElapsedTimer& clock, ToneMixer mixer, QObject* parent)
    : QIODevice(parent), m_clock(clock), m_mixer(std::move(mixer)) {}

void ToneStream::post(Kind kind, qint64 requestUs) {
    QMutexLocker locker(&m_lock);
    if (m_pending.size() < kMaxPending)
        m_pending.push_back({kind, requestUs});
}

void ToneStream::postClip(int clip, qint64 startUs) {
    QMutexLocker locker(&m_lock);
    if (m_pending.size() < kMaxPending)
        m_pending.push_back({Kind::Clip, startUs, clip});
}

void ToneStream::cancelClips(qint64 requestUs) {
    QMutexLocker locker(&m_lock);
    // The clips it calls off and an earlier cancel need not wait: the cancel always finds room.
    std::erase_if(m_pending,
                  [](const Request& r) { return r.kind == Kind::Clip || r.kind == Kind::CancelClips; });
    m_pending.push_back({Kind::CancelClips, requestUs});
}

void ToneStream::restart() {
    m_mixer.clear();
    m_streamClock.reset();
    m_nextFrame = 0;
    m_lastReadUs.store(-1);
    m_clockAdjustments.store(0);
    QMutexLocker locker(&m_lock);
    // Clips held for later keep their moments: a stream opened again in time still says them,
    // unless they were called off meanwhile.
    if (std::any_of(m_pending.begin(), m_pending.end(),
                    [](const Request& r) { return r.kind == Kind::CancelClips; }))
        m_waiting.clear();
    m_pending.clear();
}

qint64 ToneStream::bytesAvailable() const {
    // Endless: there is always a buffer's worth to read.
    return QIODevice::bytesAvailable() + 1024 * 1024;
}

void ToneStream::place(const Request& request) {
    qint64 frame = m_streamClock.frameAt(request.us) + framesForMs(kLatencyMs);
    if (request.kind == Kind::CancelClips) {
        // However late the cancel comes, no word is heard after it.
        m_waiting.clear();
        m_mixer.cancelClips(std::max(frame, m_nextFrame));
        return;
    }
    if (frame < m_nextFrame) {
        if (m_nextFrame - frame > framesForMs(kMaxLateMs))
            return;
        frame = m_nextFrame;
    }
    if (request.kind == Kind::Signal)
        m_mixer.startSignal(frame);
    else if (request.kind == Kind::Alert)
        m_mixer.startAlert(frame);
    else
        m_mixer.startClip(request.clip, frame);
}

qint64 ToneStream::readData(char* data, qint64 maxSize) {
    if (maxSize <= 0)
        return 0;
    const qint64 now = nowUs();
    m_streamClock.noteRead(now, m_nextFrame);
    m_clockAdjustments.store(m_streamClock.adjustments());
    m_lastReadUs.store(now);
    {
        QMutexLocker locker(&m_lock);
        m_taken.swap(m_pending);
    }
    for (const Request& request : m_taken) {
        if (request.kind == Kind::Clip && request.us - now > kClipLeadMs * 1000) {
            if (m_waiting.size() < kMaxWaitingClips)
                m_waiting.push_back(request);
        } else {
            place(request);
        }
    }
    m_taken.clear();
    std::erase_if(m_waiting, [this, now](const Request& request) {
        if (request.us - now > kClipLeadMs * 1000)
            return false;
        place(request);
        return true;
    });

    m_mixer.fill(m_nextFrame, data, maxSize);
    m_nextFrame += maxSize;
    return maxSize;
}

qint64 ToneStream::writeData(const char*, qint64) {
    return -1;
}

}  // namespace norak
