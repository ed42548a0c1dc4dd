#pragma once

#include <QByteArray>
#include <vector>

#include "results/ReportData.h"
#include "results/ReportRenderer.h"

namespace norak::testing {

// Stands in for the shell's report renderer: hands out fixed PDF bytes and counts the prints,
// keeping the data of each, and never opens a dialog.
class FakeReportRenderer : public ReportRenderer {
  public:
    QByteArray pdf(const ReportData& data) override {
        m_made.push_back(data);
        return m_pdf;
    }
    bool print(const ReportData& data) override {
        m_printed.push_back(data);
        return m_printWorks;
    }

    QByteArray m_pdf = "%PDF-1.4 informe de prueba";  // empty: the document could not be made
    bool m_printWorks = true;
    std::vector<ReportData> m_made;
    std::vector<ReportData> m_printed;
};

}  // namespace norak::testing
