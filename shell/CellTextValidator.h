#pragma once

#include <QValidator>

namespace norak {

// Keeps the text of a cell editor acceptable for its column whatever changed it: characters the
// column refuses are taken out and the text is cut to the column's limit (the corrected text is
// what the editor keeps), so nothing can reach the table that the export could not carry.
class CellTextValidator : public QValidator {
    Q_OBJECT

  public:
    CellTextValidator(int column, QObject* parent = nullptr);

    State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;

  private:
    int m_column;
};

}  // namespace norak
