#include "results/ReportData.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "results/CellText.h"
#include "results/ExportWriter.h"
#include "results/ResultsTable.h"

namespace norak {

namespace {

// Nearest-rank percentile of sorted values: the smallest value with at least p % at or below it.
qint64 percentile(const std::vector<qint64>& sorted, int p) {
    const auto rank = static_cast<std::size_t>(std::ceil(double(p) / 100.0 * double(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

QString msText(const std::optional<qint64>& ms) {
    return ms ? QString::number(*ms) : QStringLiteral("–");
}

QString secondsText(qint64 ms) {
    return ReportData::decimalText(double(ms) / 1000.0, 2) + QStringLiteral(" s");
}

}  // namespace

ReportData ReportData::compute(const ResultsTable& table, const TimingRecord& record,
                               const ReportSettings& settings) {
    ReportData data;
    const EditionRecord edition = editionRecord(table.edition());
    data.edition = edition.edition;
    data.editionTitle = edition.editionTitle;
    data.sportName = edition.sportName;
    data.colorLight = edition.colorLight;
    data.colorMain = edition.colorMain;
    data.colorDark = edition.colorDark;
    data.start = record.start;
    data.modeText = testModeText(settings.mode);
    data.startPeriod = settings.startPeriod;
    data.startSpeedText = settings.startSpeedText;
    data.warmUp = settings.warmUp;
    data.soundOutput = settings.soundOutput;

    for (int column = 0; column < table.columnCount(); ++column)
        data.columnTitles << ResultsTable::columnTitle(column);

    std::vector<double> distances;
    double periodsSum = 0.0;
    int periodsCount = 0;
    for (int row = 1; row <= table.dataRowCount(); ++row) {
        if (table.cell(kColName, row).isEmpty())
            continue;
        QStringList cells;
        for (int column = 0; column < table.columnCount(); ++column)
            cells << table.cell(column, row);
        data.rows << cells;

        bool ok = false;
        const qint64 distance = table.cell(kColDistance, row).toLongLong(&ok);
        if (ok) {
            data.bars << Bar{row, table.cell(kColName, row), distance, table.cell(kColPeriods, row)};
            distances.push_back(double(distance));
        }
        const int periods = table.cell(kColPeriods, row).toInt(&ok);
        if (ok) {
            periodsSum += periods;
            ++periodsCount;
        }
    }
    std::stable_sort(data.bars.begin(), data.bars.end(),
                     [](const Bar& a, const Bar& b) { return a.distance > b.distance; });

    if (!distances.empty()) {
        double sum = 0.0;
        for (const double d : distances)
            sum += d;
        data.meanDistance = sum / double(distances.size());
        std::sort(distances.begin(), distances.end());
        const std::size_t n = distances.size();
        data.medianDistance = n % 2 == 1 ? distances[n / 2] : (distances[n / 2 - 1] + distances[n / 2]) / 2.0;
        data.bestDistance = data.bars.front().distance;
    }
    if (periodsCount > 0)
        data.meanPeriods = periodsSum / periodsCount;

    data.signalsGiven = int(record.signalsGiven.size());
    std::vector<qint64> lateness;
    for (const TimingRecord::Signal& signal : record.signalsGiven) {
        if (signal.kind != TimingRecord::SignalKind::Start)
            lateness.push_back(signal.latenessMs());
    }
    if (!lateness.empty()) {
        std::sort(lateness.begin(), lateness.end());
        data.latenessP50Ms = percentile(lateness, 50);
        data.latenessP99Ms = percentile(lateness, 99);
        data.latenessMaxMs = lateness.back();
    }
    for (const TimingRecord::Recovery& recovery : record.recoveries)
        data.recoveries << Recovery{recovery.period, recovery.afterWarmUp, recovery.nominalMs,
                                    recovery.measuredMs()};
    return data;
}

QString ReportData::startDateText() const {
    return start.date().toString(QStringLiteral("dd/MM/yyyy"));
}

QString ReportData::startTimeText() const {
    return start.time().toString(QStringLiteral("HH:mm:ss"));
}

QList<ReportFigure> ReportData::testFigures() const {
    return {
        {QStringLiteral("Modo"), modeText},
        {QStringLiteral("Periodo inicial"), QString::number(startPeriod)},
        {QStringLiteral("Velocidad inicial"), startSpeedText + QStringLiteral(" km/h")},
        {QStringLiteral("Calentamiento"), warmUp ? QStringLiteral("Sí") : QStringLiteral("No")},
    };
}

QList<ReportFigure> ReportData::groupFigures() const {
    auto metres = [](const std::optional<double>& value) {
        return value ? decimalText(*value, 1) + QStringLiteral(" m") : QStringLiteral("–");
    };
    return {
        {QStringLiteral("Deportistas"), QString::number(rows.size())},
        {QStringLiteral("Distancia media"), metres(meanDistance)},
        {QStringLiteral("Distancia mediana"), metres(medianDistance)},
        {QStringLiteral("Mejor distancia"),
         bestDistance ? QString::number(*bestDistance) + QStringLiteral(" m") : QStringLiteral("–")},
        {QStringLiteral("Periodos completados (media)"),
         meanPeriods ? decimalText(*meanPeriods, 1) : QStringLiteral("–")},
    };
}

QList<ReportFigure> ReportData::timingFigures() const {
    return {
        {QStringLiteral("Señales dadas"), QString::number(signalsGiven)},
        {QStringLiteral("Retraso p50 / p99 / máx."), msText(latenessP50Ms) + QStringLiteral(" / ") +
                                                         msText(latenessP99Ms) + QStringLiteral(" / ") +
                                                         msText(latenessMaxMs) + QStringLiteral(" ms")},
        {QStringLiteral("Salida de sonido"), soundOutput.isEmpty() ? QStringLiteral("–") : soundOutput},
    };
}

QList<ReportFigure> ReportData::recoveryFigures() const {
    QList<ReportFigure> figures;
    for (qsizetype i = 0; i < recoveries.size(); ++i) {
        const Recovery& r = recoveries[i];
        const QString label = r.afterWarmUp ? QStringLiteral("Tras el calentamiento")
                                            : QStringLiteral("Tras el periodo %1").arg(r.period);
        const QString nominal = QString::number(r.nominalMs / 1000) + QStringLiteral(" s");
        const QString value = r.measuredMs < 0
                                  ? QStringLiteral("interrumpida (de ") + nominal + QLatin1Char(')')
                                  : secondsText(r.measuredMs) + QStringLiteral(" de ") + nominal;
        figures << ReportFigure{label, value};
    }
    return figures;
}

QString ReportData::decimalText(double value, int decimals) {
    QString text = QString::number(value, 'f', decimals);
    text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

QString ReportData::proposedFileName(const QString& editionTitle, const QDate& date) {
    QString name = ExportWriter::proposedFileName(editionTitle, date);
    name.chop(4);  // ".txt"
    return name + QStringLiteral(".pdf");
}

}  // namespace norak
