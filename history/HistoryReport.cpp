#include "history/HistoryReport.h"

#include "engine/Edition.h"
#include "history/StoredTest.h"
#include "results/ResultsTable.h"

namespace norak {

ReportJob historyReportJob(const StoredTest& test, const QString& programDir) {
    ResultsTable table(test.edition);
    for (const StoredRow& row : test.rows) {
        if (row.row < 1 || row.row > table.dataRowCount())
            continue;
        for (int column = 0; column < row.cells.size() && column < table.columnCount(); ++column)
            table.setCell(column, row.row, row.cells[column]);
    }
    TimingRecord record;
    record.start = test.startedAt;
    const ReportSettings settings{test.mode ? TestMode(*test.mode) : TestMode::Completo, test.startPeriod,
                                  test.startSpeedText, test.warmUp.value_or(false), test.soundOutput};

    ReportJob job;
    job.editionTitle =
        test.editionTitle.isEmpty() ? editionRecord(test.edition).editionTitle : test.editionTitle;
    job.programDir = programDir;
    job.data = ReportData::compute(table, record, settings);
    if (!test.mode)
        job.data.modeText = QStringLiteral("–");
    job.data.signalsGiven = test.signalsGiven.value_or(0);
    job.data.latenessP50Ms = test.latenessP50Ms;
    job.data.latenessP99Ms = test.latenessP99Ms;
    job.data.latenessMaxMs = test.latenessMaxMs;
    return job;  // no signal log: none was kept
}

}  // namespace norak
