#include "results/ResultsActions.h"

#include "results/AthleteRoster.h"
#include "results/ExportWriter.h"
#include "results/LiveReadings.h"
#include "results/ResultsTable.h"

namespace norak {

namespace {

QString withTrailingSlash(const QString& folder) {
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QLatin1Char('/');
}

}  // namespace

ResultsActions::ResultsActions(const QString& editionTitle, ResultsTable& table, AthleteRoster& roster,
                               const Platform& platform, LiveReadings& readings)
    : m_editionTitle(editionTitle),
      m_table(table),
      m_roster(roster),
      m_platform(platform),
      m_readings(readings) {}

QString ResultsActions::exportFolderFor(const QString& programDir) {
    return withTrailingSlash(programDir) + kExportFolderName + QLatin1Char('/');
}

QString ResultsActions::saveFolder(FileSystem& files, const QString& programDir) {
    const QString folder = exportFolderFor(programDir);
    if (!files.folderExists(folder) && !files.createFolder(folder))
        return withTrailingSlash(files.homeFolder());
    return folder;
}

ResultsActions::ExportOutcome ResultsActions::exportResults() {
    if (!m_table.hasNamedAthlete())
        return ExportOutcome::NothingToExport;

    ExportHeader header;
    header.editionTitle = m_editionTitle;
    header.when = m_platform.clock.now();
    header.dateSeparator = m_platform.clock.dateSeparator();
    header.timeSeparator = m_platform.clock.timeSeparator();
    header.startPeriod = m_readings.spinEditValue();
    header.startSpeedText = m_readings.startSpeedText();
    const QStringList lines = ExportWriter::lines(m_table, header);

    const QString folder = saveFolder(m_platform.files, m_readings.programDir());
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
        m_platform.sound.alert(kAlertWarning);
        m_platform.messages.warning(QStringLiteral("Información"),
                                    QStringLiteral("No se ha podido exportar el archivo de Registros de ") +
                                        m_editionTitle + QLatin1Char('.'));
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

bool ResultsActions::askToSaveUnexported() {
    if (m_table.resultsExported() != 0 || !m_table.hasUnexportedResults())
        return false;
    m_platform.sound.alert(kAlertQuestion);
    if (m_platform.messages.askYesNo(kSaveDataCaption, kSaveDataText)) {
        exportResults();
        return false;
    }
    return true;
}

void ResultsActions::prepareNewTest() {
    if (askToSaveUnexported())
        m_table.clearResultColumns();
    if (m_table.resultsExported() == 1)
        m_table.clearResultColumns();
    m_table.setResultsExported(0);
}

bool ResultsActions::confirmLeave() {
    askToSaveUnexported();
    return askLeave();
}

bool ResultsActions::askLeave() {
    m_platform.sound.alert(kAlertQuestion);
    return m_platform.messages.askOkCancel(
        QStringLiteral("Salir de ") + m_editionTitle,
        QStringLiteral("Esto finaliza su sesión con ") + m_editionTitle + QLatin1Char('.'));
}

}  // namespace norak
