#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include "platform/fakes/FakePlatform.h"
#include "shell/controls/EffectLabel.h"
#include "shell/controls/FlatButton.h"
#include "shell/controls/FlatListBox.h"
#include "shell/controls/FlatPanel.h"
#include "shell/controls/Fonts.h"
#include "shell/controls/UrlLabel.h"

using namespace norak;

namespace {

QString accessibleName(QWidget* widget) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    return iface != nullptr ? iface->text(QAccessible::Name) : QString();
}

bool imageHasColor(const QImage& image, const QColor& color) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y).rgb() == color.rgb())
                return true;
    return false;
}

}  // namespace

TEST(FlatButton, AcceleratorIsHiddenFromTheCaptionAndBecomesTheShortcut) {
    EXPECT_EQ(FlatButton::stripAccelerator(QStringLiteral("&Empezar...")), QStringLiteral("Empezar..."));
    EXPECT_EQ(FlatButton::stripAccelerator(QStringLiteral("Tom && Jerry")), QStringLiteral("Tom & Jerry"));
    EXPECT_EQ(FlatButton::stripAccelerator(QStringLiteral("Fin&")), QStringLiteral("Fin"));

    FlatButton button;
    button.setCaption(QStringLiteral("&Empezar..."));
    EXPECT_EQ(button.shortcut(), QKeySequence(Qt::ALT | Qt::Key_E));
    EXPECT_EQ(accessibleName(&button), QStringLiteral("Empezar..."));

    // A caption change renames the button for assistive tools as well.
    button.setCaption(QStringLiteral("&Salir"));
    EXPECT_EQ(accessibleName(&button), QStringLiteral("Salir"));
    EXPECT_EQ(button.shortcut(), QKeySequence(Qt::ALT | Qt::Key_S));
    button.setText(QStringLiteral("&Nuevo Test"));
    EXPECT_EQ(accessibleName(&button), QStringLiteral("Nuevo Test"));
}

TEST(FlatButton, AccessiblePressReturnsBeforeTheClickRuns) {
    // The click may open a modal dialog; the assistive tool must not wait for it to close.
    FlatButton button;
    button.setCaption(QStringLiteral("&Exportar"));
    int clicks = 0;
    QObject::connect(&button, &QAbstractButton::clicked, [&] { ++clicks; });
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&button);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Button);
    QAccessibleActionInterface* actions = iface->actionInterface();
    ASSERT_NE(actions, nullptr);
    ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks, 1);
    // A disabled button is not pressed.
    button.setEnabled(false);
    actions->doAction(QAccessibleActionInterface::pressAction());
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks, 1);
}

TEST(FlatButton, PaintsTheCaptionWithoutTheAmpersandAndUnderlinesTheLetter) {
    // Horizontal extent of the dark caption pixels, and their number.
    auto ink = [](const QString& caption) {
        FlatButton button;
        button.setFont(pixelFont(QStringLiteral("Arial"), 19, true, true));
        button.setCaptionColor(Qt::black);
        button.setBorderColor(Qt::white);
        button.setCaption(caption);
        button.resize(233, 72);
        const QImage image = button.grab().toImage();
        int left = image.width(), right = -1, count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < 100) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    ++count;
                }
        return std::tuple{left, right, count};
    };
    const auto [plainLeft, plainRight, plainCount] = ink(QStringLiteral("Empezar..."));
    const auto [left, right, count] = ink(QStringLiteral("&Empezar..."));
    ASSERT_GT(plainCount, 0);
    EXPECT_NEAR(left, plainLeft, 1);
    EXPECT_NEAR(right, plainRight, 1);
    EXPECT_GT(count, plainCount);  // the underline under the "E"
}

TEST(FlatButton, GlyphOnlyButtonIsNamedByItsHint) {
    FlatButton button;
    QPixmap glyph(16, 16);
    glyph.fill(Qt::red);
    button.setGlyph(glyph);
    button.setGlyphLayout(FlatButton::GlyphLayout::Alone);
    button.setHint(QStringLiteral("Acerca de..."));
    EXPECT_EQ(button.toolTip(), QStringLiteral("Acerca de..."));
    EXPECT_EQ(accessibleName(&button), QStringLiteral("Acerca de..."));
}

TEST(FlatButton, TwoColorGlyphMapsDarkAndLightAndKeepsTransparency) {
    QImage mask(3, 1, QImage::Format_ARGB32);
    mask.setPixel(0, 0, qRgba(0, 0, 0, 255));        // dark
    mask.setPixel(1, 0, qRgba(255, 255, 255, 255));  // light
    mask.setPixel(2, 0, qRgba(0, 0, 0, 0));          // transparent
    const QImage glyph = FlatButton::twoColorGlyph(mask, QColor(80, 169, 94), QColor(240, 152, 19))
                             .toImage()
                             .convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(glyph.pixel(0, 0), qRgba(80, 169, 94, 255));
    EXPECT_EQ(glyph.pixel(1, 0), qRgba(240, 152, 19, 255));
    EXPECT_EQ(qAlpha(glyph.pixel(2, 0)), 0);
    EXPECT_TRUE(FlatButton::twoColorGlyph(QImage(), Qt::red, Qt::blue).isNull());

    // A button keeps the mask and recolors its glyph when the colors change.
    FlatButton button;
    button.resize(40, 20);
    button.setGlyphLayout(FlatButton::GlyphLayout::Alone);
    QImage big(8, 8, QImage::Format_ARGB32);
    big.fill(qRgba(0, 0, 0, 255));
    button.setTwoColorGlyph(big, QColor(10, 20, 30), Qt::white);
    EXPECT_TRUE(imageHasColor(button.grab().toImage(), QColor(10, 20, 30)));
    button.setGlyphColors(QColor(200, 0, 100), Qt::white);
    const QImage repainted = button.grab().toImage();
    EXPECT_TRUE(imageHasColor(repainted, QColor(200, 0, 100)));
    EXPECT_FALSE(imageHasColor(repainted, QColor(10, 20, 30)));
}

TEST(FlatButton, PaintsFaceBorderAndGlyphPainterColors) {
    FlatButton button;
    button.resize(60, 24);
    button.setFaceColor(QColor(221, 221, 221));
    button.setBorderColor(QColor(170, 170, 170));
    QColor seen0, seen1;
    button.setGlyphPainter(
        [&](QPainter& painter, const QRect& rect, const QColor& c0, const QColor& c1, bool) {
            seen0 = c0;
            seen1 = c1;
            painter.fillRect(rect, c0);
        },
        QSize(10, 10));
    button.setGlyphColors(QColor(1, 2, 3), QColor(4, 5, 6));
    const QImage image = button.grab().toImage();
    EXPECT_EQ(image.pixelColor(0, 0), QColor(170, 170, 170));
    EXPECT_EQ(image.pixelColor(2, 2), QColor(221, 221, 221));
    EXPECT_TRUE(imageHasColor(image, QColor(1, 2, 3)));
    EXPECT_EQ(seen0, QColor(1, 2, 3));
    EXPECT_EQ(seen1, QColor(4, 5, 6));
}

TEST(EffectLabel, CaptionStaysTheAccessibleTextAndBothColorsArePainted) {
    EffectLabel label;
    label.setCaption(QStringLiteral("NORAK-Zevez"));
    label.setCaptionFont(QStringLiteral("Arial Black"), 27, true, true);
    label.setTextColor(QColor(192, 192, 192));
    label.setShadowColor(QColor(128, 128, 128));
    label.setAutoFillBackground(true);
    QPalette pal = label.palette();
    pal.setColor(QPalette::Window, Qt::white);
    label.setPalette(pal);
    label.resize(308, 77);
    EXPECT_EQ(accessibleName(&label), QStringLiteral("NORAK-Zevez"));
    const QImage image = label.grab().toImage();
    EXPECT_TRUE(imageHasColor(image, QColor(192, 192, 192)));
    EXPECT_TRUE(imageHasColor(image, QColor(128, 128, 128)));

    label.setEffect(EffectLabel::Effect::None);
    EXPECT_FALSE(imageHasColor(label.grab().toImage(), QColor(128, 128, 128)));
}

TEST(UrlLabel, ClickHandsTheCaptionToTheShellAndMailLinksGetTheScheme) {
    FakeDesktopShell shell;
    UrlLabel link;
    link.setDesktopShell(&shell);
    link.setCaption(QStringLiteral("www.quelmar.example.org"));
    link.resize(200, 20);
    EXPECT_TRUE(link.font().underline());
    EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);

    QTest::mouseClick(&link, Qt::LeftButton);
    ASSERT_EQ(shell.m_opened.size(), 1);
    EXPECT_EQ(shell.m_opened[0], QStringLiteral("www.quelmar.example.org"));

    // A press that ends outside the link opens nothing.
    QTest::mousePress(&link, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&link, Qt::LeftButton, {}, QPoint(500, 5));
    EXPECT_EQ(shell.m_opened.size(), 1);

    link.setMailLink(true);
    link.setCaption(QStringLiteral("info@quelmar.example.org"));
    QTest::keyClick(&link, Qt::Key_Return);
    ASSERT_EQ(shell.m_opened.size(), 2);
    EXPECT_EQ(shell.m_opened[1], QStringLiteral("mailto:info@quelmar.example.org"));

    link.setLinkFont(pixelFont(QStringLiteral("Arial"), 11));
    EXPECT_TRUE(link.font().underline());
}

TEST(FlatListBox, RowsColorsAndRowHeight) {
    FlatListBox list;
    list.setFont(pixelFont(QStringLiteral("MS Sans Serif"), 9));
    list.setRowHeight(12);
    list.setRows({QStringLiteral("AUTORES:"), QStringLiteral("  uno"), QString(), QStringLiteral("dos")});
    list.setColors(QColor(228, 228, 228), QColor(0, 0, 128));
    list.resize(200, 100);
    list.show();
    EXPECT_EQ(list.count(), 4);
    EXPECT_EQ(list.rows().at(0), QStringLiteral("AUTORES:"));
    EXPECT_EQ(list.visualItemRect(list.item(1)).height(), 12);
    EXPECT_EQ(list.visualItemRect(list.item(2)).top() - list.visualItemRect(list.item(1)).top(), 12);
    EXPECT_EQ(list.viewport()->palette().color(QPalette::Base), QColor(228, 228, 228));

    // Replacing the rows keeps the row height.
    list.setRows({QStringLiteral("a"), QStringLiteral("b")});
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(list.visualItemRect(list.item(1)).height(), 12);
}

TEST(FlatPanel, CaptionIsReadableAndFrameIsPainted) {
    FlatPanel panel;
    panel.setCaption(QStringLiteral("Información"));
    panel.setColor(QColor(255, 255, 176));
    panel.setFrame(FlatPanel::Frame::Line);
    panel.setFrameColor(Qt::black);
    panel.resize(100, 30);
    EXPECT_EQ(accessibleName(&panel), QStringLiteral("Información"));
    const QImage image = panel.grab().toImage();
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(99, 29), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(2, 2), QColor(255, 255, 176));

    panel.setFrame(FlatPanel::Frame::Lowered);
    const QImage lowered = panel.grab().toImage();
    EXPECT_EQ(lowered.pixelColor(0, 0), QColor(128, 128, 128));
    EXPECT_EQ(lowered.pixelColor(99, 29), QColor(255, 255, 255));
}

TEST(Fonts, ClassicFacesAreDrawnWithTheProgramsOwnFaces) {
    // Whatever fonts the machine has (the suite also runs with only DejaVu or only the URW set).
    installFontSubstitutions();
    struct Face {
        const char* asked;
        bool bold;
        bool italic;
        const char* drawn;
    };
    const Face faces[] = {{"Arial", false, false, "Liberation Sans"},
                          {"Arial", true, false, "Liberation Sans"},
                          {"Arial", false, true, "Liberation Sans"},
                          {"Arial", true, true, "Liberation Sans"},
                          {"Arial Narrow", false, false, "Liberation Sans Narrow"},
                          {"Arial Narrow", true, false, "Liberation Sans Narrow"},
                          {"Arial Black", false, false, "DejaVu Sans"},
                          {"Arial Black", false, true, "DejaVu Sans"},
                          {"MS Sans Serif", false, false, "DejaVu Sans"}};
    for (const Face& face : faces) {
        const QFontInfo info(pixelFont(QLatin1String(face.asked), 12, face.bold, face.italic));
        SCOPED_TRACE(std::string(face.asked) + (face.bold ? " bold" : "") + (face.italic ? " italic" : ""));
        EXPECT_EQ(info.family(), QLatin1String(face.drawn));
        EXPECT_EQ(info.pixelSize(), 12);
        EXPECT_EQ(info.bold(), face.bold || QLatin1String(face.asked) == QLatin1String("Arial Black"));
        EXPECT_EQ(info.italic(), face.italic);
    }
    // A font made by the classic name alone, and the widgets' default face.
    EXPECT_EQ(QFontInfo(QFont(QStringLiteral("Arial"))).family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(QFontInfo(QApplication::font()).family(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(pixelFont(QStringLiteral("Arial Black"), 27).weight(), QFont::Black);
}
