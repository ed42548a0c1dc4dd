#pragma once

#include <QString>
#include <optional>

namespace norak {

struct SaveRequest {
    QString title;
    QString folder;         // initial folder
    QString proposedPath;   // folder + proposed file name
    QString filter;         // e.g. "Archivo ... (*.txt)"
    QString defaultSuffix;  // added when the typed name has none
};

// The modal save-file dialog; asks before replacing an existing file. nullopt on Cancel.
class SaveDialog {
  public:
    virtual ~SaveDialog() = default;
    virtual std::optional<QString> getSaveFileName(const SaveRequest& request) = 0;
};

}  // namespace norak
