#pragma once

class QAbstractButton;

namespace norak {

// Gives the painted controls (cones, the progress bar, the flat buttons) their proper roles for
// assistive tools: a cone is a graphic, the progress bar a progress bar whose name is its visible
// text, a flat button a button whose "Press" returns before the click runs. Safe to
// call more than once; the controls call it from their constructors.
void installControlAccessibility();

// Makes any other button's accessible "Press" (a radio button's "Toggle") return before its click
// runs, as a flat button's does: for every button whose click may open a dialog. A tool button's
// "Press" and a radio button's "Toggle" would otherwise click at once and hold the assistive tool
// until the dialog closes. Call it as the button is made.
void queueAccessiblePress(QAbstractButton* button);

}  // namespace norak
