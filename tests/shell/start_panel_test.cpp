#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "engine/MakerSite.h"
#include "platform/fakes/FakePlatform.h"
#include "shell/StartPanel.h"
#include "shell/controls/EffectLabel.h"
#include "shell/controls/FlatButton.h"
#include "shell/controls/FlatPanel.h"
#include "shell/controls/UrlLabel.h"

using namespace norak;

namespace {

// A stand-in for the test window: its client area with a top-bar button created first.
struct Window {
    QWidget client;
    QPushButton* topButton = nullptr;
    StartPanel* panel = nullptr;

    explicit Window(int edition) {
        client.resize(826, 592);
        topButton = new QPushButton(QStringLiteral("Salir"), &client);
        topButton->setGeometry(1, 1, 137, 53);
        panel = new StartPanel(&client);
        const EditionRecord record = editionRecord(edition);
        panel->setUpEdition(record);
        panel->layOut(record.editionVariant);
    }
};

bool shownIn(const QWidget* w, const QWidget* panel) {
    return w->isVisibleTo(panel);
}

}  // namespace

TEST(StartPanel, CoversTheWindowInFrontOfTheTopBar) {
    Window w(kEditionZevez);
    EXPECT_EQ(w.panel->objectName(), QStringLiteral("PanelInicio"));
    EXPECT_EQ(w.panel->geometry(), QRect(0, 0, 826, 592));
    EXPECT_EQ(w.client.children().last(), w.panel);
    EXPECT_EQ(w.panel->frameShadow(), QFrame::Sunken);
    w.client.show();
    EXPECT_EQ(w.client.childAt(50, 20), w.panel->imagePpal());
    EXPECT_EQ(w.panel->imagePpal()->geometry(), w.panel->contentsRect());
}

TEST(StartPanel, ElementPlaces) {
    Window w(kEditionZevez);
    StartPanel* p = w.panel;
    EXPECT_EQ(p->findChild<EffectLabel*>(QStringLiteral("LabelEffect3"))->geometry(),
              QRect(97, 153, 633, 109));
    EXPECT_EQ(p->findChild<EffectLabel*>(QStringLiteral("LabelEffect4"))->geometry(),
              QRect(53, 220, 721, 42));
    EXPECT_EQ(p->findChild<FlatButton*>(QStringLiteral("BitBtnEmpezar"))->geometry(),
              QRect(329, 474, 233, 72));
    EXPECT_EQ(p->findChild<FlatButton*>(QStringLiteral("Acercade"))->geometry(), QRect(264, 474, 65, 72));
    EXPECT_EQ(p->findChild<FlatPanel*>(QStringLiteral("FlatPanel5"))->geometry(), QRect(263, 558, 300, 14));

    // Every element stays inside the panel.
    for (QWidget* child : p->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        SCOPED_TRACE(child->objectName().toStdString());
        EXPECT_TRUE(p->rect().contains(child->geometry()))
            << child->geometry().x() << "," << child->geometry().y();
    }
}

TEST(StartPanel, ButtonLooks) {
    Window w(kEditionZevez);
    FlatButton* about = w.panel->acercade();
    FlatButton* start = w.panel->bitBtnEmpezar();
    for (FlatButton* b : {about, start}) {
        EXPECT_EQ(b->faceColor(), QColor(255, 255, 255));
        EXPECT_EQ(b->borderColor(), QColor(185, 185, 185));
        EXPECT_EQ(b->highlightColor(), QColor(240, 152, 19));
        EXPECT_TRUE(b->hasGlyph());
    }
    EXPECT_EQ(about->glyphLayout(), FlatButton::GlyphLayout::Alone);
    EXPECT_EQ(about->hint(), QStringLiteral("Acerca de..."));
    EXPECT_EQ(start->caption(), QStringLiteral("&Empezar..."));
    EXPECT_EQ(start->glyphLayout(), FlatButton::GlyphLayout::Left);
    // Glyph colors follow the edition.
    const EditionRecord futsal = editionRecord(kEditionFutSal);
    w.panel->setUpEdition(futsal);
    EXPECT_EQ(start->glyphColor0(), QColor(0, 96, 142));
    EXPECT_EQ(about->glyphColor1(), QColor(103, 156, 243));
}

TEST(StartPanel, HeadingsAndPictureByEdition) {
    struct Row {
        int edition;
        const char* title;
        const char* sport;
        const char* picture;
    };
    const Row rows[] = {
        {kEditionProbst, " Test de Probst ", "Quelmar en Fútbol", ":/pictures/start/futbol.jpg"},
        {kEditionFutbol, " NORAK-Fútbol 2.0 ", "Quelmar en Fútbol", ":/pictures/start/futbol.jpg"},
        {kEditionBasket, " NORAK-Basket 2.0 ", "Quelmar en Baloncesto", ":/pictures/start/zevez.jpg"},
        {kEditionFutSal, " NORAK-FutSal ", "Quelmar en Fútbol-Sala", ":/pictures/start/futsal.jpg"},
        {kEditionZevez, " NORAK-Zevez ", "Quelmar en Voleibol", ":/pictures/start/zevez.jpg"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.edition);
        Window w(row.edition);
        EXPECT_EQ(w.panel->labelEffect3()->text(), QString::fromUtf8(row.title));
        EXPECT_EQ(w.panel->labelEffect4()->text(), QString::fromUtf8(row.sport));
        EXPECT_EQ(w.panel->startPicturePath(), QString::fromUtf8(row.picture));
        const QString notice = w.panel->label2()->text();
        EXPECT_TRUE(notice.startsWith(editionRecord(row.edition).editionTitle + QLatin1Char(' ')));
        EXPECT_EQ(w.panel->flatPanel5()->caption().isEmpty(), row.edition == kEditionFutSal);
    }
}

TEST(StartPanel, CreditElementsByVariant) {
    struct Row {
        int variant;
        bool authors, legalLine, legalNotice, webLink, funding;
    };
    const Row rows[] = {
        {0, false, false, false, false, false}, {1, false, false, false, false, true},
        {2, false, false, false, false, false}, {3, true, true, true, true, false},
        {4, false, false, false, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.variant);
        QWidget client;
        client.resize(826, 592);
        auto* panel = new StartPanel(&client);
        panel->setUpEdition(editionRecord(kEditionZevez));

        // Nothing optional is shown before the variant is applied.
        EXPECT_EQ(panel->creditVisibility(), CreditVisibility{});

        panel->layOut(row.variant);
        EXPECT_EQ(shownIn(panel->label34(), panel), row.authors);
        EXPECT_EQ(shownIn(panel->label39(), panel), row.authors);
        EXPECT_EQ(shownIn(panel->label40(), panel), row.authors);
        EXPECT_EQ(shownIn(panel->flatPanel5(), panel), row.legalLine);
        EXPECT_EQ(shownIn(panel->label2(), panel), row.legalNotice);
        EXPECT_EQ(shownIn(panel->urlLabel4(), panel), row.webLink);
        EXPECT_EQ(shownIn(panel->panelFinanciado(), panel), row.funding);
        // The headings and buttons are there in every variant.
        EXPECT_TRUE(shownIn(panel->bitBtnEmpezar(), panel));
        EXPECT_TRUE(shownIn(panel->acercade(), panel));
        EXPECT_TRUE(shownIn(panel->labelEffect3(), panel));
    }
}

TEST(StartPanel, CreditElementsFitTheWindow) {
    QWidget client;
    client.resize(826, 592);
    auto* panel = new StartPanel(&client);
    panel->setUpEdition(editionRecord(kEditionFutbol));
    FakeDesktopShell shell;
    panel->setDesktopShell(&shell);
    panel->layOut(3);

    EXPECT_EQ(panel->label2()->x(), 413 - panel->label2()->width() / 2);
    EXPECT_EQ(panel->label2()->text(), StartPanel::legalNoticeFor(QStringLiteral("NORAK-Fútbol 2.0")));
    EXPECT_EQ(panel->urlLabel4()->caption(), makerHomePage());
    client.show();
    QTest::mouseClick(panel->urlLabel4(), Qt::LeftButton);
    EXPECT_EQ(shell.m_opened, QStringList{makerHomePage()});
    const QRect buttons = panel->acercade()->geometry() | panel->bitBtnEmpezar()->geometry();
    for (QWidget* w : {static_cast<QWidget*>(panel->label34()), static_cast<QWidget*>(panel->label39()),
                       static_cast<QWidget*>(panel->label40()), static_cast<QWidget*>(panel->flatPanel5()),
                       static_cast<QWidget*>(panel->label2()), static_cast<QWidget*>(panel->urlLabel4())}) {
        SCOPED_TRACE(w->objectName().toStdString());
        EXPECT_TRUE(panel->rect().contains(w->geometry()));
        EXPECT_FALSE(w->geometry().intersects(buttons));
    }
    // The funding panel wraps its logo and its caption fits inside it.
    panel->layOut(1);
    FlatPanel* funding = panel->panelFinanciado();
    const QRect logo = panel->imageFinanciado()->geometry();
    EXPECT_EQ(funding->size(),
              QSize(logo.width() + 2 * logo.left(), logo.top() + logo.height() + logo.top() / 2));
    EXPECT_TRUE(funding->rect().contains(panel->labelFinanciado()->geometry()));
    EXPECT_LT(panel->labelFinanciado()->geometry().bottom(), logo.top());
}

TEST(StartPanel, EmpezarHidesThePanelForGood) {
    Window w(kEditionZevez);
    w.client.show();
    QSignalSpy started(w.panel, &StartPanel::empezarClicked);
    QSignalSpy about(w.panel, &StartPanel::aboutClicked);

    QTest::mouseClick(w.panel->acercade(), Qt::LeftButton);
    EXPECT_EQ(about.count(), 1);
    EXPECT_TRUE(w.panel->isVisible());

    QTest::mouseClick(w.panel->bitBtnEmpezar(), Qt::LeftButton);
    EXPECT_EQ(started.count(), 1);
    EXPECT_FALSE(w.panel->isVisible());
    EXPECT_EQ(w.client.childAt(50, 20), w.topButton);
    EXPECT_EQ(about.count(), 1);
}
