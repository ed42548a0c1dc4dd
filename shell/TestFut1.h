#pragma once

#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "engine/SessionHooks.h"
#include "engine/TestSession.h"
#include "platform/qt/PacingTimer.h"
#include "platform/Platform.h"
#include "results/LiveReadings.h"

namespace norak {

class ConfigPanel;
class CoursePanel;
class FlatButton;
class HelpPanel;
class ParametersPanel;
class ResultsPanel;
class RunDisplay;
class StartPanel;

// The main test window: the top bar, the configuration panel, the course, the live display and
// the results table. Its handlers forward to the test session and the results, then show the
// session's display on the widgets.
class TForm1 : public QDialog, private SessionHooks, private LiveReadings {
    Q_OBJECT

  public:
    // `showAbout` opens the about box over this window (the front window provides it).
    TForm1(int edition, Platform platform, std::function<void(QWidget*)> showAbout = {},
           QWidget* parent = nullptr);
    ~TForm1() override;

    TestSession& session() { return *m_session; }
    const EditionRecord& edition() const { return m_session->edition(); }
    QString ProgramDir() const { return m_programDir; }

    // Event handlers, under the names the operator's manual uses for the controls.
    void FormActivate();
    void BitBtnSalirClick();
    void BitBtnNuevoClick();
    void BitBtnStartClick();
    void BitBtnStopClick();
    void BitBtnAyudaClick();
    void BitBtnGrupoClick();
    void AcercadeClick();
    void BitBtnEmpezarClick();
    void BitBtn3Click();
    void FormDblClick(const QPoint& pos);
    void Timer1Timer();
    void Timer2Timer();
    void Timer3Timer();

    FlatButton* topButton(int index) const { return m_topBar[std::size_t(index)]; }
    ConfigPanel* configPanel() const { return m_config; }
    CoursePanel* coursePanel() const { return m_course; }
    RunDisplay* runDisplay() const { return m_run.get(); }
    ResultsPanel* resultsPanel() const { return m_results; }
    StartPanel* startPanel() const { return m_start; }
    HelpPanel* helpPanel() const { return m_help; }
    ParametersPanel* parametersPanel() const { return m_parameters; }
    PacingTimer* timer(TestSession::Timer which) const;

    // Copies the session's display onto the widgets.
    void render();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void reject() override;

  private:
    // SessionHooks
    void activateAthleteButtons() override;
    void recordRemainingAthletes() override;
    bool hasNamedAthlete() override;
    void prepareResultsForNewTest() override;
    void switchTableToRowSelection() override;
    void reportBadPeriodLine(int period, const QString& line) override;

    // LiveReadings: what a dropout and the export read from the window.
    LiveValues liveValues() const override;
    bool stopEnabled() const override;
    int warmUpPhase() const override;
    int spinEditValue() const override;
    QString startSpeedText() const override;
    QString programDir() const override;

    void createTopBar();
    void createPanels();
    void dressWindow();
    void syncTimers();
    bool confirmLeave();
    void afterEvent();

    Platform m_platform;
    std::function<void(QWidget*)> m_showAbout;
    std::unique_ptr<TestSession> m_session;
    QString m_programDir;
    bool m_leaving = false;
    bool m_activated = false;

    std::array<FlatButton*, 6> m_topBar{};
    ConfigPanel* m_config = nullptr;
    CoursePanel* m_course = nullptr;
    std::unique_ptr<RunDisplay> m_run;
    ResultsPanel* m_results = nullptr;
    StartPanel* m_start = nullptr;
    HelpPanel* m_help = nullptr;
    ParametersPanel* m_parameters = nullptr;

    // The effort and recovery ticks also wake up at the moment the next signal or departure is
    // due (see syncTimers).
    PacingTimer m_timer1;  // effort tick
    PacingTimer m_timer2;  // recovery tick
    PacingTimer m_timer3;  // clock tick
};

}  // namespace norak
