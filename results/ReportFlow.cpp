#include "results/ReportFlow.h"

#include <QFileInfo>

#include "engine/UserTexts.h"
#include "results/ReportRenderer.h"
#include "results/ResultsActions.h"
#include "results/SignalLog.h"

namespace norak {

namespace {

// An error box as the export shows its own.
void warn(const Platform& platform, const QString& text) {
    norak::warn(platform.sound, platform.messages, text);
}

}  // namespace

ReportOutcome saveReport(const ReportJob& job, const Platform& platform, ReportRenderer& renderer) {
    // The report is about the test, so its name carries the day of Start (a report made the next
    // morning still names the test's day); a table without a timed test takes today's.
    const QDate day = job.data.start.isValid() ? job.data.start.date() : platform.clock.now().date();
    const QString folder = ResultsActions::saveFolder(platform.files, job.programDir);
    SaveRequest request;
    request.title = kReportDialogTitle;
    request.folder = folder;
    request.proposedPath = folder + ReportData::proposedFileName(job.editionTitle, day);
    request.filter = kReportDialogFilter;
    request.defaultSuffix = kReportDefaultSuffix;
    const std::optional<QString> path = platform.saveDialog.getSaveFileName(request);
    if (!path)
        return ReportOutcome::Cancelled;

    const QByteArray pdf = renderer.pdf(job.data);
    if (pdf.isEmpty() || !platform.files.writeFileAtomically(*path, pdf)) {
        warn(platform, reportFailedText(job.editionTitle));
        return ReportOutcome::Failed;
    }

    ReportOutcome outcome = ReportOutcome::Written;
    if (!job.signalLog.isEmpty()) {
        const QString logPath = SignalLog::fileNameFor(*path);
        const std::optional<QByteArray> log = SignalLog::encode(job.signalLog);
        if (!log || !platform.files.writeFileAtomically(logPath, *log)) {
            warn(platform, signalLogFailedText(QFileInfo(logPath).fileName()));
            outcome = ReportOutcome::WrittenWithoutLog;
        }
    }

    platform.sound.alert(kAlertQuestion);
    if (platform.messages.askYesNo(kReportPrintCaption, kReportPrintText) && !renderer.print(job.data))
        warn(platform, kReportPrintFailedText);
    return outcome;
}

}  // namespace norak
