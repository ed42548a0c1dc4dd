#pragma once

#include <QMessageBox>
#include <memory>

#include "platform/Messages.h"

namespace norak {

// Message boxes of Qt, modal to the active window and kept above it.
class QtMessages : public Messages {
  public:
    bool askOkCancel(const QString& caption, const QString& text) override;
    bool askYesNo(const QString& caption, const QString& text) override;
    void information(const QString& caption, const QString& text) override;
    void warning(const QString& caption, const QString& text) override;

    // The box as it is shown, built but not shown. The first button is the default one and the
    // last one answers Escape.
    static std::unique_ptr<QMessageBox> makeBox(QMessageBox::Icon icon, const QString& caption,
                                                const QString& text, QMessageBox::StandardButton first,
                                                QMessageBox::StandardButton second = QMessageBox::NoButton);
    // The plain message of information(): no icon, an OK button.
    static std::unique_ptr<QMessageBox> makePlainBox(const QString& caption, const QString& text);

  private:
    static QMessageBox::StandardButton show(QMessageBox& box);
};

}  // namespace norak
