#include "shell/HelpPanelLayout.h"

namespace norak {

HelpPanelGeometry helpPanelLayout(const QSize& panel, const QRect& zevezDrawing, int memoTop,
                                  const QSize& closeButton) {
    HelpPanelGeometry g;
    g.drawingTop = panel.height() / 2 - zevezDrawing.height() / 2;
    const int memoLeft = zevezDrawing.left() + zevezDrawing.width() + 20;
    g.memo =
        QRect(memoLeft, memoTop, panel.width() - memoLeft - 15, panel.height() - closeButton.height() - 40);
    g.closeButton =
        QRect(QPoint(panel.width() / 2 - closeButton.width() / 2, panel.height() - closeButton.height() - 20),
              closeButton);
    return g;
}

std::optional<Course> helpCourseForEdition(int sportEdition) {
    switch (sportEdition) {
        case kEditionProbst:
        case kEditionFutbol:
            return Course::Futbol;
        case kEditionBasket:
            return Course::Basket;
        case kEditionFutSal:
            return Course::FutSal;
        case kEditionZevez:
            return Course::Zevez;
        default:
            return std::nullopt;
    }
}

}  // namespace norak
