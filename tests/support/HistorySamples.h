#pragma once

#include <QDateTime>
#include <QRandomGenerator>
#include <QStringList>
#include <QUuid>

#include "engine/Edition.h"
#include "history/StoredTest.h"
#include "results/AthleteRoster.h"
#include "results/CellText.h"

namespace norak {

// Made-up tests for the history's tests, the crash test's child and the benchmark: the same
// seed and index give the same test. Row i is always the same player (name and code), so that
// a squad's progression builds up over the tests.
inline const QStringList& sampleNames() {
    static const QStringList names = {
        QStringLiteral("Lucía Pérez"),   QStringLiteral("Ángel Ruiz"),     QStringLiteral("Nerea Gómez"),
        QStringLiteral("Iñaki Sáez"),    QStringLiteral("Marta Llorens"),  QStringLiteral("Óscar Díaz"),
        QStringLiteral("Irene Núñez"),   QStringLiteral("Paula Ibáñez"),   QStringLiteral("Sara Martín"),
        QStringLiteral("Elena Castro"),  QStringLiteral("Ane Etxeberria"), QStringLiteral("Júlia Vidal"),
        QStringLiteral("Noa Fernández"), QStringLiteral("Carla Gil")};
    return names;
}

inline QString sampleCode(int row) {
    return QStringLiteral("V%1").arg(row, 2, 10, QLatin1Char('0'));
}

// `players` named rows from row 1 (0: as many as the edition's table has).
inline StoredTest sampleTest(int edition, quint32 seed, int index, int players = 0) {
    QRandomGenerator random(seed * 7919u + quint32(index));
    const EditionRecord record = editionRecord(edition);
    StoredTest test;
    test.uuid = QUuid::createUuidV5(QUuid(QStringLiteral("0b6a8a1e-5b5e-4c1c-a0b4-9d8f6e4a2c11")),
                                    QStringLiteral("%1|%2|%3").arg(edition).arg(seed).arg(index))
                    .toString(QUuid::WithoutBraces);
    test.edition = edition;
    test.editionTitle = record.editionTitle;
    test.periodTableFingerprint = periodTableFingerprint(sourcePeriodTable(edition));
    test.startedAt = QDateTime(
        QDate(2020, 1, 6).addDays(index * 7 + int(seed % 5)),
        QTime(9 + index % 10, int(random.bounded(60)), int(random.bounded(60)), int(random.bounded(1000))));
    test.stoppedAt = test.startedAt.addSecs(600 + random.bounded(900));
    test.mode = index % 3;
    test.startPeriod = 1 + index % 5;
    test.startSpeedText = nominalSpeedText(test.startPeriod);
    test.warmUp = index % 2 == 0;
    test.soundOutput = QStringLiteral("Altavoces (PulseAudio)");
    test.signalsGiven = 100 + int(random.bounded(400));
    test.latenessP50Ms = 0;
    test.latenessP99Ms = qint64(random.bounded(3));
    test.latenessMaxMs = *test.latenessP99Ms + 1;
    test.tableRows = record.stationsPerLap;
    const int named = players > 0 ? std::min(players, record.stationsPerLap) : record.stationsPerLap;
    for (int row = 1; row <= named; ++row) {
        const int periods = test.startPeriod - 1 + int(random.bounded(8));
        const int beeps = int(random.bounded(record.signalsPerPeriod));
        const qint64 metres =
            roundMetres(distanceCovered(periods, beeps, record.signalsPerPeriod, record.stationDistance));
        const int seconds = 30 + int(metres / 3);
        StoredRow stored;
        stored.row = row;
        stored.cells = {QString::number(row),
                        sampleNames()[(row - 1) % sampleNames().size()],
                        sampleCode(row),
                        QStringLiteral("%1:%2")
                            .arg(seconds / 60, 2, 10, QLatin1Char('0'))
                            .arg(seconds % 60, 2, 10, QLatin1Char('0')),
                        QString::number(periods),
                        QString::number(metres),
                        nominalSpeedText(std::max(1, periods + 1))};
        if (edition == kEditionBasket)
            stored.cells << EstimateVO2max(QString::number(metres), QLatin1Char(','));
        stored.computeNumbers();
        test.rows.push_back(stored);
    }
    return test;
}

}  // namespace norak
