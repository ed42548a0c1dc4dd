#include "shell/TestFut1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <algorithm>

#include "engine/ProgramDir.h"
#include "results/AthleteRoster.h"
#include "shell/ConfigPanel.h"
#include "shell/CoursePanel.h"
#include "shell/Glyphs.h"
#include "shell/HelpPanel.h"
#include "shell/MainGeometry.h"
#include "shell/ParametersPanel.h"
#include "shell/ResultsPanel.h"
#include "shell/RunDisplay.h"
#include "shell/StartPanel.h"
#include "shell/TopBarLayout.h"
#include "shell/controls/FlatButton.h"
#include "shell/controls/Fonts.h"

namespace norak {

namespace {

QColor toColor(const Rgb& rgb) {
    return QColor(rgb.r, rgb.g, rgb.b);
}

constexpr int kClientWidth = 826;
constexpr int kClientHeight = 592;
const QRect kParametersPanel{761, -52, 358, 267};

// How often the effort and recovery ticks look at the time. Every signal, the alert second and
// the end of a recovery come on a wake-up armed for their moment (see syncTimers), so the regular
// look only moves the recovery bar's whole seconds and catches an edit of the period table;
// looking every 50 ms instead of 10 keeps the window's share of a processor well under 1 %.
constexpr int kPacingLookMs = 50;
constexpr int kClockTickMs = 100;
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

QString withSlash(QString folder) {
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

}  // namespace

TForm1::TForm1(int edition, Platform platform, std::function<void(QWidget*)> showAbout, QWidget* parent)
    : QDialog(parent), m_platform(platform), m_showAbout(std::move(showAbout)) {
    setObjectName(QStringLiteral("TForm1"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowStaysOnTopHint);
    setFixedSize(kClientWidth, kClientHeight);
    setFont(pixelFont(QStringLiteral("MS Sans Serif"), 11));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/icon.png")));

    // The program's folder, and the export folder beside the program (a failure is ignored: the
    // export creates it again when it is needed).
    m_programDir = withSlash(programDirOf(m_platform.files.programFilePath()));
    m_platform.files.createFolder(m_programDir + QStringLiteral("Export"));

    m_session = std::make_unique<TestSession>(edition, m_platform.ticks, m_platform.clock, m_platform.sound,
                                              m_platform.messages, static_cast<SessionHooks&>(*this));
    const EditionRecord& e = m_session->edition();
    QCoreApplication::setApplicationName(e.editionTitle);
    setWindowTitle(e.editionTitle + QStringLiteral(": Quelmar en ") + e.sportName);

    createPanels();
    createTopBar();
    dressWindow();

    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_timer2.setObjectName(QStringLiteral("Timer2"));
    m_timer3.setObjectName(QStringLiteral("Timer3"));
    connect(&m_timer1, &PacingTimer::timeout, this, &TForm1::Timer1Timer);
    connect(&m_timer2, &PacingTimer::timeout, this, &TForm1::Timer2Timer);
    connect(&m_timer3, &PacingTimer::timeout, this, &TForm1::Timer3Timer);

    render();
}

TForm1::~TForm1() = default;

void TForm1::createTopBar() {
    const EditionRecord& e = m_session->edition();
    struct ButtonDef {
        const char* name;
        const char* caption;
        Glyph glyph;
        void (TForm1::*handler)();
    };
    const ButtonDef defs[6] = {{"BitBtnSalir", "Salir", Glyph::Exit, &TForm1::BitBtnSalirClick},
                               {"BitBtnNuevo", "Nuevo Test", Glyph::NewSheet, &TForm1::BitBtnNuevoClick},
                               {"BitBtnStart", "Iniciar prueba", Glyph::Play, &TForm1::BitBtnStartClick},
                               {"BitBtnStop", "Fin de la prueba", Glyph::Stop, &TForm1::BitBtnStopClick},
                               {"BitBtnAyuda", "Ayuda", Glyph::Help, &TForm1::BitBtnAyudaClick},
                               {"BitBtnGrupo", "A cerca de...", Glyph::Info, &TForm1::BitBtnGrupoClick}};
    const TopBarGeometry bar = topBarLayout(kClientWidth);
    for (int i = 0; i < 6; ++i) {
        auto* button = new FlatButton(this);
        button->setObjectName(QString::fromLatin1(defs[i].name));
        button->setCaption(QString::fromUtf8(defs[i].caption));
        button->setCaptionFont(pixelFont(QStringLiteral("Arial"), 15));
        button->setCaptionColour(Qt::white);
        button->setFaceColour(toColor(e.colorMain));
        button->setBorderColour(toColor(e.colorDark));
        button->setHighlightColour(Qt::white);
        // Glyph above the caption: the longest caption needs the button's whole width.
        button->setGlyphPainter(glyphPainter(defs[i].glyph), QSize(28, 28));
        button->setGlyphLayout(FlatButton::GlyphLayout::Above);
        button->setGlyphColours(toColor(e.colorDark), toColor(e.colorLight));
        button->setGeometry(bar[std::size_t(i)]);
        connect(button, &FlatButton::clicked, this, defs[i].handler);
        m_topBar[std::size_t(i)] = button;
    }
}

void TForm1::createPanels() {
    const EditionRecord& e = m_session->edition();

    m_run = std::make_unique<RunDisplay>(this);
    m_course = new CoursePanel(e.course, this);
    m_course->setGeometry(geometry::kCoursePanel);
    m_run->lapPanel()->raise();

    m_config = new ConfigPanel(e, this);
    m_config->setGeometry(geometry::kConfigPanel);
    m_config->raise();
    connect(m_config, &ConfigPanel::modeChosen, this, [this](TestMode mode) {
        m_session->FlatRadioButton1Click(mode);
        afterEvent();
    });
    connect(m_config, &ConfigPanel::startPeriodChanged, this, [this](int value) {
        m_session->SpinEdit1Change(value);
        afterEvent();
    });
    connect(m_config, &ConfigPanel::sexChanged, this, [this](int sex) {
        m_session->ComboBoxSexoChange(sex);
        afterEvent();
    });
    connect(m_config, &ConfigPanel::categoryChanged, this, [this](int category) {
        m_session->ComboBoxCategoriaChange(category);
        afterEvent();
    });
    connect(m_config, &ConfigPanel::warmUpClicked, this, [this](bool checked) {
        m_session->CheckBox_CalentamientoClick(checked);
        afterEvent();
    });
    connect(m_config, &ConfigPanel::pointerOver, this, [this](int mode) {
        m_session->PanelTipoMouseMove(mode < 0 ? std::nullopt : std::optional<TestMode>(TestMode(mode)));
        afterEvent();
    });

    // The results table fills the area right of the course, the athlete buttons at its left edge.
    const QRect area = geometry::kRightArea;
    int tableWidth = area.width();
    while (tableWidth > 100 &&
           ResultsPanel::panelSize(e.edition, e.stationsPerLap, tableWidth).width() > area.width()) {
        --tableWidth;
    }
    m_results = new ResultsPanel(e, m_platform, *this, tableWidth, this);
    m_results->setGeometry(
        QRect(area.topLeft(), ResultsPanel::panelSize(e.edition, e.stationsPerLap, tableWidth)));
    connect(&m_results->roster(), &AthleteRoster::buttonVisibilityChanged, this, [this] { afterEvent(); });

    m_parameters = new ParametersPanel(m_session->activeTable(), this);
    m_parameters->setGeometry(kParametersPanel);
    m_parameters->hide();
    connect(m_parameters, &ParametersPanel::activeTableEdited, this, [this](const QStringList& lines) {
        m_session->setActiveTable(lines);
        syncTimers();  // a new run time moves the wake-up
    });

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

void TForm1::dressWindow() {
    const EditionRecord& e = m_session->edition();
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, toColor(e.colorLight));
    setPalette(pal);
    m_run->setPanelColor(toColor(e.colorMain));
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
    const DisplayState& d = m_session->display();
    RunDisplay& run = *m_run;
    run.crono()->setText(d.editCrono);
    run.completados()->setText(d.editCompletados);
    run.distancia()->setText(d.panelDistancia);
    run.velocidad()->setText(d.velocidad);
    run.periodo()->setText(d.editPeriodo);
    run.vuelta()->setText(d.editVuelta);
    run.vuelta()->setVisible(d.vueltaVisible);
    run.vueltaLabel()->setVisible(d.vueltaVisible);

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
    run.startSign()->setVisible(d.panelStartVisible);
    run.stopSign()->setVisible(d.panelStopVisible);
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

    const bool enabled[6] = {d.salirEnabled, d.nuevoEnabled, d.startEnabled,
                             d.stopEnabled,  d.ayudaEnabled, d.grupoEnabled};
    for (int i = 0; i < 6; ++i)
        m_topBar[std::size_t(i)]->setEnabled(enabled[i]);
    m_results->setTableButtonsEnabled(d.exportEnabled && d.borrarEnabled);

    m_config->render(d);
    m_config->setVisible(d.panelTipoVisible);
    if (d.panelTipoInFront) {
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
    const bool effort = m_session->isTimerOn(TestSession::Timer::Effort);
    sync(m_timer1, effort, kPacingLookMs);
    sync(m_timer2, m_session->isTimerOn(TestSession::Timer::Recovery), kPacingLookMs);
    sync(m_timer3, m_session->isTimerOn(TestSession::Timer::Clock), kClockTickMs);
    // Between its regular looks, the running tick wakes up just as the next signal, alert second
    // or departure falls due, so that it sounds on time rather than up to one look late. The
    // session names the first tick at which that is so (for a signal: more than the run time has
    // passed); the timer is armed with the tick before it.
    if (const std::optional<qint64> due = m_session->nextDueTick())
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
    m_programDir = withSlash(m_platform.files.currentFolder());
    m_session->FormActivate();
    afterEvent();
}

void TForm1::BitBtnStartClick() {
    m_session->BitBtnStartClick();
    afterEvent();
}

void TForm1::BitBtnStopClick() {
    m_session->BitBtnStopClick();
    afterEvent();
}

void TForm1::BitBtnNuevoClick() {
    m_session->BitBtnNuevoClick();
    afterEvent();
}

void TForm1::Timer1Timer() {
    const DisplayState before = m_session->display();
    m_session->Timer1Timer();
    // Most ticks change nothing that is shown; the widgets are touched only when something did.
    if (before == m_session->display()) {
        syncTimers();
    } else {
        afterEvent();
    }
}

void TForm1::Timer2Timer() {
    const DisplayState before = m_session->display();
    m_session->Timer2Timer();
    // Most ticks change nothing that is shown; the widgets are touched only when something did.
    if (before == m_session->display()) {
        syncTimers();
    } else {
        afterEvent();
    }
}

void TForm1::Timer3Timer() {
    const QString before = m_session->display().editCrono;
    m_session->Timer3Timer();
    if (before != m_session->display().editCrono)
        m_run->crono()->setText(m_session->display().editCrono);
}

void TForm1::BitBtnSalirClick() {
    if (!m_session->display().salirEnabled)
        return;
    if (!confirmLeave())
        return;
    m_leaving = true;
    accept();
    QCoreApplication::exit(0);
}

bool TForm1::confirmLeave() {
    return m_results->confirmLeave();
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (m_leaving) {
        event->accept();
        return;
    }
    if (!confirmLeave()) {
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
    if (!m_session->display().ayudaEnabled)
        return;
    m_help->setGeometry(rect());
    m_help->openHelp(m_session->edition().edition);
    m_help->show();
    m_help->raise();
}

void TForm1::BitBtn3Click() {
    m_help->hide();
}

void TForm1::BitBtnGrupoClick() {
    if (!m_session->display().grupoEnabled)
        return;
    AcercadeClick();
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
    if (under != nullptr && under != m_run->phasePanel())
        return;
    m_parameters->setVisible(m_parameters->isHidden());
    m_parameters->raise();
}

// ---------------------------------------------------------------------------------------------
// What the session and the results ask of the window

void TForm1::activateAthleteButtons() {
    m_results->ActivateAthleteButtons();
}

void TForm1::recordRemainingAthletes() {
    m_results->RecordRemainingAthletes();
}

bool TForm1::hasNamedAthlete() {
    return m_results->HasNamedAthlete();
}

void TForm1::prepareResultsForNewTest() {
    m_results->prepareNewTest();
}

void TForm1::switchTableToRowSelection() {
    m_results->setRowSelectionMode();
}

void TForm1::reportBadPeriodLine(int period, const QString& line) {
    const QString text =
        QStringLiteral(
            "La línea %1 de la tabla de periodos («%2») no es un número entero de milisegundos. "
            "No se darán señales en ese periodo hasta que se corrija; la prueba continúa.")
            .arg(period)
            .arg(quotable(line));
    // Shown after the tick that found it, so that the pacing handler is never held up.
    QTimer::singleShot(0, this, [this, text] {
        m_platform.sound.alert(kAlertWarning);
        m_platform.messages.warning(QStringLiteral("Información"), text);
    });
}

LiveValues TForm1::liveValues() const {
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

bool TForm1::stopEnabled() const {
    return m_session->display().stopEnabled;
}

int TForm1::warmUpPhase() const {
    return m_session->WarmUpPhase();
}

int TForm1::spinEditValue() const {
    return m_session->display().spinValue;
}

QString TForm1::startSpeedText() const {
    return m_session->StartSpeedText();
}

QString TForm1::programDir() const {
    return m_programDir;
}

}  // namespace norak
