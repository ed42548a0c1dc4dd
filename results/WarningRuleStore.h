#pragma once

#include <QString>

#include "engine/WarningRule.h"

namespace norak {

// The warning rule chosen in the configuration panel, kept for the next start in the INI file of
// the user's configuration folder (beside the other remembered choices). A missing or unreadable
// file, or a value out of range, gives the default rule.
class WarningRuleStore {
  public:
    // ~/.config/norak/norak.ini.
    static QString defaultFile();

    explicit WarningRuleStore(QString file = defaultFile());

    WarningRule load() const;
    // False when the rule could not be written (it still holds for this run).
    bool save(const WarningRule& rule) const;
    const QString& file() const { return m_file; }

  private:
    QString m_file;
};

}  // namespace norak
