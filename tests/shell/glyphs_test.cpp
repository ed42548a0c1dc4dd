#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "shell/Glyphs.h"

using namespace norak;

namespace {

const Glyph kAll[] = {Glyph::Exit, Glyph::NewSheet, Glyph::Play,  Glyph::Stop,   Glyph::Help,
                      Glyph::Info, Glyph::Start,    Glyph::Close, Glyph::History};

// Pixels within a small distance of `color` and fully opaque.
int countNear(const QImage& image, const QColor& color) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() == 255 && std::abs(c.red() - color.red()) < 8 &&
                std::abs(c.green() - color.green()) < 8 && std::abs(c.blue() - color.blue()) < 8)
                ++n;
        }
    return n;
}

}  // namespace

TEST(Glyphs, TwoColorsOnATransparentSquare) {
    const QColor dark(57, 119, 67);
    const QColor light(230, 200, 40);
    for (Glyph g : kAll) {
        SCOPED_TRACE(int(g));
        const QImage image = drawGlyph(g, dark, light).toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.size(), QSize(32, 32));
        // Both colors are really used, and some of the square stays clear.
        EXPECT_GT(countNear(image, dark), 30);
        EXPECT_GT(countNear(image, light), 15);
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(image.pixel(31, 0)), 0);
        int clear = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                clear += qAlpha(image.pixel(x, y)) == 0;
        EXPECT_GT(clear, 32 * 32 / 8);
    }
}

TEST(Glyphs, EveryGlyphIsDistinct) {
    QList<QImage> images;
    for (Glyph g : kAll)
        images.push_back(drawGlyph(g, Qt::black, Qt::white).toImage());
    for (int i = 0; i < images.size(); ++i)
        for (int j = i + 1; j < images.size(); ++j)
            EXPECT_NE(images[i], images[j]) << i << " vs " << j;
}

TEST(Glyphs, DisabledIsGreyAndSizesScale) {
    QImage image(40, 40, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        paintGlyph(p, QRectF(4, 4, 32, 32), Glyph::Play, QColor(200, 0, 0), QColor(0, 0, 200), false);
    }
    int painted = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() == 0)
                continue;
            ++painted;
            EXPECT_EQ(c.red(), c.green());
            EXPECT_EQ(c.green(), c.blue());
        }
    EXPECT_GT(painted, 400);
    EXPECT_EQ(qAlpha(image.pixel(1, 20)), 0);  // nothing left of the rectangle given

    const QPixmap sharp = drawGlyph(Glyph::Help, Qt::black, Qt::white, 24, 2.0);
    EXPECT_EQ(sharp.size(), QSize(48, 48));
    EXPECT_EQ(sharp.deviceIndependentSize(), QSizeF(24, 24));

    const EditionRecord zevez = editionRecord(kEditionZevez);
    const QImage edition = editionGlyph(Glyph::Stop, zevez).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_GT(countNear(edition, QColor(73, 85, 51)), 30);
    EXPECT_GT(countNear(edition, QColor(159, 177, 124)), 15);
}
