#include "shell/UnitINI.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

#include "engine/Edition.h"
#include "engine/FrontEditionInfo.h"
#include "engine/MakerSite.h"
#include "engine/ProgramDir.h"
#include "platform/qt/JpegImage.h"
#include "shell/FrontGlyphs.h"
#include "shell/controls/EffectLabel.h"
#include "shell/controls/FlatButton.h"
#include "shell/controls/FlatListBox.h"
#include "shell/controls/FlatPanel.h"
#include "shell/controls/Fonts.h"
#include "shell/controls/UrlLabel.h"

namespace norak {

namespace {

const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);
const QColor kGrey(128, 128, 128);
const QColor kSilver(192, 192, 192);
const QColor kNavy(0, 0, 128);
const QColor kListGround(228, 228, 228);
const QColor kHighlight(240, 152, 19);

constexpr int kClientWidth = 323;
constexpr int kClientHeight = 322;
constexpr QSize kNominalLogoSize(303, 40);  // the logo's size, kept when the picture is missing
constexpr int kInfoRowHeight = 15;

// The mouse cursor of the whole screen back to the default one.
void setDefaultScreenCursor() {
    while (QGuiApplication::overrideCursor() != nullptr)
        QGuiApplication::restoreOverrideCursor();
}

// The hourglass for the lifetime of the object, also when an exception leaves the scope.
class HourglassCursor {
  public:
    HourglassCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~HourglassCursor() { setDefaultScreenCursor(); }
    HourglassCursor(const HourglassCursor&) = delete;
    HourglassCursor& operator=(const HourglassCursor&) = delete;
};

QLabel* makeLabel(QWidget* parent, const char* name, const QFont& font, const QColor& color,
                  Qt::Alignment alignment) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, color);
    label->setPalette(pal);
    label->setAlignment(alignment);
    return label;
}

// A label that takes the width of its text, like an auto-sized label.
void setAutoSizedText(QLabel* label, const QString& text) {
    label->setText(text);
    label->resize(QFontMetrics(label->font()).horizontalAdvance(text), kInfoRowHeight);
}

FlatButton* makeFlatButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new FlatButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setCaption(caption);
    button->setFaceColor(kWhite);
    button->setBorderColor(kGrey);
    button->setHighlightColor(kHighlight);
    button->setPressedColor(QColor(236, 236, 236));
    return button;
}

FlatListBox* makeCreditsList(QWidget* parent, const char* name, const QColor& ground) {
    auto* list = new FlatListBox(parent);
    list->setObjectName(QLatin1String(name));
    list->setFont(pixelFont(QStringLiteral("MS Sans Serif"), 9));
    list->setColors(ground, kNavy);
    list->setRowHeight(12);
    list->setRows(creditsRows(QLatin1String(name)));
    list->setAccessibleName(QStringLiteral("Créditos"));
    list->hide();
    return list;
}

}  // namespace

TFormINI::TFormINI(Platform& platform, HandOver& handOver, MainWindowFactory mainWindowFactory,
                   QWidget* parent)
    : QDialog(parent),
      m_platform(platform),
      m_handOver(handOver),
      m_mainWindowFactory(std::move(mainWindowFactory)) {
    setObjectName(QStringLiteral("TFormINI"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setWindowTitle(QStringLiteral("NORAK"));
    setFont(pixelFont(QStringLiteral("MS Sans Serif"), 11));
    setFixedSize(kClientWidth, kClientHeight);
    m_handOver.setCurrent(this);

    createControls();
    FormCreate();

    QScreen* screen = parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr)
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));

    Timer_Inicio->start();
}

TFormINI::~TFormINI() = default;

void TFormINI::createControls() {
    const QFont arial12 = pixelFont(QStringLiteral("Arial"), 12);

    PanelAbout = new FlatPanel(this);
    PanelAbout->setObjectName(QStringLiteral("PanelAbout"));
    PanelAbout->setColor(kWhite);
    PanelAbout->setFrame(FlatPanel::Frame::Line);
    PanelAbout->setFrameColor(kBlack);
    PanelAbout->setGeometry(0, 0, kClientWidth, kClientHeight);

    LabelEffect3 = new EffectLabel(PanelAbout);
    LabelEffect3->setObjectName(QStringLiteral("LabelEffect3"));
    LabelEffect3->setEffect(EffectLabel::Effect::Shadow);
    LabelEffect3->setTextColor(kSilver);
    LabelEffect3->setShadowColor(kGrey);
    LabelEffect3->setCaptionFont(QStringLiteral("Arial Black"), 27, true, true);
    LabelEffect3->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    LabelEffect3->setGeometry(7, 7, 308, 77);

    Label2 = makeLabel(PanelAbout, "Label2", pixelFont(QStringLiteral("MS Sans Serif"), 11), kGrey,
                       Qt::AlignHCenter | Qt::AlignTop);
    Label2->setWordWrap(true);
    Label2->setGeometry(63, 43, 196, 46);

    Panel_Version = new FlatPanel(PanelAbout);
    Panel_Version->setObjectName(QStringLiteral("Panel_Version"));
    Panel_Version->setTransparent(true);
    Panel_Version->setFrame(FlatPanel::Frame::Line);
    Panel_Version->setFrameColor(kGrey);
    Panel_Version->setGeometry(18, 76, 282, 144);
    Panel_Version->hide();

    Btn_Version = makeFlatButton(Panel_Version, "Btn_Version", QStringLiteral("Versión"));
    Btn_Version->setCaptionColor(kGrey);
    Btn_Version->setGeometry(0, 0, 141, 17);
    Btn_Autores = makeFlatButton(Panel_Version, "Btn_Autores", QStringLiteral("Autores"));
    Btn_Autores->setCaptionColor(kSilver);
    Btn_Autores->setGeometry(140, 0, 142, 17);

    FlatPanel_Info = new FlatPanel(Panel_Version);
    FlatPanel_Info->setObjectName(QStringLiteral("FlatPanel_Info"));
    FlatPanel_Info->setColor(kWhite);
    FlatPanel_Info->setFrame(FlatPanel::Frame::Line);
    FlatPanel_Info->setFrameColor(kGrey);
    FlatPanel_Info->setGeometry(0, 16, 282, 105);

    const Qt::Alignment nameAlignment = Qt::AlignRight | Qt::AlignVCenter;
    const Qt::Alignment valueAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    LabelTitulo1 = makeLabel(FlatPanel_Info, "LabelTitulo1", arial12, kGrey, nameAlignment);
    LabelTitulo2 = makeLabel(FlatPanel_Info, "LabelTitulo2", arial12, kNavy, valueAlignment);
    LabelVersion1 = makeLabel(FlatPanel_Info, "LabelVersion1", arial12, kGrey, nameAlignment);
    LabelVersion2 = makeLabel(FlatPanel_Info, "LabelVersion2", arial12, kNavy, valueAlignment);
    LabelEdicion1 = makeLabel(FlatPanel_Info, "LabelEdicion1", arial12, kGrey, nameAlignment);
    LabelEdicion2 = makeLabel(FlatPanel_Info, "LabelEdicion2", arial12, kBlack, valueAlignment);
    LabelIdioma1 = makeLabel(FlatPanel_Info, "LabelIdioma1", arial12, kGrey, nameAlignment);
    LabelIdiomaWin2 = makeLabel(FlatPanel_Info, "LabelIdiomaWin2", arial12, kBlack, valueAlignment);
    setAutoSizedText(LabelTitulo1, QStringLiteral("Título:"));
    setAutoSizedText(LabelVersion1, QStringLiteral("Versión:"));
    setAutoSizedText(LabelEdicion1, QStringLiteral("Edición:"));
    setAutoSizedText(LabelIdioma1, QStringLiteral("Idioma:"));
    setAutoSizedText(LabelTitulo2, QString());
    setAutoSizedText(LabelVersion2, QString());
    setAutoSizedText(LabelEdicion2, QString());
    setAutoSizedText(LabelIdiomaWin2, languageText());
    LabelTitulo2->setAccessibleDescription(LabelTitulo1->text());
    LabelVersion2->setAccessibleDescription(LabelVersion1->text());
    LabelEdicion2->setAccessibleDescription(LabelEdicion1->text());
    LabelIdiomaWin2->setAccessibleDescription(LabelIdioma1->text());

    Panel_Autores = new FlatPanel(Panel_Version);
    Panel_Autores->setObjectName(QStringLiteral("Panel_Autores"));
    Panel_Autores->setColor(kWhite);
    Panel_Autores->setFrame(FlatPanel::Frame::Line);
    Panel_Autores->setFrameColor(kGrey);
    Panel_Autores->setGeometry(0, 16, 282, 105);
    ListBox_Futbol = makeCreditsList(Panel_Autores, "ListBox_Futbol", kListGround);
    ListBox_Basket = makeCreditsList(Panel_Autores, "ListBox_Basket", kWhite);
    ListBox_FutSal = makeCreditsList(Panel_Autores, "ListBox_FutSal", kListGround);
    ListBox_Zevez = makeCreditsList(Panel_Autores, "ListBox_Zevez", kListGround);

    Btn_Actualizacion = makeFlatButton(Panel_Version, "Btn_Actualizacion",
                                       QStringLiteral("Comprobar si hay actualizaciones..."));
    Btn_Actualizacion->setCaptionColor(kNavy);
    Btn_Actualizacion->setGlyph(updateGlyph(kNavy, QColor(200, 220, 255)));
    Btn_Actualizacion->setGeometry(0, 120, 282, 24);
    Btn_Bibliografia =
        makeFlatButton(Panel_Version, "Btn_Bibliografia", QStringLiteral("Consultar bibliografía..."));
    Btn_Bibliografia->setCaptionColor(kNavy);
    Btn_Bibliografia->setGlyph(bookGlyph(kNavy, QColor(255, 244, 214)));
    Btn_Bibliografia->setGeometry(0, 120, 282, 24);

    PanelOBA = new FlatPanel(PanelAbout);
    PanelOBA->setObjectName(QStringLiteral("PanelOBA"));
    PanelOBA->setColor(kWhite);
    PanelOBA->setFrame(FlatPanel::Frame::Line);
    PanelOBA->setFrameColor(kBlack);
    ImageOBA = new QLabel(PanelOBA);
    ImageOBA->setObjectName(QStringLiteral("ImageOBA"));
    ImageOBA->setAccessibleName(QStringLiteral("Quelmar"));
    ImageOBA->setToolTip(makerHomePage());
    const QImage logo = loadJpegResource(QStringLiteral(":/pictures/logo.jpg"));
    if (!logo.isNull())
        ImageOBA->setPixmap(QPixmap::fromImage(logo));
    ImageOBA->setGeometry(QRect(QPoint(1, 1), logo.isNull() ? kNominalLogoSize : logo.size()));

    LabelCopyRight = makeLabel(PanelAbout, "LabelCopyRight", pixelFont(QStringLiteral("MS Sans Serif"), 9),
                               kBlack, Qt::AlignHCenter | Qt::AlignTop);
    LabelCopyRight->setWordWrap(true);
    LabelCopyRight->setGeometry(39, 287, 247, 30);

    FlatButton4 = makeFlatButton(PanelAbout, "FlatButton4", QString());
    FlatButton4->setGlyphLayout(FlatButton::GlyphLayout::Alone);
    FlatButton4->setGlyph(closeGlyph(kGrey));
    FlatButton4->setBorderColor(kSilver);
    FlatButton4->setHint(QStringLiteral("Cerrar"));
    FlatButton4->setGeometry(302, 3, 18, 18);
    FlatButton4->hide();

    URL_Link_Internet = new UrlLabel(PanelAbout);
    URL_Link_Internet->setObjectName(QStringLiteral("URL_Link_Internet"));
    URL_Link_Internet->setDesktopShell(&m_platform.shell);
    URL_Link_Internet->setCaption(makerHomePage());
    URL_Link_Internet->hide();

    Timer_Inicio = new QTimer(this);
    Timer_Inicio->setObjectName(QStringLiteral("Timer_Inicio"));
    Timer_Inicio->setInterval(1000);

    Panel_Version->installEventFilter(this);
    FlatPanel_Info->installEventFilter(this);
    ImageOBA->installEventFilter(this);
    connect(Timer_Inicio, &QTimer::timeout, this, &TFormINI::Timer_InicioTimer);
    connect(Btn_Version, &QAbstractButton::clicked, this, &TFormINI::Btn_VersionClick);
    connect(Btn_Autores, &QAbstractButton::clicked, this, &TFormINI::Btn_AutoresClick);
    connect(Btn_Actualizacion, &QAbstractButton::clicked, this, &TFormINI::Btn_ActualizacionClick);
    connect(Btn_Bibliografia, &QAbstractButton::clicked, this, &TFormINI::Btn_BibliografiaClick);
    connect(FlatButton4, &QAbstractButton::clicked, this, &TFormINI::FlatButton4Click);
}

void TFormINI::FormCreate() {
    // The edition is a build constant.
    Edition = kBuildEdition;

    // Title, subtitle and legal notice of the edition.
    const FrontEditionInfo info = frontEditionInfo(Edition);
    LabelEffect3->setCaption(info.title);
    Label2->setText(info.subtitle);
    LabelCopyRight->setText(info.legalNotice);

    // The hand-over counts the timer's ticks from here.
    StartupTicks = 0;

    // The version panel spans the window with equal margins.
    setBoundsNotifying(Panel_Version,
                       QRect(Panel_Version->x(), Panel_Version->y(),
                             PanelAbout->width() - 2 * Panel_Version->x(), Panel_Version->height()));

    // Message boxes carry the edition's title from now on.
    QCoreApplication::setApplicationName(LabelEffect3->text());

    // The logo's frame, centred above the legal notice.
    const QSize picture = ImageOBA->size();
    const int obaWidth = picture.width() + 2;
    const int obaHeight = picture.height() + 2;
    PanelOBA->setGeometry(width() / 2 - obaWidth / 2,
                          PanelAbout->height() - LabelCopyRight->height() - obaHeight - 10, obaWidth,
                          obaHeight);

    // Version page values.
    setAutoSizedText(LabelTitulo2, LabelEffect3->text());
    setAutoSizedText(LabelEdicion2, editionYearText());
    setAutoSizedText(LabelVersion2, versionText());

    // The version page is open.
    FlatPanel_Info->raise();
    Btn_Actualizacion->raise();

    Panel_Version->show();
    Panel_Version->raise();

    // A busy cursor left by the start-up would otherwise stay over the windows.
    setDefaultScreenCursor();
}

void TFormINI::setBoundsNotifying(QWidget* widget, const QRect& bounds) {
    widget->setGeometry(bounds);
    // A hidden panel hears of its new size only when it is shown; its layout runs now all the same.
    runResizeHandler(widget);
}

void TFormINI::runResizeHandler(QObject* widget) {
    // Each size is laid out once: the toolkit's later notification of the same size (a hidden
    // panel's, delivered when it is shown) changes nothing, the stacking of the pages included.
    if (widget == Panel_Version && Panel_Version->size() != m_versionLaidOut)
        Panel_VersionResize();
    else if (widget == FlatPanel_Info && FlatPanel_Info->size() != m_infoLaidOut)
        FlatPanel_InfoResize();
}

bool TFormINI::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        runResizeHandler(watched);
    } else if (event->type() == QEvent::MouseButtonDblClick && watched == ImageOBA) {
        ImageOBADblClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TFormINI::Panel_VersionResize() {
    m_versionLaidOut = Panel_Version->size();
    const int w = Panel_Version->width();
    const int h = Panel_Version->height();
    Btn_Version->setGeometry(0, Btn_Version->y(), w / 2, Btn_Version->height());
    const int autoresLeft = Btn_Version->width() - 1;
    Btn_Autores->setGeometry(autoresLeft, Btn_Autores->y(), w - autoresLeft, Btn_Autores->height());
    Btn_Actualizacion->setGeometry(0, h - Btn_Actualizacion->height(), w, Btn_Actualizacion->height());
    Btn_Actualizacion->raise();
    Btn_Bibliografia->setGeometry(Btn_Actualizacion->geometry());
    const int infoTop = Btn_Version->height() - 1;
    setBoundsNotifying(FlatPanel_Info, QRect(0, infoTop, w, Btn_Actualizacion->y() - infoTop + 1));
}

void TFormINI::FlatPanel_InfoResize() {
    m_infoLaidOut = FlatPanel_Info->size();
    const int w = FlatPanel_Info->width();
    const int h = FlatPanel_Info->height();
    const int s = h / 16;
    const int e = s / 2;
    const int m = h / 2;
    const int row = LabelVersion1->height();

    const int versionTop = m - row - e;
    const int titleTop = versionTop - row - s;
    const int editionTop = m + e;
    const int languageTop = editionTop + row + s;
    const int valueLeft = w / 3;
    const struct {
        QLabel* name;
        QLabel* value;
        int top;
    } rows[] = {{LabelTitulo1, LabelTitulo2, titleTop},
                {LabelVersion1, LabelVersion2, versionTop},
                {LabelEdicion1, LabelEdicion2, editionTop},
                {LabelIdioma1, LabelIdiomaWin2, languageTop}};
    for (const auto& r : rows) {
        r.name->move(valueLeft - r.name->width() - 8, r.top);
        r.value->move(valueLeft, r.top);
    }

    Panel_Autores->setGeometry(FlatPanel_Info->geometry());
    const QRect listBounds(5, 5, Panel_Autores->width() - 10, Panel_Autores->height() - 10);
    for (FlatListBox* list : {ListBox_Futbol, ListBox_Basket, ListBox_FutSal, ListBox_Zevez})
        list->setGeometry(listBounds);
}

void TFormINI::Btn_VersionClick() {
    Btn_Autores->setCaptionColor(kSilver);
    Btn_Version->setCaptionColor(kGrey);
    FlatPanel_Info->raise();
    Btn_Actualizacion->raise();
}

FlatListBox* TFormINI::creditsListForEdition() const {
    switch (Edition) {
        case kEditionProbst:
        case kEditionFutbol:
            return ListBox_Futbol;
        case kEditionBasket:
            return ListBox_Basket;
        case kEditionFutSal:
            return ListBox_FutSal;
        case kEditionZevez:
            return ListBox_Zevez;
        default:
            return nullptr;
    }
}

void TFormINI::Btn_AutoresClick() {
    Btn_Autores->setCaptionColor(kGrey);
    Btn_Version->setCaptionColor(kSilver);
    if (FlatListBox* list = creditsListForEdition()) {
        list->raise();
        list->show();
    }
    Panel_Autores->raise();
    Btn_Bibliografia->raise();
}

void TFormINI::openProductPage() {
    if (Edition >= kEditionFutbol && Edition <= kEditionZevez)
        URL_Link_Internet->setCaption(frontEditionInfo(Edition).pageAddress);
    URL_Link_Internet->activate();
}

void TFormINI::Btn_ActualizacionClick() {
    openProductPage();
}

void TFormINI::Btn_BibliografiaClick() {
    openProductPage();
}

void TFormINI::ImageOBADblClick() {
    HourglassCursor hourglass;
    m_platform.shell.open(makerHomePage());
}

void TFormINI::FlatButton4Click() {
    QDialog::reject();
}

void TFormINI::reject() {
    // Escape closes an about box only; the start-up window goes by the hand-over alone.
    if (m_aboutMode)
        QDialog::reject();
}

void TFormINI::closeEvent(QCloseEvent* event) {
    // The start-up window closes like any window (when the application is told to terminate);
    // an about box closes as a dialog, ending its modal showing.
    if (m_aboutMode)
        QDialog::closeEvent(event);
    else
        QWidget::closeEvent(event);
}

void TFormINI::Timer_InicioTimer() {
    ++StartupTicks;
    if (StartupTicks < 2)
        return;
    if (m_handOver.hasHandedOver() || m_handOver.mainWindow() != nullptr)
        return;
    if (!m_mainWindowFactory)
        return;
    m_handOver.setMainWindow(nullptr);  // no second one, even while this one is being made
    QWidget* window = m_mainWindowFactory(m_handOver);
    m_handOver.setMainWindow(window);
    hide();
    if (window != nullptr)
        m_handOver.showModally(window);
}

QString TFormINI::GetProgramDir() const {
    return programDirOf(m_platform.files.programFilePath());
}

TFormINI* TFormINI::showAbout(QWidget* mainWindow, Platform& platform, HandOver& handOver) {
    if (mainWindow != nullptr && handOver.mainWindow() == nullptr && !handOver.hasHandedOver())
        handOver.setMainWindow(mainWindow);
    QPointer<TFormINI> about = new TFormINI(platform, handOver, {}, mainWindow);
    about->m_aboutMode = true;
    about->Panel_Version->show();
    about->Panel_Version->raise();
    about->FlatButton4->show();
    handOver.showModally(about);
    return about;
}

}  // namespace norak
