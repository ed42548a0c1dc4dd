#pragma once

#include <QString>
#include <QStringList>

namespace norak {

// Sport editions. The build fixes one; the data of all five are carried.
enum SportEditionCode : int {
    kEditionProbst = 0,
    kEditionFutbol = 1,
    kEditionBasket = 2,
    kEditionFutSal = 3,
    kEditionZevez = 4,
};
inline constexpr int kEditionCount = 5;
inline constexpr int kBuildEdition = kEditionZevez;

// The course a sport is run on; editions 0 and 1 share the football course.
enum class Course { Futbol, Basket, FutSal, Zevez };

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// What an edition fixes, set once when the test window is created.
struct EditionRecord {
    int edition = kBuildEdition;
    QString editionTitle;
    QString sportName;
    int stationsPerLap = 0;
    int signalsPerPeriod = 0;
    double stationDistance = 0.0;
    int restDurationMs = 30000;
    int warmUpRestDurationMs = 180000;
    Course course = Course::Zevez;
    QString coursePanelName;  // Panel_Futbol, Panel_Basket, Panel_FutSal, Panel_Zevez
    QString restMarkerName;   // ShapeDescansoF, ...
    QString periodTableName;  // MemoPeriodoN_FUTBOL_PROBST, ...
    int editionVariant = 0;
    Rgb colorLight;
    Rgb colorMain;
    Rgb colorDark;

    int lapsPerPeriod() const { return signalsPerPeriod / stationsPerLap; }
    int coursePictureCount() const { return course == Course::Zevez ? 3 : 5; }
};

// The record of an edition 0..4; any other code gives the build's edition.
EditionRecord editionRecord(int edition);

// Title of the volleyball edition for an edition variant (1: "NORAK-Voleibol").
QString zevezTitleForVariant(int variant);

// The source period table of an edition as lines of text: line n-1 holds the run time in ms of
// one leg of period n.
QStringList sourcePeriodTable(int edition);

// Fixed nominal speed text of a period ("4,2" ... "22,6"), empty outside 1..30.
QString nominalSpeedText(int period);

// Station (1-based) at which a runner who started at station 1 must be after `beepCount` signals
// of the current period, given the completed effort periods (direction alternates except Zevez).
int stationForSignal(int edition, int stationsPerLap, int beepCount, int completedPeriods);

// Distance in metres after `completedPeriods` whole periods and `beepCount` signals.
double distanceCovered(int completedPeriods, int beepCount, int signalsPerPeriod, double stationDistance);

// Rounds to whole metres, halves away from zero.
qint64 roundMetres(double metres);

}  // namespace norak
