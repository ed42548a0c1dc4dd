#include "results/SquadLoader.h"

#include "engine/UserTexts.h"
#include "results/ResultsActions.h"
#include "results/ResultsTable.h"
#include "results/SquadFile.h"
#include "results/TestRun.h"

namespace norak {

SquadLoader::SquadLoader(TestRun& run, const Platform& platform, QObject* parent)
    : QObject(parent), m_run(run), m_platform(platform) {}

bool SquadLoader::loadSquad() {
    if (!m_run.loadEnabled())
        return false;
    SaveRequest request;
    request.title = kLoadDialogCaption;
    request.folder = ResultsActions::exportFolderFor(m_run.programDir());
    if (!m_platform.files.folderExists(request.folder))
        request.folder = m_platform.files.homeFolder();
    request.filter = kLoadDialogFilter;
    const std::optional<QString> path = m_platform.saveDialog.getOpenFileName(request);
    if (!path)
        return false;

    const ResultsTable& table = m_run.table();
    const SquadLoad load = SquadFile::readFile(*path, table.dataRowCount());
    if (load.error) {
        warn(m_platform.sound, m_platform.messages, SquadFile::errorText(*load.error, *path),
             kLoadErrorCaption);
        return false;
    }
    if (!loadRows(load.rows))
        return false;
    if (!load.problems.isEmpty())
        tell(m_platform.sound, m_platform.messages, kLoadProblemsCaption,
             SquadFile::problemsText(load.problems, table.dataRowCount()));
    return true;
}

bool SquadLoader::loadRows(const QList<SquadRow>& rows) {
    if (!m_run.loadEnabled())
        return false;
    if (m_run.table().hasNamedAthlete()) {
        m_platform.sound.alert(kAlertQuestion);
        if (!m_platform.messages.askYesNo(kLoadReplaceCaption, kLoadReplaceText))
            return false;
    }
    return m_run.loadSquad(rows.mid(0, m_run.table().dataRowCount()));
}

}  // namespace norak
