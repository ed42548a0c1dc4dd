#include "shell/CellLineEdit.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <memory>

#include "results/CellText.h"
#include "shell/CellTextValidator.h"

namespace norak {

CellLineEdit::CellLineEdit(int column, QWidget* parent) : QLineEdit(parent), m_column(column) {
    setMaxLength(cellMaxLength(column));
    setValidator(new CellTextValidator(column, this));
}

QString CellLineEdit::textOutsideSelection() const {
    QString rest = text();
    if (hasSelectedText())
        rest.remove(selectionStart(), selectedText().size());
    return rest;
}

void CellLineEdit::insertFiltered(const QString& typed) {
    if (isReadOnly())
        return;
    const QString kept = filterCellInput(m_column, textOutsideSelection(), typed);
    // A paste of nothing acceptable leaves the text (and its selection) alone.
    if (!kept.isEmpty())
        insert(kept);
}

void CellLineEdit::pasteFiltered() {
    insertFiltered(QGuiApplication::clipboard()->text(QClipboard::Clipboard));
}

void CellLineEdit::keyPressEvent(QKeyEvent* event) {
    if (event == QKeySequence::Paste) {
        pasteFiltered();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void CellLineEdit::inputMethodEvent(QInputMethodEvent* event) {
    if (event->commitString().isEmpty() || isReadOnly()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(filterCellInput(m_column, textOutsideSelection(), event->commitString()),
                             event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&filtered);
    event->setAccepted(filtered.isAccepted());
}

void CellLineEdit::mouseReleaseEvent(QMouseEvent* event) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (event->button() == Qt::MiddleButton && clipboard->supportsSelection()) {
        deselect();
        insertFiltered(clipboard->text(QClipboard::Selection));
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void CellLineEdit::dropEvent(QDropEvent* event) {
    if (isReadOnly() || !event->mimeData()->hasText()) {
        event->ignore();
        return;
    }
    deselect();
    setCursorPosition(cursorPositionAt(event->position().toPoint()));
    insertFiltered(event->mimeData()->text());
    event->acceptProposedAction();
}

QMenu* CellLineEdit::createFilteredContextMenu() {
    QMenu* menu = createStandardContextMenu();
    // The standard Paste item inserts the clipboard unfiltered: route it through the filter.
    for (QAction* action : menu->actions()) {
        // Connected by member pointer or by name, depending on the Qt release.
        const bool wasPaste = disconnect(action, &QAction::triggered, this, &QLineEdit::paste) ||
                              disconnect(action, SIGNAL(triggered()), this, SLOT(paste())) ||
                              disconnect(action, SIGNAL(triggered(bool)), this, SLOT(paste()));
        if (wasPaste)
            connect(action, &QAction::triggered, this, &CellLineEdit::pasteFiltered);
    }
    return menu;
}

void CellLineEdit::contextMenuEvent(QContextMenuEvent* event) {
    const std::unique_ptr<QMenu> menu(createFilteredContextMenu());
    menu->exec(event->globalPos());
}

}  // namespace norak
