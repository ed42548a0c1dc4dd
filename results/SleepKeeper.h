#pragma once

#include <QObject>

namespace norak {

class SleepInhibitor;
class TestRun;

// Keeps the screen lit and the system awake while a test runs: taken at its start, released at
// its stop, when the program is left, and when the keeper goes.
class SleepKeeper : public QObject {
    Q_OBJECT

  public:
    // None: nothing is ever asked of the desktop.
    SleepKeeper(TestRun& run, SleepInhibitor* inhibitor, QObject* parent = nullptr);
    ~SleepKeeper() override;

  private:
    void release();

    SleepInhibitor* m_inhibitor;
};

}  // namespace norak
