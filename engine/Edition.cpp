#include "engine/Edition.h"

#include <array>
#include <cmath>

namespace norak {

namespace {

constexpr std::array<int, 30> kProbst = {8571, 7500, 6667, 6000, 5455, 5000, 4615, 4286, 4000, 3750,
                                         3529, 3333, 3158, 3000, 2857, 2727, 2609, 2500, 2400, 2308,
                                         2222, 2143, 2069, 2000, 1935, 1875, 1818, 1765, 1714, 1667};
constexpr std::array<int, 30> kFutbol = {7843, 6863, 6100, 5490, 4991, 4575, 4223, 3921, 3660, 3431,
                                         3229, 3050, 2889, 2745, 2614, 2495, 2387, 2287, 2196, 2112,
                                         2033, 1961, 1893, 1830, 1771, 1716, 1664, 1615, 1569, 1525};
constexpr std::array<int, 30> kBasket = {5333, 4800, 4364, 4000, 3692, 3429, 3200, 3000, 2824, 2667,
                                         2526, 2400, 2286, 2182, 2087, 2000, 1920, 1846, 1778, 1714,
                                         1655, 1600, 1548, 1500, 1455, 1412, 1371, 1333, 1297, 1263};
constexpr std::array<int, 28> kFutSal = {6857, 6000, 5333, 4800, 4364, 4000, 3692, 3429, 3200, 3000,
                                         2824, 2667, 2526, 2400, 2286, 2182, 2087, 2000, 1920, 1846,
                                         1778, 1714, 1655, 1600, 1548, 1500, 1455, 1412};
constexpr std::array<int, 25> kZevez = {4214, 3687, 3227, 2950, 2681, 2458, 2269, 2107, 1966,
                                        1844, 1735, 1639, 1552, 1475, 1405, 1341, 1282, 1230,
                                        1179, 1134, 1092, 1053, 1017, 983,  951};

constexpr std::array<const char*, 30> kSpeedTexts = {
    "4,2",  "4,8",  "5,4",  "6,0",  "6,6",  "7,2",  "7,8",  "8,4",  "9,0",  "9,6",
    "10,2", "10,8", "11,4", "12,0", "12,6", "13,2", "13,8", "14,4", "15,0", "15,6",
    "16,2", "16,8", "17,4", "18,0", "18,6", "19,2", "20,8", "21,4", "22,0", "22,6"};

template <std::size_t N>
QStringList linesOf(const std::array<int, N>& table) {
    QStringList lines;
    lines.reserve(int(N));
    for (int ms : table)
        lines.push_back(QString::number(ms));
    return lines;
}

}  // namespace

QString zevezTitleForVariant(int variant) {
    return variant == 1 ? QStringLiteral("NORAK-Voleibol") : QStringLiteral("NORAK-Zevez");
}

EditionRecord editionRecord(int edition) {
    if (edition < 0 || edition >= kEditionCount)
        edition = kBuildEdition;
    EditionRecord r;
    r.edition = edition;
    r.restDurationMs = 30000;
    r.warmUpRestDurationMs = 180000;
    switch (edition) {
        case kEditionProbst:
        case kEditionFutbol:
            r.editionTitle = edition == kEditionProbst ? QStringLiteral("Test de Probst")
                                                       : QStringLiteral("NORAK-Fútbol 2.0");
            r.sportName = QStringLiteral("Fútbol");
            r.stationsPerLap = 14;
            r.signalsPerPeriod = 28;
            r.stationDistance = edition == kEditionProbst ? 10.0 : 9.15;
            r.course = Course::Futbol;
            r.coursePanelName = QStringLiteral("Panel_Futbol");
            r.restMarkerName = QStringLiteral("ShapeDescansoF");
            r.periodTableName = edition == kEditionProbst ? QStringLiteral("MemoPeriodoN_FUTBOL_PROBST")
                                                          : QStringLiteral("MemoPeriodoN_FUTBOL");
            r.colorLight = {108, 185, 120};
            r.colorMain = {80, 169, 94};
            r.colorDark = {57, 119, 67};
            break;
        case kEditionBasket:
            r.editionTitle = QStringLiteral("NORAK-Basket 2.0");
            r.sportName = QStringLiteral("Baloncesto");
            r.stationsPerLap = 12;
            r.signalsPerPeriod = 36;
            r.stationDistance = 8.0;
            r.course = Course::Basket;
            r.coursePanelName = QStringLiteral("Panel_Basket");
            r.restMarkerName = QStringLiteral("ShapeDescansoB");
            r.periodTableName = QStringLiteral("MemoPeriodoN_BASKET");
            r.colorLight = {245, 217, 139};
            r.colorMain = {237, 184, 44};
            r.colorDark = {205, 154, 18};
            break;
        case kEditionFutSal:
            r.editionTitle = QStringLiteral("NORAK-FutSal");
            r.sportName = QStringLiteral("Fútbol-Sala");
            r.stationsPerLap = 14;
            r.signalsPerPeriod = 28;
            r.stationDistance = 7.43;
            r.course = Course::FutSal;
            r.coursePanelName = QStringLiteral("Panel_FutSal");
            r.restMarkerName = QStringLiteral("ShapeDescansoFS");
            r.periodTableName = QStringLiteral("MemoPeriodoN_FS");
            r.colorLight = {103, 156, 243};
            r.colorMain = {0, 128, 192};
            r.colorDark = {0, 96, 142};
            break;
        default:
            r.editionVariant = 4;
            r.editionTitle = zevezTitleForVariant(r.editionVariant);
            r.sportName = QStringLiteral("Voleibol");
            r.stationsPerLap = 12;
            r.signalsPerPeriod = 36;
            r.stationDistance = 4.91;
            r.course = Course::Zevez;
            r.coursePanelName = QStringLiteral("Panel_Zevez");
            r.restMarkerName = QStringLiteral("ShapeDescansoV");
            r.periodTableName = QStringLiteral("MemoPeriodoN_ZEVEZ");
            r.colorLight = {159, 177, 124};
            r.colorMain = {119, 138, 83};
            r.colorDark = {73, 85, 51};
            break;
    }
    return r;
}

QStringList sourcePeriodTable(int edition) {
    switch (edition) {
        case kEditionProbst:
            return linesOf(kProbst);
        case kEditionFutbol:
            return linesOf(kFutbol);
        case kEditionBasket:
            return linesOf(kBasket);
        case kEditionFutSal:
            return linesOf(kFutSal);
        case kEditionZevez:
            return linesOf(kZevez);
        default:
            return {};
    }
}

QString nominalSpeedText(int period) {
    if (period < 1 || period > int(kSpeedTexts.size()))
        return {};
    return QString::fromLatin1(kSpeedTexts[std::size_t(period - 1)]);
}

int stationForSignal(int edition, int stationsPerLap, int beepCount, int completedPeriods) {
    if (stationsPerLap <= 0)
        return 1;
    const int k = beepCount - stationsPerLap * (beepCount / stationsPerLap);
    if (edition == kEditionZevez || completedPeriods % 2 == 0)
        return k + 1;
    return k == 0 ? 1 : stationsPerLap + 1 - k;
}

double distanceCovered(int completedPeriods, int beepCount, int signalsPerPeriod, double stationDistance) {
    return (double(completedPeriods) * signalsPerPeriod + beepCount) * stationDistance;
}

qint64 roundMetres(double metres) {
    return qint64(std::llround(metres));
}

}  // namespace norak
