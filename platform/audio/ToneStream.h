#pragma once

#include <QElapsedTimer>
#include <QIODevice>
#include <QMutex>
#include <atomic>
#include <vector>

#include "platform/audio/StreamClock.h"
#include "platform/audio/ToneMixer.h"

namespace norak {

// The endless output stream pulled by the audio sink: silence with the signal and alert sounds
// and the spoken words mixed in. Requests come from any thread stamped with the moment they were made, and
// each sound is placed at the stream frame of (that moment + kLatencyMs), so the spacing of the requests is
// kept exactly in the sound. Everything but post() and lastReadUs() runs on the audio thread.
class ToneStream : public QIODevice {
    Q_OBJECT

  public:
    enum class Kind { Signal, Alert, Clip, CancelClips };
    static constexpr qint64 kLatencyMs = 100;
    // A request that can no longer be placed on time is still played when at most this late,
    // and dropped otherwise (the output was stalled).
    static constexpr qint64 kMaxLateMs = 250;

    // `clock` is copied: every copy of a started QElapsedTimer measures from the same moment.
    ToneStream(const QElapsedTimer& clock, ToneMixer mixer, QObject* parent = nullptr);

    // A clip is held until its moment comes within this of the present, then placed like a
    // signal requested at that moment: the placement clock may move in the meantime.
    static constexpr qint64 kClipLeadMs = 500;
    // Clips held for later at most (a few recoveries' worth); further ones are not played.
    static constexpr size_t kMaxWaitingClips = 256;

    // Any thread.
    void post(Kind kind, qint64 requestUs);
    // The mixer's clip `clip` starts where a signal requested at startUs would (any thread).
    void postClip(int clip, qint64 startUs);
    // Calls off every clip posted before this call (any thread): those still to come are never
    // heard, one already sounding stops where a signal requested at requestUs would begin.
    // Clips posted afterwards play as usual. Never lost to a full queue.
    void cancelClips(qint64 requestUs);
    qint64 nowUs() const { return m_clock.nsecsElapsed() / 1000; }
    // Moment of the last pull by the sink, or -1 when it never pulled since the last restart.
    qint64 lastReadUs() const { return m_lastReadUs.load(); }
    // Times the placement clock moved after settling since the last restart (any thread).
    int clockAdjustments() const { return m_clockAdjustments.load(); }

    // A new sink starts pulling: frames count from zero again, nothing is scheduled.
    void restart();

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

  protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

  private:
    struct Request {
        Kind kind;
        qint64 us;
        int clip = -1;
    };
    void place(const Request& request);

    QElapsedTimer m_clock;
    ToneMixer m_mixer;
    StreamClock m_streamClock{ToneMixer::kSampleRate};
    qint64 m_nextFrame = 0;
    std::atomic<qint64> m_lastReadUs{-1};
    std::atomic<int> m_clockAdjustments{0};

    QMutex m_lock;  // guards m_pending only
    std::vector<Request> m_pending;
    std::vector<Request> m_taken;
    std::vector<Request> m_waiting;  // clips not due yet (audio thread)
};

}  // namespace norak
