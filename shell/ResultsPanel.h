#pragma once

#include <QWidget>
#include <array>
#include <memory>

#include "engine/Edition.h"
#include "platform/Platform.h"
#include "results/LiveValues.h"

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QToolButton;

namespace norak {

class AthleteButton;
class AthleteRoster;
class LiveReadings;
class ResultsActions;
class ResultsGrid;
class ResultsTable;

// The results panel `PanelDeportistas` of the test window: the title bar "Deportistas" with the
// clear-table and export buttons, the frame `PanelReg_SJp` holding the grid `HyperGrid_Sujetos`,
// and the athlete buttons B01 ... B14 beside the grid's rows. It owns the results table, the
// athlete slots and the results flows; the test window reads and drives them through it.
class ResultsPanel : public QWidget {
    Q_OBJECT

  public:
    // `tableWidth` is W, the width the column widths are computed from.
    ResultsPanel(const EditionRecord& edition, const Platform& platform, LiveReadings& readings,
                 int tableWidth, QWidget* parent = nullptr);
    ~ResultsPanel() override;

    // The size the panel takes for an edition and a table width.
    static QSize panelSize(int edition, int stationsPerLap, int tableWidth);

    ResultsTable& table() const { return *m_table; }
    AthleteRoster& roster() const { return *m_roster; }
    ResultsActions& actions() const { return *m_actions; }
    ResultsGrid* grid() const { return m_grid; }
    QFrame* frame() const { return m_frame; }
    QLabel* titleBar() const { return m_titleBar; }
    QToolButton* clearButton() const { return m_clearButton; }
    QToolButton* exportButton() const { return m_exportButton; }
    // B01 ... B14 (athlete 1 ... 14).
    AthleteButton* athleteButton(int athlete) const;
    QMenu* popupMenu() const { return m_popupMenu; }
    QAction* reactivateAction() const { return m_reactivateAction; }

    // For the test window.
    // Start of the timed test: a button for each named row.
    void ActivateAthleteButtons();
    // Stop of a test: every athlete still running is recorded with the values shown now.
    void RecordRemainingAthletes();
    // BtnExportDatos and BtnBorrarTabla together (disabled by Start, enabled by Stop when a row
    // has a name).
    void setTableButtonsEnabled(bool enabled);
    bool HasNamedAthlete() const;
    // The table's part of New test (the save question, clearing results, ResultsExported := 0).
    void prepareNewTest();
    // The leave question of "Salir" and of closing the window; true to leave.
    bool confirmLeave();
    // Start leaves the grid in row-selection mode.
    void setRowSelectionMode();

    // Handlers.
    void B01Click(int athlete);
    void B01MouseMove(int athlete);
    void PopupMenu_HGPopup();
    void Volveraactivar1Click();
    void BtnBorrarTablaClick();
    void BtnExportDatosClick();

  private:
    void showPopupMenu(const QPoint& position);
    // The live values with the panel's edition and the user's decimal separator.
    LiveValues currentValues() const;

    EditionRecord m_edition;
    LocalClock& m_clock;
    LiveReadings& m_readings;
    std::unique_ptr<ResultsTable> m_table;
    std::unique_ptr<AthleteRoster> m_roster;
    std::unique_ptr<ResultsActions> m_actions;
    QLabel* m_titleBar = nullptr;
    QToolButton* m_clearButton = nullptr;
    QToolButton* m_exportButton = nullptr;
    QFrame* m_frame = nullptr;
    ResultsGrid* m_grid = nullptr;
    std::array<AthleteButton*, 14> m_athleteButtons{};
    QMenu* m_popupMenu = nullptr;
    QAction* m_reactivateAction = nullptr;
};

}  // namespace norak
