#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "engine/TimingRecord.h"
#include "results/RunEvents.h"

namespace norak {

// A dropout as TestRun saw it: when (tick of the session's TickSource) and who.
struct DropoutMark {
    qint64 tick = 0;
    int athlete = 0;  // the athlete's number, row of the table
    QString name;
    QString by;  // pressed on a phone: "móvil 1", written after the phase ("abandono (móvil 1)")
};

// The signal log written beside the report, to line a heart-rate recording up with the test:
// semicolon-separated lines like the export (Windows-1252, CR LF). The header line gives the
// local date and time of Start; every line after it is one event, at milliseconds since Start
// with three decimals:
//   ;ms;period;signal within the period;station;phase;      a signal ("esfuerzo", "calentamiento")
//   ;ms;period;;;recuperacion;                              the start of a recovery
//   ;ms;period;;;abandono;number;name;                     a dropout ("abandono (móvil 1)"
//                                                           when pressed on a phone)
//   ;ms;period;signal;station;aviso;number;name;             a warning, pressed at ms, for the
//                                                           cone of that period's signal
//                                                           ("aviso (móvil 1)" from a phone)
class SignalLog {
  public:
    // Header then events in time order (a dropout or warning after the signal of the same moment).
    static QStringList lines(const TimingRecord& record, const QList<DropoutMark>& dropouts,
                             const QList<Warning>& warnings = {});
    // The bytes of the file; nullopt when a name has no place in Windows-1252.
    static std::optional<QByteArray> encode(const QStringList& lines);
    // The log's file path for the report's: "…_08-12-26.pdf" gives "…_08-12-26_senales.txt".
    static QString fileNameFor(const QString& reportPath);
};

}  // namespace norak
