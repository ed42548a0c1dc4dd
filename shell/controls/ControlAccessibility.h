#pragma once

namespace norak {

// Gives the painted controls (cones, the progress bar) their proper roles for assistive tools:
// a cone is a graphic, the progress bar a progress bar whose name is its visible text. Safe to
// call more than once; the controls call it from their constructors.
void installControlAccessibility();

}  // namespace norak
