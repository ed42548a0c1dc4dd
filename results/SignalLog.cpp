#include "results/SignalLog.h"

#include <QHash>
#include <QPair>
#include <algorithm>
#include <vector>

#include "results/ExportWriter.h"

namespace norak {

namespace {

// Milliseconds with three decimals and a decimal comma, from nanoseconds.
QString msText(qint64 ns) {
    const qint64 whole = ns / 1'000'000;
    const qint64 fraction = (ns % 1'000'000) / 1000;
    return QString::number(whole) + QLatin1Char(',') +
           QStringLiteral("%1").arg(fraction, 3, 10, QLatin1Char('0'));
}

QString phaseName(TimingRecord::Phase phase) {
    switch (phase) {
        case TimingRecord::Phase::Effort:
            return QStringLiteral("esfuerzo");
        case TimingRecord::Phase::Recovery:
            return QStringLiteral("recuperacion");
        case TimingRecord::Phase::WarmUp:
            return QStringLiteral("calentamiento");
    }
    return {};
}

// The phase, and who pressed it when a phone did: "abandono (móvil 1)".
QString phaseBy(const QString& phase, const QString& by) {
    return by.isEmpty() ? phase : phase + QStringLiteral(" (") + by + QLatin1Char(')');
}

struct Event {
    qint64 ns = 0;
    int order = 0;  // keeps the record's order among events of the same moment
    QString line;
};

}  // namespace

QStringList SignalLog::lines(const TimingRecord& record, const QList<DropoutMark>& dropouts,
                             const QList<Warning>& warnings) {
    const QChar sep = QLatin1Char(';');
    std::vector<Event> events;
    int order = 0;
    for (const TimingRecord::Signal& s : record.signalsGiven) {
        const qint64 ns = s.givenNs - record.startNs;
        events.push_back({ns, order++,
                          sep + msText(ns) + sep + QString::number(s.period) + sep +
                              QString::number(s.signal) + sep + QString::number(s.station) + sep +
                              phaseName(s.phase) + sep});
    }
    for (const TimingRecord::Recovery& r : record.recoveries) {
        const qint64 ns = r.startNs - record.startNs;
        events.push_back({ns, order++,
                          sep + msText(ns) + sep + QString::number(r.period) + sep + sep + sep +
                              phaseName(TimingRecord::Phase::Recovery) + sep});
    }
    // The dropout a warning brought follows that warning at once (the same moment).
    QHash<QPair<int, qint64>, int> putOutAt;
    for (const Warning& w : warnings) {
        const qint64 ns = (w.tick - record.startTick) * 1'000'000;
        if (w.putOut)
            putOutAt.insert({w.athlete, w.tick}, order + 1);
        order += 2;
        events.push_back({ns, order - 2,
                          sep + msText(ns) + sep + QString::number(w.period) + sep +
                              QString::number(w.signal) + sep + QString::number(w.station) + sep +
                              phaseBy(QStringLiteral("aviso"), w.by) + sep + QString::number(w.athlete) +
                              sep + w.name + sep});
    }
    for (const DropoutMark& d : dropouts) {
        const qint64 ns = (d.tick - record.startTick) * 1'000'000;
        const int after = putOutAt.value({d.athlete, d.tick}, -1);
        events.push_back({ns, after >= 0 ? after : order++,
                          sep + msText(ns) + sep + sep + sep + sep +
                              phaseBy(QStringLiteral("abandono"), d.by) + sep + QString::number(d.athlete) +
                              sep + d.name + sep});
    }
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return a.ns != b.ns ? a.ns < b.ns : a.order < b.order;
    });

    QStringList out;
    out << sep + QStringLiteral("ms desde Inicio ") +
               record.start.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss,zzz")) + sep +
               QStringLiteral("Periodo;Señal;Estación;Fase;Nº;Sujeto;");
    for (const Event& e : events)
        out << e.line;
    return out;
}

std::optional<QByteArray> SignalLog::encode(const QStringList& lines) {
    return ExportWriter::encode(lines);
}

QString SignalLog::fileNameFor(const QString& reportPath) {
    QString base = reportPath;
    if (base.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        base.chop(4);
    return base + QStringLiteral("_senales.txt");
}

}  // namespace norak
