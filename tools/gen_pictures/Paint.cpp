#include "Paint.h"

#include <QLinearGradient>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <vector>

namespace norak::art {

QImage whiteCanvas(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    return image;
}

QImage transparentCanvas(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

namespace {

// One horizontal and one vertical box pass over premultiplied ARGB pixels.
void boxPass(std::vector<quint32>& pixels, int width, int height, int radius, bool horizontal) {
    const int count = horizontal ? width : height;
    const int lines = horizontal ? height : width;
    std::vector<quint32> line(static_cast<size_t>(count));
    const int window = 2 * radius + 1;
    for (int l = 0; l < lines; ++l) {
        auto at = [&](int i) -> quint32& {
            const int clamped = std::clamp(i, 0, count - 1);
            return horizontal ? pixels[size_t(l * width + clamped)] : pixels[size_t(clamped * width + l)];
        };
        int sum[4] = {0, 0, 0, 0};
        for (int i = -radius; i <= radius; ++i) {
            const quint32 p = at(i);
            for (int c = 0; c < 4; ++c) {
                sum[c] += int((p >> (8 * c)) & 0xFF);
            }
        }
        for (int i = 0; i < count; ++i) {
            quint32 out = 0;
            for (int c = 0; c < 4; ++c) {
                out |= quint32((sum[c] + window / 2) / window) << (8 * c);
            }
            line[size_t(i)] = out;
            const quint32 leaving = at(i - radius);
            const quint32 entering = at(i + radius + 1);
            for (int c = 0; c < 4; ++c) {
                sum[c] += int((entering >> (8 * c)) & 0xFF) - int((leaving >> (8 * c)) & 0xFF);
            }
        }
        for (int i = 0; i < count; ++i) {
            (horizontal ? pixels[size_t(l * width + i)] : pixels[size_t(i * width + l)]) = line[size_t(i)];
        }
    }
}

}  // namespace

QImage blurred(const QImage& source, int radius) {
    QImage image = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (radius <= 0) {
        return image;
    }
    const int width = image.width();
    const int height = image.height();
    std::vector<quint32> pixels(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const quint32*>(image.constScanLine(y));
        std::copy(row, row + width, pixels.begin() + qsizetype(y) * width);
    }
    // Three box passes of radius r/sqrt(3) each give roughly a Gaussian of radius r.
    const int boxRadius = std::max(1, int(std::lround(radius / 1.732)));
    for (int pass = 0; pass < 3; ++pass) {
        boxPass(pixels, width, height, boxRadius, true);
        boxPass(pixels, width, height, boxRadius, false);
    }
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<quint32*>(image.scanLine(y));
        std::copy(pixels.begin() + qsizetype(y) * width, pixels.begin() + qsizetype(y + 1) * width, row);
    }
    return image;
}

void drawSoftShadow(QPainter& painter, const QPainterPath& shape, QPointF offset, int blurRadius,
                    const QColor& color) {
    const QRectF bounds = painter.transform().map(shape).boundingRect();
    const int margin = blurRadius * 3 + 2;
    const QRect area = bounds.toAlignedRect().adjusted(-margin, -margin, margin, margin);
    QImage layer = transparentCanvas(area.width(), area.height());
    {
        QPainter p(&layer);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(-area.topLeft());
        p.setTransform(painter.transform(), true);
        p.fillPath(shape, color);
    }
    layer = blurred(layer, blurRadius);
    painter.save();
    painter.resetTransform();
    painter.drawImage(QPointF(area.topLeft()) + offset, layer);
    painter.restore();
}

QFont sansFont(qreal pixelSize, int weight, bool italic) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(int(std::lround(pixelSize)));
    font.setWeight(QFont::Weight(weight));
    font.setItalic(italic);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

qreal length(QPointF v) {
    return std::hypot(v.x(), v.y());
}

QPointF unit(QPointF v) {
    const qreal l = length(v);
    return l > 0 ? v / l : QPointF(0, 0);
}

QPointF normal(QPointF v) {
    const QPointF u = unit(v);
    return QPointF(u.y(), -u.x());
}

const RunnerPose& runnerPose() {
    static const RunnerPose pose = {
        QPointF(13, -87),
        9.5,
        QPointF(5, -70),
        QPointF(-5, -45),
        {QPointF(-5, -45), QPointF(14, -33), QPointF(8, -14), QPointF(16, -11)},
        {QPointF(-5, -45), QPointF(-9, -23), QPointF(-25, -10), QPointF(-22, -2)},
        {QPointF(5, -70), QPointF(17, -60), QPointF(27, -71)},
        {QPointF(5, -70), QPointF(-10, -60), QPointF(-21, -49)},
        8.5,
        12.3,
    };
    return pose;
}

void drawRunnerPictogram(QPainter& painter, QPointF feet, qreal height, bool facingLeft, const QColor& color,
                         const QColor& halo) {
    const RunnerPose& pose = runnerPose();
    const QPointF& head = pose.head;
    const QPointF& shoulder = pose.shoulder;
    const QPointF& hip = pose.hip;
    const QVector<QPointF>& frontLeg = pose.frontLeg;
    const QVector<QPointF>& backLeg = pose.backLeg;
    const QVector<QPointF>& frontArm = pose.frontArm;
    const QVector<QPointF>& backArm = pose.backArm;
    const qreal headRadius = pose.headRadius;
    const qreal limb = pose.limb;

    painter.save();
    painter.translate(feet);
    painter.scale(height / 100.0 * (facingLeft ? -1 : 1), height / 100.0);

    auto strokeAll = [&](const QColor& c, qreal extra) {
        QPen pen(c, limb + extra, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        for (const auto* part : {&backArm, &backLeg, &frontLeg, &frontArm}) {
            painter.drawPolyline(part->constData(), int(part->size()));
        }
        QPen torso(c, pose.torso + extra, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        painter.setPen(torso);
        painter.drawLine(shoulder, hip);
        painter.setPen(Qt::NoPen);
        painter.setBrush(c);
        painter.drawEllipse(head, headRadius + extra / 2, headRadius + extra / 2);
    };
    strokeAll(halo, 6.0);
    strokeAll(color, 0.0);
    // A thin light gap where the near limbs cross the body, as sports pictograms have.
    QPen gap(halo, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(gap);
    painter.setBrush(Qt::NoBrush);
    QPainterPath nearLimbs;
    nearLimbs.moveTo(frontArm[0]);
    for (int i = 1; i < frontArm.size(); ++i) {
        nearLimbs.lineTo(frontArm[i]);
    }
    QPainterPathStroker stroker;
    stroker.setWidth(limb + 2.2);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    painter.drawPath(stroker.createStroke(nearLimbs));
    painter.setPen(QPen(color, limb, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(frontArm.constData(), int(frontArm.size()));
    painter.restore();
}

void drawConeFromAbove(QPainter& painter, QPointF centre, qreal diameter, const QColor& body) {
    const qreal r = diameter / 2.0;
    painter.save();
    painter.setPen(Qt::NoPen);
    // Contact shadow, thrown to the lower right.
    QRadialGradient shade(centre + QPointF(r * 0.25, r * 0.3), r * 1.35);
    shade.setColorAt(0.0, QColor(0, 0, 0, 90));
    shade.setColorAt(0.7, QColor(0, 0, 0, 40));
    shade.setColorAt(1.0, QColor(0, 0, 0, 0));
    painter.setBrush(shade);
    painter.drawEllipse(centre + QPointF(r * 0.25, r * 0.3), r * 1.35, r * 1.35);
    // Body: lit from the upper left.
    QRadialGradient fill(centre - QPointF(r * 0.35, r * 0.35), r * 1.3);
    fill.setColorAt(0.0, body.lighter(135));
    fill.setColorAt(0.6, body);
    fill.setColorAt(1.0, body.darker(135));
    painter.setBrush(fill);
    painter.setPen(QPen(body.darker(175), std::max(0.8, diameter / 14.0)));
    painter.drawEllipse(centre, r - 0.4, r - 0.4);
    // The raised top of the cone and its opening.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 110));
    painter.drawEllipse(centre - QPointF(r * 0.08, r * 0.08), r * 0.5, r * 0.5);
    painter.setBrush(body.darker(190));
    painter.drawEllipse(centre, r * 0.2, r * 0.2);
    painter.restore();
}

void drawDottedLoop(QPainter& painter, const QVector<QPointF>& stations, const QColor& color, qreal dotSize) {
    QPolygonF loop(stations);
    loop << stations.first();
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(
        QPen(QColor(255, 255, 255, 150), dotSize + 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(loop);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    // Dots leg by leg, so that every leg starts on a dot at its cone.
    for (int i = 0; i < stations.size(); ++i) {
        const QPointF a = stations[i];
        const QPointF b = stations[(i + 1) % stations.size()];
        const qreal step = dotSize * 2.1;
        const int n = std::max(1, int(std::lround(length(b - a) / step)));
        for (int k = 0; k < n; ++k) {
            const QPointF p = a + (b - a) * (qreal(k) / n);
            painter.drawEllipse(p, dotSize / 2, dotSize / 2);
        }
    }
    painter.restore();
}

void drawArrowHead(QPainter& painter, QPointF tip, QPointF direction, qreal len, qreal width,
                   const QColor& fill, const QColor& outline) {
    const QPointF u = unit(direction);
    const QPointF n(-u.y(), u.x());
    QPolygonF head;
    head << tip << tip - u * len + n * (width / 2) << tip - u * (len * 0.72)
         << tip - u * len - n * (width / 2);
    painter.save();
    painter.setPen(QPen(outline, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(fill);
    painter.drawPolygon(head);
    painter.restore();
}

void drawArrowLoop(QPainter& painter, const QVector<QPointF>& stations, bool increasing,
                   const QColor& color) {
    QPolygonF loop(stations);
    loop << stations.first();
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 170), 5.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(loop);
    painter.setPen(QPen(color, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(loop);
    for (int i = 0; i < stations.size(); ++i) {
        QPointF a = stations[i];
        QPointF b = stations[(i + 1) % stations.size()];
        if (!increasing) {
            std::swap(a, b);
        }
        const QPointF tip = a + (b - a) * 0.5 + unit(b - a) * 5.0;
        drawArrowHead(painter, tip, b - a, 10.0, 9.0, color, QColor(255, 255, 255, 220));
    }
    painter.restore();
}

void drawHaloText(QPainter& painter, QPointF centre, const QString& text, const QFont& font,
                  const QColor& color, const QColor& halo, qreal haloWidth) {
    QPainterPath path;
    const QFontMetricsF metrics(font);
    const qreal w = metrics.horizontalAdvance(text);
    path.addText(centre.x() - w / 2, centre.y() + (metrics.ascent() - metrics.descent()) / 2, font, text);
    painter.save();
    if (haloWidth > 0) {
        painter.setPen(QPen(halo, haloWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPath(path);
    painter.restore();
}

}  // namespace norak::art
