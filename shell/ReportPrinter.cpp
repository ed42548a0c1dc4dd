#include "shell/ReportPrinter.h"

#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>

#include "results/ReportData.h"
#include "shell/ReportDocument.h"

namespace norak {

QByteArray ReportPrinter::pdf(const ReportData& data) {
    return ReportDocument::pdf(data);
}

bool ReportPrinter::print(const ReportData& data) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(QStringLiteral("Informe ") + data.editionTitle);
    // Owned by the window in front, which stays on top: a dialog without it would open behind.
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner)
        owner = QApplication::activeWindow();
    QPrintDialog dialog(&printer, owner);
    dialog.setWindowTitle(QStringLiteral("Imprimir el informe"));
    dialog.setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
    if (dialog.exec() != QDialog::Accepted)
        return true;
    return ReportDocument::print(data, printer);
}

}  // namespace norak
