#pragma once

#include <QDateTime>
#include <QSet>
#include <QStringList>
#include <optional>

#include "engine/Configuration.h"
#include "engine/DisplayState.h"
#include "engine/Edition.h"
#include "engine/SessionHooks.h"
#include "engine/TimingRecord.h"

namespace norak {

class TickSource;
class LocalClock;
class Sound;
class Messages;

// The test window's configuration and run engine: the edition record, the active period table,
// the configuration of the next test, the pacing of a running test and every value it shows.
// Its verbs say what the operator or a timer does (start, stop, a pacing tick); afterwards
// `display()` holds every value the window shows. Time comes only from the injected tick source
// and clock.
class TestSession {
  public:
    enum class Timer { Effort, Recovery, Clock };  // the window's Timer1, Timer2, Timer3

    TestSession(int edition, TickSource& ticks, LocalClock& clock, Sound& sound, Messages& messages,
                SessionHooks& hooks);

    const EditionRecord& edition() const { return m_edition; }
    const DisplayState& display() const { return m_display; }

    // The active period table, as the parameters panel edits it; editable while a test runs.
    const QStringList& activeTable() const { return m_activeTable; }
    void setActiveTable(const QStringList& lines) { m_activeTable = lines; }
    int periodCount() const { return m_periodCount; }

    // Configuration of the next test. Choosing another mode prepares a new test.
    void chooseMode(TestMode mode);
    // The period a "Test de esfuerzo" or "Repetir periodo" starts at (display().chosenPeriod);
    // clamped to the table, and the category follows it.
    void setStartPeriod(int value);
    void setSex(int sex);
    // The category's start period for the sex chosen; an unknown category changes nothing.
    void setCategory(int category);
    void setWarmUp(bool checked);
    // The pointer over a mode button (nullopt: over the free area of the panel) darkens its text.
    void pointAtMode(std::optional<TestMode> overButton);
    int startPeriod() const;  // 1 in "Test completo", else the period chosen

    // Run. `activate` is the first showing of the window (the sound output is looked for once);
    // the three ticks are the pacing looks of the effort, the recovery and the clock.
    void activate();
    void start();
    void stop();
    void prepareNewTest();
    void effortTick();
    void recoveryTick();
    void clockTick();

    bool isTimerOn(Timer timer) const;
    bool isRunning() const { return m_display.stopEnabled; }
    bool isActivated() const { return m_activated; }
    // Tick at which the running effort or recovery timer will next have something to do (the next
    // signal; in a recovery its alert second, then its end), so that a precise wake-up can be
    // armed for it; nullopt when neither runs or no run time is known.
    std::optional<qint64> nextDueTick() const;

    // The protocol's run state, as the pacing keeps it (read by the run, its features and tests).
    unsigned CurrentPeriod() const { return m_currentPeriod; }
    int BeepCount() const { return m_beepCount; }
    int WarmUpPhase() const { return m_warmUpPhase; }
    int SoundCardPresent() const { return m_soundCardPresent; }
    double DistanceCovered() const { return m_distanceCovered; }
    const QString& StartSpeedText() const { return m_startSpeedText; }
    const QDateTime& ClockStart() const { return m_clockStart; }
    // Every signal and recovery of the last test started, with its due and given ticks.
    const TimingRecord& timingRecord() const { return m_timing; }

  private:
    void ShowPeriodSpeed();
    void PlaySignalSound();
    void GiveSignal();
    void UpdateCourse();
    void endEffortPeriod();
    void endRecovery();
    void highlightStation();
    void setEffortGauge();
    void setRecoveryGauge(int maximum);
    void setModeTextColors(std::optional<TestMode> dark);
    std::optional<int> runTimeOf(unsigned period, bool report);
    int completedPeriods() const;
    int restLength() const;
    enum class TimingEvent { Start, Leg, RecoveryStart, RecoveryEnd };
    void recordTiming(TimingEvent event);

    EditionRecord m_edition;
    TickSource& m_ticks;
    LocalClock& m_clock;
    Sound& m_sound;
    Messages& m_messages;
    SessionHooks& m_hooks;

    QStringList m_activeTable;
    int m_periodCount = 0;
    DisplayState m_display;

    unsigned m_currentPeriod = 0;
    int m_beepCount = 0;
    int m_warmUpPhase = 1;
    int m_soundCardPresent = 1;
    qint64 m_lastSignalTick = 0;
    qint64 m_currentTick = 0;
    qint64 m_elapsedMs = 0;
    double m_distanceCovered = 0.0;
    QDateTime m_clockStart;
    QDateTime m_clockNow;
    QString m_soundResourceName;
    QString m_startSpeedText;
    bool m_timers[3] = {false, false, false};
    bool m_activated = false;
    QSet<unsigned> m_badLinePeriods;  // periods whose bad line has been reported
    TimingRecord m_timing;
};

}  // namespace norak
