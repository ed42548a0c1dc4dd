#pragma once

#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "engine/TestSession.h"
#include "platform/Platform.h"
#include "platform/qt/PacingTimer.h"

namespace norak {

class ConfigPanel;
class CoursePanel;
class GlancePanel;
class FlatButton;
class HelpPanel;
class HistoryAccess;
class ParametersPanel;
class ResultsPanel;
class RunDisplay;
class StartPanel;
class RunAssembly;
class RemoteWindow;
class SleepInhibitor;
class TestRun;
class VoiceCues;

// The main test window: the top bar, the configuration panel, the course, the live display and
// the results table. It puts the test run together with its features (RunAssembly); its handlers
// call the run's verbs, and it draws the run's state on the widgets whenever the run says it
// changed. It owns the window's three timers.
class TForm1 : public QDialog {
    Q_OBJECT

  public:
    // `showAbout` opens the about box over this window (the front window provides it).
    TForm1(int edition, Platform platform, std::function<void(QWidget*)> showAbout = {},
           QWidget* parent = nullptr);
    ~TForm1() override;

    TestRun& testRun() const;
    // The run's features (journal, report, squad loading, sound check), for the program to set up.
    RunAssembly& features() const { return *m_parts; }
    // Keeps the desktop awake during a test (the program gives it; tests leave it out).
    void setSleepInhibitor(SleepInhibitor* inhibitor);
    // Keeps every test in the history database at `path` (the run's feature), and gives the
    // window its "Historial" button and "Cargar"'s past squads.
    void keepHistory(const QString& path);
    HistoryAccess* history() const { return m_history; }
    const TestSession& session() const;
    const EditionRecord& edition() const;
    QString ProgramDir() const;

    // Event handlers, under the names the operator's manual uses for the controls.
    void FormActivate();
    void BitBtnSalirClick();
    void BitBtnNuevoClick();
    void BitBtnStartClick();
    void BitBtnStopClick();
    void BitBtnAyudaClick();
    void BitBtnGrupoClick();
    void BitBtnHistorialClick();
    void BtnCargarClick();
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
    RunDisplay* runDisplay() const { return m_runDisplay.get(); }
    ResultsPanel* resultsPanel() const { return m_results; }
    GlancePanel* glancePanel() const { return m_glance; }
    StartPanel* startPanel() const { return m_start; }
    HelpPanel* helpPanel() const { return m_help; }
    ParametersPanel* parametersPanel() const { return m_parameters; }
    RemoteWindow* remoteWindow() const { return m_remote; }
    PacingTimer* timer(TestSession::Timer which) const;
    bool isTimerOn(TestSession::Timer which) const { return timer(which)->isActive(); }

    // Copies the session's display onto the widgets.
    void render();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void reject() override;

  private:
    void createTopBar();
    void createPanels();
    void attachVoice();
    void attachWarnings();
    void attachRemote();
    void dressWindow();
    void syncTimers();
    void afterEvent();

    Platform m_platform;
    std::function<void(QWidget*)> m_showAbout;
    std::unique_ptr<RunAssembly> m_parts;
    TestRun* m_run = nullptr;  // the assembly's
    bool m_leaving = false;
    bool m_activated = false;

    std::array<FlatButton*, 7> m_topBar{};
    ConfigPanel* m_config = nullptr;
    CoursePanel* m_course = nullptr;
    std::unique_ptr<RunDisplay> m_runDisplay;
    ResultsPanel* m_results = nullptr;
    GlancePanel* m_glance = nullptr;
    StartPanel* m_start = nullptr;
    HelpPanel* m_help = nullptr;
    ParametersPanel* m_parameters = nullptr;
    VoiceCues* m_voice = nullptr;        // a child; listens to the run and the sound check
    HistoryAccess* m_history = nullptr;  // a child; none: no history kept
    RemoteWindow* m_remote = nullptr;    // a child window, made when the remote is first turned on

    // The effort and recovery ticks also wake up at the moment the next signal or departure is
    // due (see syncTimers).
    PacingTimer m_timer1;  // effort tick
    PacingTimer m_timer2;  // recovery tick
    PacingTimer m_timer3;  // clock tick
};

}  // namespace norak
