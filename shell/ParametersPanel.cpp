#include "shell/ParametersPanel.h"

#include <QLabel>
#include <QPlainTextEdit>

#include "engine/Edition.h"
#include "shell/controls/Fonts.h"

namespace norak {

namespace {

QPlainTextEdit* makeTableEdit(QWidget* parent, const QString& name, const QStringList& lines,
                              const QString& heading) {
    auto* edit = new QPlainTextEdit(parent);
    edit->setObjectName(name);
    edit->setPlainText(lines.join(QLatin1Char('\n')));
    edit->setFont(pixelFont(QStringLiteral("MS Sans Serif"), 11));
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit->setAccessibleDescription(heading);
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
    m_active =
        makeTableEdit(this, QStringLiteral("MemoPeriodoN"), activeTable, QStringLiteral("Tabla activa"));
    m_active->setStyleSheet(QStringLiteral("QPlainTextEdit { background: rgb(255,255,128); }"));
    m_active->setGeometry(2, top + 16, 60, 267 - top - 18);
    connect(m_active, &QPlainTextEdit::textChanged, this,
            [this] { Q_EMIT activeTableEdited(this->activeTable()); });

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

QStringList ParametersPanel::activeTable() const {
    return m_active->toPlainText().split(QLatin1Char('\n'));
}

}  // namespace norak
