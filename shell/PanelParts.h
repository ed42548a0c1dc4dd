#pragma once

#include <QString>

class QWidget;

namespace norak {

class FlatPanel;

// The look the window's panels share for a labelled value: a grey header with white bold text
// over a light frame that holds the value, both with a dark line around them.
FlatPanel* makeHeaderPanel(const QString& caption, QWidget* parent, const QString& name);
FlatPanel* makeValueFrame(QWidget* parent, const QString& name);

}  // namespace norak
