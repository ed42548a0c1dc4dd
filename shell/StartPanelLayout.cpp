#include "shell/StartPanelLayout.h"

namespace norak {

CreditVisibility creditVisibilityForVariant(int editionVariant, CreditVisibility current) {
    switch (editionVariant) {
        case 1:
        case 2:
            current.authors = false;
            current.legalLine = false;
            current.legalNotice = false;
            current.webLink = false;
            current.funding = editionVariant == 1;
            break;
        case 3:
            current.authors = true;
            current.legalLine = true;
            current.legalNotice = true;
            current.webLink = true;
            current.funding = false;
            break;
        default:
            break;
    }
    return current;
}

int centredLeft(int containerWidth, int ownWidth) {
    return containerWidth / 2 - ownWidth / 2;
}

QSize fundingPanelSize(const QRect& logo) {
    return QSize(logo.width() + 2 * logo.left(), logo.top() + logo.height() + logo.top() / 2);
}

QRect empezarGeometry(int panelWidth, const QSize& acercade, const QSize& empezar, int legalLineTop) {
    const int left = panelWidth / 2 + acercade.width() - (empezar.width() + acercade.width()) / 2;
    const int top = legalLineTop - empezar.height() - kEmpezarGapAboveLegalLine;
    return QRect(QPoint(left, top), empezar);
}

QRect acercadeGeometry(const QRect& empezar, const QSize& acercade) {
    return QRect(QPoint(empezar.left() - acercade.width(), empezar.top()), acercade);
}

}  // namespace norak
