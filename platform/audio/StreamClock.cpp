#include "platform/audio/StreamClock.h"

#include <algorithm>
#include <functional>

namespace norak {

StreamClock::StreamClock(int sampleRate) : m_rate(sampleRate) {}

void StreamClock::reset() {
    m_valid = false;
    m_filling = false;
    m_offset = 0;
    m_windowCount = 0;
    m_adjustments = 0;
}

qint64 StreamClock::framesFor(qint64 us) const {
    // Rounded to the nearest frame; exact in 64 bits for many years of microseconds.
    const qint64 scaled = us * m_rate;
    return scaled >= 0 ? (scaled + 500000) / 1000000 : -((-scaled + 500000) / 1000000);
}

qint64 StreamClock::evidence() const {
    const int stored = std::min(m_windowCount, kWindows);
    std::array<qint64, kWindows> sorted = m_maxima;
    std::sort(sorted.begin(), sorted.begin() + stored, std::greater<>());
    return sorted[size_t(std::min(kRank, stored) - 1)];
}

void StreamClock::noteRead(qint64 nowUs, qint64 firstFrame) {
    const qint64 sample = firstFrame - framesFor(nowUs);
    if (!m_valid) {
        m_valid = true;
        m_filling = true;
        m_offset = sample;
        m_windowStartUs = nowUs;
        m_windowMax = sample;
        return;
    }
    if (nowUs - m_windowStartUs >= kWindowUs) {
        const bool wasFilling = m_filling;
        closeWindow();
        m_windowStartUs = nowUs;
        m_windowMax = sample;
        if (wasFilling)
            m_offset = sample;
    } else {
        m_windowMax = std::max(m_windowMax, sample);
    }
    // Until there is evidence, the earliest read so far is the best guess.
    if (m_filling || m_windowCount == 0)
        m_offset = std::max(m_offset, sample);
}

void StreamClock::closeWindow() {
    if (m_filling) {
        // The reads that filled the buffer came before playing began: not evidence.
        m_filling = false;
        return;
    }
    m_maxima[size_t(m_windowCount % kWindows)] = m_windowMax;
    ++m_windowCount;
    const qint64 best = evidence();
    if (m_windowCount <= kWarmUpWindows) {
        m_offset = best;
        return;
    }
    const qint64 diff = best - m_offset;
    const qint64 magnitude = diff < 0 ? -diff : diff;
    if (magnitude <= framesFor(kDeadbandUs))
        return;
    ++m_adjustments;
    if (magnitude > framesFor(kJumpUs))
        m_offset = best;
    else
        m_offset += diff > 0 ? std::min(diff, kSlewFrames) : std::max(diff, -kSlewFrames);
}

qint64 StreamClock::frameAt(qint64 timeUs) const {
    return framesFor(timeUs) + m_offset;
}

}  // namespace norak
