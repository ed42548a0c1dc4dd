#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include "platform/fakes/FakePlatform.h"
#include "results/AthleteRoster.h"
#include "results/ResultsTable.h"
#include "results/TestRun.h"
#include "shell/AthleteButton.h"
#include "shell/ConfigPanel.h"
#include "shell/CoursePanel.h"
#include "shell/HelpPanel.h"
#include "shell/ParametersPanel.h"
#include "shell/ResultsPanel.h"
#include "shell/RunDisplay.h"
#include "shell/StartPanel.h"
#include "shell/TestFut1.h"
#include "shell/controls/ConeShape.h"
#include "shell/controls/FlatButton.h"
#include "shell/controls/GaugeRec.h"
#include "support/FakeTime.h"

using namespace norak;

namespace {

// The real main window on fake time, sound and dialogs. Time moves only through step().
struct Window {
    explicit Window(int edition = kEditionZevez)
        : form(edition, fakes.platform(), [this](QWidget*) { ++aboutBoxes; }), time(fakes, form) {
        form.FormActivate();
    }

    // Moves the fake time by `ms` in 10 ms ticks, as the window's timers would.
    void step(qint64 ms) { time.runFor(ms); }

    void clickMode(TestMode mode) { QTest::mouseClick(form.configPanel()->modeButton(mode), Qt::LeftButton); }

    ResultsTable& table() { return form.resultsPanel()->table(); }
    FlatButton* button(int index) { return form.topButton(index); }

    FakePlatform fakes;
    int aboutBoxes = 0;
    TForm1 form;
    norak::testing::FakeTime<TForm1> time;
};

enum { kSalir, kNuevo, kStart, kStop, kAyuda, kGrupo };

}  // namespace

TEST(MainWindow, OpensOnTheStartPanelWithTheEditionsLooks) {
    Window w;
    EXPECT_EQ(w.form.windowTitle(), QStringLiteral("NORAK-Zevez: Quelmar en Voleibol"));
    EXPECT_EQ(w.form.size(), QSize(826, 592));
    EXPECT_FALSE(w.form.startPanel()->isHidden());
    EXPECT_TRUE(w.form.startPanel()->isAncestorOf(w.form.childAt(400, 20)));  // covers the top bar
    EXPECT_EQ(w.form.coursePanel()->objectName(), QStringLiteral("Panel_Zevez"));
    EXPECT_EQ(w.form.palette().color(QPalette::Window), QColor(159, 177, 124));
    const QString captions[6] = {"Salir", "Nuevo Test",   "Iniciar prueba", "Fin de la prueba",
                                 "Ayuda", "A cerca de..."};
    const bool enabled[6] = {true, false, false, false, true, true};
    const int lefts[6] = {1, 126, 251, 376, 582, 707};  // "Historial" stands at 501
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(w.button(i)->caption(), captions[i]);
        EXPECT_EQ(w.button(i)->isEnabled(), enabled[i]) << i;
        EXPECT_EQ(w.button(i)->x(), lefts[i]);
    }
    EXPECT_EQ(w.form.configPanel()->spinEdit()->maximum(), 25);

    QTest::mouseClick(w.form.startPanel()->bitBtnEmpezar(), Qt::LeftButton);
    EXPECT_TRUE(w.form.startPanel()->isHidden());
    w.form.AcercadeClick();
    w.form.BitBtnGrupoClick();
    EXPECT_EQ(w.aboutBoxes, 2);
}

TEST(MainWindow, ARunFromModeChoiceToDropoutStopAndNewTest) {
    Window w;
    w.form.BitBtnEmpezarClick();
    w.table().setCell(1, 1, QStringLiteral("Ana"));
    w.table().setCell(1, 2, QStringLiteral("Begoña"));
    w.table().setCell(1, 3, QStringLiteral("Íñigo"));
    w.clickMode(TestMode::Esfuerzo);
    EXPECT_TRUE(w.button(kStart)->isEnabled());
    QTest::mouseClick(w.form.configPanel()->warmUpBox(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(w.form.session().WarmUpPhase(), 0);

    QTest::mouseClick(w.button(kStart), Qt::LeftButton);
    EXPECT_TRUE(w.form.timer(TestSession::Timer::Effort)->isActive());
    EXPECT_TRUE(w.form.timer(TestSession::Timer::Clock)->isActive());
    EXPECT_FALSE(w.form.configPanel()->isVisibleTo(&w.form));
    EXPECT_EQ(w.fakes.sound.m_signals, 1);
    for (int i = 1; i <= 3; ++i)
        EXPECT_FALSE(w.form.resultsPanel()->athleteButton(i)->isHidden());
    EXPECT_TRUE(w.form.resultsPanel()->athleteButton(4)->isHidden());
    EXPECT_EQ(w.form.runDisplay()->banner()->text(), QStringLiteral("Periodo de ESFUERZO"));

    w.step(4300);  // the first signal of period 1 came at 4215 ms
    EXPECT_EQ(w.fakes.sound.m_signals, 2);
    EXPECT_EQ(w.form.runDisplay()->gauge()->text(), QStringLiteral("Estación Nº: 1"));
    EXPECT_TRUE(w.form.coursePanel()->cone(2)->isVisibleTo(w.form.coursePanel()));
    EXPECT_FALSE(w.form.coursePanel()->cone(1)->isVisibleTo(w.form.coursePanel()));
    EXPECT_EQ(w.form.runDisplay()->distancia()->text(), QStringLiteral("5"));
    EXPECT_EQ(w.form.runDisplay()->crono()->text(), QStringLiteral("00:04"));

    QTest::mouseClick(w.form.resultsPanel()->athleteButton(2), Qt::LeftButton);
    EXPECT_TRUE(w.form.resultsPanel()->athleteButton(2)->isHidden());
    EXPECT_EQ(w.table().cell(3, 2), QStringLiteral("00:04"));
    EXPECT_EQ(w.table().cell(4, 2), QStringLiteral("0"));
    EXPECT_EQ(w.table().cell(5, 2), QStringLiteral("5"));
    EXPECT_EQ(w.table().cell(6, 2), QStringLiteral("4,2"));

    // Through the first period into its recovery.
    w.step(151704 - 4300 + 400);
    EXPECT_TRUE(w.form.timer(TestSession::Timer::Recovery)->isActive());
    EXPECT_FALSE(w.form.timer(TestSession::Timer::Effort)->isActive());
    EXPECT_EQ(w.form.runDisplay()->banner()->text(), QStringLiteral("Periodo de RECUPERACIÓN"));
    EXPECT_EQ(w.form.coursePanel()->frontPicture(), 3);
    EXPECT_TRUE(w.form.coursePanel()->restMarker()->isVisibleTo(w.form.coursePanel()));
    w.step(2000);
    EXPECT_TRUE(w.form.runDisplay()->gauge()->text().endsWith(QStringLiteral(" seg.")));

    // Stop in the recovery: the two still running get the same values, a period completed.
    QTest::mouseClick(w.button(kStop), Qt::LeftButton);
    for (TestSession::Timer t :
         {TestSession::Timer::Effort, TestSession::Timer::Recovery, TestSession::Timer::Clock})
        EXPECT_FALSE(w.form.timer(t)->isActive());
    for (int row : {1, 3}) {
        EXPECT_EQ(w.table().cell(4, row), QStringLiteral("1"));
        EXPECT_EQ(w.table().cell(5, row), QStringLiteral("177"));
        EXPECT_EQ(w.table().cell(6, row), QStringLiteral("4,8"));
        EXPECT_EQ(w.table().cell(3, row), w.table().cell(3, 1));
    }
    EXPECT_TRUE(w.button(kNuevo)->isEnabled());
    EXPECT_FALSE(w.button(kStart)->isEnabled());
    EXPECT_TRUE(w.form.resultsPanel()->exportButton()->isEnabled());

    // New test with unexported results: the save question, answered No, empties the results.
    w.fakes.messages.m_answers = {false};
    QTest::mouseClick(w.button(kNuevo), Qt::LeftButton);
    ASSERT_FALSE(w.fakes.messages.m_shown.empty());
    EXPECT_EQ(w.fakes.messages.m_shown.back().caption, QStringLiteral("Guardar datos"));
    EXPECT_TRUE(w.table().cell(4, 1).isEmpty());
    EXPECT_EQ(w.table().cell(1, 2), QStringLiteral("Begoña"));
    EXPECT_TRUE(w.button(kStart)->isEnabled());
    EXPECT_EQ(w.form.runDisplay()->crono()->text(), QStringLiteral("00:00"));
    EXPECT_EQ(w.form.coursePanel()->frontPicture(), 1);
    EXPECT_TRUE(w.form.configPanel()->isVisibleTo(&w.form));
}

TEST(MainWindow, ClosingDuringATestAsksAndCancelKeepsItRunning) {
    Window w;
    w.form.BitBtnEmpezarClick();
    w.clickMode(TestMode::Repetir);
    w.form.BitBtnStartClick();
    w.fakes.messages.m_answers = {false};
    QCloseEvent close;
    QApplication::sendEvent(&w.form, &close);
    EXPECT_FALSE(close.isAccepted());
    ASSERT_FALSE(w.fakes.messages.m_shown.empty());
    EXPECT_EQ(w.fakes.messages.m_shown.back().caption, QStringLiteral("Salir de NORAK-Zevez"));
    EXPECT_EQ(w.fakes.messages.m_shown.back().text,
              QStringLiteral("Esto finaliza su sesión con NORAK-Zevez."));
    EXPECT_TRUE(w.form.timer(TestSession::Timer::Effort)->isActive());
    w.step(5000);
    EXPECT_GE(w.fakes.sound.m_signals, 2);
    // "Salir" is disabled while a test runs.
    w.form.BitBtnSalirClick();
    EXPECT_EQ(w.fakes.messages.m_shown.size(), 1u);
}

TEST(MainWindow, DoubleClickOnTheFreeSurfaceTogglesThePeriodTables) {
    Window w;
    w.form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.form));
    const QPoint free(700, 401);  // between the glance area and the run counters
    w.form.FormDblClick(free);
    EXPECT_TRUE(w.form.parametersPanel()->isHidden());  // the start panel covers the window
    w.form.BitBtnEmpezarClick();
    ASSERT_EQ(w.form.childAt(free), nullptr);
    QTest::mouseDClick(&w.form, Qt::LeftButton, {}, free);
    EXPECT_FALSE(w.form.parametersPanel()->isHidden());
    EXPECT_EQ(w.form.parametersPanel()->geometry(), QRect(761, -52, 358, 267));
    // A double click on a panel does not count.
    QTest::mouseDClick(w.form.coursePanel(), Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_FALSE(w.form.parametersPanel()->isHidden());
    // The empty row under the course counts as free surface while no test runs.
    QTest::mouseDClick(&w.form, Qt::LeftButton, {}, QPoint(170, 575));
    EXPECT_TRUE(w.form.parametersPanel()->isHidden());
}

TEST(MainWindow, AnEditedActiveTableTakesEffectAndABadLineIsToldOnce) {
    Window w;
    w.form.BitBtnEmpezarClick();
    w.clickMode(TestMode::Repetir);
    w.form.testRun().setWarmUp(false);
    QPlainTextEdit* memo = w.form.parametersPanel()->activeTableEdit();
    QStringList lines = memo->toPlainText().split(QLatin1Char('\n'));
    lines[0] = QStringLiteral("1000");
    memo->setPlainText(lines.join(QLatin1Char('\n')));
    w.form.BitBtnStartClick();
    w.step(3050);
    EXPECT_EQ(w.fakes.sound.m_signals, 4);  // departure + 3 signals of 1000 ms

    lines[0] = QStringLiteral("mil");
    memo->setPlainText(lines.join(QLatin1Char('\n')));
    w.step(5000);
    QCoreApplication::processEvents();  // the message is shown once the tick is over
    EXPECT_EQ(w.fakes.sound.m_signals, 4);
    ASSERT_EQ(w.fakes.messages.m_shown.size(), 1u);
    EXPECT_EQ(w.fakes.messages.m_shown[0].kind, QStringLiteral("warning"));
    EXPECT_TRUE(w.fakes.messages.m_shown[0].text.contains(QStringLiteral("«mil»")));
    EXPECT_TRUE(w.form.session().isRunning());
}

TEST(MainWindow, HelpPanelShowsTheVolleyballCourseAndText) {
    Window w;
    w.form.BitBtnEmpezarClick();
    QTest::mouseClick(w.button(kAyuda), Qt::LeftButton);
    HelpPanel* help = w.form.helpPanel();
    EXPECT_FALSE(help->isHidden());
    EXPECT_EQ(help->geometry(), w.form.rect());
    EXPECT_FALSE(help->imageHlp(Course::Zevez)->isHidden());
    EXPECT_TRUE(help->memo1()->toPlainText().contains(QStringLiteral("NORAK-Zevez")));
    QTest::mouseClick(help->bitBtn3(), Qt::LeftButton);
    EXPECT_TRUE(help->isHidden());
}

TEST(MainWindow, WithoutSoundOutputTheOperatorIsToldOnlyOnce) {
    FakePlatform fakes;
    fakes.sound.m_devices = 0;
    TForm1 form(kEditionZevez, fakes.platform());
    form.FormActivate();
    form.FormActivate();
    ASSERT_EQ(fakes.messages.m_shown.size(), 1u);
    EXPECT_EQ(fakes.messages.m_shown[0].text,
              QStringLiteral("No se ha encontrado ninguna tarjeta de sonido instalada en su sistema."));
    EXPECT_EQ(fakes.sound.m_alerts, std::vector<int>{kAlertWarning});
    EXPECT_EQ(form.ProgramDir(), QStringLiteral("/home/coach/"));
}
