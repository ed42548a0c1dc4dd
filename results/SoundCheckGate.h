#pragma once

#include <QObject>

#include "engine/SoundCheck.h"
#include "platform/Platform.h"

namespace norak {

class TestRun;

// "Probar sonido" beside a run: the check plays between tests only, and a start drops its
// pending alert, so that no check's alert sounds in the middle of the first period.
class SoundCheckGate : public QObject {
    Q_OBJECT

  public:
    SoundCheckGate(TestRun& run, const Platform& platform, QObject* parent = nullptr);

    void checkSound();
    const SoundCheck& soundCheck() const { return m_check; }

  private:
    TestRun& m_run;
    SoundCheck m_check;
};

}  // namespace norak
