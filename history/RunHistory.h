#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

#include "history/HistoryKeeper.h"
#include "platform/Platform.h"

namespace norak {

class TestRun;
struct JournalState;
struct RunStarted;
struct RunStopped;

// The history attached to a run: it notes how each test was started, and when the test ends
// (Stop, or leaving during it) hands it to the keeper with its table and its timing figures. A
// name or code corrected afterwards updates the stored test; a new test prepared ends that; a
// table brought back by the journal is kept under its own Start, so that a test stored before
// the program died stays one test. Everything here only queues: the keeper's writer stores on
// a thread of its own, never inside a pacing tick.
//
// What the keeper has to say (the history cannot be kept, and why) is said once the window is
// up and no test runs, through the platform's messages, outside any of the run's verbs.
class RunHistory : public QObject {
    Q_OBJECT

  public:
    RunHistory(TestRun& run, HistoryKeeper& keeper, const Platform& platform, QObject* parent = nullptr);

    // Names the sound output in use; asked at each start.
    void setSoundOutputName(std::function<QString()> name) { m_soundOutputName = std::move(name); }
    // The keeper's `tell`: says `text` now, or as soon as the run allows it.
    void tell(const QString& text);

  private:
    void started(const RunStarted& started);
    void stopped(const RunStopped& stopped);
    void restored(const JournalState& state);
    QList<QStringList> tableRows() const;
    void sayPending();

    TestRun& m_run;
    HistoryKeeper& m_keeper;
    Platform m_platform;
    std::function<QString()> m_soundOutputName;
    std::optional<FinishedTest> m_test;  // the test under way, as it was started
    bool m_activated = false;
    QStringList m_pending;  // what is still to be said
};

}  // namespace norak
