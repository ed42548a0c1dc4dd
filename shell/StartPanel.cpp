#include "shell/StartPanel.h"

#include <QLabel>
#include <QPalette>

#include "engine/MakerSite.h"
#include "platform/qt/JpegImage.h"
#include "shell/Glyphs.h"
#include "shell/controls/EffectLabel.h"
#include "shell/controls/FlatButton.h"
#include "shell/controls/FlatPanel.h"
#include "shell/controls/Fonts.h"
#include "shell/controls/UrlLabel.h"

namespace norak {

namespace {

const QString kZevezPicture = QStringLiteral(":/pictures/start/zevez.jpg");
const QString kFutbolPicture = QStringLiteral(":/pictures/start/futbol.jpg");
const QString kFutSalPicture = QStringLiteral(":/pictures/start/futsal.jpg");
const QString kFunderPicture = QStringLiteral(":/pictures/funder.jpg");

const QColor kButtonFace(255, 255, 255);
const QColor kButtonBorder(185, 185, 185);
const QColor kButtonHighlight(240, 152, 19);
const QColor kSilver(192, 192, 192);
const QColor kMaroon(128, 0, 0);
const QColor kGrey(128, 128, 128);
const QColor kNavy(0, 0, 128);
const QColor kLegalLineColor(255, 255, 176);
const QColor kNoticeGround(240, 240, 240);
// Shown where the start picture is missing, dark enough for the silver title.
const QColor kPlainGround(72, 80, 88);

constexpr int kButtonGlyphSize = 40;
constexpr QPoint kFundingPanelPos{8, 8};
constexpr QRect kFunderLogoRect{20, 26, 120, 60};  // the size is that of the logo when it is missing
constexpr int kFundingCaptionTop = 7;
constexpr int kAuthorsLeft = 16;
constexpr int kAuthorsTop = 500;
constexpr int kAuthorsLineStep = 20;
constexpr int kBottomMargin = 4;
constexpr int kRightMargin = 8;

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, const QFont& font,
                  const QColor& color) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, color);
    label->setPalette(pal);
    label->adjustSize();
    return label;
}

QPixmap pictureOrNone(const QString& path) {
    const QImage image = loadJpegResource(path);
    return image.isNull() ? QPixmap() : QPixmap::fromImage(image);
}

}  // namespace

StartPanel::StartPanel(QWidget* parent) : QFrame(parent) {
    installFontSubstitutions();
    setObjectName(QStringLiteral("PanelInicio"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kPlainGround);
    setPalette(pal);

    m_imagePpal = new QLabel(this);
    m_imagePpal->setObjectName(QStringLiteral("ImagePpal"));
    m_imagePpal->setScaledContents(true);
    m_imagePpal->setAccessibleName(QStringLiteral("Imagen de inicio"));
    m_picturePath = kZevezPicture;
    m_imagePpal->setPixmap(pictureOrNone(m_picturePath));

    m_labelEffect3 = new EffectLabel(this);
    m_labelEffect3->setObjectName(QStringLiteral("LabelEffect3"));
    m_labelEffect3->setEffect(EffectLabel::Effect::Shadow);
    m_labelEffect3->setTextColor(kSilver);
    m_labelEffect3->setShadowColor(QColor(40, 40, 40));
    m_labelEffect3->setShadowOffset(QPoint(3, 3));
    m_labelEffect3->setCaptionFont(QStringLiteral("Arial Black"), 49, false, true);
    m_labelEffect3->setCentred(true);
    m_labelEffect3->setGeometry(QRect(QPoint(0, kTitleLabelTop), kTitleLabelSize));

    m_labelEffect4 = new EffectLabel(this);
    m_labelEffect4->setObjectName(QStringLiteral("LabelEffect4"));
    m_labelEffect4->setEffect(EffectLabel::Effect::Sunken);
    m_labelEffect4->setTextColor(kMaroon);
    m_labelEffect4->setCaptionFont(QStringLiteral("Arial"), 19, false, true);
    m_labelEffect4->setCentred(true);
    m_labelEffect4->setGeometry(QRect(QPoint(0, kSportLabelTop), kSportLabelSize));

    buildCredits();

    const EditionRecord build = editionRecord(kBuildEdition);
    const QColor dark(build.colorDark.r, build.colorDark.g, build.colorDark.b);
    const QColor light(build.colorLight.r, build.colorLight.g, build.colorLight.b);

    m_acercade = new FlatButton(this);
    m_acercade->setObjectName(QStringLiteral("Acercade"));
    m_acercade->setFaceColor(kButtonFace);
    m_acercade->setBorderColor(kButtonBorder);
    m_acercade->setHighlightColor(kButtonHighlight);
    m_acercade->setGlyphLayout(FlatButton::GlyphLayout::Alone);
    m_acercade->setGlyphPainter(glyphPainter(Glyph::Info), QSize(kButtonGlyphSize, kButtonGlyphSize));
    m_acercade->setGlyphColors(dark, light);
    m_acercade->setHint(QStringLiteral("Acerca de..."));
    m_acercade->resize(kAcercadeSize);

    m_bitBtnEmpezar = new FlatButton(this);
    m_bitBtnEmpezar->setObjectName(QStringLiteral("BitBtnEmpezar"));
    m_bitBtnEmpezar->setFaceColor(kButtonFace);
    m_bitBtnEmpezar->setBorderColor(kButtonBorder);
    m_bitBtnEmpezar->setHighlightColor(kButtonHighlight);
    m_bitBtnEmpezar->setGlyphLayout(FlatButton::GlyphLayout::Left);
    m_bitBtnEmpezar->setGlyphPainter(glyphPainter(Glyph::Start), QSize(kButtonGlyphSize, kButtonGlyphSize));
    m_bitBtnEmpezar->setGlyphColors(dark, light);
    m_bitBtnEmpezar->setCaption(QStringLiteral("&Empezar..."));
    m_bitBtnEmpezar->setCaptionFont(pixelFont(QStringLiteral("Arial"), 19, true, true));
    m_bitBtnEmpezar->setCaptionColor(kGrey);
    m_bitBtnEmpezar->resize(kEmpezarSize);

    connect(m_bitBtnEmpezar, &FlatButton::clicked, this, [this] {
        hide();
        Q_EMIT empezarClicked();
    });
    connect(m_acercade, &FlatButton::clicked, this, &StartPanel::aboutClicked);

    setFocusProxy(m_bitBtnEmpezar);
}

void StartPanel::buildCredits() {
    const QFont authorFont = pixelFont(QStringLiteral("Arial"), 15, true, false);
    m_label34 = makeLabel(this, QStringLiteral("Label34"), QStringLiteral("Autores:"), authorFont, kGrey);
    m_label39 = makeLabel(this, QStringLiteral("Label39"), QStringLiteral("Dirección científica del test"),
                          authorFont, kNavy);
    m_label40 = makeLabel(this, QStringLiteral("Label40"), QStringLiteral("Desarrollo del programa"),
                          authorFont, kNavy);
    m_label34->move(kAuthorsLeft, kAuthorsTop);
    m_label39->move(kAuthorsLeft, kAuthorsTop + kAuthorsLineStep);
    m_label40->move(kAuthorsLeft, kAuthorsTop + 2 * kAuthorsLineStep);

    m_flatPanel5 = new FlatPanel(this);
    m_flatPanel5->setObjectName(QStringLiteral("FlatPanel5"));
    m_flatPanel5->setColor(kLegalLineColor);
    m_flatPanel5->setFont(pixelFont(QStringLiteral("Arial"), 9));
    m_flatPanel5->setGeometry(QRect(QPoint(0, kLegalLineInitialTop), kLegalLineSize));

    m_label2 =
        makeLabel(this, QStringLiteral("Label2"), QString(), pixelFont(QStringLiteral("Arial"), 9), kGrey);
    // Small grey print: on its own light ground it stays readable over any picture.
    m_label2->setAutoFillBackground(true);
    m_label2->setContentsMargins(3, 0, 3, 0);
    QPalette ground = m_label2->palette();
    ground.setColor(QPalette::Window, kNoticeGround);
    m_label2->setPalette(ground);

    m_urlLabel4 = new UrlLabel(this);
    m_urlLabel4->setObjectName(QStringLiteral("URLLabel4"));
    m_urlLabel4->setLinkFont(pixelFont(QStringLiteral("Arial"), 11));
    m_urlLabel4->setLinkColor(QColor(0, 0, 255));
    m_urlLabel4->setCaption(makerHomePage());
    m_urlLabel4->adjustSize();

    m_panelFinanciado = new FlatPanel(this);
    m_panelFinanciado->setObjectName(QStringLiteral("PanelFinanciado"));
    m_panelFinanciado->setColor(QColor(255, 255, 255));
    m_panelFinanciado->move(kFundingPanelPos);
    m_labelFinanciado = makeLabel(m_panelFinanciado, QStringLiteral("LabelFinanciado"),
                                  QStringLiteral("Proyecto NORAK, financiado por:"),
                                  pixelFont(QStringLiteral("Arial"), 9, true), kGrey);
    m_labelFinanciado->move(0, kFundingCaptionTop);
    m_imageFinanciado = new QLabel(m_panelFinanciado);
    m_imageFinanciado->setObjectName(QStringLiteral("ImageFinanciado"));
    m_imageFinanciado->setScaledContents(true);
    m_imageFinanciado->setAccessibleName(QStringLiteral("Logotipo de la entidad financiadora"));
    // The logo keeps its own size; the panel is fitted around it at layout time.
    const QPixmap logo = pictureOrNone(kFunderPicture);
    m_imageFinanciado->setGeometry(
        QRect(kFunderLogoRect.topLeft(), logo.isNull() ? kFunderLogoRect.size() : logo.size()));
    m_imageFinanciado->setPixmap(logo);

    for (QWidget* w : {static_cast<QWidget*>(m_label34), static_cast<QWidget*>(m_label39),
                       static_cast<QWidget*>(m_label40), static_cast<QWidget*>(m_flatPanel5),
                       static_cast<QWidget*>(m_label2), static_cast<QWidget*>(m_urlLabel4),
                       static_cast<QWidget*>(m_panelFinanciado)})
        w->hide();
}

void StartPanel::setUpEdition(const EditionRecord& edition) {
    setStartPicture(edition.edition);
    setLegalLine(legalLineForEdition(edition.edition));
    setHeadings(edition.editionTitle, edition.sportName);
    setLegalNotice(legalNoticeFor(edition.editionTitle));
    setGlyphColors(QColor(edition.colorDark.r, edition.colorDark.g, edition.colorDark.b),
                   QColor(edition.colorLight.r, edition.colorLight.g, edition.colorLight.b));
}

void StartPanel::setStartPicture(int sportEdition) {
    QString path;
    if (sportEdition == kEditionProbst || sportEdition == kEditionFutbol)
        path = kFutbolPicture;
    else if (sportEdition == kEditionFutSal)
        path = kFutSalPicture;
    else
        return;
    m_picturePath = path;
    m_imagePpal->setPixmap(pictureOrNone(path));
}

void StartPanel::setHeadings(const QString& editionTitle, const QString& sportName) {
    m_labelEffect3->setCaption(QLatin1Char(' ') + editionTitle + QLatin1Char(' '));
    m_labelEffect4->setCaption(QStringLiteral("Quelmar en ") + sportName);
}

void StartPanel::setLegalLine(const QString& text) {
    m_flatPanel5->setCaption(text);
}

void StartPanel::setLegalNotice(const QString& text) {
    m_label2->setText(text);
    m_label2->adjustSize();
}

void StartPanel::setGlyphColors(const QColor& color0, const QColor& color1) {
    m_acercade->setGlyphColors(color0, color1);
    m_bitBtnEmpezar->setGlyphColors(color0, color1);
}

void StartPanel::setDesktopShell(DesktopShell* shell) {
    m_urlLabel4->setDesktopShell(shell);
}

void StartPanel::layOut(int editionVariant) {
    // The funding panel wraps its logo; its caption is centred above it.
    m_panelFinanciado->resize(fundingPanelSize(m_imageFinanciado->geometry()));
    m_labelFinanciado->move(centredLeft(m_panelFinanciado->width(), m_labelFinanciado->width()),
                            m_labelFinanciado->y());

    // Cover the whole client area, in front of everything.
    if (parentWidget())
        setGeometry(parentWidget()->rect());
    raise();

    // Headings centred in the panel, the legal texts in the client width.
    m_labelEffect3->move(centredLeft(width(), m_labelEffect3->width()), m_labelEffect3->y());
    m_labelEffect4->move(centredLeft(width(), m_labelEffect4->width()), m_labelEffect4->y());
    const int clientWidth = parentWidget() ? parentWidget()->width() : width();
    placeBottomTexts(clientWidth);

    // 4-5. The two buttons side by side above the legal line.
    const QRect empezar =
        empezarGeometry(width(), m_acercade->size(), m_bitBtnEmpezar->size(), m_flatPanel5->y());
    m_bitBtnEmpezar->setGeometry(empezar);
    m_acercade->setGeometry(acercadeGeometry(empezar, m_acercade->size()));

    // Credit elements by edition variant.
    setCreditVisibility(creditVisibilityForVariant(editionVariant, creditVisibility()));
}

void StartPanel::placeBottomTexts(int clientWidth) {
    m_label2->move(centredLeft(clientWidth, m_label2->width()),
                   height() - m_label2->height() - kBottomMargin);
    m_flatPanel5->move(centredLeft(clientWidth, m_flatPanel5->width()), m_flatPanel5->y());
    m_urlLabel4->move(width() - m_urlLabel4->width() - kRightMargin,
                      height() - m_urlLabel4->height() - kBottomMargin);
}

CreditVisibility StartPanel::creditVisibility() const {
    CreditVisibility v;
    v.authors = !m_label34->isHidden();
    v.legalLine = !m_flatPanel5->isHidden();
    v.legalNotice = !m_label2->isHidden();
    v.webLink = !m_urlLabel4->isHidden();
    v.funding = !m_panelFinanciado->isHidden();
    return v;
}

void StartPanel::setCreditVisibility(const CreditVisibility& v) {
    m_label34->setVisible(v.authors);
    m_label39->setVisible(v.authors);
    m_label40->setVisible(v.authors);
    m_flatPanel5->setVisible(v.legalLine);
    m_label2->setVisible(v.legalNotice);
    m_urlLabel4->setVisible(v.webLink);
    m_panelFinanciado->setVisible(v.funding);
}

QString StartPanel::legalLineForEdition(int sportEdition) {
    if (sportEdition == kEditionFutSal)
        return QString();
    return editionRecord(sportEdition).editionTitle +
           QStringLiteral(" · Depósito legal e ISBN: pendientes de asignación");
}

QString StartPanel::legalNoticeFor(const QString& editionTitle) {
    return editionTitle + QStringLiteral(" es un producto registrado; reservados todos los derechos.");
}

void StartPanel::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    m_imagePpal->setGeometry(contentsRect());
}

}  // namespace norak
