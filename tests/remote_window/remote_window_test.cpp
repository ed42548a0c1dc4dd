#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QHeaderView>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPoint>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTcpSocket>
#include <QTest>
#include <QUrlQuery>
#include <QWebSocket>

#include "engine/Edition.h"
#include "platform/fakes/FakePlatform.h"
#include "remote/PhoneMessage.h"
#include "remote/RemoteAuthority.h"
#include "remote/RemoteServer.h"
#include "remote_window/BidiBrowser.h"
#include "results/CellText.h"
#include "results/ResultsTable.h"
#include "results/RunWarnings.h"
#include "results/TestRun.h"
#include "shell/ConfigPanel.h"
#include "shell/RemoteWindow.h"
#include "shell/RunAssembly.h"
#include "shell/TestFut1.h"
#include "support/FakeTime.h"

using namespace norak;

namespace {

// The test window offscreen, its remote bound to 127.0.0.1 only.
struct RemoteForm {
    RemoteForm() : form(kEditionZevez, fakes.platform()), time(fakes, form) {
        qputenv("NORAK_REMOTE_BIND", "127.0.0.1");
        form.FormActivate();
        form.BitBtnEmpezarClick();
        form.show();
        for (int row = 1; row <= 4; ++row)
            form.testRun().table().setCell(kColName, row, QStringLiteral("J%1").arg(row));
    }
    void start() {
        form.testRun().chooseMode(TestMode::Esfuerzo);
        if (form.testRun().display().warmUpChecked)
            form.testRun().setWarmUp(false);
        form.BitBtnStartClick();
        int legs = 0;
        for (int steps = 0; legs < 2 && steps < 100000; ++steps) {
            time.step();
            legs = 0;
            for (const TimingRecord::Signal& s : form.testRun().session().timingRecord().signalsGiven)
                legs += s.kind == TimingRecord::SignalKind::Leg && s.phase == TimingRecord::Phase::Effort;
        }
    }
    QCheckBox* box() const { return form.configPanel()->remoteBox(); }

    FakePlatform fakes;
    TForm1 form;
    norak::testing::FakeTime<TForm1> time;
};

}  // namespace

// Off by default; on, it listens on the bound address alone and shows the address as a QR code
// and as text; "Apagar" closes the port and clears the control.
TEST(RemoteWindow, OffByDefaultOnListensOnTheBoundAddressAndOffClosesIt) {
    RemoteForm f;
    EXPECT_FALSE(f.box()->isChecked());
    EXPECT_EQ(f.form.remoteWindow(), nullptr);
    f.box()->click();
    RemoteWindow* window = f.form.remoteWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(window->isOn());
    EXPECT_EQ(window->server()->address(), QHostAddress(QHostAddress::LocalHost));
    const QString url = window->server()->pageUrl().toString();
    EXPECT_TRUE(url.startsWith(QStringLiteral("http://127.0.0.1:")));
    const QImage qr = RemoteWindow::qrImage(url.toUtf8(), 4);
    ASSERT_FALSE(qr.isNull());
    EXPECT_EQ(qr.width(), qr.height());
    EXPECT_GE(qr.width(), (21 + 8) * 4);  // the smallest code and its quiet zone
    EXPECT_EQ(qr.pixel(0, 0), qRgb(255, 255, 255));

    const quint16 port = window->server()->port();
    f.box()->click();
    EXPECT_FALSE(window->isOn());
    QTcpSocket probe;
    probe.connectToHost(QHostAddress::LocalHost, port);
    EXPECT_FALSE(probe.waitForConnected(1000));
    f.box()->click();
    ASSERT_TRUE(window->isOn());
    window->findChild<QPushButton*>(QStringLiteral("RemoteOff"))->click();
    EXPECT_FALSE(window->isOn());
    EXPECT_FALSE(f.box()->isChecked());
}

// The phones' list shows how many commands each phone got through and its last one, undo
// included; a refused one changes nothing there but the phone's refusals. A press touches the
// list's one cell that changed, once.
TEST(RemoteWindow, ListsEachPhonesAppliedCommandsAndTheLastOne) {
    RemoteForm f;
    f.start();
    f.box()->click();
    RemoteWindow* window = f.form.remoteWindow();
    ASSERT_TRUE(window && window->isOn());
    const QUrl page = window->server()->pageUrl();
    QWebSocket phone(QStringLiteral("http://127.0.0.1:%1").arg(page.port()));
    QStringList answers;
    QObject::connect(&phone, &QWebSocket::textMessageReceived, [&](const QString& m) {
        if (m.contains(QLatin1String("\"answer\"")))
            answers << m;
    });
    phone.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/ws?t=%2")
                        .arg(page.port())
                        .arg(QUrlQuery(page).queryItemValue(QStringLiteral("t")))));
    const auto press = [&](PhoneCommand::Type type, const QString& id, int athlete) {
        const qsizetype before = answers.size();
        const PhoneCommand c{type, id, qint64(window->authority()->epoch()),
                             type == PhoneCommand::Type::Undo ? 0 : window->authority()->currentLeg(),
                             athlete};
        phone.sendTextMessage(QString::fromUtf8(PhoneMessage::encode(c)));
        return QTest::qWaitFor([&] { return answers.size() > before; }, 5000);
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return phone.state() == QAbstractSocket::ConnectedState; }, 5000));
    const auto* list = window->findChild<QTableWidget*>(QStringLiteral("RemotePhones"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->rowCount() == 1; }, 5000));
    EXPECT_EQ(list->item(0, 4)->text(), QStringLiteral("0"));
    QTest::qWait(50);  // the connection's own changes shown
    QSignalSpy changed(list->model(), &QAbstractItemModel::dataChanged);
    const auto changedCells = [&] {
        QList<QPoint> cells;  // (column, row) per change
        for (const QList<QVariant>& c : std::as_const(changed)) {
            const auto from = c[0].value<QModelIndex>(), to = c[1].value<QModelIndex>();
            for (int row = from.row(); row <= to.row(); ++row)
                for (int column = from.column(); column <= to.column(); ++column)
                    cells << QPoint(column, row);
        }
        changed.clear();
        return cells;
    };

    ASSERT_TRUE(press(PhoneCommand::Type::Warning, QStringLiteral("w1"), 3));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !changed.isEmpty(); }, 5000));
    EXPECT_EQ(list->item(0, 4)->text(), QStringLiteral("1 · último: aviso 3"));
    EXPECT_EQ(changedCells(), QList<QPoint>{QPoint(4, 0)});
    ASSERT_TRUE(press(PhoneCommand::Type::Warning, QStringLiteral("w2"), 9));  // no such player
    EXPECT_TRUE(answers.last().contains(QLatin1String("refused")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !changed.isEmpty(); }, 5000));
    EXPECT_EQ(list->item(0, 4)->text(), QStringLiteral("1 · último: aviso 3"));
    EXPECT_EQ(list->item(0, 3)->text(), QStringLiteral("1"));
    EXPECT_EQ(changedCells(), QList<QPoint>{QPoint(3, 0)});
    ASSERT_TRUE(press(PhoneCommand::Type::Undo, QStringLiteral("u1"), 0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !changed.isEmpty(); }, 5000));
    EXPECT_EQ(list->item(0, 4)->text(), QStringLiteral("2 · último: deshecho 3"));
    EXPECT_EQ(f.form.features().warnings().count(3), 0);
    ASSERT_TRUE(press(PhoneCommand::Type::Dropout, QStringLiteral("d1"), 4));
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->item(0, 4)->text().startsWith(QLatin1Char('3')); }, 5000));
    EXPECT_EQ(list->item(0, 4)->text(), QStringLiteral("3 · último: abandono 4"));
    // Every column fits its texts, and all but the last (which takes the room left) no more.
    for (int column = 0; column < list->columnCount(); ++column) {
        const int text = list->fontMetrics().horizontalAdvance(list->item(0, column)->text());
        const int title = list->horizontalHeader()->sectionSizeHint(column);
        EXPECT_GT(list->columnWidth(column), text) << column;
        EXPECT_GE(list->columnWidth(column), title) << column;
        if (column < list->columnCount() - 1) {
            EXPECT_LE(list->columnWidth(column), std::max(title, text + 20)) << column;
        }
    }
}

// The phones' list drives "Permitir" and "Quitar": the second phone waits, "Permitir" applies to
// it alone, and "Quitar" takes the selected phone off.
TEST(RemoteWindow, AllowAndRemoveApplyToTheSelectedPhone) {
    RemoteForm f;
    f.start();
    f.box()->click();
    RemoteWindow* window = f.form.remoteWindow();
    ASSERT_TRUE(window && window->isOn());
    const QUrl page = window->server()->pageUrl();
    const QUrl ws(QStringLiteral("ws://127.0.0.1:%1/ws?t=%2")
                      .arg(page.port())
                      .arg(QUrlQuery(page).queryItemValue(QStringLiteral("t"))));
    QWebSocket first(QStringLiteral("http://127.0.0.1:%1").arg(page.port()));
    QWebSocket second(QStringLiteral("http://127.0.0.1:%1").arg(page.port()));
    first.open(ws);
    auto* list = window->findChild<QTableWidget*>(QStringLiteral("RemotePhones"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->rowCount() == 1; }, 5000));
    second.open(ws);
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->rowCount() == 2; }, 5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return second.state() == QAbstractSocket::ConnectedState; }, 5000));
    const auto button = [&](const QString& text) {
        for (auto* b : window->findChildren<QPushButton*>())
            if (b->text() == text)
                return b;
        return static_cast<QPushButton*>(nullptr);
    };
    QPushButton* allow = button(QStringLiteral("Permitir"));
    QPushButton* remove = button(QStringLiteral("Quitar"));
    ASSERT_TRUE(allow && remove);
    EXPECT_FALSE(allow->isEnabled());  // nothing selected
    EXPECT_FALSE(remove->isEnabled());

    list->selectRow(0);  // the paired phone: nothing to allow
    EXPECT_FALSE(allow->isEnabled());
    EXPECT_TRUE(remove->isEnabled());
    list->selectRow(1);
    EXPECT_EQ(list->item(1, 2)->text(), QStringLiteral("espera permiso"));
    ASSERT_TRUE(allow->isEnabled());
    allow->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->server()->phones().value(1).allowed; }, 5000));
    EXPECT_EQ(list->item(1, 2)->text(), QStringLiteral("conectado"));

    list->selectRow(0);
    remove->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return first.state() == QAbstractSocket::UnconnectedState; }, 5000));
    EXPECT_EQ(second.state(), QAbstractSocket::ConnectedState);
}

// End to end in a real browser: headless Chromium pairs, warns cone 1 and drops out cone 2 on
// the page; the laptop's table has them, and a second browser is held until allowed.
TEST(RemoteBrowser, PairsWarnsAndDropsOutFromHeadlessChromium) {
    if (!QFile::exists(QStringLiteral("/usr/bin/chromedriver")) ||
        !QFile::exists(QStringLiteral("/usr/bin/chromium")))
        GTEST_SKIP() << "chromium and chromium-driver are not installed";
    RemoteForm f;
    f.start();
    f.box()->click();
    RemoteWindow* window = f.form.remoteWindow();
    ASSERT_TRUE(window && window->isOn());

    QProcess phone;  // Debian's python3, with python3-selenium
    phone.start(QStringLiteral("/usr/bin/python3"),
                {QStringLiteral(NORAK_SOURCE_DIR "/tests/remote/browser_phone.py"),
                 window->server()->pageUrl().toString()});
    // The laptop's event loop runs while the browser works; its heartbeat's time moves on.
    for (int i = 0; i < 1800 && phone.state() != QProcess::NotRunning; ++i) {
        QTest::qWait(50);
        if (i % 20 == 0)
            f.fakes.ticks.advance(1000);
    }
    ASSERT_EQ(phone.exitCode(), 0) << phone.readAllStandardError().toStdString();
    const QJsonObject seen = QJsonDocument::fromJson(phone.readAllStandardOutput().trimmed()).object();
    EXPECT_EQ(seen.value(QStringLiteral("warning")).toString(), QStringLiteral("Hecho"));
    EXPECT_EQ(seen.value(QStringLiteral("dropout")).toString(), QStringLiteral("Hecho"));
    EXPECT_TRUE(seen.value(QStringLiteral("secondHeld")).toBool());

    EXPECT_EQ(f.form.features().warnings().count(1), 1);
    EXPECT_FALSE(f.form.testRun().roster().isShown(2));
    EXPECT_FALSE(f.form.testRun().table().cell(kColTime, 2).isEmpty());
    EXPECT_TRUE(f.form.testRun().roster().isShown(1));
    // The page loaded whole under its own policy, asking for nothing else.
    EXPECT_EQ(window->server()->refusals(), 0);
    const QList<RemoteServer::Phone> phones = window->server()->phones();
    ASSERT_EQ(phones.size(), 2);
    EXPECT_TRUE(phones[0].allowed);
    EXPECT_FALSE(phones[1].allowed);
}

// The same in Firefox (Debian's firefox-esr), driven over WebDriver BiDi, which the browser serves
// itself (Debian 12 packages no geckodriver): real mouse clicks, the laptop's table afterwards,
// and a second tab (a phone of its own: the page's key is kept per tab) held until allowed.
TEST(RemoteBrowser, PairsWarnsAndDropsOutFromHeadlessFirefox) {
    const QString firefox = QStringLiteral("/usr/bin/firefox-esr");
    if (!QFile::exists(firefox))
        GTEST_SKIP() << "firefox-esr is not installed";
    RemoteForm f;
    f.start();
    f.box()->click();
    RemoteWindow* window = f.form.remoteWindow();
    ASSERT_TRUE(window && window->isOn());

    // The laptop's heartbeat's time moves on while the browser works, a second a second.
    QElapsedTimer real;
    real.start();
    qint64 moved = 0;
    norak::testing::BidiBrowser browser([&] {
        for (; moved + 1000 <= real.elapsed(); moved += 1000)
            f.fakes.ticks.advance(1000);
    });
    ASSERT_TRUE(browser.start(firefox)) << browser.error().toStdString();
    const QString tab = browser.firstTab();
    ASSERT_FALSE(tab.isEmpty()) << browser.error().toStdString();
    ASSERT_TRUE(browser.navigate(tab, window->server()->pageUrl())) << browser.error().toStdString();
    ASSERT_TRUE(browser.waitUntil(tab, QStringLiteral("document.querySelectorAll('.card').length === 4")));
    const auto status = [&] {
        return browser.evaluate(tab, QStringLiteral("document.getElementById('status').textContent"))
            .value_or(QJsonValue())
            .toString();
    };
    // Each press confirmed by a second tap, as a scorer does.
    const auto confirm = [&](int cone, const char* type) {
        const QString button =
            QStringLiteral("button[data-cone='%1'][data-type='%2']").arg(cone).arg(QString::fromLatin1(type));
        EXPECT_TRUE(
            browser.waitUntil(tab, QStringLiteral("!document.querySelector(\"%1\").disabled").arg(button)));
        EXPECT_TRUE(browser.click(tab, button)) << browser.error().toStdString();
        EXPECT_TRUE(browser.click(tab, button)) << browser.error().toStdString();
        EXPECT_TRUE(browser.waitUntil(tab, QStringLiteral("(s => s === 'Hecho' || s.startsWith('Rechazado'))("
                                                          "document.getElementById('status').textContent)")));
        return status();
    };
    EXPECT_EQ(confirm(1, "warning"), QStringLiteral("Hecho"));
    EXPECT_EQ(confirm(2, "dropout"), QStringLiteral("Hecho"));
    EXPECT_TRUE(browser.waitUntil(
        tab, QStringLiteral("document.querySelector('button[data-cone=\"2\"]').closest('.card')"
                            ".classList.contains('out')")));
    EXPECT_EQ(f.form.features().warnings().count(1), 1);
    EXPECT_FALSE(f.form.testRun().roster().isShown(2));
    EXPECT_FALSE(f.form.testRun().table().cell(kColTime, 2).isEmpty());
    EXPECT_TRUE(f.form.testRun().roster().isShown(1));

    const QString second = browser.newTab();
    ASSERT_FALSE(second.isEmpty()) << browser.error().toStdString();
    ASSERT_TRUE(browser.navigate(second, window->server()->pageUrl()));
    EXPECT_TRUE(browser.waitUntil(second, QStringLiteral("document.body.classList.contains('waiting')")));
    EXPECT_EQ(window->server()->refusals(), 0);  // the page loaded whole under its own policy
    const QList<RemoteServer::Phone> phones = window->server()->phones();
    ASSERT_EQ(phones.size(), 2);
    EXPECT_TRUE(phones[0].allowed);
    EXPECT_FALSE(phones[1].allowed);
}
