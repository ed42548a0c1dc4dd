#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <vector>

#include "engine/TimingRecord.h"
#include "remote/PhoneMessage.h"
#include "results/LiveValues.h"

namespace norak {

class RunWarnings;
class TestRun;
class TickSource;

// The laptop's side of the remote: it applies the phones' commands to the run through the run's
// own verbs, as if pressed on the laptop, and tells the phones the state. It attaches itself to
// the run (and to the warnings' keeping, for the marks it shows) and never reaches further in.
//
// Presses travel over Wi-Fi, which now and then holds a message back for up to a second, longer
// than the shortest leg; so a command is not timed by its arrival. It names the leg the phone
// showed, and the run's epoch of that moment:
// - the epoch changes at every Start and New test: a command of another test is refused;
// - the leg may be the current one or the one before; a dropout for the one before records the
//   values the laptop showed during that leg (those shown just before the next leg's signal), a
//   warning is for that leg's cone;
// - a request id seen before from the same phone gets its first answer again, applied once;
// - "undo" takes back the phone's own last command, within 10 s of its arrival, once.
// Every command gets an answer, done or refused with a reason (JSON, see `answer`).
class RemoteAuthority : public QObject {
    Q_OBJECT

  public:
    static constexpr qint64 kUndoWindowMs = 10'000;
    static constexpr qint64 kHeartbeatMs = 3'000;
    static constexpr qsizetype kRememberedIds = 256;  // per phone, the oldest forgotten first

    RemoteAuthority(TestRun& run, const RunWarnings& warnings, const TickSource& ticks,
                    QObject* parent = nullptr);

    // A message of phone `phone` (1, 2, ...): what to answer it.
    QByteArray handle(int phone, const QByteArray& message);
    // A phone removed: its ids and its last command are forgotten.
    void forget(int phone);

    // The state as the phones show it: {"v":1,"type":"state","epoch":..,"running":..,
    // "warmUp":..,"period":"..","leg":..,"time":"mm:ss","athletes":[{"cone":..,"name":"..",
    // "state":"running"|"warned"|"out"|"waiting","warnings":..},..]} (named players only).
    QByteArray state() const;
    // Called often (a second's timer): the state again when nothing was sent for 3 s, so that a
    // phone knows the laptop is there.
    void heartbeat();

    quint32 epoch() const { return m_epoch; }
    int currentLeg() const { return int(m_legs.size()); }

    static QByteArray answer(const QString& id, const QString& refusal = {});

  Q_SIGNALS:
    // The state for every phone: after every signal and change, and the heartbeat. A change only
    // marks the state as due; it is built and sent once, when control returns to the event loop,
    // whatever else changed in the same turn: a press's verb announces several changes (the
    // warning, the row, the run's own `changed`), and a signal is followed by the run's redraw,
    // and encoding and sending the state to four phones for each of them is the window thread's
    // time taken from the next signal's due moment.
    void statePushed(const QByteArray& state);
    // A phone's command was applied: a warning or dropout for `athlete`, or an undo of the
    // phone's last one (`athlete` the player it was for). The remote's window lists each phone's
    // last command and how many it got through.
    void applied(int phone, PhoneCommand::Type type, int athlete);

  private:
    struct Last {
        PhoneCommand::Type type = PhoneCommand::Type::Warning;
        int athlete = 0;
        qint64 tick = 0;
        quint32 epoch = 0;
        bool undone = true;
    };
    struct Phone {
        QHash<QString, QByteArray> answers;
        QList<QString> order;
        Last last;
    };

    QString apply(int phone, const PhoneCommand& command);  // the refusal, empty when done
    QString applyUndo(Phone& phone);
    void push();     // marks the state due this turn
    void pushNow();  // builds and sends it
    void newEpoch();

    TestRun& m_run;
    const RunWarnings& m_warnings;
    const TickSource& m_ticks;
    QHash<int, Phone> m_phones;
    quint32 m_epoch = 1;
    std::vector<LiveValues> m_legs;  // leg n's entry at n - 1: the values shown just before its signal
    LiveValues m_shown;
    qint64 m_lastPush = 0;
    bool m_pushPending = false;
};

}  // namespace norak
