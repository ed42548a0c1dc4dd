#include "shell/PanelParts.h"

#include "shell/controls/FlatPanel.h"
#include "shell/controls/Fonts.h"

namespace norak {

namespace {
const QColor kLine(96, 96, 96);
}  // namespace

FlatPanel* makeHeaderPanel(const QString& caption, QWidget* parent, const QString& name) {
    auto* header = new FlatPanel(parent);
    header->setObjectName(name);
    header->setCaption(caption);
    header->setColor(QColor(128, 128, 128));
    header->setFontColor(Qt::white);
    header->setFont(pixelFont(QStringLiteral("Arial"), 12, true));
    header->setAlignment(Qt::AlignCenter);
    header->setFrame(FlatPanel::Frame::Line);
    header->setFrameColor(kLine);
    return header;
}

FlatPanel* makeValueFrame(QWidget* parent, const QString& name) {
    auto* frame = new FlatPanel(parent);
    frame->setObjectName(name);
    frame->setColor(QColor(240, 240, 240));
    frame->setFrame(FlatPanel::Frame::Line);
    frame->setFrameColor(kLine);
    return frame;
}

}  // namespace norak
