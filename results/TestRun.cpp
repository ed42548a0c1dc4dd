#include "results/TestRun.h"

#include <QTimer>

#include "engine/PeriodLine.h"
#include "engine/ProgramDir.h"
#include "engine/SoundCheck.h"
#include "platform/SleepInhibitor.h"
#include "results/AthleteRoster.h"
#include "results/CellText.h"
#include "results/Journal.h"
#include "results/JournalWriter.h"
#include "results/ReportFlow.h"
#include "results/ResultsTable.h"
#include "results/SquadFile.h"

namespace norak {

namespace {

QString withSlash(QString folder) {
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

// A line of text as it can be quoted in a message: control characters as spaces, and a long
// line (a paste, say) cut short.
QString quotable(const QString& line) {
    constexpr qsizetype kLongest = 30;
    QString text;
    for (const QChar c : line)
        text += c.category() == QChar::Other_Control ? QLatin1Char(' ') : c;
    if (text.size() > kLongest) {
        const qsizetype cut = text[kLongest - 1].isHighSurrogate() ? kLongest - 1 : kLongest;
        text = text.left(cut) + QStringLiteral("…");
    }
    return text;
}

}  // namespace

TestRun::TestRun(int edition, const Platform& platform, QObject* parent)
    : QObject(parent), m_platform(platform) {
    // The program's folder, and the export folder beside the program (a failure is ignored: the
    // export creates it again when it is needed).
    m_programDir = withSlash(programDirOf(m_platform.files.programFilePath()));
    m_platform.files.createFolder(m_programDir + kExportFolderName);

    m_session = std::make_unique<TestSession>(edition, m_platform.ticks, m_platform.clock, m_platform.sound,
                                              m_platform.messages, static_cast<SessionHooks&>(*this));
    m_table = std::make_unique<ResultsTable>(edition);
    m_roster = std::make_unique<AthleteRoster>(*m_table);
    m_actions = std::make_unique<ResultsActions>(m_session->edition().editionTitle, *m_table, *m_roster,
                                                 m_platform, static_cast<LiveReadings&>(*this));
    m_soundCheck = std::make_unique<SoundCheck>(m_platform.sound, m_platform.messages, m_platform.ticks,
                                                m_session->edition().editionTitle);
    connect(m_roster.get(), &AthleteRoster::buttonVisibilityChanged, this, &TestRun::changed);
    // A name typed or a result written changes what the glance area counts.
    connect(m_table.get(), &ResultsTable::dataChanged, this, &TestRun::changed);
}

TestRun::~TestRun() {
    if (m_inhibitor)
        m_inhibitor->release();
    if (m_journalWriter)
        m_journalWriter->waitUntilWritten();
}

void TestRun::enableJournal(const QString& folder) {
    auto journal = std::make_unique<Journal>(m_session->edition().edition, folder);
    if (journal->claim() == Journal::Claim::HeldElsewhere) {
        // Another copy of the program is running: its journal is neither offered back here nor
        // overwritten or removed by this one.
        m_journalHeldElsewhere = true;
        if (m_activated)
            offerRestore();
        return;
    }
    m_journal = std::move(journal);
    m_journalWriter = std::make_unique<JournalWriter>(*m_journal);
    // Said once, from the writer's thread; shown here, after whatever the window is doing.
    connect(
        m_journalWriter.get(), &JournalWriter::writeFailed, this,
        [this](const QString& where) {
            m_platform.sound.alert(kAlertWarning);
            m_platform.messages.warning(QStringLiteral("Información"), Journal::notKeptMessage(where));
        },
        Qt::QueuedConnection);
    connect(m_table.get(), &ResultsTable::dataChanged, this, &TestRun::saveJournal);
    if (m_activated)
        offerRestore();
}

// A clean end: the table is discarded as the program ends, and its journal with it.
void TestRun::endJournal() {
    if (!m_journalWriter)
        return;
    m_journalWriter->removeJournal();
    m_journalWriter->waitUntilWritten();
}

void TestRun::flushJournal() {
    if (m_journalWriter)
        m_journalWriter->waitUntilWritten();
}

void TestRun::saveJournal() {
    if (!m_journalWriter || !m_restoreOffered)
        return;  // nothing is written over a journal not yet offered back
    JournalState state;
    state.edition = m_session->edition().edition;
    state.takeTable(*m_table);
    state.mode = m_session->display().mode;
    state.startPeriod = m_session->startPeriod();
    state.startSpeedText = m_session->StartSpeedText();
    state.startedAt = m_startedAt;
    state.running = m_session->isRunning();
    state.stoppedAt = m_stoppedAt;
    m_journalWriter->post(state);
}

void TestRun::offerRestore() {
    if (m_journalHeldElsewhere && !m_restoreOffered) {
        m_restoreOffered = true;
        m_platform.sound.alert(kAlertWarning);
        m_platform.messages.warning(QStringLiteral("Información"), Journal::heldElsewhereMessage());
        return;
    }
    if (!m_journal || m_restoreOffered)
        return;
    m_restoreOffered = true;
    const Journal::LoadResult found = m_journal->load();
    switch (found.status) {
        case Journal::LoadStatus::Missing:
            return;
        case Journal::LoadStatus::Loaded:
            if (found.state.isEmpty()) {
                m_journal->remove();
                return;
            }
            m_platform.sound.alert(kAlertQuestion);
            if (m_platform.messages.askYesNo(Journal::restoreCaption(), Journal::restoreQuestion())) {
                // A test that was running when the program died comes back stopped: its runners
                // keep no result, as nothing was recorded for them.
                found.state.putInto(*m_table);
                m_startedAt = found.state.startedAt;
                m_stoppedAt = found.state.stoppedAt;
                m_reportSettings = ReportSettings{found.state.mode, found.state.startPeriod,
                                                  found.state.startSpeedText, false, QString()};
                m_restoredResults = true;
                saveJournal();
            } else {
                m_journal->remove();
            }
            return;
        default: {
            const QString path = m_journal->setAside(m_platform.clock.now());
            m_platform.sound.alert(kAlertWarning);
            m_platform.messages.warning(QStringLiteral("Información"), Journal::setAsideMessage(path));
            return;
        }
    }
}

void TestRun::ProbarSonidoClick() {
    if (m_session->isRunning())
        return;
    m_soundCheck->start();
}

// ---------------------------------------------------------------------------------------------
// The window's events

void TestRun::FormActivate() {
    m_programDir = withSlash(m_platform.files.currentFolder());
    m_session->FormActivate();
    m_activated = true;
    offerRestore();
    Q_EMIT changed();
}

void TestRun::BitBtnStartClick() {
    m_soundCheck->cancel();  // no check's alert in the middle of the first period
    m_session->BitBtnStartClick();
    if (m_session->isRunning()) {
        m_restoredResults = false;
        m_startedAt = m_platform.clock.now();
        m_stoppedAt = QDateTime();
        noteReportSettings();
        m_dropouts.clear();  // the timing record starts again with this test
        if (m_inhibitor)
            m_inhibitor->take(QStringLiteral("Prueba de esfuerzo en curso"));
    }
    saveJournal();
    Q_EMIT changed();
}

void TestRun::BitBtnStopClick() {
    const bool wasRunning = m_session->isRunning();
    m_session->BitBtnStopClick();
    if (wasRunning && !m_session->isRunning()) {
        m_stoppedAt = m_platform.clock.now();
        if (m_inhibitor)
            m_inhibitor->release();
    }
    saveJournal();
    Q_EMIT changed();
}

void TestRun::BitBtnNuevoClick() {
    m_session->BitBtnNuevoClick();
    saveJournal();
    Q_EMIT changed();
}

// Most pacing ticks change nothing that is shown; the views are told only when something did.
template <typename Tick>
void TestRun::tick(Tick tick) {
    const DisplayState before = m_session->display();
    tick();
    if (!(before == m_session->display()))
        Q_EMIT changed();
}

void TestRun::Timer1Timer() {
    tick([this] { m_session->Timer1Timer(); });
}

void TestRun::Timer2Timer() {
    tick([this] { m_session->Timer2Timer(); });
}

void TestRun::Timer3Timer() {
    tick([this] { m_session->Timer3Timer(); });
}

void TestRun::FlatRadioButton1Click(TestMode mode) {
    m_session->FlatRadioButton1Click(mode);
    Q_EMIT changed();
}

void TestRun::SpinEdit1Change(int value) {
    m_session->SpinEdit1Change(value);
    Q_EMIT changed();
}

void TestRun::ComboBoxSexoChange(int sex) {
    m_session->ComboBoxSexoChange(sex);
    Q_EMIT changed();
}

void TestRun::ComboBoxCategoriaChange(int category) {
    m_session->ComboBoxCategoriaChange(category);
    Q_EMIT changed();
}

void TestRun::CheckBox_CalentamientoClick(bool checked) {
    m_session->CheckBox_CalentamientoClick(checked);
    Q_EMIT changed();
}

void TestRun::PanelTipoMouseMove(std::optional<TestMode> overButton) {
    m_session->PanelTipoMouseMove(overButton);
    Q_EMIT changed();
}

void TestRun::setActiveTable(const QStringList& lines) {
    m_session->setActiveTable(lines);
    Q_EMIT changed();  // a new run time moves the wake-up
}

// ---------------------------------------------------------------------------------------------
// The athletes and the table

void TestRun::B01Click(int athlete) {
    // Noted for the signal log only when a runner really drops out.
    if (m_roster->isShown(athlete))
        m_dropouts.append(DropoutMark{m_platform.ticks.ticks(), athlete, m_table->cell(kColName, athlete)});
    m_roster->dropout(athlete, liveValues());
}

bool TestRun::canReactivateCurrentRow() const {
    return m_roster->canReactivate(m_table->currentRow(), stopEnabled(), warmUpPhase());
}

void TestRun::Volveraactivar1Click() {
    const int row = m_table->currentRow();
    if (!m_table->cell(kColName, row).isEmpty() && stopEnabled() && warmUpPhase() == 0) {
        m_roster->reactivate(row);
        // A dropout pressed by mistake never happened; the player's real one comes later.
        m_dropouts.removeIf([row](const DropoutMark& mark) { return mark.athlete == row; });
    }
}

bool TestRun::BtnCargarClick() {
    if (!loadEnabled())
        return false;
    SaveRequest request;
    request.title = kLoadDialogCaption;
    request.folder = ResultsActions::exportFolderFor(m_programDir);
    if (!m_platform.files.folderExists(request.folder))
        request.folder = m_platform.files.homeFolder();
    request.filter = kLoadDialogFilter;
    const std::optional<QString> path = m_platform.saveDialog.getOpenFileName(request);
    if (!path)
        return false;

    const SquadLoad load = SquadFile::readFile(*path, m_table->dataRowCount());
    if (load.error) {
        m_platform.sound.alert(kAlertWarning);
        m_platform.messages.warning(kLoadErrorCaption, SquadFile::errorText(*load.error, *path));
        return false;
    }
    if (m_table->hasNamedAthlete()) {
        m_platform.sound.alert(kAlertQuestion);
        if (!m_platform.messages.askYesNo(kLoadReplaceCaption, kLoadReplaceText))
            return false;
    }
    // The results of the last test go as New test lets them go: offered for saving first.
    m_actions->askToSaveUnexported();
    m_table->clearAll();
    m_roster->hideAll();
    for (int i = 0; i < load.rows.size(); ++i) {
        m_table->setCell(kColName, i + 1, load.rows[i].name);
        m_table->setCell(kColCode, i + 1, load.rows[i].code);
    }
    if (!load.problems.isEmpty()) {
        m_platform.sound.alert(kAlertWarning);
        m_platform.messages.information(kLoadProblemsCaption,
                                        SquadFile::problemsText(load.problems, m_table->dataRowCount()));
    }
    Q_EMIT changed();
    return true;
}

ResultsActions::ExportOutcome TestRun::BtnExportDatosClick() {
    if (!tableButtonsEnabled())
        return ResultsActions::ExportOutcome::NothingToExport;
    const ResultsActions::ExportOutcome outcome = m_actions->exportResults();
    saveJournal();  // the export flag
    Q_EMIT changed();
    return outcome;
}

ReportOutcome TestRun::BtnInformeClick() {
    if (!m_reportRenderer || !tableButtonsEnabled())
        return ReportOutcome::NothingToReport;
    const TimingRecord& record = m_session->timingRecord();
    ReportJob job;
    job.editionTitle = m_session->edition().editionTitle;
    job.programDir = m_programDir;
    job.data = ReportData::compute(*m_table, record, m_reportSettings);
    if (record.signalsGiven.empty()) {
        job.data.start = m_startedAt;  // a table brought back: its Start as the journal kept it
    } else {
        job.signalLog = SignalLog::lines(record, m_dropouts);
    }
    const ReportOutcome outcome = saveReport(job, m_platform, *m_reportRenderer);
    Q_EMIT changed();
    return outcome;
}

bool TestRun::BtnBorrarTablaClick() {
    if (!tableButtonsEnabled())
        return false;
    const bool cleared = m_actions->clearTable();
    Q_EMIT changed();
    return cleared;
}

bool TestRun::tableButtonsEnabled() const {
    const DisplayState& d = m_session->display();
    if (m_restoredResults && !m_session->isRunning() && m_table->hasNamedAthlete())
        return true;
    return d.exportEnabled && d.borrarEnabled;
}

bool TestRun::confirmLeave() {
    if (!m_session->isRunning()) {
        const bool leave = m_actions->confirmLeave();
        if (leave)
            endJournal();
        Q_EMIT changed();
        return leave;
    }
    // During a test the question is whether to end it: no, and the test goes on untouched; yes,
    // and it ends as "Fin de la prueba" ends it, every runner recorded, before the results are
    // offered for saving.
    if (!m_actions->askLeave())
        return false;
    BitBtnStopClick();
    m_actions->askToSaveUnexported();
    endJournal();
    Q_EMIT changed();
    return true;
}

GlanceFigures TestRun::glance() const {
    using Phase = GlanceFigures::Phase;
    const Phase phase = !m_session->isRunning() ? Phase::BetweenTests
                        : warmUpPhase() != 0    ? Phase::WarmUp
                                                : Phase::Timed;
    return GlanceFigures::of(*m_table, *m_roster, phase);
}

// How the test just started is run, as the report states it: noted now, since the panel may
// show another choice by the time the report is made.
void TestRun::noteReportSettings() {
    const TimingRecord& record = m_session->timingRecord();
    m_reportSettings.mode = m_session->display().mode;
    m_reportSettings.startPeriod = m_session->startPeriod();
    m_reportSettings.startSpeedText = m_session->StartSpeedText();
    m_reportSettings.warmUp =
        !record.signalsGiven.empty() && record.signalsGiven.front().phase == TimingRecord::Phase::WarmUp;
    m_reportSettings.soundOutput = m_soundOutputName ? m_soundOutputName() : QString();
}

LiveValues TestRun::liveValues() const {
    const DisplayState& d = m_session->display();
    LiveValues v;
    v.crono = d.editCrono;
    v.periodo = d.editPeriodo;
    v.distancia = d.panelDistancia;
    v.velocidad = d.velocidad;
    v.startPeriod = m_session->startPeriod();
    v.edition = m_session->edition().edition;
    v.decimalSeparator = m_platform.clock.decimalSeparator();
    return v;
}

// ---------------------------------------------------------------------------------------------
// What the session asks of the results

void TestRun::activateAthleteButtons() {
    m_roster->activateAthleteButtons();
}

void TestRun::recordRemainingAthletes() {
    m_roster->recordRemainingAthletes(liveValues());
}

bool TestRun::hasNamedAthlete() {
    return m_table->hasNamedAthlete();
}

void TestRun::prepareResultsForNewTest() {
    m_actions->prepareNewTest();
}

void TestRun::switchTableToRowSelection() {
    Q_EMIT rowSelectionRequested();
}

void TestRun::reportBadPeriodLine(int period, const QString& line) {
    const QString text =
        QStringLiteral(
            "La línea %1 de la tabla de periodos («%2») no es un número entero de milisegundos entre %3 "
            "y %4. No se darán señales en ese periodo hasta que se corrija; la prueba continúa.")
            // In one pass: a "%3" typed into the line stays as it was typed.
            .arg(QString::number(period), quotable(line), QString::number(kMinLegMs),
                 QString::number(kMaxLegMs));
    // Shown after the tick that found it, so that the pacing handler is never held up.
    QTimer::singleShot(0, this, [this, text] {
        m_platform.sound.alert(kAlertWarning);
        m_platform.messages.warning(QStringLiteral("Información"), text);
    });
}

bool TestRun::stopEnabled() const {
    return m_session->display().stopEnabled;
}

int TestRun::warmUpPhase() const {
    return m_session->WarmUpPhase();
}

int TestRun::spinEditValue() const {
    return m_session->display().spinValue;
}

QString TestRun::startSpeedText() const {
    return m_session->StartSpeedText();
}

QString TestRun::programDir() const {
    return m_programDir;
}

}  // namespace norak
