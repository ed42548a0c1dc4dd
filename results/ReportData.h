#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "engine/Configuration.h"
#include "engine/Edition.h"
#include "engine/TimingRecord.h"
#include "engine/UserTexts.h"
#include "engine/WarningRule.h"
#include "results/RunEvents.h"

namespace norak {

class ResultsTable;

// How the test was run, as TestRun knows it when the report is made.
struct ReportSettings {
    TestMode mode = TestMode::Completo;
    int startPeriod = 1;     // the period the run started at
    QString startSpeedText;  // StartSpeedText, e.g. "4,2"
    bool warmUp = false;
    QString soundOutput;  // the name of the sound output in use
};

// A label and its value, as the report prints them.
struct ReportFigure {
    QString label;
    QString value;
};

// Everything the one-page report shows, computed from the results table and the timing record;
// the document only lays it out. Texts are Spanish with decimal commas.
struct ReportData {
    struct Bar {
        int row = 0;  // data row of the table
        QString name;
        qint64 distance = 0;  // metres
        QString periods;      // "Periodos complet." as in the table
    };
    struct Recovery {
        unsigned period = 0;  // the period whose effort it follows
        bool afterWarmUp = false;
        int nominalMs = 0;
        qint64 measuredMs = -1;  // -1: the test was stopped during it
    };

    int edition = kBuildEdition;
    QString editionTitle;
    QString sportName;
    Rgb colorLight;
    Rgb colorMain;
    Rgb colorDark;

    QDateTime start;
    QString modeText;  // "Test completo", "Test de esfuerzo", "Repetir periodo"
    int startPeriod = 1;
    QString startSpeedText;
    bool warmUp = false;
    QString soundOutput;

    QStringList columnTitles;  // the table's titles
    QList<QStringList> rows;   // every named row, all its cells as the table shows them
    QList<Bar> bars;           // named rows with a distance, longest first (table order on a tie)

    std::optional<double> meanDistance;
    std::optional<double> medianDistance;
    std::optional<qint64> bestDistance;
    std::optional<double> meanPeriods;

    int signalsGiven = 0;
    // Over the signals that had a due moment (every one but Start's), nearest rank.
    std::optional<qint64> latenessP50Ms;
    std::optional<qint64> latenessP99Ms;
    std::optional<qint64> latenessMaxMs;
    QList<Recovery> recoveries;

    // The warnings of the test per player (table order) and the rule it ran with; a report made
    // without the warnings' keeping has no rule text and shows no warning section.
    struct PlayerWarnings {
        int row = 0;
        QString name;
        QStringList legs;  // "P4·7": period 4, signal 7
        bool putOut = false;
    };
    QString warningRuleText;
    QList<PlayerWarnings> warnings;

    static ReportData compute(const ResultsTable& table, const TimingRecord& record,
                              const ReportSettings& settings);

    // "dd/mm/yyyy" and "hh:mm:ss" of Start.
    QString startDateText() const;
    QString startTimeText() const;
    // The configuration lines: mode, start period and its speed, warm-up.
    QList<ReportFigure> testFigures() const;
    // Mean, median and best distance, mean completed periods.
    QList<ReportFigure> groupFigures() const;
    // Signals given, lateness p50 / p99 / max, the sound output.
    QList<ReportFigure> timingFigures() const;
    // One figure per recovery: measured length against its nominal length.
    QList<ReportFigure> recoveryFigures() const;
    // The warnings and the rule they were counted by.
    void addWarnings(const QList<Warning>& given, const WarningRule& rule);
    // One figure per warned player: "Nº name" and the warnings with their legs.
    QList<ReportFigure> warningFigures() const;

    // A number with `decimals` decimals and a decimal comma ("1473,5").
    static QString decimalText(double value, int decimals);
    // The report's file name: edition title + "_" + "dd-mm-yy" + ".pdf".
    static QString proposedFileName(const QString& editionTitle, const QDate& date);
};

}  // namespace norak
