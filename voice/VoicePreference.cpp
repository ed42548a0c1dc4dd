#include "voice/VoicePreference.h"

#include <QSettings>
#include <QStandardPaths>

namespace norak {

namespace {
const QString kKey = QStringLiteral("Voz/activada");
}

QString VoicePreference::defaultFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/norak/norak.ini");
}

VoicePreference::VoicePreference(QString file) : m_file(std::move(file)) {}

bool VoicePreference::load() const {
    const QSettings settings(m_file, QSettings::IniFormat);
    return settings.status() == QSettings::NoError && settings.value(kKey, false).toBool();
}

bool VoicePreference::save(bool on) const {
    QSettings settings(m_file, QSettings::IniFormat);
    settings.setValue(kKey, on);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

}  // namespace norak
