#include "shell/TestFut1.h"
#include "shell/QtColor.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QToolButton>
#include <algorithm>

#include "engine/SoundCheck.h"
#include "platform/audio/ToneMixer.h"
#include "platform/qt/QtSound.h"
#include "results/AthleteRoster.h"
#include "results/RunRecord.h"
#include "results/RunWarnings.h"
#include "results/SoundCheckGate.h"
#include "results/SquadLoader.h"
#include "results/TestRun.h"
#include "results/WarningRuleStore.h"
#include "shell/ConfigPanel.h"
#include "shell/CoursePanel.h"
#include "shell/GlancePanel.h"
#include "shell/Glyphs.h"
#include "shell/HelpPanel.h"
#include "shell/HistoryAccess.h"
#include "shell/MainGeometry.h"
#include "shell/ParametersPanel.h"
#include "shell/RemoteWindow.h"
#include "shell/ResultsPanel.h"
#include "shell/RunAssembly.h"
#include "shell/RunDisplay.h"
#include "shell/StartPanel.h"
#include "shell/TopBarLayout.h"
#include "shell/controls/FlatButton.h"
#include "shell/controls/Fonts.h"
#include "voice/VoiceClips.h"
#include "voice/VoiceCues.h"
#include "voice/VoiceOnRun.h"
#include "voice/VoicePreference.h"

namespace norak {

namespace {

constexpr int kClientWidth = 826;
constexpr int kClientHeight = 592;
const QRect kParametersPanel{761, -52, 358, 267};

// How often the effort and recovery ticks look at the time. Every signal, the alert second and
// the end of a recovery come on a wake-up armed for their moment (see syncTimers), so the regular
// look only moves the recovery bar's whole seconds and catches an edit of the period table;
// looking every 50 ms instead of 10 keeps the window's share of a processor well under 1 %.
constexpr int kPacingLookMs = 50;
constexpr int kClockTickMs = 100;
}  // namespace

TForm1::TForm1(int edition, Platform platform, std::function<void(QWidget*)> showAbout, QWidget* parent)
    : QDialog(parent), m_platform(platform), m_showAbout(std::move(showAbout)) {
    setObjectName(QStringLiteral("TForm1"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowStaysOnTopHint);
    setFixedSize(kClientWidth, kClientHeight);
    setFont(pixelFont(QStringLiteral("MS Sans Serif"), 11));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/icon.png")));

    m_parts = std::make_unique<RunAssembly>(edition, m_platform);
    m_run = &m_parts->run();
    const EditionRecord& e = m_run->edition();
    QCoreApplication::setApplicationName(e.editionTitle);
    setWindowTitle(e.editionTitle + QStringLiteral(": Quelmar en ") + e.sportName);

    createPanels();
    attachVoice();
    createTopBar();
    dressWindow();

    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_timer2.setObjectName(QStringLiteral("Timer2"));
    m_timer3.setObjectName(QStringLiteral("Timer3"));
    connect(&m_timer1, &PacingTimer::timeout, this, &TForm1::Timer1Timer);
    connect(&m_timer2, &PacingTimer::timeout, this, &TForm1::Timer2Timer);
    connect(&m_timer3, &PacingTimer::timeout, this, &TForm1::Timer3Timer);

    connect(m_run, &TestRun::changed, this, &TForm1::afterEvent);
    render();
}

TForm1::~TForm1() {
    // The remote goes first: its phones are closed while the run they act on is still there.
    delete m_remote;
    // The results grid goes while the run's table that it shows is still there; the history's
    // windows while the run's history is.
    delete m_history;
    delete m_results;
    delete m_glance;
}

TestRun& TForm1::testRun() const {
    return *m_run;
}

void TForm1::setSleepInhibitor(SleepInhibitor* inhibitor) {
    m_parts->keepAwakeWith(inhibitor);
}

const TestSession& TForm1::session() const {
    return m_run->session();
}

const EditionRecord& TForm1::edition() const {
    return m_run->edition();
}

QString TForm1::ProgramDir() const {
    return m_run->programDir();
}

void TForm1::createTopBar() {
    const EditionRecord& e = m_run->edition();
    struct ButtonDef {
        const char* name;
        const char* caption;
        Glyph glyph;
        void (TForm1::*handler)();
    };
    const ButtonDef defs[kTopBarButtonCount] = {
        {"BitBtnSalir", "Salir", Glyph::Exit, &TForm1::BitBtnSalirClick},
        {"BitBtnNuevo", "Nuevo Test", Glyph::NewSheet, &TForm1::BitBtnNuevoClick},
        {"BitBtnStart", "Iniciar prueba", Glyph::Play, &TForm1::BitBtnStartClick},
        {"BitBtnStop", "Fin de la prueba", Glyph::Stop, &TForm1::BitBtnStopClick},
        {"BitBtnAyuda", "Ayuda", Glyph::Help, &TForm1::BitBtnAyudaClick},
        {"BitBtnGrupo", "A cerca de...", Glyph::Info, &TForm1::BitBtnGrupoClick},
        {"BitBtnHistorial", "Historial", Glyph::History, &TForm1::BitBtnHistorialClick}};
    const TopBarGeometry bar = topBarLayout(kClientWidth);
    for (int i = 0; i < kTopBarButtonCount; ++i) {
        auto* button = new FlatButton(this);
        button->setObjectName(QString::fromLatin1(defs[i].name));
        button->setCaption(QString::fromUtf8(defs[i].caption));
        button->setCaptionFont(pixelFont(QStringLiteral("Arial"), 15));
        button->setCaptionColor(Qt::white);
        button->setFaceColor(qColor(e.colorMain));
        button->setBorderColor(qColor(e.colorDark));
        button->setHighlightColor(Qt::white);
        // Glyph above the caption: the longest caption needs the button's whole width.
        button->setGlyphPainter(glyphPainter(defs[i].glyph), QSize(28, 28));
        button->setGlyphLayout(FlatButton::GlyphLayout::Above);
        button->setGlyphColors(qColor(e.colorDark), qColor(e.colorLight));
        button->setGeometry(bar[std::size_t(i)]);
        connect(button, &FlatButton::clicked, this, defs[i].handler);
        m_topBar[std::size_t(i)] = button;
    }
    m_topBar[kTopBarHistorial]->setHint(
        QStringLiteral("Las pruebas guardadas y la evolución de cada deportista"));
}

void TForm1::createPanels() {
    const EditionRecord& e = m_run->edition();

    m_runDisplay = std::make_unique<RunDisplay>(this);
    m_course = new CoursePanel(e.course, this);
    m_course->setGeometry(geometry::kCoursePanel);
    m_runDisplay->lapPanel()->raise();

    m_config = new ConfigPanel(e, this);
    m_config->setGeometry(geometry::kConfigPanel);
    m_config->raise();
    connect(m_config, &ConfigPanel::modeChosen, this, [this](TestMode mode) { m_run->chooseMode(mode); });
    connect(m_config, &ConfigPanel::startPeriodChanged, this,
            [this](int value) { m_run->setStartPeriod(value); });
    connect(m_config, &ConfigPanel::sexChanged, this, [this](int sex) { m_run->setSex(sex); });
    connect(m_config, &ConfigPanel::categoryChanged, this,
            [this](int category) { m_run->setCategory(category); });
    connect(m_config, &ConfigPanel::warmUpClicked, this, [this](bool checked) { m_run->setWarmUp(checked); });
    connect(m_config, &ConfigPanel::soundCheckRequested, &m_parts->soundCheck(), &SoundCheckGate::checkSound);
    connect(m_config, &ConfigPanel::pointerOver, this, [this](int mode) {
        m_run->pointAtMode(mode < 0 ? std::nullopt : std::optional<TestMode>(TestMode(mode)));
    });

    // The results table fills the area right of the course, the athlete buttons at its left edge.
    const QRect area = geometry::kRightArea;
    int tableWidth = area.width();
    while (tableWidth > 100 &&
           ResultsPanel::panelSize(e.edition, e.stationsPerLap, tableWidth).width() > area.width()) {
        --tableWidth;
    }
    m_results = new ResultsPanel(e, *m_run, tableWidth, this);
    m_results->setGeometry(
        QRect(area.topLeft(), ResultsPanel::panelSize(e.edition, e.stationsPerLap, tableWidth)));
    connect(m_results, &ResultsPanel::loadRequested, this, &TForm1::BtnCargarClick);
    connect(m_results, &ResultsPanel::reportRequested, &m_parts->record(), &RunRecord::saveReport);
    m_glance = new GlancePanel(e, *m_run, this);
    m_glance->setGeometry(geometry::glanceArea(m_results->height()));
    m_glance->setVisible(m_glance->height() >= geometry::kGlanceMinHeight);
    attachWarnings();
    attachRemote();

    m_parameters = new ParametersPanel(m_run->session().activeTable(), this);
    m_parameters->setGeometry(kParametersPanel);
    m_parameters->hide();
    connect(m_parameters, &ParametersPanel::activeTableEdited, m_run, &TestRun::setActiveTable);

    m_help = new HelpPanel(this);
    m_help->setGeometry(rect());
    m_help->hide();
    connect(m_help, &HelpPanel::closed, this, &TForm1::BitBtn3Click);

    m_start = new StartPanel(this);
    m_start->setUpEdition(e);
    m_start->setDesktopShell(&m_platform.shell);
    m_start->setGeometry(rect());
    m_start->layOut(e.editionVariant);
    m_start->raise();
    connect(m_start, &StartPanel::empezarClicked, this, &TForm1::BitBtnEmpezarClick);
    connect(m_start, &StartPanel::aboutClicked, this, &TForm1::AcercadeClick);
}

void TForm1::attachWarnings() {
    RunWarnings& warnings = m_parts->warnings();
    const WarningRule remembered = WarningRuleStore().load();
    warnings.setRule(remembered);
    m_config->setWarningRule(remembered);
    connect(m_config, &ConfigPanel::warningRuleChanged, this, [this](const WarningRule& rule) {
        m_parts->warnings().setRule(rule);
        WarningRuleStore().save(rule);  // unwritable: the rule still holds until the program ends
    });
    m_results->setWarnings(&warnings);
    m_glance->setWarnings(&warnings);
}

// "Mando a distancia": off whenever the program starts; on, it opens its window (the QR code and
// the phones); off, or leaving, closes every connection and the port.
void TForm1::attachRemote() {
    connect(m_config, &ConfigPanel::remoteToggled, this, [this](bool on) {
        if (!on) {
            if (m_remote)
                m_remote->turnOff();
            return;
        }
        if (!m_remote) {
            m_remote = new RemoteWindow(*m_run, m_parts->warnings(), m_platform.ticks, this);
            connect(m_remote, &RemoteWindow::switchedOff, this,
                    [this] { m_config->setRemoteChecked(false); });
        }
        if (!m_remote->turnOn())
            m_config->setRemoteChecked(false);
    });
    connect(m_run, &TestRun::leaving, this, [this] {
        if (m_remote)
            m_remote->turnOff();
    });
}

void TForm1::attachVoice() {
    // Phrase lengths from the rendered words and the two sounds they must keep clear of.
    QFile signalFile(QString::fromLatin1(QtSound::kSignalResource));
    const qint64 signalMs =
        signalFile.open(QIODevice::ReadOnly) ? VoiceClips::wavLengthMs(signalFile.readAll()) : 0;
    const qint64 alertMs = ToneMixer::makeAlertTone().size() * 1000 / ToneMixer::kSampleRate;
    m_voice = new VoiceCues(m_platform.sound, m_platform.ticks,
                            VoiceSchedule(VoiceClips::lengthsIn(), signalMs, alertMs),
                            int(m_run->session().activeTable().size()), this);
    const bool remembered = VoicePreference().load();
    m_voice->setEnabled(remembered);
    m_config->setVoiceChecked(remembered);
    connect(m_config, &ConfigPanel::voiceToggled, this, [this](bool on) {
        m_voice->setEnabled(on);
        VoicePreference().save(on);  // unwritable: the choice still holds until the program ends
    });
    // The run takes an edited table first (connected before): the last period follows it.
    connect(m_parameters, &ParametersPanel::activeTableEdited, m_voice,
            [this] { m_voice->setLastPeriod(int(m_run->session().activeTable().size())); });
    connect(&m_parts->soundCheck().soundCheck(), &SoundCheck::finished, m_voice,
            &VoiceCues::soundCheckAlerted);
    // Every recovery the run announces, the warm-up's among them; Stop, a new test and leaving
    // call off what is still to be said.
    attachVoiceToRun(*m_voice, *m_run);
}

void TForm1::dressWindow() {
    const EditionRecord& e = m_run->edition();
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, qColor(e.colorLight));
    setPalette(pal);
    m_runDisplay->setPanelColor(qColor(e.colorMain));
}

PacingTimer* TForm1::timer(TestSession::Timer which) const {
    switch (which) {
        case TestSession::Timer::Effort:
            return const_cast<PacingTimer*>(&m_timer1);
        case TestSession::Timer::Recovery:
            return const_cast<PacingTimer*>(&m_timer2);
        default:
            return const_cast<PacingTimer*>(&m_timer3);
    }
}

// ---------------------------------------------------------------------------------------------
// Showing the session

void TForm1::render() {
    const DisplayState& d = m_run->display();
    RunDisplay& run = *m_runDisplay;
    run.crono()->setText(d.clockText);
    run.completados()->setText(d.completedText);
    run.distancia()->setText(d.distanceText);
    run.velocidad()->setText(d.speedText);
    run.periodo()->setText(d.periodText);
    run.vuelta()->setText(d.lapText);
    run.vuelta()->setVisible(d.lapVisible);
    run.vueltaLabel()->setVisible(d.lapVisible);

    PhasePanel* phase = run.phasePanel();
    if (d.bannerLook == PhaseLook::Effort) {
        phase->setEffortBanner(d.bannerText);
    } else {
        phase->setRecoveryBanner(d.bannerText);
    }
    run.banner()->setVisible(d.bannerVisible);
    GaugeRec* gauge = run.gauge();
    if (d.gauge.look == PhaseLook::Effort) {
        gauge->setBarColors(GaugeRec::effortColors());
    } else {
        gauge->setBarColors(GaugeRec::recoveryColors());
    }
    gauge->setMaximum(d.gauge.maximum);
    gauge->setPrefix(d.gauge.prefix);
    gauge->setSuffix(d.gauge.suffix);
    gauge->setPosition(d.gauge.position);
    gauge->setVisible(d.gauge.visible);
    run.startSign()->setVisible(d.startSignVisible);
    run.stopSign()->setVisible(d.stopSignVisible);
    if (d.stopSignInFront) {
        run.stopSign()->raise();
    } else {
        run.startSign()->raise();
    }

    for (int station = 1; station <= int(d.cones.size()) && station <= m_course->coneCount(); ++station) {
        const ConeState& state = d.cones[std::size_t(station - 1)];
        ConeShape* cone = m_course->cone(station);
        cone->setFillColor(state.red ? QColor(255, 0, 0) : QColor(255, 255, 0));
        cone->setFillStyle(state.solid ? ConeShape::FillStyle::Solid : ConeShape::FillStyle::Clear);
        cone->setVisible(state.visible);
    }
    if (m_course->frontPicture() != d.frontPicture)
        m_course->bringPictureToFront(d.frontPicture);
    m_course->setRestMarkerVisible(d.restMarkerVisible);

    const bool enabled[6] = {d.exitEnabled, d.newTestEnabled, d.startEnabled,
                             d.stopEnabled, d.helpEnabled,    d.aboutEnabled};
    for (int i = 0; i < 6; ++i)
        m_topBar[std::size_t(i)]->setEnabled(enabled[i]);
    // Between tests only: the history's window is no place to be while a test is paced.
    m_topBar[kTopBarHistorial]->setEnabled(m_history != nullptr && !m_run->isRunning());
    m_results->setTableButtonsEnabled(m_run->tableButtonsEnabled());
    m_results->setLoadEnabled(m_run->loadEnabled());

    m_config->render(d);
    m_config->setVisible(d.configVisible);
    if (d.configInFront) {
        m_config->raise();
    } else {
        m_config->lower();
    }
    // The information screens stay above everything else.
    if (!m_help->isHidden())
        m_help->raise();
    if (!m_start->isHidden())
        m_start->raise();
}

void TForm1::afterEvent() {
    syncTimers();
    render();
}

void TForm1::syncTimers() {
    const auto sync = [](PacingTimer& timer, bool on, int intervalMs) {
        if (on && !timer.isActive())
            timer.start(intervalMs);
        if (!on && timer.isActive())
            timer.stop();
    };
    const bool effort = m_run->isTimerOn(TestSession::Timer::Effort);
    sync(m_timer1, effort, kPacingLookMs);
    sync(m_timer2, m_run->isTimerOn(TestSession::Timer::Recovery), kPacingLookMs);
    sync(m_timer3, m_run->isTimerOn(TestSession::Timer::Clock), kClockTickMs);
    // Between its regular looks, the running tick wakes up just as the next signal, alert second
    // or departure falls due, so that it sounds on time rather than up to one look late. The
    // session names the first tick at which that is so (for a signal: more than the run time has
    // passed); the timer is armed with the tick before it.
    if (const std::optional<qint64> due = m_run->nextDueTick())
        (effort ? m_timer1 : m_timer2).armAt(*due - 1, m_platform.ticks);
}

// ---------------------------------------------------------------------------------------------
// Handlers

void TForm1::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_activated) {
        // Centred on the screen the first time it appears.
        if (const QScreen* screen = this->screen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
        m_activated = true;
        // Once the window is on the screen, so that a message box appears over it.
        QTimer::singleShot(0, this, &TForm1::FormActivate);
    }
}

void TForm1::FormActivate() {
    m_run->activate();
}

void TForm1::BitBtnStartClick() {
    m_run->start();
}

void TForm1::BitBtnStopClick() {
    m_run->stop();
}

void TForm1::BitBtnNuevoClick() {
    m_run->prepareNewTest();
}

// A tick that changed something shown has been drawn through changed(); the wake-up for the
// next due moment is armed after every tick.
void TForm1::Timer1Timer() {
    m_run->effortTick();
    syncTimers();
}

void TForm1::Timer2Timer() {
    m_run->recoveryTick();
    syncTimers();
}

void TForm1::Timer3Timer() {
    m_run->clockTick();
}

void TForm1::BitBtnSalirClick() {
    if (!m_run->display().exitEnabled)
        return;
    if (!m_run->confirmLeave())
        return;
    m_leaving = true;
    accept();
    QCoreApplication::exit(0);
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (m_leaving) {
        event->accept();
        return;
    }
    if (!m_run->confirmLeave()) {
        event->ignore();  // the window stays, a running test goes on
        return;
    }
    m_leaving = true;
    event->accept();
    QCoreApplication::exit(0);
}

void TForm1::reject() {
    // Escape asks the leave question like the close box.
    close();
}

void TForm1::BitBtnAyudaClick() {
    if (!m_run->display().helpEnabled)
        return;
    m_help->setGeometry(rect());
    m_help->openHelp(m_run->edition().edition);
    m_help->show();
    m_help->raise();
}

void TForm1::BitBtn3Click() {
    m_help->hide();
}

void TForm1::BitBtnGrupoClick() {
    if (!m_run->display().aboutEnabled)
        return;
    AcercadeClick();
}

void TForm1::keepHistory(const QString& path) {
    m_parts->enableHistory(path);
    delete m_history;
    m_history = new HistoryAccess(*m_parts, m_platform, this);
    render();
}

void TForm1::BitBtnHistorialClick() {
    if (m_history == nullptr || m_run->isRunning())
        return;
    m_history->openWindow();
}

void TForm1::BtnCargarClick() {
    if (!m_run->loadEnabled())
        return;
    if (m_history == nullptr) {
        m_parts->squad().loadSquad();
        return;
    }
    m_history->offerLoad(m_results->loadButton());
}

void TForm1::AcercadeClick() {
    if (m_showAbout)
        m_showAbout(this);
}

void TForm1::BitBtnEmpezarClick() {
    m_start->hide();
}

void TForm1::mouseDoubleClickEvent(QMouseEvent* event) {
    FormDblClick(event->position().toPoint());
    QDialog::mouseDoubleClickEvent(event);
}

void TForm1::FormDblClick(const QPoint& pos) {
    // Only the window's own free surface counts, not its panels and controls.
    if (!m_start->isHidden() || !m_help->isHidden())
        return;
    // The row under the course is free surface wherever its banner, bar and signs are hidden.
    QWidget* under = childAt(pos);
    if (under != nullptr && under != m_runDisplay->phasePanel())
        return;
    m_parameters->setVisible(m_parameters->isHidden());
    m_parameters->raise();
}

}  // namespace norak
