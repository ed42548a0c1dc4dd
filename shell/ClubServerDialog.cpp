#include "shell/ClubServerDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QThread>
#include <QVBoxLayout>

#include "club/ClubSync.h"

namespace norak {

ClubServerSettings loadClubServerSettings() {
    QSettings settings(QStringLiteral("norak"), QStringLiteral("club"));
    ClubServerSettings server;
    server.host = settings.value(QStringLiteral("server/host")).toString();
    server.port = settings.value(QStringLiteral("server/port"), 5432).toInt();
    server.database = settings.value(QStringLiteral("server/database"), QStringLiteral("norak")).toString();
    server.user = settings.value(QStringLiteral("server/user")).toString();
    return server;
}

void saveClubServerSettings(const ClubServerSettings& server) {
    QSettings settings(QStringLiteral("norak"), QStringLiteral("club"));
    settings.setValue(QStringLiteral("server/host"), server.host);
    settings.setValue(QStringLiteral("server/port"), server.port);
    settings.setValue(QStringLiteral("server/database"), server.database);
    settings.setValue(QStringLiteral("server/user"), server.user);
    settings.sync();
}

void runOffWindowThread(QObject* context, std::function<QVariant()> work,
                        std::function<void(const QVariant&)> done) {
    QPointer<QObject> target(context);
    QThread* thread = QThread::create([target, work = std::move(work), done = std::move(done)] {
        const QVariant result = work();
        if (target)
            QMetaObject::invokeMethod(target, [target, done, result] {
                if (target)
                    done(result);
            });
    });
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}

ClubServerDialog::ClubServerDialog(const ClubServerSettings& current, bool canRemember, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("FormServidorClub"));
    setWindowTitle(QStringLiteral("Servidor del club"));
    m_host = new QLineEdit(current.host, this);
    m_host->setObjectName(QStringLiteral("EditServidor"));
    m_host->setPlaceholderText(QStringLiteral("servidor.club.es o 192.168.1.10"));
    m_port = new QSpinBox(this);
    m_port->setObjectName(QStringLiteral("EditPuerto"));
    m_port->setRange(1, 65535);
    m_port->setValue(current.port);
    m_database = new QLineEdit(current.database, this);
    m_database->setObjectName(QStringLiteral("EditBaseDatos"));
    m_user = new QLineEdit(current.user, this);
    m_user->setObjectName(QStringLiteral("EditUsuario"));
    m_password = new QLineEdit(current.password, this);
    m_password->setObjectName(QStringLiteral("EditContrasena"));
    m_password->setEchoMode(QLineEdit::Password);
    m_remember = new QCheckBox(QStringLiteral("Recordar la contraseña en el llavero del escritorio"), this);
    m_remember->setChecked(canRemember);
    m_remember->setVisible(canRemember);
    m_try = new QPushButton(QStringLiteral("Probar"), this);
    m_try->setObjectName(QStringLiteral("BtnProbar"));
    m_result = new QLabel(this);
    m_result->setObjectName(QStringLiteral("LabelResultado"));
    m_result->setWordWrap(true);
    m_result->setMinimumWidth(380);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Dirección:"), m_host);
    form->addRow(QStringLiteral("Puerto:"), m_port);
    form->addRow(QStringLiteral("Base de datos:"), m_database);
    form->addRow(QStringLiteral("Usuario:"), m_user);
    form->addRow(QStringLiteral("Contraseña:"), m_password);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setText(QStringLiteral("Aceptar"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    auto* tryRow = new QHBoxLayout;
    tryRow->addWidget(m_try);
    tryRow->addWidget(m_result, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_remember);
    layout->addLayout(tryRow);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_try, &QPushButton::clicked, this, &ClubServerDialog::tryServer);
    for (QLineEdit* edit : {m_host, m_database, m_user})
        connect(edit, &QLineEdit::textChanged, this, &ClubServerDialog::updateButtons);
    updateButtons();
}

ClubServerSettings ClubServerDialog::settings() const {
    ClubServerSettings server;
    server.host = m_host->text().trimmed();
    server.port = m_port->value();
    server.database = m_database->text().trimmed();
    server.user = m_user->text().trimmed();
    server.password = m_password->text();
    return server;
}

bool ClubServerDialog::rememberPassword() const {
    // Asked once the dialog is accepted, and so hidden with its box: whether the box is
    // offered at all, not whether it is on the screen.
    return !m_remember->isHidden() && m_remember->isChecked();
}

void ClubServerDialog::updateButtons() {
    const ClubServerSettings server = settings();
    const bool complete = !server.host.isEmpty() && !server.database.isEmpty() && !server.user.isEmpty();
    m_try->setEnabled(complete);
    m_ok->setEnabled(complete);
}

void ClubServerDialog::tryServer() {
    const ClubServerSettings server = settings();
    m_try->setEnabled(false);
    m_result->setText(QStringLiteral("Probando…"));
    runOffWindowThread(
        this,
        [server] {
            QString note;
            const ClubProblem problem = testClubServer(server, &note);
            return QVariant(problem ? QStringList{problem.message, QString()} : QStringList{QString(), note});
        },
        [this](const QVariant& result) {
            const QStringList answer = result.toStringList();
            m_result->setText(answer[0].isEmpty() ? answer[1] : answer[0]);
            updateButtons();
            Q_EMIT tried(answer[0]);
        });
}

}  // namespace norak
