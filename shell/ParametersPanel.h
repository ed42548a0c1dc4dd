#pragma once

#include <QStringList>
#include <QWidget>

class QPlainTextEdit;

namespace norak {

// The hidden panel of the period tables: the five source tables under their headings and the
// active table MemoPeriodoN, which can be edited while a test runs.
class ParametersPanel : public QWidget {
    Q_OBJECT

  public:
    explicit ParametersPanel(const QStringList& activeTable, QWidget* parent = nullptr);

    QPlainTextEdit* activeTableEdit() const { return m_active; }
    QStringList activeTable() const;

  Q_SIGNALS:
    // The active table after an edit, once the edited line is complete: the operator pressed
    // Enter, moved to another line or left the table. A half-typed number ("3" on the way to
    // "3000") never reaches a running test.
    void activeTableEdited(const QStringList& lines);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void commitEdit();

    QPlainTextEdit* m_active = nullptr;
    int m_cursorLine = 0;
    QStringList m_committed;  // the table as last told
};

}  // namespace norak
