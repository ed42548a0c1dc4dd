#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTimer>
#include <memory>
#include <stdexcept>

#include "engine/Edition.h"
#include "engine/FrontEditionInfo.h"
#include "engine/MakerSite.h"
#include "platform/fakes/FakePlatform.h"
#include "shell/UnitINI.h"
#include "shell/controls/EffectLabel.h"
#include "shell/controls/FlatButton.h"
#include "shell/controls/FlatListBox.h"
#include "shell/controls/FlatPanel.h"
#include "shell/controls/UrlLabel.h"

using namespace norak;

namespace {

const QColor kGrey(128, 128, 128);
const QColor kSilver(192, 192, 192);

// Which of the given siblings is painted on top (last in the parent's stacking order).
QWidget* topmostOf(std::initializer_list<QWidget*> widgets) {
    QWidget* parent = (*widgets.begin())->parentWidget();
    for (auto it = parent->children().crbegin(); it != parent->children().crend(); ++it)
        for (QWidget* w : widgets)
            if (*it == w)
                return w;
    return nullptr;
}

class FrontWindowTest : public ::testing::Test {
  protected:
    void TearDown() override { m_mainWindows.clear(); }

    TFormINI::MainWindowFactory factory() {
        return [this](HandOver&) {
            m_mainWindows.push_back(std::make_unique<QWidget>());
            return m_mainWindows.back().get();
        };
    }

    FakePlatform m_fakes;
    Platform m_platform = m_fakes.platform();
    std::vector<std::unique_ptr<QWidget>> m_mainWindows;
    std::vector<QWidget*> m_modalShown;
    // Shows "modally" without blocking, noting the window.
    HandOver m_handOver{[this](QWidget* window) {
        m_modalShown.push_back(window);
        window->show();
    }};
};

}  // namespace

TEST_F(FrontWindowTest, SetUpShowsTheBuildEditionOnTheVersionPage) {
    TFormINI form(m_platform, m_handOver, factory());
    EXPECT_EQ(form.Edition, kEditionZevez);
    EXPECT_EQ(form.StartupTicks, 0);
    EXPECT_EQ(form.objectName(), QStringLiteral("TFormINI"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("NORAK"));
    EXPECT_EQ(form.size(), QSize(323, 322));
    EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(m_handOver.current(), &form);
    EXPECT_EQ(m_handOver.currentEdition(), kEditionZevez);

    EXPECT_EQ(form.LabelEffect3->text(), QStringLiteral("NORAK-Zevez"));
    EXPECT_EQ(form.Label2->text(), QStringLiteral("Quelmar en Voleibol"));
    EXPECT_TRUE(form.LabelCopyRight->text().startsWith(QStringLiteral("NORAK-Zevez ")));
    EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("NORAK-Zevez"));
    EXPECT_EQ(form.LabelTitulo2->text(), QStringLiteral("NORAK-Zevez"));
    EXPECT_EQ(form.LabelVersion2->text(), QStringLiteral("2.0.1"));
    EXPECT_EQ(form.LabelEdicion2->text(), QStringLiteral("2015"));
    EXPECT_EQ(form.LabelIdiomaWin2->text(), QStringLiteral("Español"));
    EXPECT_EQ(form.URL_Link_Internet->text(), makerHomePage());
    EXPECT_EQ(form.Timer_Inicio->interval(), 1000);
    EXPECT_TRUE(form.Timer_Inicio->isActive());

    // Version panel shown on top; version page and its link button in front; close button hidden.
    EXPECT_FALSE(form.Panel_Version->isHidden());
    EXPECT_TRUE(form.FlatButton4->isHidden());
    EXPECT_TRUE(form.URL_Link_Internet->isHidden());
    EXPECT_EQ(topmostOf({form.FlatPanel_Info, form.Panel_Autores}), form.FlatPanel_Info);
    EXPECT_EQ(topmostOf({form.Btn_Actualizacion, form.Btn_Bibliografia}), form.Btn_Actualizacion);
    EXPECT_EQ(topmostOf({form.Panel_Version, form.PanelOBA, form.Label2, form.LabelEffect3}),
              form.Panel_Version);
    EXPECT_EQ(form.Btn_Version->captionColor(), kGrey);
    EXPECT_EQ(form.Btn_Autores->captionColor(), kSilver);
    for (FlatListBox* list :
         {form.ListBox_Futbol, form.ListBox_Basket, form.ListBox_FutSal, form.ListBox_Zevez})
        EXPECT_TRUE(list->isHidden()) << list->objectName().toStdString();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(FrontWindowTest, InitialLayoutFigures) {
    TFormINI form(m_platform, m_handOver, factory());
    EXPECT_EQ(form.PanelAbout->geometry(), QRect(0, 0, 323, 322));
    EXPECT_EQ(form.Panel_Version->geometry(), QRect(18, 76, 287, 144));
    EXPECT_EQ(form.Btn_Version->geometry(), QRect(0, 0, 143, 17));
    EXPECT_EQ(form.Btn_Autores->geometry(), QRect(142, 0, 145, 17));
    EXPECT_EQ(form.FlatPanel_Info->geometry(), QRect(0, 16, 287, 105));
    EXPECT_EQ(form.Btn_Actualizacion->geometry(), QRect(0, 120, 287, 24));
    EXPECT_EQ(form.Btn_Bibliografia->geometry(), QRect(0, 120, 287, 24));
    EXPECT_EQ(form.Panel_Autores->geometry(), form.FlatPanel_Info->geometry());
    for (FlatListBox* list :
         {form.ListBox_Futbol, form.ListBox_Basket, form.ListBox_FutSal, form.ListBox_Zevez})
        EXPECT_EQ(list->geometry(), QRect(5, 5, 277, 95));
    EXPECT_EQ(form.PanelOBA->geometry(), QRect(9, 240, 305, 42));
    EXPECT_EQ(form.ImageOBA->geometry(), QRect(1, 1, 303, 40));
    EXPECT_EQ(form.ImageOBA->pixmap().size(), QSize(303, 40));

    // Information rows: names end 8 pixels before the value column at 95.
    const struct {
        QLabel* name;
        QLabel* value;
        int top;
    } rows[] = {{form.LabelTitulo1, form.LabelTitulo2, 13},
                {form.LabelVersion1, form.LabelVersion2, 34},
                {form.LabelEdicion1, form.LabelEdicion2, 55},
                {form.LabelIdioma1, form.LabelIdiomaWin2, 76}};
    for (const auto& row : rows) {
        EXPECT_EQ(row.name->y(), row.top) << row.name->objectName().toStdString();
        EXPECT_EQ(row.value->y(), row.top) << row.value->objectName().toStdString();
        EXPECT_EQ(row.value->x(), 95);
        EXPECT_EQ(row.name->x() + row.name->width(), 95 - 8);
        EXPECT_GT(row.name->width(), 0);
    }
}

TEST_F(FrontWindowTest, OddWidthSplitsTheTabsWithOnePixelOverlap) {
    TFormINI form(m_platform, m_handOver, factory());
    form.show();  // resize notifications arrive as on the screen
    form.Panel_Version->resize(301, 160);
    EXPECT_EQ(form.Btn_Version->geometry(), QRect(0, 0, 150, 17));
    EXPECT_EQ(form.Btn_Autores->geometry(), QRect(149, 0, 152, 17));
    EXPECT_EQ(form.Btn_Actualizacion->geometry(), QRect(0, 136, 301, 24));
    EXPECT_EQ(form.Btn_Bibliografia->geometry(), form.Btn_Actualizacion->geometry());
    EXPECT_EQ(form.FlatPanel_Info->geometry(), QRect(0, 16, 301, 121));
    // H = 121: s = 7, e = 3, m = 60; rows at 42 - 22 = 20, 42, 63, 85; value column 100.
    EXPECT_EQ(form.LabelTitulo1->y(), 20);
    EXPECT_EQ(form.LabelVersion2->y(), 42);
    EXPECT_EQ(form.LabelEdicion1->y(), 63);
    EXPECT_EQ(form.LabelIdiomaWin2->y(), 85);
    EXPECT_EQ(form.LabelIdiomaWin2->x(), 100);
    EXPECT_EQ(form.Panel_Autores->geometry(), QRect(0, 16, 301, 121));
    EXPECT_EQ(form.ListBox_Zevez->geometry(), QRect(5, 5, 291, 111));
}

TEST_F(FrontWindowTest, HandOverAtTheSecondTickOnly) {
    TFormINI form(m_platform, m_handOver, factory());
    form.show();
    form.Timer_InicioTimer();
    EXPECT_EQ(form.StartupTicks, 1);
    EXPECT_TRUE(m_mainWindows.empty());
    EXPECT_EQ(m_handOver.mainWindow(), nullptr);
    EXPECT_TRUE(form.isVisible());

    form.Timer_InicioTimer();
    EXPECT_EQ(form.StartupTicks, 2);
    ASSERT_EQ(m_mainWindows.size(), 1u);
    EXPECT_EQ(m_handOver.mainWindow(), m_mainWindows[0].get());
    EXPECT_FALSE(form.isVisible());
    ASSERT_EQ(m_modalShown.size(), 1u);
    EXPECT_EQ(m_modalShown[0], m_mainWindows[0].get());

    for (int tick = 3; tick <= 6; ++tick)
        form.Timer_InicioTimer();
    EXPECT_EQ(form.StartupTicks, 6);
    EXPECT_EQ(m_mainWindows.size(), 1u);
    EXPECT_EQ(m_modalShown.size(), 1u);
    EXPECT_FALSE(form.isVisible());
}

// The modal showing of the main window lasts the whole session: the front window must already
// be hidden when it begins, not once it returns.
TEST_F(FrontWindowTest, TheFrontWindowIsHiddenBeforeTheMainWindowIsShown) {
    std::vector<bool> frontVisibleAtShowing;
    TFormINI* front = nullptr;
    HandOver noting{[&](QWidget* window) {
        frontVisibleAtShowing.push_back(front->isVisible());
        window->show();
    }};
    TFormINI form(m_platform, noting, factory());
    front = &form;
    form.show();
    form.Timer_InicioTimer();
    form.Timer_InicioTimer();
    EXPECT_EQ(frontVisibleAtShowing, std::vector<bool>{false});
}

TEST_F(FrontWindowTest, AnotherFrontWindowNeverMakesASecondMainWindow) {
    TFormINI first(m_platform, m_handOver, factory());
    TFormINI second(m_platform, m_handOver, factory());
    first.Timer_InicioTimer();
    second.Timer_InicioTimer();
    second.Timer_InicioTimer();
    first.Timer_InicioTimer();
    first.Timer_InicioTimer();
    EXPECT_EQ(m_mainWindows.size(), 1u);
}

TEST_F(FrontWindowTest, DefaultModalShowingOfAPlainMainWindowDoesNotBlock) {
    HandOver usual;
    TFormINI form(m_platform, usual, factory());
    form.Timer_InicioTimer();
    form.Timer_InicioTimer();
    ASSERT_EQ(m_mainWindows.size(), 1u);
    EXPECT_EQ(m_mainWindows[0]->windowModality(), Qt::ApplicationModal);
    EXPECT_TRUE(m_mainWindows[0]->isVisible());
}

TEST_F(FrontWindowTest, AboutBoxesAreFreshInstancesAndNeverMakeAMainWindow) {
    TFormINI start(m_platform, m_handOver, factory());
    start.Timer_InicioTimer();
    start.Timer_InicioTimer();
    ASSERT_EQ(m_mainWindows.size(), 1u);
    QWidget* main = m_mainWindows[0].get();

    std::vector<TFormINI*> abouts;
    for (int i = 0; i < 3; ++i) {
        TFormINI* about = TFormINI::showAbout(main, m_platform, m_handOver);
        ASSERT_NE(about, nullptr);
        abouts.push_back(about);
        EXPECT_TRUE(about->isAboutMode());
        EXPECT_EQ(about->parentWidget(), main);
        EXPECT_EQ(m_handOver.current(), about);
        EXPECT_EQ(about->Edition, kEditionZevez);
        EXPECT_FALSE(about->FlatButton4->isHidden());
        EXPECT_FALSE(about->Panel_Version->isHidden());
        EXPECT_EQ(about->FlatButton4->geometry(), QRect(302, 3, 18, 18));
        EXPECT_EQ(m_modalShown.back(), about);
        EXPECT_TRUE(about->isVisible());
        for (int tick = 0; tick < 4; ++tick)
            about->Timer_InicioTimer();
        about->FlatButton4->click();
        EXPECT_FALSE(about->isVisible());
    }
    EXPECT_NE(abouts[0], abouts[1]);
    EXPECT_NE(abouts[1], abouts[2]);
    EXPECT_EQ(m_mainWindows.size(), 1u);
    EXPECT_EQ(m_handOver.mainWindow(), main);
}

TEST_F(FrontWindowTest, AboutBoxOverAMainWindowMadeElsewhereStillHandsOverNothing) {
    // The main window may exist before any hand-over (for instance in a test of the main window).
    QWidget main;
    TFormINI* about = TFormINI::showAbout(&main, m_platform, m_handOver);
    EXPECT_EQ(m_handOver.mainWindow(), &main);
    TFormINI start(m_platform, m_handOver, factory());
    for (int tick = 0; tick < 3; ++tick)
        start.Timer_InicioTimer();
    EXPECT_TRUE(m_mainWindows.empty());
    // Escape closes an about box; the start-up window ignores it.
    about->reject();
    EXPECT_FALSE(about->isVisible());
    start.show();
    start.reject();
    EXPECT_TRUE(start.isVisible());
}

TEST_F(FrontWindowTest, PagesSwitchTabColorsAndStacking) {
    TFormINI form(m_platform, m_handOver, factory());
    form.Btn_Autores->click();
    // Showing the window (its panels hear of their sizes then) keeps the open page in front.
    form.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(form.Btn_Autores->captionColor(), kGrey);
    EXPECT_EQ(form.Btn_Version->captionColor(), kSilver);
    EXPECT_EQ(topmostOf({form.FlatPanel_Info, form.Panel_Autores}), form.Panel_Autores);
    EXPECT_EQ(topmostOf({form.Btn_Actualizacion, form.Btn_Bibliografia}), form.Btn_Bibliografia);
    EXPECT_FALSE(form.ListBox_Zevez->isHidden());
    EXPECT_TRUE(form.ListBox_Futbol->isHidden());

    form.Btn_Version->click();
    EXPECT_EQ(form.Btn_Autores->captionColor(), kSilver);
    EXPECT_EQ(form.Btn_Version->captionColor(), kGrey);
    EXPECT_EQ(topmostOf({form.FlatPanel_Info, form.Panel_Autores}), form.FlatPanel_Info);
    EXPECT_EQ(topmostOf({form.Btn_Actualizacion, form.Btn_Bibliografia}), form.Btn_Actualizacion);
}

TEST_F(FrontWindowTest, EditionSelectsCreditsListAndProductPage) {
    const struct {
        int edition;
        FlatListBox* TFormINI::*list;
        QString page;
    } cases[] = {
        {kEditionProbst, &TFormINI::ListBox_Futbol, QStringLiteral("www.quelmar.example.org")},
        {kEditionFutbol, &TFormINI::ListBox_Futbol,
         QStringLiteral("www.quelmar.example.org/NORAK/norak-futbol.html")},
        {kEditionBasket, &TFormINI::ListBox_Basket,
         QStringLiteral("www.quelmar.example.org/NORAK/norak-basket.html")},
        {kEditionFutSal, &TFormINI::ListBox_FutSal,
         QStringLiteral("www.quelmar.example.org/NORAK/norak-futsal.html")},
        {kEditionZevez, &TFormINI::ListBox_Zevez,
         QStringLiteral("www.quelmar.example.org/NORAK/norak-zevez.html")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.edition);
        FakePlatform fakes;
        Platform platform = fakes.platform();
        TFormINI form(platform, m_handOver);
        form.Edition = c.edition;
        form.Btn_AutoresClick();
        FlatListBox* chosen = form.*c.list;
        int shown = 0;
        for (FlatListBox* list :
             {form.ListBox_Futbol, form.ListBox_Basket, form.ListBox_FutSal, form.ListBox_Zevez})
            shown += list->isHidden() ? 0 : 1;
        EXPECT_EQ(shown, 1);
        EXPECT_FALSE(chosen->isHidden());
        EXPECT_EQ(
            topmostOf({form.ListBox_Futbol, form.ListBox_Basket, form.ListBox_FutSal, form.ListBox_Zevez}),
            chosen);

        // Both link buttons open the same page.
        form.Btn_Actualizacion->click();
        form.Btn_Bibliografia->click();
        ASSERT_EQ(fakes.shell.m_opened.size(), 2);
        EXPECT_EQ(fakes.shell.m_opened[0], c.page);
        EXPECT_EQ(fakes.shell.m_opened[1], c.page);
        EXPECT_EQ(form.URL_Link_Internet->text(), c.page);
    }
}

TEST_F(FrontWindowTest, EditionZeroLeavesTheLinkAsItIs) {
    TFormINI form(m_platform, m_handOver);
    form.URL_Link_Internet->setCaption(QStringLiteral("www.quelmar.example.org/NORAK/norak-basket.html"));
    form.Edition = kEditionProbst;
    form.Btn_ActualizacionClick();
    ASSERT_EQ(m_fakes.shell.m_opened.size(), 1);
    EXPECT_EQ(m_fakes.shell.m_opened[0], QStringLiteral("www.quelmar.example.org/NORAK/norak-basket.html"));
}

TEST(FrontEditionInfo, TitlesSubtitlesAndNotices) {
    const struct {
        int edition;
        const char* title;
        const char* subtitle;
        const char* list;
        const char* named;
    } cases[] = {
        {0, "Test de Probst", "Quelmar en Fútbol", "ListBox_Futbol", nullptr},
        {1, "NORAK-Fútbol 2.0", "Quelmar en Fútbol", "ListBox_Futbol", "NORAK-Fútbol "},
        {2, "NORAK-Basket 2.0", "Quelmar en Baloncesto", "ListBox_Basket", "NORAK-Basket "},
        {3, "NORAK-FutSal", "Quelmar en Fútbol Sala", "ListBox_FutSal", "NORAK-FutSal "},
        {4, "NORAK-Zevez", "Quelmar en Voleibol", "ListBox_Zevez", "NORAK-Zevez "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.edition);
        const FrontEditionInfo info = frontEditionInfo(c.edition);
        EXPECT_EQ(info.title, QString::fromUtf8(c.title));
        EXPECT_EQ(info.subtitle, QString::fromUtf8(c.subtitle));
        EXPECT_EQ(info.creditsListName, QLatin1String(c.list));
        if (c.named == nullptr) {
            EXPECT_TRUE(info.legalNotice.isEmpty());
            EXPECT_EQ(info.pageAddress, makerHomePage());
        } else {
            // One sentence, naming the edition without its version.
            EXPECT_TRUE(info.legalNotice.startsWith(QString::fromUtf8(c.named)));
            EXPECT_FALSE(info.legalNotice.contains(QLatin1String("2.0")));
            EXPECT_EQ(info.legalNotice.count(QLatin1Char('.')), 1);
            EXPECT_TRUE(info.legalNotice.endsWith(QLatin1Char('.')));
            EXPECT_FALSE(info.pageAddress.contains(QLatin1String("://")));
        }
    }
    // Unknown codes fall back to the build's edition.
    EXPECT_EQ(frontEditionInfo(7).title, QStringLiteral("NORAK-Zevez"));
}

TEST(FrontEditionInfo, CreditsListsHaveTheirFixedSections) {
    // heading -> entries, in order; sections are separated by one empty row.
    const struct {
        const char* list;
        int rows;
        std::vector<std::pair<QString, int>> sections;
    } cases[] = {
        {"ListBox_Futbol",
         15,
         {{QStringLiteral("DESARROLLO SOFTWARE:"), 1},
          {QStringLiteral("INVESTIGADORES PRINCIPALES:"), 2},
          {QStringLiteral("COLABORADORES:"), 3},
          {QStringLiteral("AGRADECIMIENTOS:"), 2}}},
        {"ListBox_Basket",
         18,
         {{QStringLiteral("DESARROLLO SOFTWARE:"), 1},
          {QStringLiteral("INVESTIGADORES PRINCIPALES:"), 2},
          {QStringLiteral("COLABORADORES:"), 5},
          {QStringLiteral("AGRADECIMIENTOS:"), 3}}},
        {"ListBox_FutSal", 14, {{QStringLiteral("AUTORES:"), 8}, {QStringLiteral("AGRADECIMIENTOS:"), 3}}},
        {"ListBox_Zevez", 17, {{QStringLiteral("AUTORES:"), 11}, {QStringLiteral("AGRADECIMIENTOS:"), 3}}},
    };
    FakePlatform fakes;
    Platform platform = fakes.platform();
    HandOver handOver;
    TFormINI form(platform, handOver);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.list);
        auto* box = form.findChild<FlatListBox*>(QLatin1String(c.list));
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->rowHeight(), 12);
        const QStringList rows = box->rows();
        EXPECT_EQ(rows, creditsRows(QLatin1String(c.list)));
        ASSERT_EQ(rows.size(), c.rows);
        int at = 0;
        for (std::size_t s = 0; s < c.sections.size(); ++s) {
            if (s > 0) {
                EXPECT_TRUE(rows[at].isEmpty()) << at;
                ++at;
            }
            EXPECT_EQ(rows[at], c.sections[s].first);
            ++at;
            for (int i = 0; i < c.sections[s].second; ++i, ++at) {
                EXPECT_FALSE(rows[at].trimmed().isEmpty()) << at;
                EXPECT_FALSE(rows[at].endsWith(QLatin1Char(':'))) << at;
            }
        }
        EXPECT_EQ(at, c.rows);
    }
    EXPECT_EQ(form.ListBox_Basket->groundColor(), QColor(255, 255, 255));
    EXPECT_EQ(form.ListBox_Zevez->groundColor(), QColor(228, 228, 228));
    EXPECT_EQ(form.ListBox_Zevez->textColor(), QColor(0, 0, 128));
}

namespace {

class ThrowingShell : public DesktopShell {
  public:
    void open(const QString&) override {
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        throw std::runtime_error("no browser");
    }
};

}  // namespace

TEST_F(FrontWindowTest, LogoDoubleClickOpensTheHomePageUnderTheHourglass) {
    TFormINI form(m_platform, m_handOver);
    form.ImageOBADblClick();
    ASSERT_EQ(m_fakes.shell.m_opened.size(), 1);
    EXPECT_EQ(m_fakes.shell.m_opened[0], makerHomePage());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    ThrowingShell throwing;
    Platform platform{m_fakes.ticks,      m_fakes.clock, m_fakes.sound, m_fakes.messages,
                      m_fakes.saveDialog, m_fakes.files, throwing};
    TFormINI other(platform, m_handOver);
    EXPECT_THROW(other.ImageOBADblClick(), std::runtime_error);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(FrontWindowTest, ProgramDirComesFromTheProgramFile) {
    m_fakes.files.m_programFilePath = QStringLiteral("/opt/norak/bin/norak");
    TFormINI form(m_platform, m_handOver);
    EXPECT_EQ(form.GetProgramDir(), QStringLiteral("/opt/norak/bin/"));
    m_fakes.files.m_programFilePath = QStringLiteral("norak");
    EXPECT_EQ(form.GetProgramDir(), QString());
}

TEST_F(FrontWindowTest, RealTimerHandsOverAfterAboutTwoSeconds) {
    // Timed from before the form, whose timer may start on construction: measured from after it,
    // two ticks on time could read a millisecond short.
    QElapsedTimer clock;
    clock.start();
    TFormINI form(m_platform, m_handOver, factory());
    form.show();
    while (m_mainWindows.empty() && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    ASSERT_EQ(m_mainWindows.size(), 1u);
    EXPECT_GE(clock.elapsed(), 1900);
    EXPECT_EQ(form.StartupTicks, 2);
}
