#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "shell/HelpPanel.h"
#include "shell/controls/FlatButton.h"

using namespace norak;

namespace {

struct Window {
    QWidget client;
    HelpPanel* help = nullptr;
    Window() {
        client.resize(826, 592);
        help = new HelpPanel(&client);
        new QLabel(QStringLiteral("panel creado después"), &client);
        client.show();
    }
};

QStringList paragraphsOf(const QString& text) {
    return text.split(QStringLiteral("\n\n"));
}

}  // namespace

TEST(HelpTexts, SevenParagraphsWithThreeLeadingBlanks) {
    for (Course c : {Course::Futbol, Course::Basket, Course::FutSal, Course::Zevez}) {
        SCOPED_TRACE(int(c));
        const QString text = HelpPanel::helpText(c);
        ASSERT_FALSE(text.isEmpty());
        EXPECT_FALSE(text.contains(QLatin1Char('\r')));
        EXPECT_FALSE(text.contains(QStringLiteral("\n\n\n")));
        const QStringList paragraphs = paragraphsOf(text);
        ASSERT_EQ(paragraphs.size(), 7);
        for (const QString& p : paragraphs) {
            EXPECT_TRUE(p.startsWith(QStringLiteral("   "))) << p.left(20).toStdString();
            EXPECT_NE(p.at(3), QLatin1Char(' '));
            EXPECT_FALSE(p.contains(QLatin1Char('\n')));
            EXPECT_FALSE(p.endsWith(QLatin1Char(' ')));
        }
    }
}

TEST(HelpTexts, EachPointInItsParagraph) {
    struct Row {
        Course course;
        const char* shortName;
        const char* footwear;
        const char* cones;
        const char* players;
        const char* laps;
    };
    const Row rows[] = {
        {Course::Futbol, "NORAK-Fútbol", "botas de fútbol", "14 conos", "máximo de 14 jugadores",
         "dos vueltas"},
        {Course::FutSal, "NORAK-FutSal", "pista de fútbol sala", "14 conos", "máximo de 14 jugadores",
         "dos vueltas"},
        {Course::Basket, "NORAK-Basket", "zapatillas de baloncesto", "12 conos", "máximo de 12 jugadores",
         "tres vueltas"},
        {Course::Zevez, "NORAK-Zevez", "pista de voleibol", "12 conos", "máximo de 12 jugadores",
         "tres vueltas"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.shortName);
        const QStringList p = paragraphsOf(HelpPanel::helpText(row.course));
        ASSERT_EQ(p.size(), 7);
        auto has = [&](int i, const char* words) { return p[i].contains(QString::fromUtf8(words)); };

        EXPECT_TRUE(has(0, "esfuerzo progresivo y máximo"));
        EXPECT_TRUE(has(0, "agotamiento"));
        EXPECT_TRUE(has(0, row.footwear));
        EXPECT_TRUE(has(1, row.shortName));
        EXPECT_TRUE(has(1, "pitidos"));
        EXPECT_TRUE(has(1, "altavoces"));
        EXPECT_TRUE(has(2, row.cones));
        EXPECT_TRUE(has(2, row.players));
        EXPECT_TRUE(has(3, "«Iniciar prueba»"));
        EXPECT_TRUE(has(3, "pulsómetros"));
        EXPECT_TRUE(has(3, "segundo pitido"));
        EXPECT_TRUE(has(3, row.laps));
        EXPECT_TRUE(has(3, "3 minutos"));
        EXPECT_TRUE(has(4, "30 segundos"));
        EXPECT_TRUE(has(4, "0,6 km/h"));
        EXPECT_TRUE(has(5, "botón del jugador"));
        EXPECT_TRUE(has(6, "3 minutos después del final"));

        // The volleyball course is always run the same way, with three ways of moving; the
        // others change direction from one effort period to the next, and the warm-up is none.
        const bool zevez = row.course == Course::Zevez;
        EXPECT_EQ(has(5, "sentido contrario"), !zevez);
        EXPECT_FALSE(has(5, "Tras cada recuperación"));
        EXPECT_EQ(has(5, "mismo sentido que el calentamiento"), !zevez);
        EXPECT_EQ(has(2, "líneas de fondo"), zevez);  // the cones of stations 6 and 12
        EXPECT_EQ(has(5, "impares en sentido contrario a las agujas del reloj"), !zevez);
        EXPECT_EQ(has(5, "pares en el sentido de las agujas del reloj"), !zevez);
        EXPECT_EQ(has(1, "de frente"), zevez);
        EXPECT_EQ(has(1, "lateral"), zevez);
        EXPECT_EQ(has(1, "de espaldas"), zevez);

        // Only this sport's short name appears.
        const QString whole = p.join(QLatin1Char(' '));
        for (const Row& other : rows) {
            if (other.course != row.course) {
                EXPECT_FALSE(whole.contains(QString::fromUtf8(other.shortName) + QLatin1Char(' ')));
            }
        }
    }
}

TEST(HelpPanel, HiddenUntilOpened) {
    Window w;
    HelpPanel* help = w.help;
    EXPECT_EQ(help->objectName(), QStringLiteral("ScrollBox1"));
    EXPECT_FALSE(help->isVisible());
    EXPECT_EQ(help->frameShape(), QFrame::NoFrame);
    for (Course c : {Course::Futbol, Course::Basket, Course::FutSal, Course::Zevez}) {
        EXPECT_FALSE(help->imageHlp(c)->isVisibleTo(help));
        EXPECT_FALSE(help->memoTexto(c)->isVisibleTo(help));
        EXPECT_EQ(help->memoTexto(c)->toPlainText(), HelpPanel::helpText(c));
    }
    EXPECT_EQ(help->findChild<QLabel*>(QStringLiteral("ImageHlp_Basket"))->geometry().size(),
              QSize(290, 484));
    EXPECT_EQ(help->findChild<QLabel*>(QStringLiteral("ImageHlp_Zevez"))->geometry().size(), QSize(290, 480));
}

TEST(HelpPanel, OpeningLaysOutAndCoversTheWindow) {
    Window w;
    HelpPanel* help = w.help;
    help->openHelp(kEditionZevez);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->geometry(), QRect(0, 0, 826, 592));
    EXPECT_EQ(w.client.children().last(), help);
    EXPECT_EQ(help->imageHlp(Course::Zevez)->geometry(), QRect(16, 56, 290, 480));
    EXPECT_EQ(help->imageHlp(Course::Basket)->geometry(), QRect(20, 56, 290, 484));
    EXPECT_EQ(help->imageHlp(Course::Futbol)->y(), 56);
    EXPECT_EQ(help->imageHlp(Course::FutSal)->y(), 56);
    EXPECT_EQ(help->memo1()->geometry(), QRect(326, 26, 485, 525));
    EXPECT_EQ(help->bitBtn3()->geometry(), QRect(344, 545, 139, 27));
    // The button overlaps the text area's last pixels and must stay on top of it.
    EXPECT_EQ(help->childAt(400, 548), help->bitBtn3());

    QPlainTextEdit* memo = help->memo1();
    EXPECT_EQ(memo->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_FALSE(memo->isReadOnly());
    EXPECT_EQ(memo->palette().color(QPalette::Base), QColor(255, 255, 255));

    FlatButton* close = help->bitBtn3();
    EXPECT_EQ(close->caption(), QStringLiteral(" Cerrar ventana"));
    EXPECT_EQ(close->faceColor(), QColor(221, 221, 221));
    EXPECT_EQ(close->borderColor(), QColor(170, 170, 170));
}

TEST(HelpPanel, DrawingAndTextByEdition) {
    struct Row {
        int edition;
        Course course;
    };
    const Row rows[] = {{kEditionProbst, Course::Futbol},
                        {kEditionFutbol, Course::Futbol},
                        {kEditionBasket, Course::Basket},
                        {kEditionFutSal, Course::FutSal},
                        {kEditionZevez, Course::Zevez}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.edition);
        Window w;
        w.help->openHelp(row.edition);
        for (Course c : {Course::Futbol, Course::Basket, Course::FutSal, Course::Zevez})
            EXPECT_EQ(w.help->imageHlp(c)->isVisible(), c == row.course);
        EXPECT_EQ(w.help->memo1()->toPlainText(), HelpPanel::helpText(row.course));
        const QPoint inDrawing = w.help->imageHlp(row.course)->geometry().center();
        EXPECT_EQ(w.help->childAt(inDrawing), w.help->imageHlp(row.course));
    }
}

TEST(HelpPanel, TypedTextStaysUntilTheNextOpening) {
    Window w;
    HelpPanel* help = w.help;
    QSignalSpy closed(help, &HelpPanel::closed);
    help->openHelp(kEditionFutbol);
    QPlainTextEdit* memo = help->memo1();
    memo->moveCursor(QTextCursor::End);
    QTest::keyClicks(memo, QStringLiteral(" notas"));
    EXPECT_TRUE(memo->toPlainText().endsWith(QStringLiteral(" notas")));

    QTest::mouseClick(help->bitBtn3(), Qt::LeftButton);
    EXPECT_FALSE(help->isVisible());
    EXPECT_EQ(closed.count(), 1);
    EXPECT_TRUE(memo->toPlainText().endsWith(QStringLiteral(" notas")));
    // The store itself was not touched.
    EXPECT_EQ(help->memoTexto(Course::Futbol)->toPlainText(), HelpPanel::helpText(Course::Futbol));

    help->openHelp(kEditionFutbol);
    EXPECT_EQ(memo->toPlainText(), HelpPanel::helpText(Course::Futbol));
}
