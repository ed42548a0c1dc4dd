#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>

#include "club/ClubSync.h"
#include "history/HistoryDatabase.h"
#include "shell/ClubServerDialog.h"
#include "shell/HistoryWindow.h"
#include "support/HistorySamples.h"
#include "support/PostgresCluster.h"

using namespace norak;

// The history window's club buttons, offscreen, against a server this program starts.

namespace {

PostgresCluster* g_cluster = nullptr;

class ClubWindowEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        g_cluster = new PostgresCluster;
        ASSERT_TRUE(g_cluster->start()) << g_cluster->error().toStdString();
        ASSERT_TRUE(g_cluster->createDatabase(QStringLiteral("club"))) << g_cluster->error().toStdString();
    }
    void TearDown() override {
        if (g_cluster) {
            EXPECT_TRUE(g_cluster->stop()) << g_cluster->error().toStdString();
        }
        delete g_cluster;
        g_cluster = nullptr;
    }
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new ClubWindowEnvironment);

}  // namespace

// "Servidor del club" tries what the coach typed and says what failed; "Aceptar" keeps the
// address, never the password; "Sincronizar" asks for the password once, syncs off the window's
// thread, shows the tests that came from another laptop, and is off while a test runs.
TEST(ClubWindow, ServerDialogAndSync) {
    ASSERT_TRUE(g_cluster && g_cluster->isRunning());
    saveClubServerSettings({});  // the test's settings folder may hold an earlier run's
    QTemporaryDir dir;
    const ClubServerSettings server{g_cluster->host(),      g_cluster->port(),     QStringLiteral("club"),
                                    g_cluster->superuser(), g_cluster->password(), 5};
    {  // Another laptop has sent two tests.
        HistoryDatabase other;
        ASSERT_EQ(other.open(dir.filePath(QStringLiteral("otro.sqlite"))).status,
                  HistoryOpening::Status::Ready);
        ASSERT_TRUE(other.store(sampleTest(kEditionFutbol, 40, 0, 3)).ok());
        ASSERT_TRUE(other.store(sampleTest(kEditionFutbol, 40, 1, 3)).ok());
    }
    ClubSync first;
    ASSERT_TRUE(first.run(dir.filePath(QStringLiteral("otro.sqlite")), server).ok());

    HistoryDatabase db;
    ASSERT_EQ(db.open(dir.filePath(QStringLiteral("historial.sqlite"))).status,
              HistoryOpening::Status::Ready);
    ASSERT_TRUE(db.store(sampleTest(kEditionFutbol, 41, 0, 3)).ok());
    HistoryWindowServices services;
    QStringList told, asked;
    services.tell = [&](const QString& text) { told << text; };
    services.askPassword = [&](const QString& question) -> std::optional<QString> {
        asked << question;
        return g_cluster->password();
    };
    services.canKeepPasswords = [] { return false; };
    HistoryWindow window(db, editionRecord(kEditionFutbol), services);
    window.show();
    EXPECT_EQ(window.testList()->rowCount(), 1);

    // Without a server, "Sincronizar" says what to do first.
    window.synchronize();
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told.front().contains(QStringLiteral("Servidor del club")));

    window.clubServerButton()->click();
    ClubServerDialog* dialog = window.clubServerDialog();
    ASSERT_TRUE(dialog && dialog->isVisible());
    dialog->hostEdit()->setText(server.host);
    dialog->portEdit()->setValue(server.port);
    dialog->databaseEdit()->setText(server.database);
    dialog->userEdit()->setText(server.user);
    dialog->passwordEdit()->setText(QStringLiteral("no-es-esta"));
    QSignalSpy tried(dialog, &ClubServerDialog::tried);
    dialog->tryButton()->click();
    ASSERT_TRUE(tried.wait(15000));
    EXPECT_TRUE(dialog->resultLabel()->text().contains(QStringLiteral("contraseña")))
        << dialog->resultLabel()->text().toStdString();
    dialog->passwordEdit()->clear();  // not kept: asked when syncing
    dialog->accept();
    EXPECT_EQ(loadClubServerSettings().host, server.host);
    EXPECT_EQ(loadClubServerSettings().port, server.port);

    window.setTestRunning(true);
    EXPECT_FALSE(window.syncButton()->isEnabled());
    window.synchronize();
    EXPECT_FALSE(window.syncRunning());
    window.setTestRunning(false);
    EXPECT_TRUE(window.syncButton()->isEnabled());

    QSignalSpy finished(&window, &HistoryWindow::syncFinished);
    window.syncButton()->click();
    EXPECT_TRUE(window.syncRunning());
    EXPECT_FALSE(window.syncButton()->isEnabled());
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_TRUE(window.lastSyncReport().ok()) << window.lastSyncReport().summary().toStdString();
    EXPECT_EQ(asked.size(), 1);
    EXPECT_EQ(window.testList()->rowCount(), 3);
    EXPECT_TRUE(told.back().contains(QStringLiteral("Recibidas: 2 pruebas"))) << told.back().toStdString();
    EXPECT_TRUE(window.syncButton()->isEnabled());

    // The password typed is used again in this session without asking.
    window.synchronize();
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_EQ(asked.size(), 1);
    EXPECT_TRUE(window.lastSyncReport().ok());
}
