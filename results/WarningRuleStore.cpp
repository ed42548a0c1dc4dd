#include "results/WarningRuleStore.h"

#include <QSettings>
#include <QStandardPaths>

namespace norak {

namespace {
const QString kOutAfter = QStringLiteral("Avisos/retirarTras");
const QString kConsecutive = QStringLiteral("Avisos/consecutivos");
const QString kCleared = QStringLiteral("Avisos/borrarEnRecuperacion");
}  // namespace

QString WarningRuleStore::defaultFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/norak/norak.ini");
}

WarningRuleStore::WarningRuleStore(QString file) : m_file(std::move(file)) {}

WarningRule WarningRuleStore::load() const {
    const QSettings settings(m_file, QSettings::IniFormat);
    const WarningRule defaults;
    if (settings.status() != QSettings::NoError)
        return defaults;
    bool isNumber = false;
    WarningRule rule;
    rule.outAfter = settings.value(kOutAfter, defaults.outAfter).toInt(&isNumber);
    if (!isNumber)
        rule.outAfter = defaults.outAfter;
    rule.consecutive = settings.value(kConsecutive, defaults.consecutive).toBool();
    rule.clearedByRecovery = settings.value(kCleared, defaults.clearedByRecovery).toBool();
    return rule.normalized();
}

// QSettings writes the INI file through a temporary file renamed over it.
bool WarningRuleStore::save(const WarningRule& rule) const {
    QSettings settings(m_file, QSettings::IniFormat);
    settings.setValue(kOutAfter, rule.outAfter);
    settings.setValue(kConsecutive, rule.consecutive);
    settings.setValue(kCleared, rule.clearedByRecovery);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

}  // namespace norak
