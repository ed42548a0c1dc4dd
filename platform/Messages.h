#pragma once

#include <QString>

namespace norak {

// Modal message boxes. Callers sound the alert themselves before asking.
class Messages {
  public:
    virtual ~Messages() = default;
    // OK/Cancel with the information icon; true for OK.
    virtual bool askOkCancel(const QString& caption, const QString& text) = 0;
    // Yes/No with the information icon; true for Yes.
    virtual bool askYesNo(const QString& caption, const QString& text) = 0;
    // Plain message box: an OK button and no icon.
    virtual void information(const QString& caption, const QString& text) = 0;
    // Error message with an OK button and the exclamation icon.
    virtual void warning(const QString& caption, const QString& text) = 0;
};

}  // namespace norak
