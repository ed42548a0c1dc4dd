#pragma once

#include <QStringList>

#include "platform/SaveDialog.h"

class QFileDialog;

namespace norak {

// Qt's own save-file dialog (not the desktop's, so that it speaks the program's language).
class QtSaveDialog : public SaveDialog {
  public:
    std::optional<QString> getSaveFileName(const SaveRequest& request) override;
    std::optional<QString> getOpenFileName(const SaveRequest& request) override;

    // Sets up a dialog for the request without showing it.
    static void configure(QFileDialog& dialog, const SaveRequest& request);
    // Qt name filters from a filter text: "Texto (*.txt)" stays as it is; the pairs of
    // "description|pattern|description|pattern" become "description (pattern)".
    static QStringList nameFilters(const QString& filter);
};

}  // namespace norak
