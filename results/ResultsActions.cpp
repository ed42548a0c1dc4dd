#include "results/ResultsActions.h"

#include "engine/UserTexts.h"
#include "results/AthleteRoster.h"
#include "results/CellText.h"
#include "results/ExportWriter.h"
#include "results/ResultsTable.h"
#include "results/SquadFile.h"

namespace norak {

namespace {

QString withTrailingSlash(const QString& folder) {
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QLatin1Char('/');
}

}  // namespace

ResultsActions::ResultsActions(const QString& editionTitle, ResultsTable& table, AthleteRoster& roster,
                               const Platform& platform)
    : m_editionTitle(editionTitle), m_table(table), m_roster(roster), m_platform(platform) {}

QString ResultsActions::exportFolderFor(const QString& programDir) {
    return withTrailingSlash(programDir) + kExportFolderName + QLatin1Char('/');
}

QString ResultsActions::saveFolder(FileSystem& files, const QString& programDir) {
    const QString folder = exportFolderFor(programDir);
    if (!files.folderExists(folder) && !files.createFolder(folder))
        return withTrailingSlash(files.homeFolder());
    return folder;
}

ResultsActions::ExportOutcome ResultsActions::exportResults(const ExportFacts& facts) {
    if (!m_table.hasNamedAthlete())
        return ExportOutcome::NothingToExport;

    ExportHeader header;
    header.editionTitle = m_editionTitle;
    header.when = m_platform.clock.now();
    header.dateSeparator = m_platform.clock.dateSeparator();
    header.timeSeparator = m_platform.clock.timeSeparator();
    header.startPeriod = facts.startPeriod;
    header.startSpeedText = facts.startSpeedText;
    const QStringList lines = ExportWriter::lines(m_table, header);

    const QString folder = saveFolder(m_platform.files, facts.programDir);
    SaveRequest request;
    request.title = kExportDialogTitle;
    request.folder = folder;
    request.proposedPath = folder + ExportWriter::proposedFileName(m_editionTitle, header.when.date());
    request.filter = kExportDialogFilter;
    request.defaultSuffix = kExportDefaultSuffix;
    const std::optional<QString> path = m_platform.saveDialog.getSaveFileName(request);
    if (!path)
        return ExportOutcome::Cancelled;

    const std::optional<QByteArray> bytes = ExportWriter::encode(lines);
    if (!bytes || !m_platform.files.writeFileAtomically(*path, *bytes)) {
        warn(m_platform.sound, m_platform.messages, exportFailedText(m_editionTitle));
        return ExportOutcome::Failed;
    }
    m_table.setResultsExported(1);
    return ExportOutcome::Written;
}

bool ResultsActions::clearTable() {
    m_platform.sound.alert(kAlertQuestion);
    if (!m_platform.messages.askOkCancel(kClearTableCaption, kClearTableText))
        return false;
    m_table.clearAll();
    m_roster.hideAll();
    return true;
}

bool ResultsActions::askToSaveUnexported(const ExportFacts& facts) {
    if (m_table.resultsExported() != 0 || !m_table.hasUnexportedResults())
        return false;
    m_platform.sound.alert(kAlertQuestion);
    if (m_platform.messages.askYesNo(kSaveDataCaption, kSaveDataText)) {
        exportResults(facts);
        return false;
    }
    return true;
}

void ResultsActions::prepareNewTest(const ExportFacts& facts) {
    if (askToSaveUnexported(facts))
        m_table.clearResultColumns();
    if (m_table.resultsExported() == 1)
        m_table.clearResultColumns();
    m_table.setResultsExported(0);
}

void ResultsActions::replaceNames(const QList<SquadRow>& rows, const ExportFacts& facts) {
    askToSaveUnexported(facts);
    m_table.clearAll();
    m_roster.hideAll();
    for (int i = 0; i < rows.size(); ++i) {
        m_table.setCell(kColName, i + 1, rows[i].name);
        m_table.setCell(kColCode, i + 1, rows[i].code);
    }
}

bool ResultsActions::confirmLeave(const ExportFacts& facts) {
    askToSaveUnexported(facts);
    return askLeave();
}

bool ResultsActions::askLeave() {
    m_platform.sound.alert(kAlertQuestion);
    return m_platform.messages.askOkCancel(leaveCaption(m_editionTitle), leaveText(m_editionTitle));
}

}  // namespace norak
