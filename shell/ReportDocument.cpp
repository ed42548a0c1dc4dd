#include "shell/ReportDocument.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <algorithm>
#include <cmath>

#include "results/CellText.h"
#include "results/ReportData.h"
#include "shell/controls/Fonts.h"

namespace norak {

namespace {

// The page is drawn in tenths of a millimetre on an A4 sheet, whatever the device.
constexpr qreal kPageWidth = 2100;
constexpr qreal kPageHeight = 2970;
constexpr qreal kMargin = 150;
constexpr qreal kContentWidth = kPageWidth - 2 * kMargin;
constexpr qreal kFooterTop = kPageHeight - 110;

const QColor kInk(33, 33, 33);
const QColor kMuted(110, 110, 110);
const QColor kRule(205, 205, 205);

QColor color(const Rgb& rgb, int alpha = 255) {
    return QColor(rgb.r, rgb.g, rgb.b, alpha);
}

// Sizes in tenths of a millimetre (10 pt is about 35).
QFont font(int size, bool bold = false) {
    return pixelFont(QStringLiteral("Arial"), size, bold);
}

void text(QPainter& p, const QRectF& rect, int flags, const QString& s, const QFont& f, const QColor& c) {
    p.setFont(f);
    p.setPen(c);
    p.drawText(rect, flags, s);
}

// A heading over [x, x + width]: its title and a rule in the edition's colors.
qreal sectionHeading(QPainter& p, qreal y, const QString& title, const ReportData& data, qreal x = kMargin,
                     qreal width = kContentWidth) {
    text(p, QRectF(x, y, width, 50), Qt::AlignLeft | Qt::AlignBottom, title, font(40, true),
         color(data.colorDark));
    p.setPen(QPen(color(data.colorMain), 5));
    p.drawLine(QPointF(x, y + 62), QPointF(x + width, y + 62));
    return y + 90;
}

void drawBand(QPainter& p, const ReportData& data) {
    p.fillRect(QRectF(0, 0, kPageWidth, 270), color(data.colorMain));
    p.fillRect(QRectF(0, 270, kPageWidth, 14), color(data.colorDark));
    text(p, QRectF(kMargin, 55, 1300, 110), Qt::AlignLeft | Qt::AlignVCenter, data.editionTitle,
         font(92, true), Qt::white);
    text(p, QRectF(kMargin, 170, 1300, 50), Qt::AlignLeft | Qt::AlignVCenter,
         QStringLiteral("Informe de la prueba  ·  ") + data.sportName, font(38), Qt::white);
    const qreal right = kMargin + kContentWidth;
    text(p, QRectF(right - 600, 55, 600, 40), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("INICIO"),
         font(26, true), QColor(255, 255, 255, 190));
    text(p, QRectF(right - 600, 100, 600, 65), Qt::AlignRight | Qt::AlignVCenter, data.startDateText(),
         font(56, true), Qt::white);
    text(p, QRectF(right - 600, 170, 600, 50), Qt::AlignRight | Qt::AlignVCenter, data.startTimeText(),
         font(38), Qt::white);
}

qreal drawConfiguration(QPainter& p, qreal y, const ReportData& data) {
    const QList<ReportFigure> figures = data.testFigures();
    const qreal width = kContentWidth / figures.size();
    for (qsizetype i = 0; i < figures.size(); ++i) {
        const qreal x = kMargin + width * qreal(i);
        if (i > 0) {
            p.setPen(QPen(kRule, 3));
            p.drawLine(QPointF(x - 30, y + 10), QPointF(x - 30, y + 110));
        }
        text(p, QRectF(x, y, width - 60, 40), Qt::AlignLeft | Qt::AlignVCenter, figures[i].label.toUpper(),
             font(24, true), kMuted);
        text(p, QRectF(x, y + 45, width - 60, 65), Qt::AlignLeft | Qt::AlignVCenter, figures[i].value,
             font(44, true), color(data.colorDark));
    }
    return y + 140;
}

qreal drawTable(QPainter& p, qreal y, const ReportData& data) {
    const int columns = int(data.columnTitles.size());
    // Shares of the width: the name takes what the fixed columns leave.
    QList<qreal> share(columns, 13.0);
    share[kColNumber] = 5.0;
    share[kColCode] = 8.0;
    qreal fixed = 0;
    for (int c = 0; c < columns; ++c) {
        if (c != kColName)
            fixed += share[c];
    }
    share[kColName] = std::max<qreal>(24.0, 100.0 - fixed);
    qreal total = 0;
    for (const qreal s : share)
        total += s;
    QList<qreal> left;
    qreal x = kMargin;
    for (int c = 0; c < columns; ++c) {
        left << x;
        x += kContentWidth * share[c] / total;
    }
    left << kMargin + kContentWidth;

    const qreal headerHeight = 80;
    const qreal rowHeight = 50;
    p.fillRect(QRectF(kMargin, y, kContentWidth, headerHeight), color(data.colorDark));
    for (int c = 0; c < columns; ++c) {
        text(p, QRectF(left[c] + 10, y, left[c + 1] - left[c] - 20, headerHeight),
             Qt::AlignCenter | Qt::TextWordWrap, data.columnTitles[c], font(25, true), Qt::white);
    }
    y += headerHeight;
    for (qsizetype r = 0; r < data.rows.size(); ++r) {
        const QRectF rowRect(kMargin, y, kContentWidth, rowHeight);
        if (r % 2 == 1)
            p.fillRect(rowRect, color(data.colorLight, 70));
        for (int c = 0; c < columns; ++c) {
            const bool name = c == kColName;
            const QRectF cell(left[c] + (name ? 25 : 10), y, left[c + 1] - left[c] - (name ? 35 : 20),
                              rowHeight);
            text(p, cell, (name ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignVCenter, data.rows[r].value(c),
                 font(31, name), c == kColDistance ? color(data.colorDark) : kInk);
        }
        y += rowHeight;
    }
    p.setPen(QPen(color(data.colorDark), 4));
    p.drawLine(QPointF(kMargin, y), QPointF(kMargin + kContentWidth, y));
    return y + 20;
}

// A round step for the chart's scale giving at most about five lines.
qint64 scaleStep(qint64 maximum) {
    const qint64 steps[] = {50, 100, 200, 250, 500, 1000, 2000, 2500, 5000, 10000};
    for (const qint64 step : steps) {
        if (maximum / step <= 5)
            return step;
    }
    return 20000;
}

QString periodsText(const QString& periods) {
    if (periods.isEmpty())
        return {};
    return periods +
           (periods == QLatin1String("1") ? QStringLiteral(" periodo") : QStringLiteral(" periodos"));
}

qreal drawChart(QPainter& p, qreal y, qreal pitch, const ReportData& data) {
    const qreal labelWidth = 430;
    const qreal barLeft = kMargin + labelWidth;
    const qreal barRoom = kContentWidth - labelWidth - 360;  // leaves room for the text at the end
    const qint64 maximum = data.bars.isEmpty() ? 1 : std::max<qint64>(1, data.bars.front().distance);
    const qint64 step = scaleStep(maximum);
    const qreal chartHeight = pitch * qreal(data.bars.size());

    // The scale: faint lines at round distances, labelled under the chart.
    for (qint64 d = 0; d <= maximum; d += step) {
        const qreal x = barLeft + barRoom * qreal(d) / qreal(maximum);
        p.setPen(QPen(d == 0 ? kMuted : kRule, d == 0 ? 4 : 2));
        p.drawLine(QPointF(x, y), QPointF(x, y + chartHeight));
        text(p, QRectF(x - 100, y + chartHeight + 5, 200, 36), Qt::AlignCenter, QString::number(d), font(22),
             kMuted);
    }
    const qreal barHeight = pitch * 0.68;
    for (qsizetype i = 0; i < data.bars.size(); ++i) {
        const ReportData::Bar& bar = data.bars[i];
        const qreal top = y + pitch * qreal(i);
        text(p, QRectF(kMargin, top, labelWidth - 30, pitch), Qt::AlignRight | Qt::AlignVCenter, bar.name,
             font(29), kInk);
        const qreal length = std::max<qreal>(4, barRoom * qreal(bar.distance) / qreal(maximum));
        const QRectF barRect(barLeft, top + (pitch - barHeight) / 2, length, barHeight);
        // The longest, however many share it, in the dark color.
        p.fillRect(barRect, color(bar.distance == maximum ? data.colorDark : data.colorMain));
        const QString end = QString::number(bar.distance) + QStringLiteral(" m");
        const QString periods = periodsText(bar.periods);
        p.setFont(font(27, true));
        const qreal endWidth = QFontMetricsF(p.font()).horizontalAdvance(end);
        text(p, QRectF(barRect.right() + 20, top, 400, pitch), Qt::AlignLeft | Qt::AlignVCenter, end,
             font(27, true), kInk);
        text(p, QRectF(barRect.right() + 40 + endWidth, top, 400, pitch), Qt::AlignLeft | Qt::AlignVCenter,
             periods, font(25), kMuted);
    }
    return y + chartHeight + 60;
}

qreal drawFigures(QPainter& p, qreal x, qreal y, qreal width, const QList<ReportFigure>& figures,
                  const ReportData& data) {
    for (const ReportFigure& figure : figures) {
        text(p, QRectF(x, y, width * 0.6, 48), Qt::AlignLeft | Qt::AlignVCenter, figure.label, font(29),
             kMuted);
        text(p, QRectF(x + width * 0.35, y, width * 0.65, 48), Qt::AlignRight | Qt::AlignVCenter,
             figure.value, font(30, true), color(data.colorDark));
        y += 48;
        p.setPen(QPen(kRule, 2));
        p.drawLine(QPointF(x, y), QPointF(x + width, y));
    }
    return y;
}

qreal drawRecoveries(QPainter& p, qreal y, const ReportData& data) {
    const QList<ReportFigure> figures = data.recoveryFigures();
    text(p, QRectF(kMargin, y, kContentWidth, 44), Qt::AlignLeft | Qt::AlignVCenter,
         QStringLiteral("Duración medida de cada recuperación"), font(27, true), kInk);
    y += 50;
    if (figures.isEmpty()) {
        text(p, QRectF(kMargin, y, kContentWidth, 40), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("Ninguna recuperación"), font(26), kMuted);
        return y + 40;
    }
    const int perLine = 3;
    const qreal width = kContentWidth / perLine;
    for (qsizetype i = 0; i < figures.size(); ++i) {
        const qreal x = kMargin + width * qreal(i % perLine);
        const qreal top = y + 40 * qreal(i / perLine);
        text(p, QRectF(x, top, width * 0.5, 40), Qt::AlignLeft | Qt::AlignVCenter, figures[i].label, font(25),
             kMuted);
        text(p, QRectF(x + width * 0.5, top, width * 0.45, 40), Qt::AlignLeft | Qt::AlignVCenter,
             figures[i].value, font(25, true), kInk);
    }
    return y + 40 * qreal((figures.size() + perLine - 1) / perLine);
}

// Lines the warning section takes: its title with the rule, then two players a line.
qsizetype warningLines(const ReportData& data) {
    return data.warningRuleText.isEmpty() ? 0 : 1 + std::max<qsizetype>(1, (data.warnings.size() + 1) / 2);
}

qreal drawWarnings(QPainter& p, qreal y, const ReportData& data) {
    if (data.warningRuleText.isEmpty())
        return y;
    text(p, QRectF(kMargin, y, kContentWidth, 44), Qt::AlignLeft | Qt::AlignVCenter,
         QStringLiteral("Avisos  ·  ") + data.warningRuleText, font(27, true), kInk);
    y += 50;
    const QList<ReportFigure> figures = data.warningFigures();
    if (figures.isEmpty()) {
        text(p, QRectF(kMargin, y, kContentWidth, 40), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("Ningún aviso"), font(26), kMuted);
        return y + 40;
    }
    const int perLine = 2;
    const qreal width = kContentWidth / perLine;
    for (qsizetype i = 0; i < figures.size(); ++i) {
        const qreal x = kMargin + width * qreal(i % perLine);
        const qreal top = y + 40 * qreal(i / perLine);
        text(p, QRectF(x, top, width * 0.32, 40), Qt::AlignLeft | Qt::AlignVCenter,
             QFontMetricsF(font(25)).elidedText(figures[i].label, Qt::ElideRight, width * 0.3), font(25),
             kMuted);
        text(p, QRectF(x + width * 0.32, top, width * 0.66, 40), Qt::AlignLeft | Qt::AlignVCenter,
             QFontMetricsF(font(25, true)).elidedText(figures[i].value, Qt::ElideRight, width * 0.64),
             font(25, true), kInk);
    }
    return y + 40 * qreal((figures.size() + perLine - 1) / perLine);
}

void drawFooter(QPainter& p, const ReportData& data) {
    p.setPen(QPen(kRule, 3));
    p.drawLine(QPointF(kMargin, kFooterTop), QPointF(kMargin + kContentWidth, kFooterTop));
    text(p, QRectF(kMargin, kFooterTop + 10, kContentWidth, 40), Qt::AlignLeft | Qt::AlignVCenter,
         data.editionTitle + QStringLiteral("  ·  ") + data.sportName, font(24), kMuted);
    text(p, QRectF(kMargin, kFooterTop + 10, kContentWidth, 40), Qt::AlignRight | Qt::AlignVCenter,
         QStringLiteral("Prueba del ") + data.startDateText() + QStringLiteral(" a las ") +
             data.startTimeText(),
         font(24), kMuted);
}

}  // namespace

void ReportDocument::render(QPainter& painter, const QRectF& page, const ReportData& data) {
    installFontSubstitutions();
    painter.save();
    const qreal scale = std::min(page.width() / kPageWidth, page.height() / kPageHeight);
    painter.translate(page.center());
    painter.scale(scale, scale);
    painter.translate(-kPageWidth / 2, -kPageHeight / 2);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRectF(0, 0, kPageWidth, kPageHeight), Qt::white);

    drawBand(painter, data);
    qreal y = drawConfiguration(painter, 340, data);
    y = sectionHeading(painter, y, QStringLiteral("Resultados"), data);
    y = drawTable(painter, y, data);

    // The figures at the bottom take what they need; the chart gets the rest of the page.
    const QList<ReportFigure> group = data.groupFigures();
    const QList<ReportFigure> timing = data.timingFigures();
    const qsizetype recoveryLines = (data.recoveryFigures().size() + 2) / 3;
    const qreal figuresHeight = 90 + 48 * qreal(std::max(group.size(), timing.size())) + 30 + 50 +
                                40 * qreal(std::max<qsizetype>(1, recoveryLines)) + 20 +
                                45 * qreal(warningLines(data));
    const qreal chartRoom = kFooterTop - 40 - figuresHeight - (y + 30) - 90 - 60;
    const qreal pitch = std::clamp(chartRoom / qreal(std::max<qsizetype>(1, data.bars.size())), 30.0, 80.0);

    y = sectionHeading(painter, y + 30, QStringLiteral("Distancia por deportista"), data);
    y = drawChart(painter, y + 10, pitch, data);

    const qreal columnWidth = (kContentWidth - 120) / 2;
    const qreal top = sectionHeading(painter, y, QStringLiteral("Grupo"), data, kMargin, columnWidth);
    sectionHeading(painter, y, QStringLiteral("Registro de tiempos"), data, kMargin + columnWidth + 120,
                   columnWidth);
    const qreal leftEnd = drawFigures(painter, kMargin, top, columnWidth, group, data);
    const qreal rightEnd = drawFigures(painter, kMargin + columnWidth + 120, top, columnWidth, timing, data);
    const qreal recoveriesEnd = drawRecoveries(painter, std::max(leftEnd, rightEnd) + 30, data);
    drawWarnings(painter, recoveriesEnd + 20, data);

    drawFooter(painter, data);
    painter.restore();
}

QByteArray ReportDocument::pdf(const ReportData& data) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        writer.setResolution(300);
        writer.setTitle(QStringLiteral("Informe de la prueba ") + data.editionTitle + QLatin1Char(' ') +
                        data.startDateText());
        writer.setCreator(data.editionTitle);
        QPainter painter;
        if (!painter.begin(&writer))
            return {};
        render(painter, QRectF(0, 0, writer.width(), writer.height()), data);
        if (!painter.end())
            return {};
    }
    buffer.close();
    return bytes;
}

bool ReportDocument::print(const ReportData& data, QPrinter& printer) {
    printer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, printer.pageLayout().margins()));
    printer.setDocName(QStringLiteral("Informe ") + data.editionTitle);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    render(painter,
           printer.pageRect(QPrinter::DevicePixel)
               .translated(-printer.pageRect(QPrinter::DevicePixel).topLeft()),
           data);
    return painter.end();
}

}  // namespace norak
