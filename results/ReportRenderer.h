#pragma once

#include <QByteArray>

namespace norak {

struct ReportData;

// What the report flow needs of the GUI: the PDF of a report and its printing. The test run is
// Qt Core only, so the drawing is handed in: the shell gives the real one (the report document
// and the print dialog), tests a fake that opens nothing.
class ReportRenderer {
  public:
    virtual ~ReportRenderer() = default;
    // The PDF file's bytes; empty when the document could not be made.
    virtual QByteArray pdf(const ReportData& data) = 0;
    // Asks for a printer and prints the report. False only when printing failed: a print dialog
    // closed without printing is the user's choice, not a failure.
    virtual bool print(const ReportData& data) = 0;
};

}  // namespace norak
