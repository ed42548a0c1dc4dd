#pragma once

#include <QByteArray>
#include <QRectF>

class QPainter;
class QPrinter;

namespace norak {

struct ReportData;

// The one-page A4 report of a test, drawn from ReportData: the edition's title band, the test's
// configuration, the results table, a bar chart of the distances, the group's figures and the
// timing record. The same drawing serves the PDF and the printer.
class ReportDocument {
  public:
    // The PDF file's bytes (for FileSystem::writeFileAtomically); empty if it could not be made.
    static QByteArray pdf(const ReportData& data);
    // Prints the page on a printer the print dialog has set up; false if printing failed.
    static bool print(const ReportData& data, QPrinter& printer);
    // Draws the page into `page` (device coordinates of an A4 page, or any rectangle of its shape).
    static void render(QPainter& painter, const QRectF& page, const ReportData& data);
};

}  // namespace norak
