#include "shell/ParametersPanel.h"

#include <QEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <functional>

#include "engine/Edition.h"
#include "shell/controls/Fonts.h"

namespace norak {

namespace {

// The active table's edit knows whether a change comes from keys typed into the line (which wait
// for the line to be complete) or from anything else: a paste, the program.
class ActiveTableEdit : public QPlainTextEdit {
  public:
    using QPlainTextEdit::QPlainTextEdit;

    bool isTyping() const { return m_typing; }
    std::function<void()> onLineFinished;

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        const bool lineFinished = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        m_typing = !event->matches(QKeySequence::Paste) && !lineFinished;
        QPlainTextEdit::keyPressEvent(event);
        m_typing = false;
        if (lineFinished && onLineFinished)
            onLineFinished();
    }
    void inputMethodEvent(QInputMethodEvent* event) override {
        m_typing = true;
        QPlainTextEdit::inputMethodEvent(event);
        m_typing = false;
    }

  private:
    bool m_typing = false;
};

void setUpTableEdit(QPlainTextEdit* edit, const QString& name, const QStringList& lines,
                    const QString& heading) {
    edit->setObjectName(name);
    edit->setPlainText(lines.join(QLatin1Char('\n')));
    edit->setFont(pixelFont(QStringLiteral("MS Sans Serif"), 11));
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit->setAccessibleDescription(heading);
}

QPlainTextEdit* makeTableEdit(QWidget* parent, const QString& name, const QStringList& lines,
                              const QString& heading) {
    auto* edit = new QPlainTextEdit(parent);
    setUpTableEdit(edit, name, lines, heading);
    return edit;
}

QLabel* makeHeading(QWidget* parent, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setFont(pixelFont(QStringLiteral("Arial"), 11, true));
    label->setAlignment(Qt::AlignCenter);
    return label;
}

}  // namespace

ParametersPanel::ParametersPanel(const QStringList& activeTable, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PanelParametros"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(212, 208, 200));
    setPalette(pal);

    // Only the left strip of the panel lies inside the window, from its top edge down: the
    // active table stands there, where the operator can see and edit it.
    const int top = 56;  // the part above lies outside the window
    makeHeading(this, QStringLiteral("Activa"))->setGeometry(2, top, 60, 16);
    auto* active = new ActiveTableEdit(this);
    setUpTableEdit(active, QStringLiteral("MemoPeriodoN"), activeTable, QStringLiteral("Tabla activa"));
    active->onLineFinished = [this] { commitEdit(); };
    m_active = active;
    m_committed = this->activeTable();
    m_active->setStyleSheet(QStringLiteral("QPlainTextEdit { background: rgb(255,255,128); }"));
    m_active->setGeometry(2, top + 16, 60, 267 - top - 18);
    connect(m_active, &QPlainTextEdit::textChanged, this, [this] {
        if (!static_cast<ActiveTableEdit*>(m_active)->isTyping() ||
            m_active->textCursor().blockNumber() != m_cursorLine)
            commitEdit();
    });
    connect(m_active, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        if (m_active->textCursor().blockNumber() != m_cursorLine)
            commitEdit();
    });
    m_active->installEventFilter(this);

    struct Source {
        int edition;
        const char* name;
        const char* heading;
    };
    const Source sources[] = {{kEditionFutbol, "MemoPeriodoN_FUTBOL", "Fútbol"},
                              {kEditionBasket, "MemoPeriodoN_BASKET", "Baloncesto"},
                              {kEditionFutSal, "MemoPeriodoN_FS", "Fútbol-Sala"},
                              {kEditionZevez, "MemoPeriodoN_ZEVEZ", "Voleibol"}};
    int x = 68;
    const int columnWidth = 70;
    for (const Source& s : sources) {
        const QString heading = QString::fromUtf8(s.heading);
        makeHeading(this, heading)->setGeometry(x, 4, columnWidth, 16);
        const int height = s.edition == kEditionFutbol ? 118 : 259;
        makeTableEdit(this, QString::fromLatin1(s.name), sourcePeriodTable(s.edition), heading)
            ->setGeometry(x, 20, columnWidth, height - 20 + 4);
        if (s.edition == kEditionFutbol) {
            makeHeading(this, QStringLiteral("Probst"))->setGeometry(x, 126, columnWidth, 16);
            makeTableEdit(this, QStringLiteral("MemoPeriodoN_FUTBOL_PROBST"),
                          sourcePeriodTable(kEditionProbst), QStringLiteral("Probst"))
                ->setGeometry(x, 142, columnWidth, 121);
        }
        x += columnWidth + 2;
    }
}

bool ParametersPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_active && event->type() == QEvent::FocusOut)
        commitEdit();
    return QWidget::eventFilter(watched, event);
}

void ParametersPanel::commitEdit() {
    m_cursorLine = m_active->textCursor().blockNumber();
    // One key can move the cursor and change the text: the table is told once per change.
    const QStringList table = activeTable();
    if (table == m_committed)
        return;
    m_committed = table;
    Q_EMIT activeTableEdited(table);
}

QStringList ParametersPanel::activeTable() const {
    return m_active->toPlainText().split(QLatin1Char('\n'));
}

}  // namespace norak
