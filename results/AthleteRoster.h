#pragma once

#include <QObject>
#include <QString>
#include <array>

#include "results/LiveValues.h"

namespace norak {

class ResultsTable;

// The estimated maximal oxygen uptake of the Basket edition from the distance text:
// d × 0.013 + 2.5951 with three decimals and the given decimal separator (1000 → "15,595").
QString EstimateVO2max(const QString& distanceText, QChar decimalSeparator);

// The athlete slots: which of the fourteen athlete buttons B01 ... B14 are shown (a shown button
// is a player still running), and the recording of dropouts into the results table.
class AthleteRoster : public QObject {
    Q_OBJECT

  public:
    static constexpr int kButtonCount = 14;

    explicit AthleteRoster(ResultsTable& table, QObject* parent = nullptr);

    // True while button i (1 ... 14) is shown.
    bool isShown(int athlete) const;
    int shownCount() const;

    // The timed test begins: a button for every named row, "Nº" written; the others hidden and
    // their "Nº" emptied. Result cells are not touched.
    void activateAthleteButtons();
    // The dropout of athlete i: hides the button and fills the row from the values.
    void dropout(int athlete, const LiveValues& values);
    // The stop of a test: every athlete still shown drops out with the same values, B01 first.
    void recordRemainingAthletes(const LiveValues& values);
    // Whether "Volver a activar..." is offered for a row: a name, a recorded "Periodos complet.",
    // a test running (the stop button enabled) and the warm-up over.
    bool canReactivate(int row, bool stopEnabled, int warmUpPhase) const;
    // Puts the athlete of a row back in the test: "Nº" written, results emptied, button shown.
    void reactivate(int row);
    // Hides all fourteen buttons.
    void hideAll();

  Q_SIGNALS:
    // Button i (1 ... 14) was shown or hidden.
    void buttonVisibilityChanged(int athlete, bool shown);

  private:
    void setShown(int athlete, bool shown);

    ResultsTable& m_table;
    std::array<bool, kButtonCount> m_shown{};
};

}  // namespace norak
