#include "shell/HelpPanel.h"

#include <QFile>
#include <QLabel>
#include <QPalette>
#include <QPlainTextEdit>

#include "platform/qt/JpegImage.h"
#include "shell/Glyphs.h"
#include "shell/HelpPanelLayout.h"
#include "shell/controls/FlatButton.h"
#include "shell/controls/Fonts.h"

namespace norak {

namespace {

const QColor kWhite(255, 255, 255);
const QColor kCloseFace(221, 221, 221);
const QColor kCloseBorder(170, 170, 170);
const QColor kCloseHighlight(240, 152, 19);
const QColor kCloseGlyphDisc(192, 57, 43);
constexpr int kCloseGlyphSize = 18;
constexpr QSize kInitialMemoSize{485, 525};

QString helpResource(Course course) {
    switch (course) {
        case Course::Futbol:
            return QStringLiteral(":/help/futbol.txt");
        case Course::Basket:
            return QStringLiteral(":/help/basket.txt");
        case Course::FutSal:
            return QStringLiteral(":/help/futsal.txt");
        case Course::Zevez:
            return QStringLiteral(":/help/zevez.txt");
    }
    return {};
}

void paintWhite(QWidget* widget, QPalette::ColorRole role) {
    QPalette pal = widget->palette();
    pal.setColor(role, kWhite);
    widget->setPalette(pal);
}

}  // namespace

HelpPanel::HelpPanel(QWidget* parent) : QFrame(parent) {
    installFontSubstitutions();
    setObjectName(QStringLiteral("ScrollBox1"));
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(true);
    paintWhite(this, QPalette::Window);

    m_imageHlpFutbol =
        makeDrawing(QStringLiteral("ImageHlp_Futbol"), QStringLiteral(":/pictures/help/futbol.jpg"),
                    kHelpDrawingRect, QStringLiteral("fútbol"));
    m_imageHlpBasket =
        makeDrawing(QStringLiteral("ImageHlp_Basket"), QStringLiteral(":/pictures/help/basket.jpg"),
                    kHelpBasketDrawingRect, QStringLiteral("baloncesto"));
    m_imageHlpFutSal =
        makeDrawing(QStringLiteral("ImageHlp_FutSal"), QStringLiteral(":/pictures/help/futsal.jpg"),
                    kHelpDrawingRect, QStringLiteral("fútbol sala"));
    m_imageHlpZevez =
        makeDrawing(QStringLiteral("ImageHlp_Zevez"), QStringLiteral(":/pictures/help/zevez.jpg"),
                    kHelpDrawingRect, QStringLiteral("voleibol"));

    m_memo1 = new QPlainTextEdit(this);
    m_memo1->setObjectName(QStringLiteral("Memo1"));
    m_memo1->setAccessibleDescription(QStringLiteral("Ayuda"));
    m_memo1->setFrameShape(QFrame::NoFrame);
    m_memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_memo1->setFont(pixelFont(QStringLiteral("Arial"), 14));
    paintWhite(m_memo1, QPalette::Base);
    m_memo1->setGeometry(QRect(QPoint(kHelpDrawingRect.right() + 21, kHelpMemoTop), kInitialMemoSize));

    m_memoTextoFutbol = makeStore(QStringLiteral("MemoTexto_Futbol"), Course::Futbol);
    m_memoTextoBasket = makeStore(QStringLiteral("MemoTexto_Basket"), Course::Basket);
    m_memoTextoFutSal = makeStore(QStringLiteral("MemoTexto_FutSal"), Course::FutSal);
    m_memoTextoZevez = makeStore(QStringLiteral("MemoTexto_Zevez"), Course::Zevez);

    m_bitBtn3 = new FlatButton(this);
    m_bitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    m_bitBtn3->setFaceColor(kCloseFace);
    m_bitBtn3->setBorderColor(kCloseBorder);
    m_bitBtn3->setHighlightColor(kCloseHighlight);
    m_bitBtn3->setGlyphLayout(FlatButton::GlyphLayout::Left);
    m_bitBtn3->setGlyphPainter(glyphPainter(Glyph::Close), QSize(kCloseGlyphSize, kCloseGlyphSize));
    m_bitBtn3->setGlyphColors(kCloseGlyphDisc, kWhite);
    m_bitBtn3->setCaption(QStringLiteral(" Cerrar ventana"));
    m_bitBtn3->setCaptionFont(pixelFont(QStringLiteral("MS Sans Serif"), 11));
    m_bitBtn3->resize(kHelpCloseButtonSize);
    connect(m_bitBtn3, &FlatButton::clicked, this, &HelpPanel::closeHelp);

    hide();
}

QLabel* HelpPanel::makeDrawing(const QString& name, const QString& picture, const QRect& bounds,
                               const QString& sport) {
    auto* drawing = new QLabel(this);
    drawing->setObjectName(name);
    drawing->setScaledContents(true);
    drawing->setAccessibleName(QStringLiteral("Dibujo del circuito de ") + sport);
    drawing->setGeometry(bounds);
    const QImage image = loadJpegResource(picture);
    if (!image.isNull())
        drawing->setPixmap(QPixmap::fromImage(image));
    drawing->hide();
    return drawing;
}

QPlainTextEdit* HelpPanel::makeStore(const QString& name, Course course) {
    auto* store = new QPlainTextEdit(this);
    store->setObjectName(name);
    store->setPlainText(helpText(course));
    store->hide();
    return store;
}

QString HelpPanel::helpText(Course course) {
    QFile file(helpResource(course));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    while (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

QLabel* HelpPanel::imageHlp(Course course) const {
    switch (course) {
        case Course::Futbol:
            return m_imageHlpFutbol;
        case Course::Basket:
            return m_imageHlpBasket;
        case Course::FutSal:
            return m_imageHlpFutSal;
        case Course::Zevez:
            return m_imageHlpZevez;
    }
    return nullptr;
}

QPlainTextEdit* HelpPanel::memoTexto(Course course) const {
    switch (course) {
        case Course::Futbol:
            return m_memoTextoFutbol;
        case Course::Basket:
            return m_memoTextoBasket;
        case Course::FutSal:
            return m_memoTextoFutSal;
        case Course::Zevez:
            return m_memoTextoZevez;
    }
    return nullptr;
}

void HelpPanel::openHelp(int sportEdition) {
    // Cover the client area and show.
    if (parentWidget())
        setGeometry(parentWidget()->rect());
    show();

    // 2-4. Drawings centred vertically, the text area to their right, the button below it.
    const HelpPanelGeometry g =
        helpPanelLayout(size(), m_imageHlpZevez->geometry(), m_memo1->y(), m_bitBtn3->size());
    for (Course c : {Course::Zevez, Course::Futbol, Course::Basket, Course::FutSal})
        imageHlp(c)->move(imageHlp(c)->x(), g.drawingTop);
    m_memo1->setGeometry(g.memo);
    m_bitBtn3->setGeometry(g.closeButton);
    // The text area reaches a few pixels below the top of the button; the button stays clickable.
    m_bitBtn3->raise();

    // The sport's drawing and text.
    if (const std::optional<Course> course = helpCourseForEdition(sportEdition)) {
        QLabel* drawing = imageHlp(*course);
        drawing->raise();
        drawing->show();
        m_memo1->setPlainText(memoTexto(*course)->toPlainText());
    }

    // In front of everything.
    raise();
}

void HelpPanel::closeHelp() {
    hide();
    Q_EMIT closed();
}

}  // namespace norak
