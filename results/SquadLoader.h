#pragma once

#include <QObject>

#include "platform/Platform.h"

namespace norak {

class TestRun;

// "Cargar": the names and codes of a squad file into the run's table, between tests. The open
// dialog, the file's errors (the table stays as it is), the question before names are replaced,
// and one message about what was cut or left out.
class SquadLoader : public QObject {
    Q_OBJECT

  public:
    SquadLoader(TestRun& run, const Platform& platform, QObject* parent = nullptr);

    // True when the table was filled.
    bool loadSquad();

  private:
    TestRun& m_run;
    Platform m_platform;
};

}  // namespace norak
