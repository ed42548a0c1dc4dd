#pragma once

#include <QDialog>
#include <QPointer>
#include <functional>

#include "platform/Platform.h"
#include "shell/HandOver.h"

class QLabel;
class QTimer;

namespace norak {

class EffectLabel;
class FlatButton;
class FlatListBox;
class FlatPanel;
class UrlLabel;

// The front window: the edition's title, version and credits pages, then the hand-over to the
// main test window at the second tick of its timer. The same class, opened again from the main
// window, is the about box. It holds the build's edition code, which the main window reads.
class TFormINI : public QDialog {
    Q_OBJECT

  public:
    // Creates the main test window (not shown); called once, at the hand-over.
    using MainWindowFactory = std::function<QWidget*(HandOver& handOver)>;

    // A front window becomes the hand-over's current one.
    TFormINI(Platform& platform, HandOver& handOver, MainWindowFactory mainWindowFactory = {},
             QWidget* parent = nullptr);
    ~TFormINI() override;

    // Opens a fresh front window in about mode, modal over the main window, and returns it once
    // the modal showing returns. The instance stays (hidden) until the main window goes.
    static TFormINI* showAbout(QWidget* mainWindow, Platform& platform, HandOver& handOver);

    bool isAboutMode() const { return m_aboutMode; }

    // The program's folder, including its final separator.
    QString GetProgramDir() const;

    // Handlers.
    void FormCreate();
    void Timer_InicioTimer();
    void Panel_VersionResize();
    void FlatPanel_InfoResize();
    void Btn_VersionClick();
    void Btn_AutoresClick();
    void Btn_ActualizacionClick();
    void Btn_BibliografiaClick();
    void ImageOBADblClick();
    void FlatButton4Click();

    // Fields.
    qint32 Edition = 0;
    qint32 StartupTicks = 0;

    // Controls, named as their objectName.
    FlatPanel* PanelAbout = nullptr;
    EffectLabel* LabelEffect3 = nullptr;
    QLabel* Label2 = nullptr;
    FlatPanel* Panel_Version = nullptr;
    FlatButton* Btn_Version = nullptr;
    FlatButton* Btn_Autores = nullptr;
    FlatPanel* FlatPanel_Info = nullptr;
    QLabel* LabelTitulo1 = nullptr;
    QLabel* LabelTitulo2 = nullptr;
    QLabel* LabelVersion1 = nullptr;
    QLabel* LabelVersion2 = nullptr;
    QLabel* LabelEdicion1 = nullptr;
    QLabel* LabelEdicion2 = nullptr;
    QLabel* LabelIdioma1 = nullptr;
    QLabel* LabelIdiomaWin2 = nullptr;
    FlatPanel* Panel_Autores = nullptr;
    FlatListBox* ListBox_Futbol = nullptr;
    FlatListBox* ListBox_Basket = nullptr;
    FlatListBox* ListBox_FutSal = nullptr;
    FlatListBox* ListBox_Zevez = nullptr;
    FlatButton* Btn_Actualizacion = nullptr;
    FlatButton* Btn_Bibliografia = nullptr;
    FlatPanel* PanelOBA = nullptr;
    QLabel* ImageOBA = nullptr;
    QLabel* LabelCopyRight = nullptr;
    FlatButton* FlatButton4 = nullptr;
    UrlLabel* URL_Link_Internet = nullptr;
    QTimer* Timer_Inicio = nullptr;

  public Q_SLOTS:
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void createControls();
    void openProductPage();
    void setBoundsNotifying(QWidget* widget, const QRect& bounds);
    void runResizeHandler(QObject* widget);
    FlatListBox* creditsListForEdition() const;

    Platform& m_platform;
    HandOver& m_handOver;
    MainWindowFactory m_mainWindowFactory;
    bool m_aboutMode = false;
    QSize m_versionLaidOut;  // sizes the two layout handlers last ran for
    QSize m_infoLaidOut;
};

}  // namespace norak
