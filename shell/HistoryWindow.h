#pragma once

#include <QList>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "club/ClubServer.h"
#include "club/ClubSync.h"
#include "engine/Edition.h"
#include "history/HistoryDatabase.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;
class QThread;

namespace norak {

// What the history window asks of the system; each may be left empty (the button then does
// nothing). In the program these are the platform's dialogs and message boxes.
struct HistoryWindowServices {
    std::function<QString(const QString& caption)> chooseFolder;
    // The path to save to, proposing a file name; empty: cancelled.
    std::function<QString(const QString& caption, const QString& proposedName)> chooseSavePath;
    std::function<bool(const QString& question)> ask;  // Yes/No
    std::function<void(const QString& text)> tell;
    // Makes the report of a stored test (the program's report flow); empty: no "Informe".
    std::function<void(const StoredTest& test)> report;
    // The club server's password: the one kept by the desktop's secret service (nullopt: none
    // kept, or no service); keeping one (false: no service); asking the coach (nullopt:
    // cancelled). In the program, ClubSecret and an input dialog (clubPasswordServices()).
    std::function<std::optional<QString>(const ClubServerSettings& server)> keptPassword;
    std::function<bool(const ClubServerSettings& server, const QString& password)> keepPassword;
    std::function<std::optional<QString>(const QString& question)> askPassword;
    // Whether a secret service answers (the dialog then offers to remember the password).
    std::function<bool()> canKeepPasswords;
};

// The program's own password services: the desktop's secret service and an input dialog.
void addClubPasswordServices(HistoryWindowServices& services, QWidget* dialogParent);

class ClubServerDialog;

// A player's progression: the distance of each test over the test dates, with the completed
// periods written at each point. Drawn with QPainter in the edition's colors.
class ProgressionChart : public QWidget {
    Q_OBJECT

  public:
    explicit ProgressionChart(const EditionRecord& edition, QWidget* parent = nullptr);
    void setPoints(const QList<ProgressPoint>& points);
    const QList<ProgressPoint>& points() const { return m_points; }
    // Where the point of a test is drawn (for tests); empty when it has no distance.
    QPointF pointPosition(int index) const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QRectF plotArea() const;
    EditionRecord m_edition;
    QList<ProgressPoint> m_points;
    qint64 m_low = 0;
    qint64 m_high = 1;
};

// "Historial": every test kept, the players across tests and the squad's ranking, in three tabs
// ("Pruebas", "Deportistas", "Equipo"). It reads through a connection of its own (the writer's
// thread keeps its own); corrections (rename, merge, delete) are written here, between tests.
class HistoryWindow : public QWidget {
    Q_OBJECT

  public:
    HistoryWindow(HistoryDatabase& db, const EditionRecord& edition, HistoryWindowServices services,
                  QWidget* parent = nullptr);
    // Waits for an import under way.
    ~HistoryWindow() override;

    // Reads the three lists again, keeping the selected test and players (and where each list
    // is scrolled to) when they are still there.
    void reload();

    // While a test runs, "Sincronizar" is off, and a sync under way stops after its batch.
    void setTestRunning(bool running);
    bool syncRunning() const { return m_syncRunning; }
    const ClubSyncReport& lastSyncReport() const { return m_lastSync; }

    QTabWidget* tabs() const { return m_tabs; }
    QTableWidget* testList() const { return m_tests; }
    QTableWidget* testTable() const { return m_testTable; }
    QTableWidget* playerList() const { return m_players; }
    QTableWidget* playerTests() const { return m_playerTests; }
    QTableWidget* teamList() const { return m_team; }
    ProgressionChart* chart() const { return m_chart; }
    QPushButton* exportButton() const { return m_export; }
    QPushButton* deleteButton() const { return m_delete; }
    QPushButton* reportButton() const { return m_report; }
    QPushButton* renameButton() const { return m_rename; }
    QPushButton* mergeButton() const { return m_merge; }
    QPushButton* importButton() const { return m_import; }
    QPushButton* historyExportButton() const { return m_historyExport; }
    QLineEdit* nameEdit() const { return m_nameEdit; }
    QLineEdit* codeEdit() const { return m_codeEdit; }
    QPushButton* clubServerButton() const { return m_clubServer; }
    QPushButton* syncButton() const { return m_syncButton; }
    ClubServerDialog* clubServerDialog() const { return m_serverDialog; }

    // The buttons' work, also for tests.
    void exportSelectedTest();
    void deleteSelectedTest();
    void reportSelectedTest();
    void renameSelectedPlayer();
    void mergeSelectedPlayers();
    // Reads the files on a thread of its own through a connection of its own, so that the window
    // stays responsive; importFinished() tells when the lists show the result.
    void importExports();
    void exportHistory();
    // "Servidor del club": opens the dialog (not blocking); its "Aceptar" keeps the settings.
    void editClubServer();
    // "Sincronizar": the sync runs off the window's thread; syncFinished() when it is done.
    void synchronize();

  Q_SIGNALS:
    void syncFinished();
    void importFinished(const QString& report);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QWidget* makeTestsTab();
    QWidget* makePlayersTab();
    QWidget* makeTeamTab();
    void showSelectedTest();
    void showSelectedPlayer();
    void updateButtons();
    QString selectedTestUuid() const;
    QStringList selectedPlayerUuids() const;
    bool writeFile(const QString& path, const QByteArray& bytes);
    void acceptClubServer();

    HistoryDatabase& m_db;
    EditionRecord m_edition;
    HistoryWindowServices m_services;
    QList<TestSummary> m_testRows;
    QList<PlayerSummary> m_playerRows;
    QTabWidget* m_tabs = nullptr;
    QTableWidget* m_tests = nullptr;
    QTableWidget* m_testTable = nullptr;
    QTableWidget* m_players = nullptr;
    QTableWidget* m_playerTests = nullptr;
    QTableWidget* m_team = nullptr;
    ProgressionChart* m_chart = nullptr;
    QPushButton* m_export = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_report = nullptr;
    QPushButton* m_rename = nullptr;
    QPushButton* m_merge = nullptr;
    QPushButton* m_import = nullptr;
    QPushButton* m_historyExport = nullptr;
    QLineEdit* m_nameEdit = nullptr;
    QLineEdit* m_codeEdit = nullptr;
    QLabel* m_status = nullptr;
    QThread* m_importer = nullptr;
    QPushButton* m_clubServer = nullptr;
    QPushButton* m_syncButton = nullptr;
    ClubServerDialog* m_serverDialog = nullptr;
    std::shared_ptr<ClubSync> m_sync = std::make_shared<ClubSync>();
    std::optional<QString> m_sessionPassword;  // typed this session, when not kept elsewhere
    bool m_testRunning = false;
    bool m_syncRunning = false;
    ClubSyncReport m_lastSync;
};

}  // namespace norak
