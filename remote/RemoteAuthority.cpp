#include "remote/RemoteAuthority.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaObject>
#include <utility>

#include "platform/TickSource.h"
#include "results/CellText.h"
#include "results/RunWarnings.h"
#include "results/TestRun.h"

namespace norak {

RemoteAuthority::RemoteAuthority(TestRun& run, const RunWarnings& warnings, const TickSource& ticks,
                                 QObject* parent)
    : QObject(parent), m_run(run), m_warnings(warnings), m_ticks(ticks) {
    // `changed` ends every verb and every tick that changed what is shown; a signal is announced
    // before it, so at a signal the values noted are still those shown during the leg before.
    connect(&run, &TestRun::changed, this, [this] {
        if (m_run.isRunning())
            m_shown = m_run.liveValues();
        push();
    });
    connect(&run, &TestRun::signalGiven, this, [this](const TimingRecord::Signal& s) {
        if (s.kind == TimingRecord::SignalKind::Leg && s.phase == TimingRecord::Phase::Effort)
            m_legs.push_back(m_shown);
    });
    connect(&run, &TestRun::started, this, [this] {
        m_legs.clear();
        m_shown = m_run.liveValues();
        newEpoch();
    });
    connect(&run, &TestRun::newTestPrepared, this, &RemoteAuthority::newEpoch);
    connect(&run, &TestRun::restored, this, &RemoteAuthority::newEpoch);
    connect(&warnings, &RunWarnings::warningsChanged, this, &RemoteAuthority::push);
    // Turned on during a test: the legs so far count; what they showed is not known any more, so
    // a press for the leg before the first one seen records the values shown now.
    m_shown = m_run.liveValues();
    for (const TimingRecord::Signal& s : m_run.session().timingRecord().signalsGiven) {
        if (m_run.isRunning() && s.kind == TimingRecord::SignalKind::Leg &&
            s.phase == TimingRecord::Phase::Effort)
            m_legs.push_back(m_shown);
    }
    m_lastPush = m_ticks.ticks();
}

void RemoteAuthority::newEpoch() {
    ++m_epoch;
    for (Phone& phone : m_phones)
        phone.last.undone = true;
    push();
}

QByteArray RemoteAuthority::answer(const QString& id, const QString& refusal) {
    QJsonObject object{
        {QStringLiteral("v"), PhoneMessage::kVersion},
        {QStringLiteral("type"), QStringLiteral("answer")},
        {QStringLiteral("id"), id.isEmpty() ? QJsonValue() : QJsonValue(id)},
        {QStringLiteral("result"), refusal.isEmpty() ? QStringLiteral("done") : QStringLiteral("refused")}};
    if (!refusal.isEmpty())
        object.insert(QStringLiteral("reason"), refusal);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QByteArray RemoteAuthority::handle(int phoneNumber, const QByteArray& message) {
    const auto parsed = PhoneMessage::parse(message);
    if (const auto* error = std::get_if<PhoneMessageError>(&parsed))
        return answer(error->id, error->reason);  // not remembered: nothing was applied
    const PhoneCommand& command = std::get<PhoneCommand>(parsed);
    Phone& phone = m_phones[phoneNumber];
    if (const auto seen = phone.answers.constFind(command.id); seen != phone.answers.cend())
        return *seen;
    const QByteArray reply = answer(command.id, apply(phoneNumber, command));
    phone.answers.insert(command.id, reply);
    phone.order.append(command.id);
    if (phone.order.size() > kRememberedIds)
        phone.answers.remove(phone.order.takeFirst());
    return reply;
}

void RemoteAuthority::forget(int phone) {
    m_phones.remove(phone);
}

QString RemoteAuthority::apply(int phoneNumber, const PhoneCommand& command) {
    Phone& phone = m_phones[phoneNumber];
    if (command.epoch != m_epoch)
        return QStringLiteral("la prueba ha cambiado");
    if (command.type == PhoneCommand::Type::Undo) {
        const int athlete = phone.last.athlete;
        const QString refusal = applyUndo(phone);
        if (refusal.isEmpty())
            Q_EMIT applied(phoneNumber, command.type, athlete);
        return refusal;
    }
    const int athlete = command.athlete;
    if (!m_run.isRunning())
        return QStringLiteral("la prueba no está en marcha");
    if (athlete > m_run.edition().stationsPerLap || !m_run.roster().isShown(athlete))
        return QStringLiteral("el jugador no está en carrera");
    const int current = currentLeg();
    if (command.leg > current)
        return QStringLiteral("tramo desconocido");
    if (command.leg < current - 1)
        return QStringLiteral("tramo demasiado antiguo");

    if (command.type == PhoneCommand::Type::Warning) {
        if (m_run.session().WarmUpPhase() != 0)
            return QStringLiteral("sin avisos en el calentamiento");
        if (command.leg < 1)
            return QStringLiteral("aún no hay tramo que avisar");
        const int before = m_warnings.total();
        m_run.warnAthleteAt(athlete, command.leg, QStringLiteral("móvil %1").arg(phoneNumber));
        if (m_warnings.total() == before)
            return QStringLiteral("aviso ya dado en ese tramo");
    } else {
        // The leg before: the values shown during it, just before the next leg's signal.
        const LiveValues values =
            command.leg == current ? m_run.liveValues() : m_legs[std::size_t(command.leg)];
        m_run.dropOutAsShown(athlete, values, QStringLiteral("móvil %1").arg(phoneNumber));
        if (m_run.roster().isShown(athlete))
            return QStringLiteral("el jugador no está en carrera");
    }
    phone.last = Last{command.type, athlete, m_ticks.ticks(), m_epoch, false};
    Q_EMIT applied(phoneNumber, command.type, athlete);
    return {};
}

QString RemoteAuthority::applyUndo(Phone& phone) {
    Last& last = phone.last;
    if (last.undone || last.epoch != m_epoch)
        return QStringLiteral("nada que deshacer");
    if (m_ticks.ticks() - last.tick > kUndoWindowMs)
        return QStringLiteral("han pasado más de 10 s");
    if (!m_run.isRunning())
        return QStringLiteral("la prueba no está en marcha");
    const int athlete = last.athlete;
    // A dropout, or a warning that completed the rule: the player comes back (with the warning
    // that put them out, as "Volver a activar..." does on the laptop).
    if (!m_run.roster().isShown(athlete)) {
        if (!m_run.canReactivate(athlete))
            return QStringLiteral("no se puede deshacer");
        m_run.reactivate(athlete);
    } else if (last.type == PhoneCommand::Type::Warning) {
        const int before = m_warnings.total();
        m_run.takeBackWarning(athlete);
        if (m_warnings.total() == before)
            return QStringLiteral("no se puede deshacer");
    } else {
        return QStringLiteral("no se puede deshacer");
    }
    last.undone = true;
    return {};
}

QByteArray RemoteAuthority::state() const {
    const DisplayState& d = m_run.display();
    QJsonArray athletes;
    const int rows = m_run.edition().stationsPerLap;
    for (int athlete = 1; athlete <= rows; ++athlete) {
        const QString name = m_run.table().cell(kColName, athlete);
        if (name.trimmed().isEmpty())
            continue;
        const bool running = m_run.isRunning() && m_run.roster().isShown(athlete);
        const int warnings = m_warnings.count(athlete);
        QString state = QStringLiteral("waiting");
        if (running)
            state = m_warnings.counting(athlete) > 0 ? QStringLiteral("warned") : QStringLiteral("running");
        else if (!m_run.table().cell(kColTime, athlete).isEmpty())
            state = QStringLiteral("out");
        athletes.append(QJsonObject{{QStringLiteral("cone"), athlete},
                                    {QStringLiteral("name"), name},
                                    {QStringLiteral("state"), state},
                                    {QStringLiteral("warnings"), warnings}});
    }
    const QJsonObject object{
        {QStringLiteral("v"), PhoneMessage::kVersion},
        {QStringLiteral("type"), QStringLiteral("state")},
        {QStringLiteral("epoch"), double(m_epoch)},
        {QStringLiteral("running"), m_run.isRunning()},
        {QStringLiteral("warmUp"), m_run.isRunning() && m_run.session().WarmUpPhase() != 0},
        {QStringLiteral("period"), d.periodText},
        {QStringLiteral("leg"), currentLeg()},
        {QStringLiteral("time"), d.clockText},
        {QStringLiteral("athletes"), athletes}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

void RemoteAuthority::push() {
    if (std::exchange(m_pushPending, true))
        return;
    QMetaObject::invokeMethod(this, &RemoteAuthority::pushNow, Qt::QueuedConnection);
}

void RemoteAuthority::pushNow() {
    if (!std::exchange(m_pushPending, false))
        return;  // already sent by the heartbeat
    m_lastPush = m_ticks.ticks();
    Q_EMIT statePushed(state());
}

void RemoteAuthority::heartbeat() {
    if (m_pushPending || m_ticks.ticks() - m_lastPush < kHeartbeatMs)
        return;
    m_pushPending = true;
    pushNow();
}

}  // namespace norak
