#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "engine/SessionHooks.h"
#include "engine/TestSession.h"
#include "platform/Platform.h"
#include "results/GlanceFigures.h"
#include "results/LiveReadings.h"
#include "results/ReportData.h"
#include "results/ReportFlow.h"
#include "results/ResultsActions.h"
#include "results/SignalLog.h"

namespace norak {

class AthleteRoster;
class Journal;
class JournalWriter;
class ReportRenderer;
class ResultsTable;
class SleepInhibitor;
class SoundCheck;

// One test run and everything it owns: the configuration and pacing (`TestSession`), the results
// table, the athlete slots and the program folder, with every flow of the test window that
// talks to the user or the system: dropouts, re-activation, Stop's sweep, export, the report,
// clearing the table, New test's save question and the question before leaving.
//
// The window's handlers forward here; after each of them `changed()` says that the views should
// draw the state again. No widget is involved, so a whole test runs on fake platform services.
class TestRun : public QObject, private SessionHooks, private LiveReadings {
    Q_OBJECT

  public:
    TestRun(int edition, const Platform& platform, QObject* parent = nullptr);
    ~TestRun() override;

    const EditionRecord& edition() const { return m_session->edition(); }
    const DisplayState& display() const { return m_session->display(); }
    TestSession& session() { return *m_session; }
    const TestSession& session() const { return *m_session; }
    ResultsTable& table() const { return *m_table; }
    AthleteRoster& roster() const { return *m_roster; }
    // ProgramDir: the folder the export folder lies under, ending with "/".
    QString ProgramDir() const { return m_programDir; }
    // Keeps the screen lit and the system awake from Start to Stop; none: nothing is asked.
    void setSleepInhibitor(SleepInhibitor* inhibitor) { m_inhibitor = inhibitor; }
    // Makes the report's PDF and prints it; none: "Informe" does nothing.
    void setReportRenderer(ReportRenderer* renderer) { m_reportRenderer = renderer; }
    // Names the sound output in use, for the report; asked at each Start.
    void setSoundOutputName(std::function<QString()> name) { m_soundOutputName = std::move(name); }

    // Keeps a recovery journal of the table and the test in `folder` from now on; at the first
    // activation, a journal left by a run that did not end cleanly is offered back.
    void enableJournal(const QString& folder);
    // The journal's writes are done (for a clean end and for tests).
    void flushJournal();

    // "Probar sonido": the signal and, a second later, the recovery alert, between tests only.
    void ProbarSonidoClick();
    SoundCheck& soundCheck() const { return *m_soundCheck; }

    // The window's events.
    void FormActivate();
    void BitBtnStartClick();
    void BitBtnStopClick();
    void BitBtnNuevoClick();
    void Timer1Timer();
    void Timer2Timer();
    void Timer3Timer();
    bool isTimerOn(TestSession::Timer timer) const { return m_session->isTimerOn(timer); }
    std::optional<qint64> nextDueTick() const { return m_session->nextDueTick(); }

    // The configuration panel.
    void FlatRadioButton1Click(TestMode mode);
    void SpinEdit1Change(int value);
    void ComboBoxSexoChange(int sex);
    void ComboBoxCategoriaChange(int category);
    void CheckBox_CalentamientoClick(bool checked);
    void PanelTipoMouseMove(std::optional<TestMode> overButton);
    // MemoPeriodoN, edited on the parameters panel.
    void setActiveTable(const QStringList& lines);

    // The athletes: a dropout (B01 ... B14), and "Volver a activar..." for the table's current row.
    void B01Click(int athlete);
    bool canReactivateCurrentRow() const;
    void Volveraactivar1Click();

    // "Cargar": the names and codes of a squad file into the table, between tests. True when the
    // table was filled.
    bool BtnCargarClick();
    bool loadEnabled() const { return !m_session->isRunning(); }

    // The table's buttons and the leave question.
    ResultsActions::ExportOutcome BtnExportDatosClick();
    bool BtnBorrarTablaClick();
    bool tableButtonsEnabled() const;
    // "Informe": the report of the last test and its signal log, when the export is possible.
    ReportOutcome BtnInformeClick();
    // The dropouts of the last test started, at their ticks; undone ones are left out.
    const QList<DropoutMark>& dropoutMarks() const { return m_dropouts; }
    // "Salir" and closing the window. During a test the leave question comes first and a yes
    // stops the test as "Fin de la prueba" does; the save question follows. True to leave.
    bool confirmLeave();

    // The figures of the glance area beside the table, as the run stands now.
    GlanceFigures glance() const;

    // What a dropout now writes into a row: the live texts, the edition and the user's separator.
    LiveValues liveValues() const override;

  Q_SIGNALS:
    // The state shown changed: the views draw it again.
    void changed();
    // Start puts the results grid into row-selection mode.
    void rowSelectionRequested();

  private:
    // SessionHooks
    void activateAthleteButtons() override;
    void recordRemainingAthletes() override;
    bool hasNamedAthlete() override;
    void prepareResultsForNewTest() override;
    void switchTableToRowSelection() override;
    void reportBadPeriodLine(int period, const QString& line) override;

    // LiveReadings, for the results flows.
    bool stopEnabled() const override;
    int warmUpPhase() const override;
    int spinEditValue() const override;
    QString startSpeedText() const override;
    QString programDir() const override;

    // Runs a pacing tick and says whether anything shown changed.
    template <typename Tick>
    void tick(Tick tick);
    void saveJournal();
    void noteReportSettings();
    void offerRestore();
    void endJournal();

    Platform m_platform;
    QString m_programDir;
    std::unique_ptr<TestSession> m_session;
    std::unique_ptr<ResultsTable> m_table;
    std::unique_ptr<AthleteRoster> m_roster;
    std::unique_ptr<ResultsActions> m_actions;
    std::unique_ptr<SoundCheck> m_soundCheck;
    SleepInhibitor* m_inhibitor = nullptr;
    ReportRenderer* m_reportRenderer = nullptr;
    std::function<QString()> m_soundOutputName;
    ReportSettings m_reportSettings;  // how the last test was run, noted at its Start
    QList<DropoutMark> m_dropouts;
    std::unique_ptr<Journal> m_journal;
    std::unique_ptr<JournalWriter> m_journalWriter;
    bool m_journalHeldElsewhere = false;
    bool m_activated = false;
    bool m_restoreOffered = false;
    bool m_restoredResults = false;  // a restored table may be exported before any test
    QDateTime m_startedAt;
    QDateTime m_stoppedAt;
};

}  // namespace norak
