#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <map>
#include <tuple>

#include "engine/Edition.h"
#include "platform/fakes/FakePlatform.h"
#include "remote/PhoneMessage.h"
#include "remote/RemoteAuthority.h"
#include "results/CellText.h"
#include "results/Journal.h"
#include "results/RunWarnings.h"
#include "results/SignalLog.h"
#include "results/TestRun.h"
#include "support/FakeTime.h"

using namespace norak;

namespace {

using Type = PhoneCommand::Type;

// A Zevez run on fake time with 8 named runners, the warnings' keeping and the remote's authority
// attached, no widget and no network.
struct Field {
    Field() : run(kEditionZevez, fakes.platform()), time(fakes, run) {
        run.activate();
        for (int row = 1; row <= 8; ++row)
            run.table().setCell(kColName, row, QStringLiteral("J%1").arg(row));
    }
    void start() {
        run.chooseMode(TestMode::Esfuerzo);
        run.setStartPeriod(3);
        if (run.display().warmUpChecked)
            run.setWarmUp(false);
        run.start();
    }
    // Steps until leg `n` has been signalled, noting what the display showed before each signal.
    void runToLeg(int n) {
        for (int steps = 0; authority.currentLeg() < n; ++steps) {
            ASSERT_LT(steps, 200000);
            const LiveValues before = run.liveValues();
            const int legs = authority.currentLeg();
            time.step();
            if (authority.currentLeg() > legs)
                shownBefore[authority.currentLeg()] = before;
        }
    }
    QByteArray send(Type type, const QString& id, int athlete, int leg, int phone = 1, qint64 epoch = -1) {
        const PhoneCommand c{type, id, epoch < 0 ? qint64(authority.epoch()) : epoch, leg, athlete};
        return authority.handle(phone, PhoneMessage::encode(c));
    }
    QByteArray undo(const QString& id, int phone = 1) {
        return authority.handle(phone,
                                PhoneMessage::encode({Type::Undo, id, qint64(authority.epoch()), 0, 0}));
    }
    // Returns to the event loop: what the turn changed is pushed.
    void endTurn() { QCoreApplication::sendPostedEvents(&authority, QEvent::MetaCall); }
    QStringList row(int r) const {
        QStringList cells;
        for (int column = kColTime; column <= kColSpeed; ++column)
            cells << run.table().cell(column, r);
        return cells;
    }
    QStringList valuesRow(const LiveValues& v) const {
        return {v.clockText, QString::number(v.periodText.toInt() - v.startPeriod), v.distanceText,
                v.speedText};
    }

    FakePlatform fakes;
    TestRun run;
    norak::testing::FakeTime<TestRun> time;
    RunWarnings warnings{run};
    RemoteAuthority authority{run, warnings, fakes.ticks};
    std::map<int, LiveValues> shownBefore;
};

QJsonObject json(const QByteArray& bytes) {
    return QJsonDocument::fromJson(bytes).object();
}
QString refusal(const QByteArray& answer) {
    const QJsonObject o = json(answer);
    return o.value(QStringLiteral("result")).toString() == QLatin1String("refused")
               ? o.value(QStringLiteral("reason")).toString()
               : QString();
}
bool done(const QByteArray& answer) {
    return json(answer).value(QStringLiteral("result")).toString() == QLatin1String("done");
}

}  // namespace

// What the parser lets through: one object of a known type with exactly its keys, whole numbers
// in range, an id of the allowed characters, version 1, at most 16 KB.
TEST(PhoneMessage, RefusesEverythingButTheThreeCommands) {
    const PhoneCommand warning{Type::Warning, QStringLiteral("a-1_Z"), 7, 12, 5};
    const PhoneCommand undo{Type::Undo, QStringLiteral("u"), 7, 0, 0};
    for (const PhoneCommand& c :
         {warning, undo, PhoneCommand{Type::Dropout, QStringLiteral("d"), 0, 0, 14}}) {
        const auto parsed = PhoneMessage::parse(PhoneMessage::encode(c));
        ASSERT_TRUE(std::holds_alternative<PhoneCommand>(parsed)) << PhoneMessage::encode(c).constData();
        EXPECT_EQ(std::get<PhoneCommand>(parsed), c);
    }
    const QByteArray valid = R"({"v":1,"type":"warning","id":"x","epoch":1,"leg":1,"athlete":1})";
    const QByteArray hostile[] = {
        "",
        "{",
        "[]",
        "null",
        R"("warning")",
        R"({"v":1,"type":"warning","id":"x","epoch":1,"leg":1,"athlete":1,"extra":0})",
        R"({"v":1,"type":"warning","id":"x","epoch":1,"leg":1})",
        R"({"v":1,"type":"undo","id":"x","epoch":1,"leg":1,"athlete":1})",
        R"({"v":1,"type":"shutdown","id":"x","epoch":1})",
        R"({"v":2,"type":"warning","id":"x","epoch":1,"leg":1,"athlete":1})",
        R"({"v":"1","type":"warning","id":"x","epoch":1,"leg":1,"athlete":1})",
        R"({"v":1,"type":"warning","id":"<b>","epoch":1,"leg":1,"athlete":1})",
        R"({"v":1,"type":"warning","id":"","epoch":1,"leg":1,"athlete":1})",
        R"({"v":1,"type":"warning","id":7,"epoch":1,"leg":1,"athlete":1})",
        R"({"v":1,"type":"warning","id":"x","epoch":1.5,"leg":1,"athlete":1})",
        R"({"v":1,"type":"warning","id":"x","epoch":"1","leg":1,"athlete":1})",
        R"({"v":1,"type":"warning","id":"x","epoch":-1,"leg":1,"athlete":1})",
        R"({"v":1,"type":"warning","id":"x","epoch":1,"leg":-1,"athlete":1})",
        R"({"v":1,"type":"warning","id":"x","epoch":1,"leg":1,"athlete":0})",
        R"({"v":1,"type":"warning","id":"x","epoch":1,"leg":1,"athlete":15})",
        R"({"v":1,"type":"warning","id":"x","epoch":1,"leg":1e300,"athlete":1})",
        R"({"v":1,"type":"warning","id":"x","epoch":1,"leg":1,"athlete":1} trailing)",
        QByteArray(R"({"v":1,"type":"warning","id":")") + QByteArray(65, 'a') +
            R"(","epoch":1,"leg":1,"athlete":1})",
    };
    ASSERT_TRUE(std::holds_alternative<PhoneCommand>(PhoneMessage::parse(valid)));
    for (const QByteArray& bytes : hostile)
        EXPECT_TRUE(std::holds_alternative<PhoneMessageError>(PhoneMessage::parse(bytes)))
            << bytes.constData();

    // The size cap holds before any parsing: 1 MB of a valid message's padding is refused.
    QByteArray padded = valid;
    padded.insert(1, QByteArray(PhoneMessage::kMaxBytes, ' '));
    EXPECT_EQ(std::get<PhoneMessageError>(PhoneMessage::parse(padded)).reason,
              QStringLiteral("mensaje demasiado largo"));
    EXPECT_TRUE(std::holds_alternative<PhoneMessageError>(PhoneMessage::parse(QByteArray(1 << 20, '{'))));
    // A refusal still names a readable request id, so that the phone knows which press failed.
    const auto unknown = PhoneMessage::parse(R"({"v":1,"type":"reboot","id":"r9","epoch":1})");
    EXPECT_EQ(std::get<PhoneMessageError>(unknown).id, QStringLiteral("r9"));
}

// Warnings and dropouts from a phone: the current leg or the one before, with the values of the
// leg the phone showed; anything older, newer, or for a player not running is refused and
// changes nothing.
TEST(RemoteAuthority, AppliesCommandsForTheLegThePhoneShowed) {
    Field f;
    f.start();
    f.runToLeg(4);
    QSignalSpy warned(&f.run, &TestRun::warned);

    EXPECT_TRUE(done(f.send(Type::Warning, QStringLiteral("w1"), 1, 4)));
    EXPECT_TRUE(done(f.send(Type::Warning, QStringLiteral("w2"), 2, 3)));  // arrived after signal 4
    ASSERT_EQ(warned.size(), 2);
    EXPECT_EQ(warned[0][0].value<Warning>().leg, 4);
    EXPECT_EQ(warned[1][0].value<Warning>().leg, 3);

    const QString twoBehind = refusal(f.send(Type::Warning, QStringLiteral("w3"), 3, 2));
    EXPECT_EQ(twoBehind, QStringLiteral("tramo demasiado antiguo"));
    EXPECT_FALSE(refusal(f.send(Type::Dropout, QStringLiteral("d0"), 3, 5)).isEmpty());   // not yet shown
    EXPECT_FALSE(refusal(f.send(Type::Dropout, QStringLiteral("d1"), 9, 4)).isEmpty());   // no name
    EXPECT_FALSE(refusal(f.send(Type::Dropout, QStringLiteral("d2"), 14, 4)).isEmpty());  // no such row
    EXPECT_EQ(warned.size(), 2);
    EXPECT_TRUE(f.row(3).join(QString()).isEmpty());

    // A dropout for the leg before records what the laptop showed during it (just before the
    // current leg's signal), not what it shows as the press arrives.
    f.time.runFor(600);
    ASSERT_EQ(f.authority.currentLeg(), 4);
    QSignalSpy dropped(&f.run, &TestRun::droppedOut);
    EXPECT_TRUE(done(f.send(Type::Dropout, QStringLiteral("d3"), 5, 3)));
    ASSERT_EQ(dropped.size(), 1);
    // The signal log says which phone pressed it.
    const Dropout dropout = dropped[0][0].value<Dropout>();
    EXPECT_EQ(dropout.by, QStringLiteral("móvil 1"));
    const QStringList log =
        SignalLog::lines(f.run.session().timingRecord(),
                         {DropoutMark{dropout.tick, dropout.athlete, dropout.name, dropout.by}});
    EXPECT_TRUE(log.last().contains(QStringLiteral(";abandono (móvil 1);5;J5;"))) << log.last().toStdString();
    EXPECT_EQ(f.row(5), f.valuesRow(f.shownBefore.at(4)));
    EXPECT_TRUE(done(f.send(Type::Dropout, QStringLiteral("d4"), 6, 4)));
    EXPECT_EQ(f.row(6), f.valuesRow(f.run.liveValues()));
    EXPECT_FALSE(f.run.roster().isShown(5));
    // Out already: a second dropout, or a warning, is refused.
    EXPECT_EQ(refusal(f.send(Type::Dropout, QStringLiteral("d5"), 5, 4)),
              QStringLiteral("el jugador no está en carrera"));
    EXPECT_FALSE(refusal(f.send(Type::Warning, QStringLiteral("w4"), 5, 4)).isEmpty());
}

// A phone's warning names the phone in the signal log, as its dropout does, and keeps the name
// through the recovery journal; the laptop's own warning and the rule's dropout name none. Every
// command a phone got through, undo included, is announced with the player it was for.
TEST(RemoteAuthority, NamesThePhoneOfAWarningAndAnnouncesWhatItApplied) {
    Field f;
    f.start();
    f.runToLeg(3);
    QSignalSpy applied(&f.authority, &RemoteAuthority::applied);
    f.run.warnAthlete(1);                                                    // on the laptop
    EXPECT_TRUE(done(f.send(Type::Warning, QStringLiteral("a"), 2, 3, 2)));  // móvil 2
    f.runToLeg(4);
    EXPECT_TRUE(done(f.send(Type::Warning, QStringLiteral("b"), 2, 4, 2)));  // the rule puts J2 out
    EXPECT_TRUE(done(f.send(Type::Warning, QStringLiteral("c"), 3, 4, 1)));
    EXPECT_TRUE(done(f.undo(QStringLiteral("d"), 1)));

    ASSERT_EQ(applied.size(), 4);
    const auto announced = [&](int i) {
        return std::tuple(applied[i][0].toInt(), applied[i][1].value<Type>(), applied[i][2].toInt());
    };
    EXPECT_EQ(announced(0), std::tuple(2, Type::Warning, 2));
    EXPECT_EQ(announced(1), std::tuple(2, Type::Warning, 2));
    EXPECT_EQ(announced(2), std::tuple(1, Type::Warning, 3));
    EXPECT_EQ(announced(3), std::tuple(1, Type::Undo, 3));

    const QList<Warning>& warnings = f.warnings.warnings();
    ASSERT_EQ(warnings.size(), 3);  // móvil 1's warning was taken back
    EXPECT_EQ(warnings[0].by, QString());
    EXPECT_EQ(warnings[1].by, QStringLiteral("móvil 2"));
    EXPECT_TRUE(warnings[2].putOut);
    QStringList events;
    for (const QString& line : SignalLog::lines(f.run.session().timingRecord(), {}, warnings)) {
        const QStringList fields = line.split(QLatin1Char(';'));
        if (fields.value(5).startsWith(QLatin1String("aviso")))
            events << fields.mid(5, 3).join(QLatin1Char(';'));
    }
    EXPECT_EQ(events, QStringList({QStringLiteral("aviso;1;J1"), QStringLiteral("aviso (móvil 2);2;J2"),
                                   QStringLiteral("aviso (móvil 2);2;J2")}));
    const QStringList withDropout =
        SignalLog::lines(f.run.session().timingRecord(),
                         {DropoutMark{warnings[2].tick, 2, QStringLiteral("J2"), {}}}, warnings);
    EXPECT_TRUE(withDropout.last().endsWith(QStringLiteral(";abandono;2;J2;")))
        << withDropout.last().toStdString();

    JournalState state;
    state.takeTable(f.run.table());
    f.warnings.putInto(state);
    const Journal::LoadResult back = Journal::decode(Journal::encode(state), kEditionZevez);
    ASSERT_EQ(back.status, Journal::LoadStatus::Loaded);
    EXPECT_EQ(back.state.warnings, state.warnings);
}

// A request id seen before gets the first answer again and nothing twice; a command of an
// earlier test (another epoch) is refused; before Start and after Stop nothing is applied.
TEST(RemoteAuthority, RepeatsAndStaleEpochsApplyNothing) {
    Field f;
    const QByteArray before = f.send(Type::Dropout, QStringLiteral("early"), 1, 0);
    EXPECT_EQ(refusal(before), QStringLiteral("la prueba no está en marcha"));
    const quint32 idle = f.authority.epoch();
    f.start();
    EXPECT_NE(f.authority.epoch(), idle);
    f.runToLeg(2);
    QSignalSpy warned(&f.run, &TestRun::warned);
    QSignalSpy dropped(&f.run, &TestRun::droppedOut);

    const QByteArray first = f.send(Type::Warning, QStringLiteral("same"), 1, 2);
    EXPECT_TRUE(done(first));
    EXPECT_EQ(f.send(Type::Warning, QStringLiteral("same"), 1, 2), first);
    EXPECT_EQ(f.send(Type::Dropout, QStringLiteral("same"), 1, 2), first);  // the id decides
    EXPECT_EQ(warned.size(), 1);
    EXPECT_EQ(dropped.size(), 0);
    // Ids are the phone's own: another phone's "same" is another request.
    EXPECT_TRUE(done(f.send(Type::Warning, QStringLiteral("same"), 2, 2, 2)));

    EXPECT_EQ(refusal(f.send(Type::Dropout, QStringLiteral("old"), 3, 2, 1, idle)),
              QStringLiteral("la prueba ha cambiado"));
    EXPECT_EQ(dropped.size(), 0);

    f.run.stop();
    f.run.prepareNewTest();
    const QByteArray late = f.send(Type::Dropout, QStringLiteral("late"), 3, 2);
    EXPECT_FALSE(done(late));
    // A malformed message still gets an answer, naming no request.
    const QJsonObject malformed = json(f.authority.handle(1, "{not json"));
    EXPECT_EQ(malformed.value(QStringLiteral("result")).toString(), QStringLiteral("refused"));
    EXPECT_TRUE(malformed.value(QStringLiteral("id")).isNull());
}

// "Deshacer": the phone's own last command, within 10 s, once; a dropout or a warning that put
// the player out comes back as "Volver a activar..." would bring it.
TEST(RemoteAuthority, UndoTakesBackTheOwnLastCommandWithinTenSeconds) {
    Field f;
    f.start();
    f.runToLeg(2);
    ASSERT_TRUE(done(f.send(Type::Warning, QStringLiteral("w"), 1, 2)));
    EXPECT_EQ(refusal(f.undo(QStringLiteral("u0"), 2)),
              QStringLiteral("nada que deshacer"));  // not phone 2's
    EXPECT_TRUE(done(f.undo(QStringLiteral("u1"))));
    EXPECT_EQ(f.warnings.count(1), 0);
    EXPECT_FALSE(done(f.undo(QStringLiteral("u2"))));  // once

    ASSERT_TRUE(done(f.send(Type::Dropout, QStringLiteral("d"), 2, 2)));
    ASSERT_FALSE(f.run.roster().isShown(2));
    EXPECT_TRUE(done(f.undo(QStringLiteral("u3"))));
    EXPECT_TRUE(f.run.roster().isShown(2));
    EXPECT_TRUE(f.row(2).join(QString()).isEmpty());

    // Two consecutive warnings put player 3 out by the rule; the undo brings the player back.
    ASSERT_TRUE(done(f.send(Type::Warning, QStringLiteral("w3a"), 3, 2)));
    f.runToLeg(3);
    ASSERT_TRUE(done(f.send(Type::Warning, QStringLiteral("w3b"), 3, 3)));
    ASSERT_FALSE(f.run.roster().isShown(3));
    EXPECT_TRUE(done(f.undo(QStringLiteral("u4"))));
    EXPECT_TRUE(f.run.roster().isShown(3));
    EXPECT_EQ(f.warnings.count(3), 1);

    ASSERT_TRUE(done(f.send(Type::Warning, QStringLiteral("w4"), 4, 3)));
    f.time.runFor(RemoteAuthority::kUndoWindowMs + 10);
    EXPECT_EQ(refusal(f.undo(QStringLiteral("u5"))), QStringLiteral("han pasado más de 10 s"));
    EXPECT_EQ(f.warnings.count(4), 1);
}

// The state reaches the phones at every signal and change, and at least every 3 s; names go out
// as JSON strings, whatever they hold.
TEST(RemoteAuthority, PushesTheStateAtEverySignalAndAHeartbeat) {
    Field f;
    f.run.table().setCell(kColName, 2, QStringLiteral("<img src=x onerror=alert(1)>"));
    QSignalSpy pushed(&f.authority, &RemoteAuthority::statePushed);
    f.start();
    f.endTurn();
    ASSERT_FALSE(pushed.isEmpty());
    const QJsonObject state = json(pushed.last()[0].toByteArray());
    EXPECT_EQ(state.value(QStringLiteral("epoch")).toInt(), int(f.authority.epoch()));
    EXPECT_TRUE(state.value(QStringLiteral("running")).toBool());
    const auto athletes = state.value(QStringLiteral("athletes")).toArray();
    ASSERT_EQ(athletes.size(), 8);
    EXPECT_EQ(athletes[1].toObject().value(QStringLiteral("name")).toString(),
              QStringLiteral("<img src=x onerror=alert(1)>"));

    f.runToLeg(1);
    f.endTurn();
    pushed.clear();
    f.runToLeg(2);
    f.endTurn();
    EXPECT_FALSE(pushed.isEmpty());
    EXPECT_EQ(json(pushed.last()[0].toByteArray()).value(QStringLiteral("leg")).toInt(), 2);

    ASSERT_TRUE(done(f.send(Type::Warning, QStringLiteral("w"), 1, 2)));
    f.endTurn();
    const auto warned = json(pushed.last()[0].toByteArray()).value(QStringLiteral("athletes")).toArray();
    EXPECT_EQ(warned[0].toObject().value(QStringLiteral("state")).toString(), QStringLiteral("warned"));

    f.run.stop();
    f.endTurn();
    pushed.clear();
    f.fakes.ticks.advance(RemoteAuthority::kHeartbeatMs - 1);
    f.authority.heartbeat();
    EXPECT_TRUE(pushed.isEmpty());
    f.fakes.ticks.advance(1);
    f.authority.heartbeat();
    EXPECT_EQ(pushed.size(), 1);
}

// The state goes out once per event-loop turn, after the commands of that turn, with all of
// them: nothing is encoded or sent while a command is being applied.
TEST(RemoteAuthority, PushesOnceATurnWithEveryChangeOfIt) {
    Field f;
    f.start();
    f.runToLeg(2);
    f.endTurn();
    QSignalSpy pushed(&f.authority, &RemoteAuthority::statePushed);
    ASSERT_TRUE(done(f.send(Type::Warning, QStringLiteral("w1"), 1, 2, 1)));
    ASSERT_TRUE(done(f.send(Type::Warning, QStringLiteral("w2"), 2, 2, 2)));
    ASSERT_TRUE(done(f.send(Type::Dropout, QStringLiteral("d3"), 3, 2, 3)));
    EXPECT_TRUE(pushed.isEmpty());
    f.endTurn();
    ASSERT_EQ(pushed.size(), 1);
    const auto athletes = json(pushed[0][0].toByteArray()).value(QStringLiteral("athletes")).toArray();
    QStringList states;
    for (const QJsonValue& a : athletes)
        states << a.toObject().value(QStringLiteral("state")).toString();
    EXPECT_EQ(states.mid(0, 4), (QStringList{QStringLiteral("warned"), QStringLiteral("warned"),
                                             QStringLiteral("out"), QStringLiteral("running")}));

    // The next turn pushes again only if something changed; a heartbeat due meanwhile is that
    // turn's push, not one more.
    f.endTurn();
    EXPECT_EQ(pushed.size(), 1);
    ASSERT_TRUE(done(f.undo(QStringLiteral("u1"), 1)));
    f.fakes.ticks.advance(RemoteAuthority::kHeartbeatMs);
    f.authority.heartbeat();
    f.endTurn();
    ASSERT_EQ(pushed.size(), 2);
    EXPECT_EQ(json(pushed[1][0].toByteArray())
                  .value(QStringLiteral("athletes"))
                  .toArray()[0]
                  .toObject()
                  .value(QStringLiteral("state")),
              QStringLiteral("running"));
}
