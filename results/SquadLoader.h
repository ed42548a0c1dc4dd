#pragma once

#include <QList>
#include <QObject>

#include "platform/Platform.h"

namespace norak {

class TestRun;
struct SquadRow;

// "Cargar": the names and codes of a squad file into the run's table, between tests. The open
// dialog, the file's errors (the table stays as it is), the question before names are replaced,
// and one message about what was cut or left out.
class SquadLoader : public QObject {
    Q_OBJECT

  public:
    SquadLoader(TestRun& run, const Platform& platform, QObject* parent = nullptr);

    // True when the table was filled.
    bool loadSquad();
    // Names and codes from elsewhere (the players of a past test), row 1 first: the same question
    // before names are replaced. True when the table was filled.
    bool loadRows(const QList<SquadRow>& rows);

  private:
    TestRun& m_run;
    Platform m_platform;
};

}  // namespace norak
