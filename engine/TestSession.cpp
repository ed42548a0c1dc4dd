#include "engine/TestSession.h"

#include <algorithm>

#include "engine/PeriodLine.h"
#include "engine/UserTexts.h"
#include "platform/LocalClock.h"
#include "platform/Messages.h"
#include "platform/Sound.h"
#include "platform/TickSource.h"

namespace norak {

namespace {
const QString kEffortPrefix = QStringLiteral("Estación Nº: ");
const QString kRecoverySuffix = QStringLiteral(" seg.");
int modeIndex(TestMode mode) {
    return int(mode);
}
}  // namespace

TestSession::TestSession(int edition, TickSource& ticks, LocalClock& clock, Sound& sound, Messages& messages,
                         SessionHooks& hooks)
    : m_edition(editionRecord(edition)),
      m_ticks(ticks),
      m_clock(clock),
      m_sound(sound),
      m_messages(messages),
      m_hooks(hooks) {
    m_warmUpPhase = 1;
    m_activeTable = sourcePeriodTable(m_edition.edition);
    m_periodCount = int(m_activeTable.size());
    m_display.periodMaximum = std::max(1, m_periodCount);
    m_display.chosenPeriod = 1;
    m_display.sex = kMasculina;
    m_display.cones.assign(std::size_t(m_edition.stationsPerLap), ConeState{});
    m_clockStart = m_clockNow = m_clock.now();
}

// ---------------------------------------------------------------------------------------------
// Configuration

int TestSession::startPeriod() const {
    return m_display.mode == TestMode::Completo ? 1 : m_display.chosenPeriod;
}

void TestSession::setModeTextColors(std::optional<TestMode> dark) {
    for (int i = 0; i < 3; ++i)
        m_display.modeTextDark[std::size_t(i)] = dark && modeIndex(*dark) == i;
}

void TestSession::chooseMode(TestMode mode) {
    if (mode == m_display.mode)
        return;  // runs only when a button becomes selected
    m_display.mode = mode;
    prepareNewTest();
    m_display.startPeriodShown = true;
    if (mode == TestMode::Repetir) {
        m_display.categoryShown = false;
        m_display.warmUpShown = false;
    } else {
        m_display.categoryShown = true;
        m_display.warmUpShown = true;
    }
    m_currentPeriod = unsigned(m_display.chosenPeriod);
    setModeTextColors(mode);
    ShowPeriodSpeed();
}

void TestSession::setStartPeriod(int value) {
    value = std::clamp(value, 1, m_display.periodMaximum);
    m_display.chosenPeriod = value;
    m_currentPeriod = unsigned(value);
    ShowPeriodSpeed();
    const int category = categoryForPeriod(m_edition.edition, m_display.sex, value);
    if (category != kNoCategory)
        m_display.category = category;
}

void TestSession::setSex(int sex) {
    m_display.sex = sex == kFemenina ? kFemenina : kMasculina;
    setCategory(m_display.category);
}

void TestSession::setCategory(int category) {
    if (category < kCadete || category > kSenior)
        return;
    m_display.category = category;
    const int period = startPeriodForCategory(m_edition.edition, m_display.sex, category);
    if (std::clamp(period, 1, m_display.periodMaximum) != m_display.chosenPeriod)
        setStartPeriod(period);
}

void TestSession::setWarmUp(bool checked) {
    m_display.warmUpChecked = checked;
    m_warmUpPhase = checked ? 1 : 0;
}

void TestSession::pointAtMode(std::optional<TestMode> overButton) {
    if (m_display.mode != TestMode::Completo)
        return;
    setModeTextColors(overButton);
}

void TestSession::ShowPeriodSpeed() {
    const QString text = nominalSpeedText(int(std::min<unsigned>(m_currentPeriod, 1000)));
    if (text.isEmpty())
        return;
    m_display.speedText = text;
    m_display.speedLabel = text + QStringLiteral(" Km/h");
}

// ---------------------------------------------------------------------------------------------
// Activation, Start, Stop, New test

void TestSession::activate() {
    // Performed once, when the window is first shown: a later activation (after a message box,
    // during a run) must neither stop a test nor show the message again.
    if (m_activated)
        return;
    m_activated = true;
    // An output not counted yet is not a missing one: only a count of none is told.
    if (m_sound.outputDeviceCount() != 0) {
        m_soundCardPresent = 1;
    } else {
        tell(m_sound, m_messages, m_edition.editionTitle, kNoSoundCardText);
        m_soundCardPresent = 0;
    }
    m_timers[int(Timer::Effort)] = false;
    m_timers[int(Timer::Recovery)] = false;
    m_display.gauge.setPosition(0);
    m_soundResourceName = QStringLiteral("sonido");
}

void TestSession::PlaySignalSound() {
    if (m_soundCardPresent == 1)
        m_sound.playSignal();
}

void TestSession::start() {
    if (!m_display.startEnabled)
        return;
    // Every test follows the warm-up box as it stands when the test is started.
    m_warmUpPhase = m_display.warmUpChecked ? 1 : 0;

    if (m_warmUpPhase == 0)
        m_hooks.activateAthleteButtons();
    PlaySignalSound();
    m_lastSignalTick = m_ticks.ticks();
    m_clockStart = m_clock.now();
    m_clockNow = m_clockStart;
    m_timers[int(Timer::Effort)] = true;
    m_timers[int(Timer::Clock)] = true;

    m_display.restMarkerVisible = false;
    m_display.frontPicture = 2;

    m_display.stopEnabled = true;
    m_display.startEnabled = false;
    m_display.exitEnabled = false;
    m_display.helpEnabled = false;
    m_display.aboutEnabled = false;
    m_display.configInFront = false;
    m_display.configEnabled = false;
    m_display.exportEnabled = false;
    m_display.clearEnabled = false;

    m_currentPeriod = unsigned(startPeriod());
    m_display.periodText = QString::number(m_currentPeriod);

    UpdateCourse();

    m_beepCount = 0;
    m_display.completedText = QStringLiteral("0");
    m_display.lapText = QStringLiteral("1");

    m_display.stopSignInFront = false;
    m_display.startSignVisible = true;
    m_display.configVisible = false;

    m_startSpeedText = m_display.speedText;

    m_display.bannerText =
        m_display.warmUpChecked ? QStringLiteral("CALENTAMIENTO") : QStringLiteral("Periodo de ESFUERZO");
    m_display.bannerLook = PhaseLook::Effort;
    m_display.gauge.look = PhaseLook::Effort;
    m_display.bannerVisible = true;
    m_display.lapVisible = true;
    m_display.gauge.visible = true;

    ShowPeriodSpeed();
    recordTiming(TimingEvent::Start);
    m_hooks.switchTableToRowSelection();
}

void TestSession::stop() {
    if (!m_display.stopEnabled)
        return;
    for (bool& on : m_timers)
        on = false;

    m_display.stopEnabled = false;
    m_display.newTestEnabled = true;
    m_display.exitEnabled = true;
    m_display.helpEnabled = true;
    m_display.aboutEnabled = true;
    m_display.configEnabled = true;

    m_display.bannerVisible = false;
    m_display.gauge.visible = false;

    if (m_hooks.hasNamedAthlete()) {
        m_display.exportEnabled = true;
        m_display.clearEnabled = true;
    }
    m_display.stopSignVisible = false;
    m_display.startSignVisible = false;

    m_hooks.recordRemainingAthletes();
}

void TestSession::prepareNewTest() {
    if (isRunning())
        return;  // never reset a running test
    m_display.gauge.zeroWidth = true;
    m_display.clockText = QStringLiteral("00:00");

    m_display.newTestEnabled = false;
    m_display.startEnabled = true;

    m_display.restMarkerVisible = true;
    m_display.frontPicture = 1;

    m_display.periodText = QStringLiteral("0");
    m_display.completedText = QStringLiteral("0");
    m_display.gauge.setPosition(0);
    m_display.lapText = QStringLiteral("0");

    m_beepCount = 0;
    UpdateCourse();

    m_display.configVisible = true;
    m_display.configInFront = true;
    m_display.lapVisible = false;

    setEffortGauge();

    for (ConeState& cone : m_display.cones) {
        cone.red = true;
        cone.solid = false;
    }

    m_display.bannerVisible = false;
    m_display.gauge.visible = false;
    m_display.gauge.zeroWidth = false;

    // Before a start the current period is the one the next test begins with; a stopped test
    // leaves it at the period it reached, and Start copies the speed shown into the export.
    m_currentPeriod = unsigned(startPeriod());
    ShowPeriodSpeed();

    m_hooks.prepareResultsForNewTest();
}

// ---------------------------------------------------------------------------------------------
// Pacing

bool TestSession::isTimerOn(Timer timer) const {
    return m_timers[int(timer)];
}

int TestSession::completedPeriods() const {
    return m_display.completedText.toInt();
}

int TestSession::restLength() const {
    return m_warmUpPhase == 1 ? m_edition.warmUpRestDurationMs : m_edition.restDurationMs;
}

std::optional<int> TestSession::runTimeOf(unsigned period, bool report) {
    if (period < 1 || period > unsigned(m_activeTable.size()))
        return std::nullopt;
    const QString& line = m_activeTable.at(qsizetype(period - 1));
    if (line.trimmed().isEmpty())
        return std::nullopt;
    const std::optional<int> runTime = parsePeriodLine(line);
    if (!runTime) {
        // An edited line that is no run time gives no signal. The operator hears of it once, not
        // on every tick nor on every key typed into the line, until the line reads right again.
        if (report && !m_badLinePeriods.contains(period)) {
            m_badLinePeriods.insert(period);
            m_hooks.reportBadPeriodLine(int(period), line);
        }
        return std::nullopt;
    }
    if (report && !m_badLinePeriods.isEmpty())
        m_badLinePeriods.remove(period);  // mended: a later fault of the line is told again
    return runTime;
}

std::optional<qint64> TestSession::nextDueTick() const {
    if (m_timers[int(Timer::Effort)]) {
        auto* self = const_cast<TestSession*>(this);
        const std::optional<int> runTime = self->runTimeOf(m_currentPeriod, false);
        if (!runTime)
            return std::nullopt;
        return m_lastSignalTick + *runTime + 1;
    }
    if (m_timers[int(Timer::Recovery)]) {
        const int length = restLength();
        const qint64 alertSecond = m_lastSignalTick + (length - 3000) / 1000 * 1000;
        if (m_ticks.ticks() < alertSecond)
            return alertSecond;
        return m_lastSignalTick + length + 1;
    }
    return std::nullopt;
}

void TestSession::effortTick() {
    if (!m_timers[int(Timer::Effort)])
        return;
    m_currentTick = m_ticks.ticks();
    m_elapsedMs = m_currentTick - m_lastSignalTick;
    const std::optional<int> runTime = runTimeOf(m_currentPeriod, true);
    if (!runTime)
        return;
    if (*runTime < m_elapsedMs)
        GiveSignal();
}

void TestSession::GiveSignal() {
    recordTiming(TimingEvent::Leg);
    PlaySignalSound();
    m_lastSignalTick = m_currentTick;
    ++m_beepCount;
    m_display.gauge.setPosition(m_beepCount);
    m_display.lapText = QString::number((m_beepCount - 1) / m_edition.stationsPerLap + 1);
    UpdateCourse();
}

void TestSession::highlightStation() {
    for (ConeState& cone : m_display.cones)
        cone.visible = false;
    const int station =
        stationForSignal(m_edition.edition, m_edition.stationsPerLap, m_beepCount, completedPeriods());
    if (station < 1 || station > int(m_display.cones.size()))
        return;
    ConeState& lit = m_display.cones[std::size_t(station - 1)];
    lit.visible = true;
    lit.red = false;
    lit.solid = true;
}

void TestSession::UpdateCourse() {
    highlightStation();

    if (m_beepCount == m_edition.signalsPerPeriod && m_display.mode != TestMode::Repetir)
        endEffortPeriod();

    m_distanceCovered = double(roundMetres(distanceCovered(
        completedPeriods(), m_beepCount, m_edition.signalsPerPeriod, m_edition.stationDistance)));
    if (m_warmUpPhase == 0)
        m_display.distanceText = QString::number(qint64(m_distanceCovered));
}

void TestSession::setEffortGauge() {
    GaugeState& g = m_display.gauge;
    g.maximum = m_edition.signalsPerPeriod;
    g.prefix = kEffortPrefix;
    g.suffix.clear();
    g.look = PhaseLook::Effort;
}

void TestSession::setRecoveryGauge(int maximum) {
    GaugeState& g = m_display.gauge;
    g.maximum = maximum;
    g.prefix.clear();
    g.suffix = kRecoverySuffix;
    g.look = PhaseLook::Recovery;
}

void TestSession::endEffortPeriod() {
    // The recovery is timed from the tick that ended the period's last leg.
    m_timers[int(Timer::Effort)] = false;
    m_timers[int(Timer::Recovery)] = true;
    m_lastSignalTick = m_ticks.ticks();
    recordTiming(TimingEvent::RecoveryStart);
    // The warm-up is not a period of the test: the test proper begins at the start period.
    if (m_warmUpPhase == 0)
        ++m_currentPeriod;
    m_display.periodText = QString::number(m_currentPeriod);
    m_beepCount = 0;
    m_display.gauge.setPosition(0);
    m_display.lapText = QStringLiteral("0");
    UpdateCourse();
    // Read back from the period display, which is the store of the current period.
    m_display.completedText = QString::number(m_display.periodText.toInt() - startPeriod());
    // The rest picture: the players turn round at the end of a period, except on the Zevez
    // course, which they run the same way every period.
    m_display.gauge.visible = true;
    m_display.restMarkerVisible = true;
    if (m_warmUpPhase == 1) {
        m_display.frontPicture = 1;
    } else if (completedPeriods() % 2 != 0 || m_edition.course == Course::Zevez) {
        m_display.frontPicture = 3;
    } else {
        m_display.frontPicture = 5;
    }
    // During the recovery the speed shown is already the coming period's.
    ShowPeriodSpeed();
    m_display.bannerText = m_warmUpPhase == 1 ? QStringLiteral("RECUPERACIÓN previa al Test")
                                              : QStringLiteral("Periodo de RECUPERACIÓN");
    m_display.bannerLook = PhaseLook::Recovery;
    m_display.lapVisible = false;
    setRecoveryGauge(m_warmUpPhase == 1 ? m_edition.warmUpRestDurationMs / 1000
                                        : m_edition.restDurationMs / 1000);
    m_display.stopSignInFront = true;
    m_display.stopSignVisible = true;
}

void TestSession::recoveryTick() {
    if (!m_timers[int(Timer::Recovery)])
        return;
    m_currentTick = m_ticks.ticks();
    m_elapsedMs = m_currentTick - m_lastSignalTick;
    m_display.gauge.setPosition(int(std::min<qint64>(m_elapsedMs / 1000, 1 << 30)));
    const int length = restLength();
    if (m_elapsedMs / 1000 == (length - 3000) / 1000)
        m_sound.alert(kAlertWarning);
    if (length < m_elapsedMs)
        endRecovery();
}

void TestSession::endRecovery() {
    recordTiming(TimingEvent::RecoveryEnd);
    // The departure signal of the next period; its first leg is timed from the tick that gave it.
    PlaySignalSound();
    m_timers[int(Timer::Effort)] = true;
    m_timers[int(Timer::Recovery)] = false;
    m_lastSignalTick = m_currentTick;
    UpdateCourse();
    m_display.restMarkerVisible = false;
    m_display.frontPicture = (completedPeriods() % 2 == 0 || m_edition.course == Course::Zevez) ? 2 : 4;
    m_beepCount = 0;
    m_display.lapText = QStringLiteral("1");
    UpdateCourse();
    m_display.bannerText = QStringLiteral("Periodo de ESFUERZO");
    m_display.bannerLook = PhaseLook::Effort;
    m_display.lapVisible = true;
    setEffortGauge();
    m_display.gauge.setPosition(0);
    m_display.stopSignInFront = false;
    // The end of the warm-up's recovery starts the test proper: its clock and distance from zero.
    if (m_warmUpPhase == 1) {
        m_warmUpPhase = 0;
        m_clockNow = m_clockStart = m_clock.now();
        m_distanceCovered = 0.0;
    }
    // The players' buttons appear when the test proper begins, not during the warm-up.
    if (m_currentPeriod == unsigned(startPeriod()) && m_warmUpPhase == 0)
        m_hooks.activateAthleteButtons();
}

void TestSession::clockTick() {
    if (!m_timers[int(Timer::Clock)])
        return;
    m_clockNow = m_clock.now();
    if (m_warmUpPhase == 1)
        return;
    // Minutes go on past 59, so that a time recorded after an hour reads right ("61:05").
    const qint64 ms = std::max<qint64>(0, m_clockStart.msecsTo(m_clockNow));
    const qint64 minutes = ms / 60000;
    const qint64 seconds = (ms / 1000) % 60;
    m_display.clockText =
        QStringLiteral("%1:%2").arg(minutes, 2, 10, QLatin1Char('0')).arg(seconds, 2, 10, QLatin1Char('0'));
}

// ---------------------------------------------------------------------------------------------
// Timing record: called just before the state changes that a signal or recovery brings, so that
// m_lastSignalTick is still the beginning of the interval that has just ended. Only notes.

void TestSession::recordTiming(TimingEvent event) {
    const bool warmUp = m_warmUpPhase == 1;
    if (event == TimingEvent::RecoveryStart) {
        TimingRecord::Recovery recovery;
        recovery.startTick = m_lastSignalTick;
        recovery.startNs = m_ticks.ticksNs();
        recovery.nominalMs = restLength();
        recovery.period = m_currentPeriod;
        recovery.afterWarmUp = warmUp;
        m_timing.recoveries.push_back(recovery);
        return;
    }
    TimingRecord::Signal signal;
    signal.period = m_currentPeriod;
    signal.givenNs = m_ticks.ticksNs();
    switch (event) {
        case TimingEvent::Start:
            m_timing = TimingRecord{};
            m_timing.start = m_clockStart;
            m_timing.startTick = m_lastSignalTick;
            m_timing.startNs = signal.givenNs;
            signal.kind = TimingRecord::SignalKind::Start;
            signal.dueTick = signal.givenTick = m_lastSignalTick;
            signal.phase = warmUp ? TimingRecord::Phase::WarmUp : TimingRecord::Phase::Effort;
            break;
        case TimingEvent::Leg:
            signal.kind = TimingRecord::SignalKind::Leg;
            signal.dueTick = m_lastSignalTick + runTimeOf(m_currentPeriod, false).value_or(0) + 1;
            signal.givenTick = m_currentTick;
            signal.signal = m_beepCount + 1;
            signal.station = stationForSignal(m_edition.edition, m_edition.stationsPerLap, signal.signal,
                                              completedPeriods());
            signal.phase = warmUp ? TimingRecord::Phase::WarmUp : TimingRecord::Phase::Effort;
            break;
        case TimingEvent::RecoveryEnd:
            signal.kind = TimingRecord::SignalKind::Departure;
            signal.dueTick = m_lastSignalTick + restLength() + 1;
            signal.givenTick = m_currentTick;
            // The departure after the warm-up's recovery begins the test proper.
            signal.phase = TimingRecord::Phase::Effort;
            if (!m_timing.recoveries.empty())
                m_timing.recoveries.back().endTick = m_currentTick;
            break;
        case TimingEvent::RecoveryStart:
            break;
    }
    m_timing.signalsGiven.push_back(signal);
}

}  // namespace norak
