#include <gtest/gtest.h>

#include <random>

#include "platform/audio/StreamClock.h"

using namespace norak;

namespace {

constexpr int kRate = 22050;
constexpr qint64 kChunk = 441;  // 20 ms

// A simulated sink: it plays kRate frames a second (times `speed`) after a buffer of
// `bufferFrames`, and every 20 ms tick (late by up to `lateUs`) pulls whole chunks while the
// buffer has room for one.
struct SimulatedSink {
    StreamClock clock{kRate};
    qint64 bufferFrames = 2205;
    double speed = 1.0;
    qint64 lateUs = 8000;
    qint64 playDelayUs = 0;  // playing starts this much after the first pull
    std::mt19937 random{7};
    qint64 read = 0;
    qint64 nowUs = 0;

    double playedAt(qint64 us) const {
        return us < playDelayUs ? 0.0 : double(us - playDelayUs) * kRate * speed / 1e6;
    }
    void runFor(qint64 us) {
        const qint64 end = nowUs + us;
        std::uniform_int_distribution<qint64> late(0, lateUs);
        for (qint64 tick = nowUs; tick < end; tick += 20000) {
            const qint64 at = tick + late(random);
            while (read + kChunk <= qint64(playedAt(at)) + bufferFrames) {
                clock.noteRead(at, read);
                read += kChunk;
            }
        }
        nowUs = end;
    }
};

}  // namespace

TEST(StreamClock, HoldsASteadyOffsetThroughNoisyPulls) {
    SimulatedSink sink;
    sink.runFor(12000000);
    ASSERT_TRUE(sink.clock.isValid());
    const qint64 settled = sink.clock.offsetFrames();
    sink.runFor(60000000);
    EXPECT_EQ(sink.clock.offsetFrames(), settled);
    EXPECT_EQ(sink.clock.adjustments(), 0);
    // Moments map to frames with exact spacing.
    EXPECT_EQ(sink.clock.frameAt(30000000) - sink.clock.frameAt(29400000), 600 * kRate / 1000);
    EXPECT_EQ(sink.clock.frameAt(30000000) - sink.clock.frameAt(29512700),
              qint64(487.3 * kRate / 1000 + 0.5));
}

// A moment maps to the nearest frame, neither truncated nor rounded up (45.35 us a frame).
TEST(StreamClock, MapsAMomentToTheNearestFrame) {
    StreamClock clock(kRate);
    clock.noteRead(0, 5000);
    ASSERT_TRUE(clock.isValid());
    const auto framesAfter = [&](qint64 us) { return clock.frameAt(us) - clock.frameAt(0); };
    EXPECT_EQ(framesAfter(1040), 23);  // 22.93 frames
    EXPECT_EQ(framesAfter(40), 1);     // 0.88
    EXPECT_EQ(framesAfter(20), 0);     // 0.44
    EXPECT_EQ(framesAfter(-40), -1);
    EXPECT_EQ(framesAfter(-20), 0);
}

TEST(StreamClock, FrameAtIsNearTheFrameBeingPulled) {
    SimulatedSink sink;
    sink.runFor(20000000);
    // The earliest pulls take the frame that is one chunk short of a full buffer.
    const qint64 expected = qint64(sink.playedAt(sink.nowUs)) + sink.bufferFrames - kChunk;
    EXPECT_NEAR(double(sink.clock.frameAt(sink.nowUs)), double(expected), double(kChunk) / 4);
}

TEST(StreamClock, IgnoresTheFillingOfTheBufferAndAStrayEarlyPull) {
    SimulatedSink sink;
    sink.playDelayUs = 160000;  // the first pulls fill the buffer long before playing starts
    sink.runFor(12000000);
    const qint64 settled = sink.clock.offsetFrames();
    EXPECT_NEAR(double(settled), double(sink.bufferFrames - kChunk - 160000LL * kRate / 1000000), 60.0);

    sink.clock.noteRead(sink.nowUs, sink.read + 5000);  // one pull far ahead of the others
    sink.runFor(30000000);
    EXPECT_EQ(sink.clock.offsetFrames(), settled);
}

TEST(StreamClock, JumpsAfterAStallAndFollowsAClockDriftSlowly) {
    SimulatedSink sink;
    sink.runFor(12000000);
    const qint64 before = sink.clock.offsetFrames();

    // The stream stalls for 80 ms: from then on every frame plays 80 ms later.
    sink.playDelayUs += 80000;
    sink.runFor(StreamClock::kWindows * StreamClock::kWindowUs + 3000000);
    EXPECT_NEAR(double(before - sink.clock.offsetFrames()), 80.0 * kRate / 1000, 60.0);

    // A sound device 100 ppm slower than the computer: the offset follows in small steps and
    // stays within one pull (plus the dead band) of the ideal.
    SimulatedSink drifting;
    drifting.speed = 1.0 - 100e-6;
    drifting.runFor(12000000);
    qint64 previous = drifting.clock.offsetFrames();
    for (int i = 0; i < 300; ++i) {
        drifting.runFor(1000000);
        const qint64 offset = drifting.clock.offsetFrames();
        EXPECT_LE(std::abs(offset - previous), StreamClock::kSlewFrames);
        previous = offset;
        const double ideal = drifting.playedAt(drifting.nowUs) + double(drifting.bufferFrames - kChunk) -
                             double(drifting.nowUs) * kRate / 1e6;
        EXPECT_LT(std::abs(double(offset) - ideal),
                  double(kChunk + StreamClock::kDeadbandUs * kRate / 1000000 + 60))
            << i;
    }
    EXPECT_GT(drifting.clock.adjustments(), 0);
}

TEST(StreamClock, BetterPullsWithinABlockLeaveTheOffsetAlone) {
    // The first seconds after a start have only badly timed pulls (every one 10 to 12 ms late);
    // better ones come later. Once the evidence is ranked, the offset must hold: a sound placed
    // before and one placed after the better pulls keep their spacing.
    SimulatedSink sink;
    sink.lateUs = 1000;
    std::uniform_int_distribution<qint64> late(10000, 12000);
    const qint64 badEnd = (StreamClock::kRank + 1) * StreamClock::kWindowUs + 20000;
    for (qint64 tick = 0; tick < badEnd; tick += 20000) {
        const qint64 at = tick + late(sink.random);
        while (sink.read + kChunk <= qint64(sink.playedAt(at)) + sink.bufferFrames) {
            sink.clock.noteRead(at, sink.read);
            sink.read += kChunk;
        }
    }
    sink.nowUs = badEnd;
    const qint64 held = sink.clock.offsetFrames();
    sink.runFor(40 * StreamClock::kWindowUs);
    EXPECT_EQ(sink.clock.offsetFrames(), held);
    EXPECT_EQ(sink.clock.adjustments(), 0);
}

TEST(StreamClock, ResetStartsOver) {
    SimulatedSink sink;
    sink.runFor(5000000);
    sink.clock.reset();
    EXPECT_FALSE(sink.clock.isValid());
    sink.clock.noteRead(100, 0);
    EXPECT_TRUE(sink.clock.isValid());
    EXPECT_EQ(sink.clock.frameAt(100), 0);
}
