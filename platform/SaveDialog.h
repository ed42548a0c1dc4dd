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

// The modal file dialogs. Saving asks before replacing an existing file. nullopt on Cancel.
class SaveDialog {
  public:
    virtual ~SaveDialog() = default;
    virtual std::optional<QString> getSaveFileName(const SaveRequest& request) = 0;
    // An existing file to read (the proposed path and suffix are not used).
    virtual std::optional<QString> getOpenFileName(const SaveRequest& request) = 0;
};

}  // namespace norak
