#pragma once

#include <QHash>
#include <QHostAddress>
#include <QString>
#include <QVariant>
#include <QWidget>
#include <memory>

#include "remote/PhoneMessage.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace norak {

class RemoteAuthority;
class RemoteServer;
class RunWarnings;
class TestRun;
class TickSource;

// "Mando a distancia": while on, a second scorer's phone sends warnings and dropouts. The window
// shows the page's address as a QR code and as text, lets the operator pick the network when
// the laptop has several, and lists the phones with their refusals and the commands they got
// through, the last one named (allow one that waits, remove one). Nothing listens while off; turning it off,
// closing this window's "Apagar" or leaving the program closes every connection and the port.
class RemoteWindow : public QWidget {
    Q_OBJECT

  public:
    RemoteWindow(TestRun& run, const RunWarnings& warnings, const TickSource& ticks,
                 QWidget* parent = nullptr);
    ~RemoteWindow() override;

    // On: listens on the chosen address and shows the window; false (with the reason shown) when
    // there is no address or the port cannot be opened. Off: closes everything.
    bool turnOn();
    void turnOff();
    bool isOn() const;

    RemoteServer* server() const { return m_server.get(); }
    RemoteAuthority* authority() const { return m_authority.get(); }
    // The QR code of a text, black modules on white with a quiet zone (empty if it does not fit).
    static QImage qrImage(const QByteArray& text, int moduleSize);

  Q_SIGNALS:
    void switchedOff();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void listenOn(const QHostAddress& address);
    // The phones' list, once per event-loop turn whatever changed in it: a press from a phone
    // both counts as applied and may change the phone's refusals.
    void showPhonesSoon();
    void showPhones();
    // True when the cell's text changed.
    bool setCell(int row, int column, const QString& text, const QVariant& data = {});
    // "Permitir" for a selected phone that waits, "Quitar" for any selected phone.
    void showButtons();
    void noteApplied(int phone, PhoneCommand::Type type, int athlete);

    TestRun& m_run;
    const RunWarnings& m_warnings;
    const TickSource& m_ticks;
    std::unique_ptr<RemoteAuthority> m_authority;
    std::unique_ptr<RemoteServer> m_server;
    QComboBox* m_interfaces = nullptr;
    QLabel* m_qr = nullptr;
    QLabel* m_address = nullptr;
    QLabel* m_refusals = nullptr;
    QTableWidget* m_phones = nullptr;
    QPushButton* m_allow = nullptr;
    QPushButton* m_remove = nullptr;
    struct Applied {
        int count = 0;
        QString last;  // "aviso 5", "abandono 5", "deshecho 5"
    };
    bool m_placed = false;
    bool m_showPending = false;
    QHash<int, Applied> m_applied;  // by phone, while the remote is on
};

}  // namespace norak
