#pragma once

#include <QHeaderView>

namespace norak {

// The title row of the results grid: dark grey sections with each column's title font and color,
// centred and wrapped, separated by 1-pixel black lines.
class ResultsHeaderView : public QHeaderView {
    Q_OBJECT

  public:
    explicit ResultsHeaderView(QWidget* parent = nullptr);

  protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
};

}  // namespace norak
