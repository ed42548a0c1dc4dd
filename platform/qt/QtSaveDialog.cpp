#include "platform/qt/QtSaveDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>

namespace norak {

QStringList QtSaveDialog::nameFilters(const QString& filter) {
    if (!filter.contains(QLatin1Char('|')))
        return filter.isEmpty() ? QStringList() : QStringList{filter};
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')).trimmed();
        filters.append(description.endsWith(QLatin1Char(')'))
                           ? description
                           : description + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return filters;
}

void QtSaveDialog::configure(QFileDialog& dialog, const SaveRequest& request) {
    dialog.setObjectName(QStringLiteral("ExportExcelDialog"));
    dialog.setWindowTitle(request.title);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setSizeGripEnabled(true);
    const QStringList filters = nameFilters(request.filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(request.defaultSuffix);

    const QFileInfo proposed(request.proposedPath);
    QString folder = request.folder;
    if (folder.isEmpty() && !request.proposedPath.isEmpty())
        folder = proposed.path();
    if (!folder.isEmpty())
        dialog.setDirectory(folder);
    if (!request.proposedPath.isEmpty())
        dialog.selectFile(proposed.fileName());
}

namespace {

// The window a dialog belongs to: the modal one in front, else the active one.
QWidget* dialogOwner() {
    QWidget* owner = QApplication::activeModalWidget();
    return owner ? owner : QApplication::activeWindow();
}

// Shows a set-up dialog modally over its owner; the chosen file, or nullopt on Cancel.
std::optional<QString> chosenFile(QFileDialog& dialog) {
    dialog.setWindowModality(dialog.parentWidget() ? Qt::WindowModal : Qt::ApplicationModal);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty())
        return std::nullopt;
    return files.front();
}

}  // namespace

std::optional<QString> QtSaveDialog::getSaveFileName(const SaveRequest& request) {
    QFileDialog dialog(dialogOwner());
    configure(dialog, request);
    return chosenFile(dialog);
}

std::optional<QString> QtSaveDialog::getOpenFileName(const SaveRequest& request) {
    QFileDialog dialog(dialogOwner(), request.title, request.folder);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(nameFilters(request.filter));
    return chosenFile(dialog);
}

}  // namespace norak
