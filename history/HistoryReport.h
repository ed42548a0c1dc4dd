#pragma once

#include <QString>

#include "results/ReportFlow.h"

namespace norak {

struct StoredTest;

// The report of a test kept in the history, made by the report's own flow: the table as it was,
// the settings and timing figures the history kept. The history keeps no signal log, so none is
// written beside the report; an imported test knows neither its mode nor its timing (shown "–").
ReportJob historyReportJob(const StoredTest& test, const QString& programDir);

}  // namespace norak
