#pragma once

#include <QString>
#include <QStringList>

#include "platform/Platform.h"
#include "results/ReportData.h"

namespace norak {

class ReportRenderer;

// One report as the test run gathers it after a test.
struct ReportJob {
    QString editionTitle;
    QString programDir;  // the export folder lies under it
    ReportData data;
    // The signal log's lines (SignalLog::lines); empty when no test was timed in this program
    // (a table brought back from the recovery file), and then no log is written.
    QStringList signalLog;
};

enum class ReportOutcome { NothingToReport, Cancelled, Failed, WrittenWithoutLog, Written };

// "Informe": the save dialog, the PDF, the signal log beside it, and the question whether to
// print. A cancelled dialog or a PDF that cannot be written changes nothing on disk.
ReportOutcome saveReport(const ReportJob& job, const Platform& platform, ReportRenderer& renderer);

}  // namespace norak
