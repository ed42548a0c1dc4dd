#include "platform/qt/QtMessages.h"

#include <QApplication>

namespace norak {

namespace {

QWidget* ownerWindow() {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

}  // namespace

std::unique_ptr<QMessageBox> QtMessages::makeBox(QMessageBox::Icon icon, const QString& caption,
                                                 const QString& text, QMessageBox::StandardButton first,
                                                 QMessageBox::StandardButton second) {
    QWidget* owner = ownerWindow();
    auto box = std::make_unique<QMessageBox>(icon, caption, text, QMessageBox::NoButton, owner);
    box->setStandardButtons(first | second);
    box->setDefaultButton(first);
    box->setEscapeButton(second != QMessageBox::NoButton ? second : first);
    box->setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
    box->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    return box;
}

QMessageBox::StandardButton QtMessages::show(QMessageBox& box) {
    return QMessageBox::StandardButton(box.exec());
}

bool QtMessages::askOkCancel(const QString& caption, const QString& text) {
    auto box = makeBox(QMessageBox::Information, caption, text, QMessageBox::Ok, QMessageBox::Cancel);
    return show(*box) == QMessageBox::Ok;
}

bool QtMessages::askYesNo(const QString& caption, const QString& text) {
    auto box = makeBox(QMessageBox::Information, caption, text, QMessageBox::Yes, QMessageBox::No);
    return show(*box) == QMessageBox::Yes;
}

std::unique_ptr<QMessageBox> QtMessages::makePlainBox(const QString& caption, const QString& text) {
    return makeBox(QMessageBox::NoIcon, caption, text, QMessageBox::Ok);
}

void QtMessages::information(const QString& caption, const QString& text) {
    auto box = makePlainBox(caption, text);
    show(*box);
}

void QtMessages::warning(const QString& caption, const QString& text) {
    auto box = makeBox(QMessageBox::Warning, caption, text, QMessageBox::Ok);
    show(*box);
}

}  // namespace norak
