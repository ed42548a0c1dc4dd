#pragma once

#include <QFrame>
#include <QString>

#include "engine/Edition.h"
#include "shell/StartPanelLayout.h"

class QLabel;

namespace norak {

class DesktopShell;
class EffectLabel;
class FlatButton;
class FlatPanel;
class UrlLabel;

// PanelInicio: the panel that covers the test window when it opens. It shows the edition's
// start picture, the title and sport headings, the about button and "&Empezar...", and the
// optional credit elements the edition variant asks for.
//
// The test window drives it at creation, in this order: setUpEdition() (or the separate
// setters) during the edition set-up, then layOut() with the edition variant.
class StartPanel : public QFrame {
    Q_OBJECT

  public:
    explicit StartPanel(QWidget* parent = nullptr);

    // Picture, legal line, headings, legal notice and glyph colors of an edition.
    void setUpEdition(const EditionRecord& edition);

    // ImagePpal: the football picture for editions 0 and 1, the futsal picture for edition 3;
    // the other editions keep the volleyball picture the panel starts with.
    void setStartPicture(int sportEdition);
    QString startPicturePath() const { return m_picturePath; }
    // LabelEffect3 := " " + title + " ", LabelEffect4 := "Quelmar en " + sport name.
    void setHeadings(const QString& editionTitle, const QString& sportName);
    void setLegalLine(const QString& text);    // FlatPanel5
    void setLegalNotice(const QString& text);  // Label2
    void setGlyphColors(const QColor& color0, const QColor& color1);
    // URLLabel4 shows the maker's home page; activating it opens the page through `shell`.
    void setDesktopShell(DesktopShell* shell);

    // The layout at the window's creation: funding panel size, fill the parent's client area and
    // come to the front, centre the headings and legal texts, place the two buttons as a pair
    // above the legal line, then show or hide the credit elements by `editionVariant`.
    void layOut(int editionVariant);

    CreditVisibility creditVisibility() const;

    // The edition's legal-deposit and ISBN line (empty for FutSal) and registered-product notice.
    static QString legalLineForEdition(int sportEdition);
    static QString legalNoticeFor(const QString& editionTitle);

    QLabel* imagePpal() const { return m_imagePpal; }
    EffectLabel* labelEffect3() const { return m_labelEffect3; }
    EffectLabel* labelEffect4() const { return m_labelEffect4; }
    FlatButton* acercade() const { return m_acercade; }
    FlatButton* bitBtnEmpezar() const { return m_bitBtnEmpezar; }
    QLabel* label34() const { return m_label34; }
    QLabel* label39() const { return m_label39; }
    QLabel* label40() const { return m_label40; }
    FlatPanel* flatPanel5() const { return m_flatPanel5; }
    QLabel* label2() const { return m_label2; }
    UrlLabel* urlLabel4() const { return m_urlLabel4; }
    FlatPanel* panelFinanciado() const { return m_panelFinanciado; }
    QLabel* labelFinanciado() const { return m_labelFinanciado; }
    QLabel* imageFinanciado() const { return m_imageFinanciado; }

  Q_SIGNALS:
    // "&Empezar..." was pressed; the panel has already hidden itself for good.
    void empezarClicked();
    // The about button was pressed: the window opens its about box.
    void aboutClicked();

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void buildCredits();
    void setCreditVisibility(const CreditVisibility& visibility);
    void placeBottomTexts(int clientWidth);

    QString m_picturePath;
    QLabel* m_imagePpal = nullptr;
    EffectLabel* m_labelEffect3 = nullptr;
    EffectLabel* m_labelEffect4 = nullptr;
    FlatButton* m_acercade = nullptr;
    FlatButton* m_bitBtnEmpezar = nullptr;
    QLabel* m_label34 = nullptr;
    QLabel* m_label39 = nullptr;
    QLabel* m_label40 = nullptr;
    FlatPanel* m_flatPanel5 = nullptr;
    QLabel* m_label2 = nullptr;
    UrlLabel* m_urlLabel4 = nullptr;
    FlatPanel* m_panelFinanciado = nullptr;
    QLabel* m_labelFinanciado = nullptr;
    QLabel* m_imageFinanciado = nullptr;
};

}  // namespace norak
