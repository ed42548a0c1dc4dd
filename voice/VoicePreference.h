#pragma once

#include <QString>

namespace norak {

// Whether the voice is on ("Voz" in the configuration panel), kept for the next start in an
// INI file of the user's configuration folder. Off until a test master turns it on, and off
// when the file is missing or unreadable: the test then sounds as it always has.
class VoicePreference {
  public:
    // ~/.config/norak/norak.ini (the folder the desktop names for configuration).
    static QString defaultFile();

    explicit VoicePreference(QString file = defaultFile());

    bool load() const;
    // False when the choice could not be written (it still holds for this run).
    bool save(bool on) const;
    const QString& file() const { return m_file; }

  private:
    QString m_file;
};

}  // namespace norak
