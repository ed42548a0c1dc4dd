#pragma once

#include <QKeySequence>
#include <QWidget>
#include <array>
#include <memory>

#include "engine/Edition.h"
#include "shell/ResultsCellDelegate.h"

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QToolButton;

namespace norak {

class AthleteButton;
class AthleteRoster;
class ResultsGrid;
class ResultsTable;
class RunWarnings;
class TestRun;

// The results panel `PanelDeportistas` of the test window: the title bar "Deportistas" with the
// buttons "Cargar" and "Informe" and the clear-table and export buttons, the frame `PanelReg_SJp` holding the
// grid `HyperGrid_Sujetos`, and the athlete buttons B01 ... B14 beside the grid's rows. It shows the test
// run's results table and athlete slots and forwards the user's actions to the run, which owns both,
// or announces them ("Cargar", "Informe") to the features that act on them.
class ResultsPanel : public QWidget {
    Q_OBJECT

  public:
    // `tableWidth` is W, the width the column widths are computed from.
    ResultsPanel(const EditionRecord& edition, TestRun& run, int tableWidth, QWidget* parent = nullptr);
    ~ResultsPanel() override;

    // The size the panel takes for an edition and a table width.
    static QSize panelSize(int edition, int stationsPerLap, int tableWidth);

    ResultsTable& table() const;
    const AthleteRoster& roster() const;
    ResultsGrid* grid() const { return m_grid; }
    QFrame* frame() const { return m_frame; }
    QLabel* titleBar() const { return m_titleBar; }
    QToolButton* clearButton() const { return m_clearButton; }
    QToolButton* exportButton() const { return m_exportButton; }
    QToolButton* loadButton() const { return m_loadButton; }
    QToolButton* reportButton() const { return m_reportButton; }
    // B01 ... B14 (athlete 1 ... 14).
    AthleteButton* athleteButton(int athlete) const;
    // The key that presses an athlete's button: F1 ... F12, then Shift+F1 and Shift+F2.
    static QKeySequence athleteKey(int athlete);
    // The key that warns an athlete: Ctrl with the athlete's key.
    static QKeySequence warningKey(int athlete);
    // The arrow's hint: both gestures, the dropout's and the warning's.
    static QString athleteHint(int athlete);
    QMenu* popupMenu() const { return m_popupMenu; }
    QAction* reactivateAction() const { return m_reactivateAction; }
    // The arrow's menu (a right click on it): "Aviso" and "Quitar aviso" for its athlete.
    QMenu* warningMenu() const { return m_warningMenu; }
    QAction* warnAction() const { return m_warnAction; }
    QAction* takeBackAction() const { return m_takeBackAction; }
    int warningMenuAthlete() const { return m_menuAthlete; }

    // The run's warnings: drawn in the rows while the test runs, and "Quitar aviso" offered.
    void setWarnings(const RunWarnings* warnings);

    // BtnExportDatos, BtnBorrarTabla and BtnInforme together (disabled by Start, enabled by Stop
    // when a row has a name).
    void setTableButtonsEnabled(bool enabled);
    // "Cargar", enabled between tests.
    void setLoadEnabled(bool enabled);
    // Start leaves the grid in row-selection mode.
    void setRowSelectionMode();

    // Handlers.
    void B01Click(int athlete);
    void B01MouseMove(int athlete);
    void PopupMenu_HGPopup();
    void Volveraactivar1Click();
    void BtnBorrarTablaClick();
    void BtnExportDatosClick();
    void BtnCargarClick();
    void BtnInformeClick();
    // Opens the arrow's menu for an athlete at a point of the screen, without waiting on it.
    void showWarningMenu(int athlete, const QPoint& globalPosition);

  Q_SIGNALS:
    // "Cargar" and "Informe" were pressed: the features that load a squad and make the report
    // are connected where the window puts the run together.
    void loadRequested();
    void reportRequested();

  private:
    void showPopupMenu(const QPoint& position);
    void showWarnings();
    ResultsCellDelegate::WarningMark markOf(int row) const;

    EditionRecord m_edition;
    TestRun& m_run;
    QLabel* m_titleBar = nullptr;
    QToolButton* m_clearButton = nullptr;
    QToolButton* m_exportButton = nullptr;
    QToolButton* m_loadButton = nullptr;
    QToolButton* m_reportButton = nullptr;
    QFrame* m_frame = nullptr;
    ResultsGrid* m_grid = nullptr;
    std::array<AthleteButton*, 14> m_athleteButtons{};
    QMenu* m_popupMenu = nullptr;
    QAction* m_reactivateAction = nullptr;
    QMenu* m_warningMenu = nullptr;
    QAction* m_warnAction = nullptr;
    QAction* m_takeBackAction = nullptr;
    int m_menuAthlete = 0;
    const RunWarnings* m_warnings = nullptr;
    std::array<ResultsCellDelegate::WarningMark, 14> m_marksShown{};  // as last drawn, by row
};

}  // namespace norak
