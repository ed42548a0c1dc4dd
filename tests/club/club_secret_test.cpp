#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "club/ClubSecret.h"
#include "history/HistoryDatabase.h"
#include "shell/ClubServerDialog.h"
#include "shell/HistoryWindow.h"
#include "support/HistorySamples.h"
#include "support/PostgresCluster.h"

using namespace norak;

// libsecret keeps the secret service it found for the whole process; the test drops it when it
// stops the keyring, so that the next call finds the one then on the bus. Declared here rather
// than through libsecret's header, whose compile flags would part this program from the tests'
// precompiled header.
extern "C" void secret_service_disconnect(void);

namespace {

const QString kSecretsName = QStringLiteral("org.freedesktop.secrets");

// A child that ends with the test, also when the test itself is killed.
void endWithParent(QProcess& process) {
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
}

// A session bus of the test's own, on which no service is started on demand (nothing of the
// machine's answers on it), and on it, once startKeyring(), GNOME Keyring's secret service with a
// login keyring in a scratch folder, unlocked with a password given on its input, as a desktop
// session unlocks it at login. The daemons are children of the test and end with it.
//
// GLib keeps one connection to the session bus for the whole process, made on the first call:
// the bus is started once for the test program and its address set before any call.
class PrivateSecretBus {
  public:
    ~PrivateSecretBus() {
        stopKeyring();
        stop(m_bus);
    }

    // Empty when started, else why not.
    QString start() {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty())
            return QStringLiteral("dbus-daemon is not installed (Debian package dbus)");
        if (!m_scratch.isValid() || !QDir(m_scratch.path()).mkpath(QStringLiteral("services")))
            return QStringLiteral("no scratch folder");
        QFile config(m_scratch.filePath(QStringLiteral("session.conf")));
        if (!config.open(QIODevice::WriteOnly))
            return QStringLiteral("cannot write the bus's configuration");
        // An empty folder of services: a call to the secret service starts none.
        config.write(
            QStringLiteral(
                "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                "<busconfig><type>session</type><listen>unix:path=%1</listen><auth>EXTERNAL</auth>\n"
                "<servicedir>%2</servicedir>\n"
                "<policy context=\"default\"><allow own=\"*\"/><allow send_destination=\"*\"/>\n"
                "<allow receive_sender=\"*\"/></policy></busconfig>\n")
                .arg(m_scratch.filePath(QStringLiteral("bus")),
                     m_scratch.filePath(QStringLiteral("services")))
                .toUtf8());
        config.close();
        endWithParent(m_bus);
        m_bus.start(daemon, {QStringLiteral("--config-file=") + config.fileName(),
                             QStringLiteral("--print-address"), QStringLiteral("--nofork")});
        if (!m_bus.waitForStarted(5000))
            return QStringLiteral("dbus-daemon does not start: ") + m_bus.errorString();
        QElapsedTimer waited;
        waited.start();
        while (!m_bus.canReadLine() && waited.elapsed() < 5000)
            m_bus.waitForReadyRead(100);
        m_address = QString::fromUtf8(m_bus.readLine().trimmed());
        if (m_address.isEmpty())
            return QStringLiteral("dbus-daemon gives no address: ") +
                   QString::fromUtf8(m_bus.readAllStandardError());
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_address.toUtf8());
        return {};
    }

    // Empty when the keyring answers on the bus, else why not.
    QString startKeyring() {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("gnome-keyring-daemon"));
        if (daemon.isEmpty())
            return QStringLiteral("gnome-keyring-daemon is not installed");
        const QString home = m_scratch.filePath(QStringLiteral("home"));
        const QString runtime = m_scratch.filePath(QStringLiteral("runtime"));
        if (!QDir().mkpath(home) || !QDir().mkpath(runtime) ||
            !QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
            return QStringLiteral("no scratch folders for the keyring");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
        environment.insert(QStringLiteral("HOME"), home);
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        m_keyring = std::make_unique<QProcess>();
        m_keyring->setProcessEnvironment(environment);
        endWithParent(*m_keyring);
        m_keyring->start(daemon, {QStringLiteral("--foreground"), QStringLiteral("--unlock"),
                                  QStringLiteral("--components=secrets")});
        if (!m_keyring->waitForStarted(5000))
            return QStringLiteral("gnome-keyring-daemon does not start: ") + m_keyring->errorString();
        m_keyring->write("clave-del-escritorio");
        m_keyring->closeWriteChannel();

        QDBusConnection bus = QDBusConnection::connectToBus(m_address, QStringLiteral("secret-test-watch"));
        QElapsedTimer waited;
        waited.start();
        bool up = false;
        while (!(up = bus.isConnected() && bus.interface()->isServiceRegistered(kSecretsName)) &&
               m_keyring->state() == QProcess::Running && waited.elapsed() < 10000)
            QTest::qWait(50);
        QDBusConnection::disconnectFromBus(QStringLiteral("secret-test-watch"));
        if (!up)
            return QStringLiteral("gnome-keyring-daemon does not answer on the bus: ") +
                   QString::fromUtf8(m_keyring->readAllStandardError());
        return {};
    }

    void stopKeyring() {
        if (m_keyring)
            stop(*m_keyring);
        m_keyring.reset();
    }

    QString address() const { return m_address; }
    QString keyringFolder() const { return m_scratch.filePath(QStringLiteral("home/.local/share/keyrings")); }

  private:
    static void stop(QProcess& process) {
        if (process.state() == QProcess::NotRunning)
            return;
        process.terminate();
        if (!process.waitForFinished(5000)) {
            process.kill();
            process.waitForFinished(5000);
        }
    }

    QTemporaryDir m_scratch;
    QProcess m_bus;
    std::unique_ptr<QProcess> m_keyring;
    QString m_address;
};

class ClubSecretTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        s_bus = new PrivateSecretBus;
        s_busProblem = s_bus->start();
    }
    static void TearDownTestSuite() {
        delete s_bus;
        s_bus = nullptr;
    }

    void SetUp() override {
        if (!s_busProblem.isEmpty())
            GTEST_SKIP() << s_busProblem.toStdString();
        server.host = QStringLiteral("club.example.org");
        server.port = 5433;
        server.database = QStringLiteral("norak_club");
        server.user = QStringLiteral("entrenadora");
    }

    void TearDown() override {
        if (s_bus)
            s_bus->stopKeyring();
        // The next test finds the secret service anew (libsecret keeps it for the process).
        secret_service_disconnect();
    }

    // Skips only where the keyring is not installed; one that is installed and fails fails. The
    // test returns when it skips (a skip in a helper does not end the test).
    void startKeyring() {
        if (QStandardPaths::findExecutable(QStringLiteral("gnome-keyring-daemon")).isEmpty())
            GTEST_SKIP() << "gnome-keyring-daemon is not installed (Debian package gnome-keyring)";
        const QString problem = s_bus->startKeyring();
        ASSERT_TRUE(problem.isEmpty()) << problem.toStdString();
    }

    // How many passwords of the program's the keyring holds for that server and user, asked of
    // the service itself (SearchItems), not through the code under test.
    static int keptCount(const ClubServerSettings& kept) {
        QDBusConnection bus =
            QDBusConnection::connectToBus(s_bus->address(), QStringLiteral("secret-test-count"));
        QDBusMessage search = QDBusMessage::createMethodCall(
            kSecretsName, QStringLiteral("/org/freedesktop/secrets"),
            QStringLiteral("org.freedesktop.Secret.Service"), QStringLiteral("SearchItems"));
        const QMap<QString, QString> attributes = {
            {QStringLiteral("xdg:schema"), QStringLiteral("org.norak.ClubServer")},
            {QStringLiteral("host"), kept.host},
            {QStringLiteral("port"), QString::number(kept.port)},
            {QStringLiteral("database"), kept.database},
            {QStringLiteral("user"), kept.user}};
        qDBusRegisterMetaType<QMap<QString, QString>>();
        search << QVariant::fromValue(attributes);
        const QDBusMessage reply = bus.call(search, QDBus::Block, 10000);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 2) {
            ADD_FAILURE() << "SearchItems: " << reply.errorMessage().toStdString();
            return -1;
        }
        int count = 0;
        for (const QVariant& paths : reply.arguments()) {
            QList<QDBusObjectPath> items;
            paths.value<QDBusArgument>() >> items;
            count += int(items.size());
        }
        return count;
    }

    static inline PrivateSecretBus* s_bus = nullptr;
    static inline QString s_busProblem;
    ClubServerSettings server;
};

}  // namespace

// The password goes into the unlocked login keyring under the server's address, database and
// user: read back as typed (any character), replaced rather than kept twice, kept across the
// keyring's restart (it is on disk, not in the session's memory), and forgotten for that server
// alone.
TEST_F(ClubSecretTest, KeepsReadsReplacesAndForgetsInTheKeyring) {
    startKeyring();
    if (IsSkipped() || HasFatalFailure())
        return;
    ASSERT_TRUE(ClubSecret::available());
    EXPECT_EQ(ClubSecret::lookup(server), std::nullopt);

    const QString first = QStringLiteral("contraseña ñ € \"; 12");
    QString error;
    ASSERT_TRUE(ClubSecret::store(server, first, &error)) << error.toStdString();
    EXPECT_EQ(ClubSecret::lookup(server), first);
    EXPECT_EQ(keptCount(server), 1);

    // Another user, database or port of the same host is another password.
    ClubServerSettings other = server;
    other.user = QStringLiteral("segundo");
    ClubServerSettings otherPort = server;
    otherPort.port = 5432;
    EXPECT_EQ(ClubSecret::lookup(other), std::nullopt);
    EXPECT_EQ(ClubSecret::lookup(otherPort), std::nullopt);
    ASSERT_TRUE(ClubSecret::store(other, QStringLiteral("otra")));

    ASSERT_TRUE(ClubSecret::store(server, QStringLiteral("nueva")));
    EXPECT_EQ(ClubSecret::lookup(server), QStringLiteral("nueva"));
    EXPECT_EQ(keptCount(server), 1) << "replaced, not kept twice";

    // The next session's keyring, unlocked again, still has it.
    s_bus->stopKeyring();
    secret_service_disconnect();
    EXPECT_TRUE(QFile::exists(s_bus->keyringFolder() + QStringLiteral("/login.keyring")));
    ASSERT_NO_FATAL_FAILURE(startKeyring());
    EXPECT_EQ(ClubSecret::lookup(server), QStringLiteral("nueva"));

    ClubSecret::forget(server);
    EXPECT_EQ(ClubSecret::lookup(server), std::nullopt);
    EXPECT_EQ(keptCount(server), 0);
    EXPECT_EQ(ClubSecret::lookup(other), QStringLiteral("otra"));
    ClubSecret::forget(server);  // nothing left to forget: no harm
    EXPECT_EQ(ClubSecret::lookup(other), QStringLiteral("otra"));
}

// With no secret service on the bus nothing is kept, and it is said so at once (nothing waits
// for a service that will not come); the history window then offers no "remember" and asks for
// the password in each session of the program, never more than once in one.
TEST_F(ClubSecretTest, WithoutASecretServiceThePasswordIsAskedEachSession) {
    QElapsedTimer took;
    took.start();
    EXPECT_FALSE(ClubSecret::available());
    QString error;
    EXPECT_FALSE(ClubSecret::store(server, QStringLiteral("clave"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(ClubSecret::lookup(server), std::nullopt);
    ClubSecret::forget(server);
    EXPECT_LT(took.elapsed(), 5000);

    QTemporaryDir dir;
    HistoryDatabase db;
    ASSERT_EQ(db.open(dir.filePath(QStringLiteral("historial.sqlite"))).status,
              HistoryOpening::Status::Ready);
    ASSERT_TRUE(db.store(sampleTest(kEditionFutbol, 5, 0, 3)).ok());
    // Nobody listens there: each sync ends at once, unable to reach the server.
    ClubServerSettings nowhere = server;
    nowhere.host = QStringLiteral("127.0.0.1");
    nowhere.port = freeLocalPort();
    QStringList asked, told;
    auto session = [&] {
        HistoryWindowServices services;
        addClubPasswordServices(services, nullptr);
        services.askPassword = [&](const QString& question) -> std::optional<QString> {
            asked << question;
            return QStringLiteral("tecleada");
        };
        services.tell = [&](const QString& text) { told << text; };
        return services;
    };

    {
        HistoryWindow window(db, editionRecord(kEditionFutbol), session());
        window.show();
        window.clubServerButton()->click();
        ClubServerDialog* dialog = window.clubServerDialog();
        ASSERT_TRUE(dialog && dialog->isVisible());
        EXPECT_FALSE(dialog->rememberPassword()) << "no keyring to remember it in";
        dialog->hostEdit()->setText(nowhere.host);
        dialog->portEdit()->setValue(nowhere.port);
        dialog->databaseEdit()->setText(nowhere.database);
        dialog->userEdit()->setText(nowhere.user);
        dialog->accept();
        for (int attempt = 0; attempt < 2; ++attempt) {
            QSignalSpy finished(&window, &HistoryWindow::syncFinished);
            window.synchronize();
            ASSERT_TRUE(finished.wait(20000));
        }
        EXPECT_EQ(asked.size(), 1) << "asked once in a session";
        EXPECT_EQ(told.size(), 2);
    }
    {
        HistoryWindow window(db, editionRecord(kEditionFutbol), session());
        QSignalSpy finished(&window, &HistoryWindow::syncFinished);
        window.synchronize();
        ASSERT_TRUE(finished.wait(20000));
        EXPECT_EQ(asked.size(), 2) << "asked again in the next session";
    }
}

// With the keyring, "remember" keeps the password there and the next session asks nothing.
TEST_F(ClubSecretTest, WithTheKeyringTheNextSessionAsksNothing) {
    startKeyring();
    if (IsSkipped() || HasFatalFailure())
        return;
    QTemporaryDir dir;
    HistoryDatabase db;
    ASSERT_EQ(db.open(dir.filePath(QStringLiteral("historial.sqlite"))).status,
              HistoryOpening::Status::Ready);
    server.host = QStringLiteral("127.0.0.1");
    server.port = freeLocalPort();
    QStringList asked;
    auto session = [&] {
        HistoryWindowServices services;
        addClubPasswordServices(services, nullptr);
        services.askPassword = [&](const QString& question) -> std::optional<QString> {
            asked << question;
            return std::nullopt;
        };
        services.tell = [](const QString&) {};
        return services;
    };
    {
        HistoryWindow window(db, editionRecord(kEditionFutbol), session());
        window.show();
        window.clubServerButton()->click();
        ClubServerDialog* dialog = window.clubServerDialog();
        ASSERT_TRUE(dialog && dialog->isVisible());
        EXPECT_TRUE(dialog->rememberPassword());
        dialog->hostEdit()->setText(server.host);
        dialog->portEdit()->setValue(server.port);
        dialog->databaseEdit()->setText(server.database);
        dialog->userEdit()->setText(server.user);
        dialog->passwordEdit()->setText(QStringLiteral("recordada"));
        dialog->accept();
    }
    EXPECT_EQ(ClubSecret::lookup(server), QStringLiteral("recordada"));
    {
        HistoryWindow window(db, editionRecord(kEditionFutbol), session());
        QSignalSpy finished(&window, &HistoryWindow::syncFinished);
        window.synchronize();
        ASSERT_TRUE(finished.wait(20000));
        EXPECT_TRUE(asked.isEmpty());
    }
    ClubSecret::forget(server);
}
