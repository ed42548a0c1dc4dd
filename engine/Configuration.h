#pragma once

namespace norak {

// How a test is run: the three mode buttons of the configuration panel.
enum class TestMode {
    Completo,  // "Test completo": from period 1; the opening mode, its button is never shown
    Esfuerzo,  // "Test de esfuerzo": from the chosen start period, faster period after period
    Repetir,   // "Repetir periodo ...": the start period's pace, lap after lap, until Stop
};

enum Sex : int { kMasculina = 0, kFemenina = 1 };
enum Category : int { kNoCategory = -1, kCadete = 0, kJuvenil = 1, kSenior = 2 };

// First period of a sex and age category in an edition (1 for an unknown category).
int startPeriodForCategory(int edition, int sex, int category);

// Category a start period belongs to for an edition and sex; kNoCategory when the period lies
// in no range (and always in the Basket edition).
int categoryForPeriod(int edition, int sex, int period);

}  // namespace norak
