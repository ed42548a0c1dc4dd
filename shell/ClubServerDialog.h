#pragma once

#include <QDialog>
#include <functional>
#include <optional>

#include "club/ClubServer.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace norak {

// The club server's address, database and user, kept in the user's settings (QSettings
// "norak/club"); the password never is (see ClubSecret).
ClubServerSettings loadClubServerSettings();
void saveClubServerSettings(const ClubServerSettings& settings);

// Runs `work` in a thread of its own and hands its result to `done` in `context`'s thread;
// nothing is handed over when `context` is gone by then.
void runOffWindowThread(QObject* context, std::function<QVariant()> work,
                        std::function<void(const QVariant&)> done);

// "Servidor del club": address, port, database, user and password; "Probar" tries them (off the
// window's thread: a server that does not answer takes the connection's timeout) and says what
// failed. "Recordar la contraseña" is offered where a secret service keeps it.
class ClubServerDialog : public QDialog {
    Q_OBJECT

  public:
    ClubServerDialog(const ClubServerSettings& current, bool canRemember, QWidget* parent = nullptr);

    ClubServerSettings settings() const;  // with the password typed
    bool rememberPassword() const;
    void tryServer();  // "Probar"

    QLineEdit* hostEdit() const { return m_host; }
    QSpinBox* portEdit() const { return m_port; }
    QLineEdit* databaseEdit() const { return m_database; }
    QLineEdit* userEdit() const { return m_user; }
    QLineEdit* passwordEdit() const { return m_password; }
    QPushButton* tryButton() const { return m_try; }
    QLabel* resultLabel() const { return m_result; }

  Q_SIGNALS:
    // "Probar" has its answer: empty when the server can be used.
    void tried(const QString& problem);

  private:
    void updateButtons();

    QLineEdit* m_host = nullptr;
    QSpinBox* m_port = nullptr;
    QLineEdit* m_database = nullptr;
    QLineEdit* m_user = nullptr;
    QLineEdit* m_password = nullptr;
    QCheckBox* m_remember = nullptr;
    QPushButton* m_try = nullptr;
    QPushButton* m_ok = nullptr;
    QLabel* m_result = nullptr;
};

}  // namespace norak
