#pragma once

namespace norak {

// Gives the painted controls (cones, the progress bar, the flat buttons) their proper roles for
// assistive tools: a cone is a graphic, the progress bar a progress bar whose name is its visible
// text, a flat button a button whose "Press" returns before the click runs. Safe to
// call more than once; the controls call it from their constructors.
void installControlAccessibility();

}  // namespace norak
