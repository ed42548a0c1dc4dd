#pragma once

#include <QLabel>
#include <QString>
#include <QVector>
#include <QWidget>

#include "engine/Edition.h"
#include "shell/controls/ConeShape.h"

namespace norak {

// The course of one sport: a white panel (332 × 489) holding, from back to front, the course
// pictures (each filling the panel), one cone per station and the rest marker on station 1.
// Object names follow the sport: Panel_Zevez with ImageZevez1..3, ShapeV1..12 and
// ShapeDescansoV, and likewise for Futbol (F), Basket (B) and FutSal (FS).
class CoursePanel : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kWidth = 332;
    static constexpr int kHeight = 489;

    // Pictures are read from <pictureFolder>/<sport><n>.jpg; a picture that is missing or cannot
    // be decoded leaves the panel's plain white background.
    explicit CoursePanel(Course course, QWidget* parent = nullptr,
                         const QString& pictureFolder = QStringLiteral(":/pictures/course"));

    Course course() const { return m_course; }

    // Cones in station order; station is 1-based. nullptr outside 1..coneCount().
    int coneCount() const { return int(m_cones.size()); }
    ConeShape* cone(int station) const;
    ConeShape* restMarker() const { return m_restMarker; }
    void setRestMarkerVisible(bool visible);

    // Course pictures, 1-based. The cones and the rest marker always stay in front of them.
    int pictureCount() const { return int(m_pictures.size()); }
    QLabel* picture(int n) const;
    void bringPictureToFront(int n);
    // Number of the picture lying in front of the others.
    int frontPicture() const;

    // Hides every cone, then lights the one of `station` (yellow, solid, shown).
    void lightCone(int station);
    // Gives every cone a red fill color with a clear fill (only the outline shows); visibility
    // is left as it is. The next lightCone() fills a cone again.
    void applyNewTestConeLook();

  private:
    Course m_course;
    QVector<QLabel*> m_pictures;
    QVector<ConeShape*> m_cones;
    ConeShape* m_restMarker = nullptr;
};

}  // namespace norak
