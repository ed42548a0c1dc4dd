#include "shell/CoursePanel.h"

#include <QPixmap>
#include <array>

#include "platform/qt/JpegImage.h"

namespace norak {

namespace {

struct ConePlace {
    int left;
    int top;
};

// Top-left corners of the cone circles in panel pixels, in station order.
// clang-format off
constexpr std::array<ConePlace, 14> kFutbolCones = {{
    {249, 240}, {207, 168}, {248, 98},  {207, 26},  {126, 27},  {85, 98},   {125, 169},  // 1-7
    {85, 240},  {125, 310}, {85, 381},  {125, 452}, {207, 453}, {248, 382}, {207, 311}}};  // 8-14
constexpr std::array<ConePlace, 14> kFutSalCones = {{
    {275, 238}, {207, 193}, {274, 147}, {206, 87},  {114, 87},  {48, 147},  {114, 191},  // 1-7
    {48, 238},  {114, 281}, {48, 329},  {114, 391}, {206, 391}, {274, 330}, {207, 282}}};  // 8-14
constexpr std::array<ConePlace, 12> kBasketCones = {{
    {264, 236}, {264, 117}, {190, 38},  {158, 117}, {125, 38},  {53, 117},   // 1-6
    {53, 236},  {53, 356},  {126, 435}, {158, 356}, {189, 435}, {264, 356}}};  // 7-12
constexpr std::array<ConePlace, 12> kZevezCones = {{
    {264, 448}, {264, 310}, {206, 239}, {264, 167}, {264, 28},  {134, 63},   // 1-6
    {53, 28},   {53, 167},  {111, 239}, {53, 310},  {53, 448},  {184, 414}}};  // 7-12
// clang-format on

struct CourseLook {
    const char* panelName;
    const char* pictureName;  // ImageZevez + n
    const char* pictureFile;  // zevez + n + .jpg
    const char* coneName;     // ShapeV + n
    const char* restMarkerName;
    const char* accessibleName;
    int pictureCount;
    int coneSize;
    QColor coneFill;
    QColor restOutline;
};

CourseLook lookOf(Course course) {
    const QColor yellow(0xFF, 0xFF, 0x00);
    switch (course) {
        case Course::Futbol:
            return {.panelName = "Panel_Futbol",
                    .pictureName = "ImageFutbol",
                    .pictureFile = "futbol",
                    .coneName = "ShapeF",
                    .restMarkerName = "ShapeDescansoF",
                    .accessibleName = "Campo de fútbol",
                    .pictureCount = 5,
                    .coneSize = 9,
                    .coneFill = yellow,
                    .restOutline = QColor(0x00, 0x80, 0x00)};
        case Course::Basket:
            return {.panelName = "Panel_Basket",
                    .pictureName = "ImageBasket",
                    .pictureFile = "basket",
                    .coneName = "ShapeB",
                    .restMarkerName = "ShapeDescansoB",
                    .accessibleName = "Pista de baloncesto",
                    .pictureCount = 5,
                    .coneSize = 14,
                    .coneFill = QColor(0x00, 0x00, 0xFF),
                    .restOutline = Qt::black};
        case Course::FutSal:
            return {.panelName = "Panel_FutSal",
                    .pictureName = "ImageFutSal",
                    .pictureFile = "futsal",
                    .coneName = "ShapeFS",
                    .restMarkerName = "ShapeDescansoFS",
                    .accessibleName = "Pista de fútbol sala",
                    .pictureCount = 5,
                    .coneSize = 12,
                    .coneFill = yellow,
                    .restOutline = Qt::black};
        case Course::Zevez:
            break;
    }
    return {.panelName = "Panel_Zevez",
            .pictureName = "ImageZevez",
            .pictureFile = "zevez",
            .coneName = "ShapeV",
            .restMarkerName = "ShapeDescansoV",
            .accessibleName = "Pista de voleibol",
            .pictureCount = 3,
            .coneSize = 12,
            .coneFill = yellow,
            .restOutline = Qt::black};
}

template <std::size_t N>
QVector<QRect> rectsOf(const std::array<ConePlace, N>& places, int size) {
    QVector<QRect> rects;
    for (const ConePlace& p : places)
        rects.push_back(QRect(p.left, p.top, size, size));
    return rects;
}

QVector<QRect> coneRects(Course course, int size) {
    switch (course) {
        case Course::Futbol: {
            QVector<QRect> rects = rectsOf(kFutbolCones, size);
            // Three cones of the football course are one pixel narrower.
            for (int station : {6, 8, 10})
                rects[station - 1].setWidth(size - 1);
            return rects;
        }
        case Course::Basket:
            return rectsOf(kBasketCones, size);
        case Course::FutSal:
            return rectsOf(kFutSalCones, size);
        case Course::Zevez:
            break;
    }
    return rectsOf(kZevezCones, size);
}

// What each picture shows, for assistive tools (pictures 3 and 5 differ only in the figure).
QString pictureDescription(int n) {
    switch (n) {
        case 1:
            return QStringLiteral("Circuito");
        case 2:
            return QStringLiteral("Circuito en orden de estaciones");
        case 4:
            return QStringLiteral("Circuito en orden inverso");
        default:
            return QStringLiteral("Conos del circuito");
    }
}

}  // namespace

CoursePanel::CoursePanel(Course course, QWidget* parent, const QString& pictureFolder)
    : QWidget(parent), m_course(course) {
    const CourseLook look = lookOf(course);
    setObjectName(QLatin1String(look.panelName));
    setAccessibleName(QString::fromUtf8(look.accessibleName));
    setFixedSize(kWidth, kHeight);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);

    for (int n = 1; n <= look.pictureCount; ++n) {
        auto* label = new QLabel(this);
        label->setObjectName(QLatin1String(look.pictureName) + QString::number(n));
        label->setGeometry(0, 0, kWidth, kHeight);
        label->setScaledContents(true);
        label->setAccessibleName(pictureDescription(n));
        const QImage image =
            loadJpegResource(pictureFolder + QLatin1Char('/') + QLatin1String(look.pictureFile) +
                             QString::number(n) + QStringLiteral(".jpg"));
        if (!image.isNull())
            label->setPixmap(QPixmap::fromImage(image));
        m_pictures.push_back(label);
    }

    const QVector<QRect> rects = coneRects(course, look.coneSize);
    for (int i = 0; i < rects.size(); ++i) {
        auto* cone = new ConeShape(this);
        const int station = i + 1;
        cone->setObjectName(QLatin1String(look.coneName) + QString::number(station));
        cone->setAccessibleName(QStringLiteral("Estación %1").arg(station));
        cone->setGeometry(rects[i]);
        cone->setFillColor(look.coneFill);
        cone->setOutlineColor(QColor(0xFF, 0x00, 0x00));
        cone->hide();
        m_cones.push_back(cone);
    }

    m_restMarker = new ConeShape(this);
    m_restMarker->setObjectName(QLatin1String(look.restMarkerName));
    m_restMarker->setAccessibleName(QStringLiteral("Descanso"));
    m_restMarker->setStateTexts(QStringLiteral("visible"), QStringLiteral("oculto"));
    m_restMarker->setGeometry(rects.front());
    m_restMarker->setFillColor(QColor(0xC0, 0xC0, 0xC0));
    m_restMarker->setOutlineColor(look.restOutline);

    bringPictureToFront(1);
}

ConeShape* CoursePanel::cone(int station) const {
    if (station < 1 || station > coneCount())
        return nullptr;
    return m_cones[station - 1];
}

void CoursePanel::setRestMarkerVisible(bool visible) {
    m_restMarker->setVisible(visible);
}

QLabel* CoursePanel::picture(int n) const {
    if (n < 1 || n > pictureCount())
        return nullptr;
    return m_pictures[n - 1];
}

void CoursePanel::bringPictureToFront(int n) {
    if (QLabel* label = picture(n))
        label->stackUnder(m_cones.front());
}

int CoursePanel::frontPicture() const {
    const QObjectList& stack = children();  // back to front
    for (auto it = stack.crbegin(); it != stack.crend(); ++it) {
        const int index = int(m_pictures.indexOf(qobject_cast<QLabel*>(*it)));
        if (index >= 0)
            return index + 1;
    }
    return 0;
}

void CoursePanel::lightCone(int station) {
    for (ConeShape* c : m_cones)
        c->hide();
    if (ConeShape* c = cone(station)) {
        c->setFillColor(QColor(0xFF, 0xFF, 0x00));
        c->setFillStyle(ConeShape::FillStyle::Solid);
        c->show();
    }
}

void CoursePanel::applyNewTestConeLook() {
    for (ConeShape* c : m_cones) {
        c->setFillColor(QColor(0xFF, 0x00, 0x00));
        c->setFillStyle(ConeShape::FillStyle::Clear);
    }
}

}  // namespace norak
