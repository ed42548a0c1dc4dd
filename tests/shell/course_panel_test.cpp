#include <gtest/gtest.h>

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "shell/CoursePanel.h"

using namespace norak;

namespace {

struct CourseCase {
    Course course;
    const char* panelName;
    const char* conePrefix;
    const char* picturePrefix;
    const char* restMarkerName;
    int pictureCount;
    QColor coneFill;
    QColor restOutline;
    std::vector<QRect> cones;  // the course layout table, station 1 first
};

std::vector<QRect> squares(std::initializer_list<QPoint> corners, int size) {
    std::vector<QRect> rects;
    for (const QPoint& c : corners)
        rects.emplace_back(c, QSize(size, size));
    return rects;
}

// The course layout table: top-left corners of the cones, station 1 first.
// clang-format off
std::vector<QRect> footballCones() {
    auto rects = squares({{249, 240}, {207, 168}, {248, 98}, {207, 26}, {126, 27}, {85, 98}, {125, 169},
                          {85, 240}, {125, 310}, {85, 381}, {125, 452}, {207, 453}, {248, 382}, {207, 311}}, 9);
    for (int station : {6, 8, 10})
        rects[station - 1].setWidth(8);
    return rects;
}

const std::vector<CourseCase>& courseCases() {
    static const std::vector<CourseCase> cases = {
        {Course::Futbol, "Panel_Futbol", "ShapeF", "ImageFutbol", "ShapeDescansoF", 5, Qt::yellow, QColor(0, 128, 0),
         footballCones()},
        {Course::Basket, "Panel_Basket", "ShapeB", "ImageBasket", "ShapeDescansoB", 5, Qt::blue, Qt::black,
         squares({{264, 236}, {264, 117}, {190, 38}, {158, 117}, {125, 38}, {53, 117},
                  {53, 236}, {53, 356}, {126, 435}, {158, 356}, {189, 435}, {264, 356}}, 14)},
        {Course::FutSal, "Panel_FutSal", "ShapeFS", "ImageFutSal", "ShapeDescansoFS", 5, Qt::yellow, Qt::black,
         squares({{275, 238}, {207, 193}, {274, 147}, {206, 87}, {114, 87}, {48, 147}, {114, 191},
                  {48, 238}, {114, 281}, {48, 329}, {114, 391}, {206, 391}, {274, 330}, {207, 282}}, 12)},
        {Course::Zevez, "Panel_Zevez", "ShapeV", "ImageZevez", "ShapeDescansoV", 3, Qt::yellow, Qt::black,
         squares({{264, 448}, {264, 310}, {206, 239}, {264, 167}, {264, 28}, {134, 63},
                  {53, 28}, {53, 167}, {111, 239}, {53, 310}, {53, 448}, {184, 414}}, 12)},
    };
    return cases;
}
// clang-format on

class CourseLayout : public ::testing::TestWithParam<int> {
  protected:
    const CourseCase& c() const { return courseCases()[std::size_t(GetParam())]; }
};

// Index of a child in the panel's stacking order (0 = back).
int stackIndex(const QWidget& panel, const QObject* child) {
    return int(panel.children().indexOf(const_cast<QObject*>(child)));
}

}  // namespace

TEST_P(CourseLayout, ConesSitWhereTheLayoutPutsThem) {
    CoursePanel panel(c().course);
    EXPECT_EQ(panel.objectName(), QLatin1String(c().panelName));
    EXPECT_EQ(panel.size(), QSize(332, 489));
    ASSERT_EQ(panel.coneCount(), int(c().cones.size()));
    EXPECT_EQ(panel.cone(0), nullptr);
    EXPECT_EQ(panel.cone(panel.coneCount() + 1), nullptr);
    for (int station = 1; station <= panel.coneCount(); ++station) {
        SCOPED_TRACE(station);
        ConeShape* cone = panel.cone(station);
        ASSERT_NE(cone, nullptr);
        EXPECT_EQ(cone->objectName(), QLatin1String(c().conePrefix) + QString::number(station));
        EXPECT_EQ(panel.findChild<ConeShape*>(cone->objectName()), cone);
        EXPECT_EQ(cone->geometry(), c().cones[std::size_t(station - 1)]);
        EXPECT_TRUE(cone->isHidden());
        EXPECT_EQ(cone->fillColor(), c().coneFill);
        EXPECT_EQ(cone->fillStyle(), ConeShape::FillStyle::Solid);
        EXPECT_EQ(cone->outlineColor(), QColor(Qt::red));
        EXPECT_EQ(cone->outlineWidth(), 1);
    }
}

TEST_P(CourseLayout, RestMarkerCoversStationOne) {
    CoursePanel panel(c().course);
    ConeShape* marker = panel.restMarker();
    EXPECT_EQ(marker->objectName(), QLatin1String(c().restMarkerName));
    EXPECT_EQ(marker->geometry(), panel.cone(1)->geometry());
    EXPECT_EQ(marker->fillColor(), QColor(192, 192, 192));
    EXPECT_EQ(marker->outlineColor(), c().restOutline);
    EXPECT_FALSE(marker->isHidden());
    panel.setRestMarkerVisible(false);
    EXPECT_TRUE(marker->isHidden());
    EXPECT_EQ(marker->accessibleDescription(), QStringLiteral("oculto"));
}

TEST_P(CourseLayout, PicturesStayBehindConesAndMarker) {
    CoursePanel panel(c().course);
    // A widget the window puts on the course later (the lap display) must stay in front too.
    auto* extra = new QWidget(&panel);
    ASSERT_EQ(panel.pictureCount(), c().pictureCount);
    EXPECT_EQ(panel.picture(c().pictureCount + 1), nullptr);
    EXPECT_EQ(panel.frontPicture(), 1);
    for (int n = 1; n <= panel.pictureCount(); ++n) {
        EXPECT_EQ(panel.picture(n)->objectName(), QLatin1String(c().picturePrefix) + QString::number(n));
        EXPECT_EQ(panel.picture(n)->geometry(), panel.rect());
    }
    for (int n : {2, panel.pictureCount(), 1, 3}) {
        SCOPED_TRACE(n);
        panel.bringPictureToFront(n);
        EXPECT_EQ(panel.frontPicture(), n);
        int backmostFront = stackIndex(panel, panel.restMarker());
        for (int s = 1; s <= panel.coneCount(); ++s)
            backmostFront = std::min(backmostFront, stackIndex(panel, panel.cone(s)));
        for (int p = 1; p <= panel.pictureCount(); ++p)
            EXPECT_LT(stackIndex(panel, panel.picture(p)), backmostFront);
        EXPECT_GT(stackIndex(panel, panel.restMarker()), stackIndex(panel, panel.cone(panel.coneCount())));
        EXPECT_GT(stackIndex(panel, extra), stackIndex(panel, panel.restMarker()));
    }
    panel.bringPictureToFront(0);
    EXPECT_EQ(panel.frontPicture(), 3);
}

TEST_P(CourseLayout, LightingOneConeHidesTheOthers) {
    CoursePanel panel(c().course);
    panel.lightCone(3);
    panel.lightCone(panel.coneCount());
    for (int s = 1; s <= panel.coneCount(); ++s)
        EXPECT_EQ(panel.cone(s)->isHidden(), s != panel.coneCount()) << s;
    ConeShape* lit = panel.cone(panel.coneCount());
    EXPECT_EQ(lit->fillColor(), QColor(Qt::yellow));
    EXPECT_EQ(lit->fillStyle(), ConeShape::FillStyle::Solid);
    EXPECT_EQ(lit->accessibleDescription(), QStringLiteral("iluminada"));
    EXPECT_EQ(panel.cone(3)->accessibleDescription(), QStringLiteral("apagada"));

    // New test: station 1 keeps only its red outline; the next highlight fills a cone again.
    panel.lightCone(1);
    panel.applyNewTestConeLook();
    for (int s = 1; s <= panel.coneCount(); ++s) {
        EXPECT_EQ(panel.cone(s)->fillColor(), QColor(Qt::red));
        EXPECT_EQ(panel.cone(s)->fillStyle(), ConeShape::FillStyle::Clear);
        EXPECT_EQ(panel.cone(s)->isHidden(), s != 1);
    }
    EXPECT_FALSE(panel.cone(1)->isLit());
    EXPECT_EQ(panel.cone(1)->accessibleDescription(), QStringLiteral("apagada"));
    panel.lightCone(2);
    EXPECT_TRUE(panel.cone(2)->isLit());
    EXPECT_EQ(panel.cone(2)->fillColor(), QColor(Qt::yellow));

    panel.lightCone(0);
    for (int s = 1; s <= panel.coneCount(); ++s)
        EXPECT_TRUE(panel.cone(s)->isHidden());
}

INSTANTIATE_TEST_SUITE_P(AllCourses, CourseLayout, ::testing::Values(0, 1, 2, 3),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(courseCases()[std::size_t(info.param)].panelName);
                         });

TEST(CoursePanel, MissingOrDamagedPicturesLeaveAPlainBackground) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile damaged(dir.filePath(QStringLiteral("zevez2.jpg")));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("\xFF\xD8\xFF\xE0 not really a picture");
    damaged.close();

    CoursePanel panel(Course::Zevez, nullptr, dir.path());
    for (int n = 1; n <= panel.pictureCount(); ++n)
        EXPECT_TRUE(panel.picture(n)->pixmap().isNull()) << n;
    panel.bringPictureToFront(2);
    const QImage shot = panel.grab().toImage();
    EXPECT_EQ(shot.pixelColor(10, 10), QColor(Qt::white));
    EXPECT_EQ(shot.pixelColor(300, 200), QColor(Qt::white));
}

TEST(CoursePanel, ShownPicturesComeFromTheResources) {
    CoursePanel panel(Course::Zevez);
    for (int n = 1; n <= panel.pictureCount(); ++n) {
        const QString path = QStringLiteral(":/pictures/course/zevez%1.jpg").arg(n);
        if (!QFile::exists(path))
            GTEST_SKIP() << "course pictures are not built in";
        EXPECT_FALSE(panel.picture(n)->pixmap().isNull()) << n;
    }
}

TEST(ConeShape, PaintsItsFillAndOutlineOverWhatLiesBehind) {
    QWidget ground;
    ground.resize(20, 20);
    ground.setAutoFillBackground(true);
    QPalette p = ground.palette();
    p.setColor(QPalette::Window, Qt::green);
    ground.setPalette(p);
    auto* cone = new ConeShape(&ground);
    cone->setGeometry(0, 0, 14, 14);
    cone->setFillColor(Qt::blue);
    cone->setOutlineColor(Qt::red);

    const QImage solid = ground.grab().toImage();
    EXPECT_EQ(solid.pixelColor(7, 7), QColor(Qt::blue));
    const QColor edge = solid.pixelColor(0, 7);
    EXPECT_GT(edge.red(), 120);
    EXPECT_LT(edge.blue(), 120);
    EXPECT_EQ(solid.pixelColor(0, 0), QColor(Qt::green));  // outside the circle

    cone->setFillStyle(ConeShape::FillStyle::Clear);
    const QImage clear = ground.grab().toImage();
    EXPECT_EQ(clear.pixelColor(7, 7), QColor(Qt::green));
    EXPECT_GT(clear.pixelColor(0, 7).red(), 120);
}

TEST(ConeShape, TellsAssistiveToolsItsStationAndState) {
    CoursePanel panel(Course::Basket);
    panel.lightCone(7);
    QAccessibleInterface* lit = QAccessible::queryAccessibleInterface(panel.cone(7));
    ASSERT_NE(lit, nullptr);
    EXPECT_EQ(lit->role(), QAccessible::Graphic);
    EXPECT_EQ(lit->text(QAccessible::Name), QStringLiteral("Estación 7"));
    EXPECT_EQ(lit->text(QAccessible::Description), QStringLiteral("iluminada"));
    QAccessibleInterface* off = QAccessible::queryAccessibleInterface(panel.cone(12));
    ASSERT_NE(off, nullptr);
    EXPECT_EQ(off->text(QAccessible::Name), QStringLiteral("Estación 12"));
    EXPECT_EQ(off->text(QAccessible::Description), QStringLiteral("apagada"));
}
