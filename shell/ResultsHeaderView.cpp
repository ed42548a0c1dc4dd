#include "shell/ResultsHeaderView.h"

#include <QPainter>

#include "results/ResultsGeometry.h"
#include "shell/ResultsLooks.h"

namespace norak {

using namespace results_looks;

ResultsHeaderView::ResultsHeaderView(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setSectionsClickable(false);
    setSectionsMovable(false);
    setHighlightSections(false);
    setSectionResizeMode(QHeaderView::Fixed);
    setMinimumSectionSize(1);
    setFixedHeight(kTitleRowHeight + kGridLineWidth);
}

void ResultsHeaderView::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    if (!rect.isValid())
        return;
    const QRect area = rect.adjusted(0, 0, -kGridLineWidth, -kGridLineWidth);
    painter->save();
    painter->fillRect(rect, Qt::black);
    painter->fillRect(area, kTitleRowBackground);
    painter->setFont(titleFont(logicalIndex, area.width()));
    painter->setPen(titleTextColor(logicalIndex));
    const QString title = model() ? model()->headerData(logicalIndex, orientation()).toString() : QString();
    painter->drawText(area.adjusted(1, 0, -1, 0), Qt::AlignCenter | Qt::TextWordWrap, title);
    painter->restore();
}

}  // namespace norak
