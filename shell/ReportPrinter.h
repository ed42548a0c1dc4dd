#pragma once

#include "results/ReportRenderer.h"

namespace norak {

// The program's report renderer: the PDF from the report document, and printing through Qt's
// print dialog, shown modally over the window in front.
class ReportPrinter : public ReportRenderer {
  public:
    QByteArray pdf(const ReportData& data) override;
    bool print(const ReportData& data) override;
};

}  // namespace norak
