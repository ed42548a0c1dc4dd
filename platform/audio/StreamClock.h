#pragma once

#include <QtGlobal>
#include <array>

namespace norak {

// Relates the monotonic clock to the frames of a continuous output stream.
//
// The output pulls frames in small blocks whenever its buffer has room, so a frame is read at
// its playing moment minus the buffer's delay. Scheduling only ever makes a read later, so the
// earliest reads of each window of time give the stream's true position; the offset between
// clock and frames is taken from them and then held, so that sounds placed through it keep their
// exact spacing. Evidence is the third-highest of the windows' earliest reads over the last
// kWindows windows, which ignores a stray early read and windows without a well-timed pull.
// Pulls come in whole blocks, so even the best reads wander by up to a block (20 ms) as the
// device's clock and the pull timer slide past each other (measured on a PulseAudio null sink:
// the evidence climbed steadily by about 1 frame a second while the sound itself kept exact
// time). Such wander must not move the offset, or the sounds placed through it lose their
// spacing; so the offset follows the evidence only beyond a dead band wider than a block:
// slowly (a few frames a window) for a sound device's clock drifting from the computer's, at
// once for a long stall of the stream. After a (re)start it follows the evidence directly only
// until kRank windows exist.
class StreamClock {
  public:
    static constexpr qint64 kWindowUs = 1000000;
    static constexpr int kWindows = 16;
    static constexpr int kRank = 3;               // the rank-th highest window is the evidence
    static constexpr int kWarmUpWindows = kRank;  // followed directly after a (re)start
    static constexpr qint64 kDeadbandUs = 25000;  // one pull and a margin
    static constexpr qint64 kJumpUs = 40000;
    static constexpr qint64 kSlewFrames = 3;  // per window: 136 ppm at 22050 Hz

    explicit StreamClock(int sampleRate);

    // Forgets everything: a new stream starts.
    void reset();
    // The output took frames starting at firstFrame at the moment nowUs (microseconds).
    void noteRead(qint64 nowUs, qint64 firstFrame);
    bool isValid() const { return m_valid; }
    // The stream frame read at the moment timeUs. While the offset holds, two moments dt apart
    // map to frames dt * sampleRate apart, to the nearest frame.
    qint64 frameAt(qint64 timeUs) const;
    qint64 offsetFrames() const { return m_offset; }
    // How often the offset moved after the warm-up (for diagnostics).
    int adjustments() const { return m_adjustments; }

  private:
    qint64 framesFor(qint64 us) const;
    qint64 evidence() const;
    void closeWindow();

    int m_rate;
    bool m_valid = false;
    bool m_filling = false;  // the first window: the sink fills its buffer at once
    qint64 m_offset = 0;
    qint64 m_windowStartUs = 0;
    qint64 m_windowMax = 0;
    std::array<qint64, kWindows> m_maxima{};
    int m_windowCount = 0;  // windows seen since the start, counting beyond kWindows
    int m_adjustments = 0;
};

}  // namespace norak
