#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QPainter>

#include <algorithm>
#include <cmath>

// The desktop icon (assets/icon/norak.svg, installed beside the program) and the window icon
// (:/pictures/icon.png) must show the same design.
TEST(IconDesign, SvgIconMatchesTheWindowIcon) {
    const QImage window(QStringLiteral(":/pictures/icon.png"));
    ASSERT_EQ(window.size(), QSize(256, 256));
    EXPECT_TRUE(window.hasAlphaChannel());

    const QString svgPath = QStringLiteral(NORAK_SOURCE_DIR "/assets/icon/norak.svg");
    ASSERT_TRUE(QFileInfo::exists(svgPath));
    QImageReader reader(svgPath, "svg");
    if (!reader.canRead()) {
        GTEST_SKIP() << "no SVG reader in this Qt";
    }
    reader.setScaledSize(QSize(256, 256));
    const QImage desktop = reader.read();
    ASSERT_EQ(desktop.size(), QSize(256, 256));

    // Compare both on the same light ground, so that transparency counts as well.
    auto flatten = [](const QImage& icon) {
        QImage out(256, 256, QImage::Format_RGB32);
        out.fill(QColor(230, 230, 230));
        QPainter painter(&out);
        painter.drawImage(0, 0, icon);
        return out;
    };
    const QImage a = flatten(window);
    const QImage b = flatten(desktop);
    // Edges may differ by antialiasing; a shape out of place changes whole areas.
    int differing = 0;
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            const int d = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                    std::abs(qBlue(p) - qBlue(q))});
            differing += d > 48 ? 1 : 0;
        }
    }
    EXPECT_LT(differing, 256 * 256 / 200);
}
