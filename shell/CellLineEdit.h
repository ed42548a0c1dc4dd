#pragma once

#include <QLineEdit>

class QMenu;

namespace norak {

// The in-place editor of a "Sujeto" or "Cod." cell. Text can arrive by keys, by a paste (keys,
// context menu, middle button), by a drop or from an input method; every way goes through the
// column's filter, so refused characters are dropped and the limit holds for pasted text as well.
// A validator keeps the same rules for anything else that sets the text.
class CellLineEdit : public QLineEdit {
    Q_OBJECT

  public:
    CellLineEdit(int column, QWidget* parent = nullptr);

    int column() const { return m_column; }
    // Inserts text as the user's input: filtered for the column, replacing the selection.
    void insertFiltered(const QString& text);
    // Pastes the clipboard through the filter.
    void pasteFiltered();
    // The standard context menu with its Paste item going through the filter; the caller owns it.
    QMenu* createFilteredContextMenu();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    QString textOutsideSelection() const;

    int m_column;
};

}  // namespace norak
