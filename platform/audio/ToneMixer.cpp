#include "platform/audio/ToneMixer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace norak {

void ToneMixer::setSignalSound(const QByteArray& samples) {
    m_voices.clear();
    m_signal = samples;
}

void ToneMixer::setAlertSound(const QByteArray& samples) {
    m_voices.clear();
    m_alert = samples;
}

void ToneMixer::setAlertHoldFrames(qint64 frames) {
    m_alertHold = frames;
}

qint64 ToneMixer::alertHoldFrames() const {
    return std::max<qint64>(m_alertHold, m_alert.size());
}

QByteArray ToneMixer::makeAlertTone(int sampleRate) {
    constexpr double kFrequency = 880.0;
    constexpr double kLengthSeconds = 0.150;
    constexpr double kRiseSeconds = 0.008;
    constexpr double kFallSeconds = 0.060;
    constexpr double kAmplitude = 90.0;  // of 127: clearly audible, leaves headroom for the signal
    const int frames = int(std::lround(kLengthSeconds * sampleRate));
    const double rise = kRiseSeconds * sampleRate;
    const double fall = kFallSeconds * sampleRate;
    QByteArray tone(frames, kSilence);
    for (int i = 0; i < frames; ++i) {
        // Raised-cosine rise and fall: no click at either end.
        double envelope = 1.0;
        if (i < rise)
            envelope = 0.5 - 0.5 * std::cos(std::numbers::pi * i / rise);
        const double left = frames - 1 - i;
        if (left < fall)
            envelope *= 0.5 - 0.5 * std::cos(std::numbers::pi * left / fall);
        const double phase = 2.0 * std::numbers::pi * kFrequency * i / sampleRate;
        // A little of the octave above makes the tone rounder than a bare sine.
        const double wave = 0.85 * std::sin(phase) + 0.15 * std::sin(2.0 * phase);
        tone[i] = char(128 + int(std::lround(kAmplitude * envelope * wave)));
    }
    return tone;
}

void ToneMixer::startSignal(qint64 frame) {
    if (!m_signal.isEmpty())
        m_voices.push_back({&m_signal, frame, frame + m_signal.size()});
}

int ToneMixer::addClip(const QByteArray& samples) {
    m_clips.push_back(samples);
    return int(m_clips.size()) - 1;
}

bool ToneMixer::startClip(int index, qint64 frame) {
    if (index < 0 || index >= clipCount() || m_clips[size_t(index)].isEmpty())
        return false;
    const QByteArray* clip = &m_clips[size_t(index)];
    m_voices.push_back({clip, frame, frame + clip->size(), true});
    return true;
}

void ToneMixer::cancelClips(qint64 frame) {
    std::erase_if(m_voices, [frame](const Voice& v) { return v.givesWay && v.start >= frame; });
    for (Voice& v : m_voices) {
        if (v.givesWay)
            v.end = std::min(v.end, frame);
    }
}

void ToneMixer::cutClips() {
    for (Voice& clip : m_voices) {
        if (!clip.givesWay)
            continue;
        for (const Voice& sound : m_voices) {
            if (!sound.givesWay && sound.start < clip.end && sound.end > clip.start)
                clip.end = std::min(clip.end, std::max(sound.start, clip.start));
        }
    }
}

bool ToneMixer::startAlert(qint64 frame) {
    if (m_alert.isEmpty())
        return false;
    if (m_haveAlert && frame < m_lastAlertStart + alertHoldFrames())
        return false;
    m_haveAlert = true;
    m_lastAlertStart = frame;
    m_voices.push_back({&m_alert, frame, frame + m_alert.size()});
    return true;
}

void ToneMixer::fill(qint64 firstFrame, char* out, qint64 count) {
    const qint64 endFrame = firstFrame + count;
    // Cut before the frames are written: a signal is placed ahead of the frames being read.
    cutClips();
    std::erase_if(m_voices, [firstFrame](const Voice& v) { return v.end <= firstFrame; });

    // Sum in a signed accumulator so that overlapping sounds add before clipping.
    static thread_local std::vector<int> sum;
    sum.assign(size_t(count), 0);
    for (const Voice& v : m_voices) {
        const qint64 from = std::max(firstFrame, v.start);
        const qint64 to = std::min(endFrame, v.end);
        const uchar* samples = reinterpret_cast<const uchar*>(v.sound->constData());
        const bool cut = v.end < v.start + v.sound->size();
        for (qint64 f = from; f < to; ++f) {
            int value = int(samples[f - v.start]) - 128;
            if (cut && v.end - f < kClipFadeFrames)
                value = int(std::lround(double(value) * double(v.end - f) / double(kClipFadeFrames)));
            sum[size_t(f - firstFrame)] += value;
        }
    }
    for (qint64 i = 0; i < count; ++i)
        out[i] = char(std::clamp(sum[size_t(i)], -128, 127) + 128);
}

void ToneMixer::clear() {
    m_voices.clear();
    m_haveAlert = false;
}

}  // namespace norak
