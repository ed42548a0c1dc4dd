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
    void activeTableEdited(const QStringList& lines);

  private:
    QPlainTextEdit* m_active = nullptr;
};

}  // namespace norak
