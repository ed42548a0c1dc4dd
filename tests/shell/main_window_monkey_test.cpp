#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTest>
#include <deque>
#include <memory>
#include <random>

#include "platform/fakes/FakePlatform.h"
#include "results/AthleteRoster.h"
#include "results/CellText.h"
#include "results/ResultsTable.h"
#include "results/Windows1252.h"
#include "shell/AthleteButton.h"
#include "shell/CellLineEdit.h"
#include "shell/ConfigPanel.h"
#include "shell/ParametersPanel.h"
#include "shell/ResultsGrid.h"
#include "shell/ResultsPanel.h"
#include "shell/RunDisplay.h"
#include "shell/TestFut1.h"
#include "shell/controls/FlatButton.h"
#include "support/FakeTime.h"

using namespace norak;

// A monkey at the test window: random but legal user events in random order (clicks and double
// clicks on whatever is on top, typing, pasting, input-method text, context menus, keys), with the
// fake tick counter and clock moved between events and the pacing timers driven by hand. After
// every event the window must still be consistent and every file it exported well formed. Each
// run has a fixed seed; a failure names the seed, the event and the events before it.

namespace {

using Rng = std::mt19937;

int uniform(Rng& rng, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(rng);
}

bool chance(Rng& rng, double p) {
    return std::bernoulli_distribution(p)(rng);
}

template <typename T>
const T& pick(Rng& rng, const std::vector<T>& items) {
    return items[std::size_t(uniform(rng, 0, int(items.size()) - 1))];
}

// Text as a test master (or a paste from anywhere) might bring: plain and accented Spanish,
// emoji, control characters, separators, combining marks and very long strings.
QString randomText(Rng& rng) {
    static const std::vector<QString> pieces = {
        QStringLiteral("Ana"),
        QStringLiteral("José María"),
        QStringLiteral("Núñez"),
        QStringLiteral("Begoña"),
        QStringLiteral("¿Qué?¡Sí!"),
        QStringLiteral("ºª€"),
        QStringLiteral("V07"),
        QStringLiteral(";"),
        QStringLiteral(";;a;b;"),
        QStringLiteral("\t"),
        QStringLiteral("\r\n"),
        QStringLiteral("\n"),
        QString(QChar(0x01)) + QChar(0x1b) + QChar(0x7f),
        QString(QChar(0x85)) + QChar(0x9d),
        QStringLiteral("😀"),
        QStringLiteral("🏐⚽👍🏽"),
        QStringLiteral("n\u0303"),
        QStringLiteral("\u200d\u202e"),
        QStringLiteral("Łódź Ωμέγα 中文"),
        QString(QChar(0)),
        QStringLiteral("8571"),
        QStringLiteral("-12"),
        QStringLiteral("99999999999"),
        QStringLiteral(" "),
        QStringLiteral("\"'\\"),
    };
    QString text;
    const int parts = uniform(rng, 0, 6);
    for (int i = 0; i < parts; ++i) {
        if (chance(rng, 0.35)) {
            const int length = uniform(rng, 1, 24);
            for (int c = 0; c < length; ++c)
                text += QChar(uniform(rng, 0x20, 0x7e));
        } else {
            text += pick(rng, pieces);
        }
    }
    if (chance(rng, 0.04))
        text = text.repeated(uniform(rng, 50, 400)) + QString(QChar(uniform(rng, 0x41, 0x5a)));
    return text;
}

// The export folder in the fake file system and a few other places a test master might choose.
std::optional<QString> randomSaveAnswer(Rng& rng, const QString& programDir) {
    switch (uniform(rng, 0, 5)) {
        case 0:
            return std::nullopt;  // Cancel
        case 1:
            return QStringLiteral("/home/coach/Escritorio/resultados.txt");
        case 2:
            return QStringLiteral("/media/usb/Prueba de hoy ñ.txt");
        default:
            return programDir + QStringLiteral("Export/NORAK.txt");
    }
}

bool isDefinedWindows1252Byte(unsigned char byte) {
    return byte >= 0x20 && byte != 0x7f && byte != 0x81 && byte != 0x8d && byte != 0x8f && byte != 0x90 &&
           byte != 0x9d;
}

// What is wrong with an export file, or an empty text when it is well formed.
std::string exportFault(const QByteArray& file, int rows, bool basket, const QString& editionTitle) {
    if (!file.endsWith("\r\n"))
        return "the last line has no CR LF";
    QList<QByteArray> lines = file.split('\n');
    lines.removeLast();  // after the final line end
    for (QByteArray& line : lines) {
        if (!line.endsWith('\r'))
            return "a line end is not CR LF";
        line.chop(1);
        for (const char c : line) {
            if (!isDefinedWindows1252Byte(static_cast<unsigned char>(c)))
                return "byte " + std::to_string(static_cast<unsigned char>(c)) + " is no Windows-1252 text";
        }
    }
    if (lines.size() != 4 + rows)
        return std::to_string(lines.size()) + " lines instead of " + std::to_string(4 + rows);
    if (lines[0] != encodeWindows1252(editionTitle).value_or(QByteArray()))
        return "the first line is not the edition title";
    if (lines[1] != QByteArray(";Fecha;Hora;Periodo Inicial;Velocidad Inicial (Km/h);"))
        return "the second line is wrong";
    if (lines[2].count(';') != 5 || !lines[2].startsWith(';') || !lines[2].endsWith(';'))
        return "the third line does not hold four fields";
    if (lines[3] !=
        encodeWindows1252(
            QStringLiteral(
                ";Nº;Sujeto;Cod.;Tiempo (mm:ss);Periodos complet.;Distancia (m);Vel. Máx. (Km/h);"))
            .value_or(QByteArray()))
        return "the title line is wrong";
    const int separators = basket ? 9 : 8;
    for (int i = 4; i < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        if (line.count(';') != separators || !line.startsWith(';') || !line.endsWith(';'))
            return "athlete line " + std::to_string(i - 3) + " does not hold " +
                   std::to_string(separators - 1) + " fields: " + line.toStdString();
    }
    return {};
}

class Monkey {
  public:
    Monkey(int edition, unsigned seed) : m_edition(edition), m_seed(seed), m_rng(seed) {
        m_fakes.clock.set(QDateTime(QDate(2026, 12, 6), QTime(19, 45, 0)));
        openWindow();
    }

    // Runs `count` events; returns the first fault found (empty when none).
    std::string run(int count) {
        for (int i = 0; i < count; ++i) {
            m_eventNumber = i;
            oneEvent();
            const std::string fault = check();
            if (!fault.empty())
                return report(fault);
            if (!m_window->isVisible()) {
                // The test master left the program; it is started again.
                note("program left; started again");
                openWindow();
            }
        }
        return {};
    }

    int exportsChecked() const { return m_exportsChecked; }
    int signalsGiven() const { return m_fakes.sound.m_signals; }
    int programStarts() const { return m_starts; }
    int testsStarted() const { return m_testsStarted; }

  private:
    void openWindow() {
        m_window.reset();
        m_window = std::make_unique<TForm1>(m_edition, m_fakes.platform());
        m_time = std::make_unique<norak::testing::FakeTime<TForm1>>(m_fakes, *m_window);
        ++m_starts;
        m_newTestSinceStop = false;
        QObject::connect(m_window->topButton(1), &QAbstractButton::clicked,
                         [this] { m_newTestEvent = true; });
        QObject::connect(m_window->configPanel(), &ConfigPanel::modeChosen,
                         [this] { m_newTestEvent = true; });
        m_window->show();
        QApplication::setActiveWindow(m_window.get());
        QCoreApplication::processEvents();  // the activation step
    }

    const TestSession& session() const { return m_window->session(); }

    // The text with control characters written as \xNN, for a readable trace.
    static std::string printable(const QString& text) {
        std::string out;
        for (const QChar c : text) {
            if (c.category() == QChar::Other_Control) {
                char code[8];
                std::snprintf(code, sizeof code, "\\x%02x", unsigned(c.unicode()));
                out += code;
            } else {
                out += QString(c).toStdString();
            }
        }
        return out;
    }

    void note(const std::string& what) {
        if (qEnvironmentVariableIsSet("NORAK_MONKEY_TRACE"))
            std::printf("%d %s\n", m_eventNumber, what.c_str());
        m_trace.push_back("#" + std::to_string(m_eventNumber) + " " + what);
        if (m_trace.size() > 25)
            m_trace.pop_front();
    }

    std::string report(const std::string& fault) const {
        std::string text = "seed " + std::to_string(m_seed) + ", edition " + std::to_string(m_edition) +
                           ", event " + std::to_string(m_eventNumber) + ": " + fault + "\nlast events:\n";
        for (const std::string& line : m_trace)
            text += "  " + line + "\n";
        return text;
    }

    static std::string name(const QWidget* widget) {
        if (!widget)
            return "(none)";
        std::string text = widget->metaObject()->className();
        if (!widget->objectName().isEmpty())
            text += " " + widget->objectName().toStdString();
        return text;
    }

    // ---------------------------------------------------------------------------------------
    // Time

    // One look of each running timer, as the event loop would give after the counter moved.
    void lookAtTimers() { m_time->look(); }

    // Pacing goes on for a while: 10 ms looks, the clock every 100 ms.
    void runFor(int ms) {
        note("run " + std::to_string(ms) + " ms");
        m_time->runFor(ms);
    }

    void timeJump() {
        static const std::vector<qint64> jumps = {1,     9,     250,    999,     8572,
                                                  27500, 30001, 180001, 3600000, 36000000};
        const qint64 ms = pick(m_rng, jumps) + uniform(m_rng, 0, 50);
        note("time jump " + std::to_string(ms) + " ms");
        m_time->step(ms);
    }

    void clockSetBack() {
        const qint64 ms = uniform(m_rng, 1, 7200) * 1000;
        note("local clock set back " + std::to_string(ms) + " ms");
        m_fakes.clock.advanceMs(-ms);
        lookAtTimers();
    }

    // ---------------------------------------------------------------------------------------
    // Pointer

    // True when the widget (or one of its children) is what the pointer meets at its centre.
    bool isOnTop(QWidget* widget) const {
        const QWidget* top = m_window->childAt(widget->mapTo(m_window.get(), widget->rect().center()));
        return top && (top == widget || widget->isAncestorOf(top));
    }

    // Widgets worth aiming at, with a weight: buttons most, then input controls, then the rest.
    QWidget* pickTarget() {
        std::vector<QWidget*> targets;
        std::vector<int> weights;
        const QList<QWidget*> all = m_window->findChildren<QWidget*>();
        for (QWidget* widget : all) {
            if (!widget->isVisible() || widget->isWindow() || !isOnTop(widget))
                continue;
            int weight = 1;
            if (qobject_cast<AthleteButton*>(widget))
                weight = 12;
            else if (widget == m_window->topButton(0))
                weight = 1;  // "Salir" now and then, not all the time
            else if (qobject_cast<QAbstractButton*>(widget))
                weight = 8;
            else if (qobject_cast<QComboBox*>(widget) || qobject_cast<QAbstractSpinBox*>(widget))
                weight = 4;
            else if (qobject_cast<QAbstractItemView*>(widget->parentWidget()))
                weight = 10;  // the grid's cells
            targets.push_back(widget);
            weights.push_back(weight);
        }
        if (targets.empty())
            return m_window.get();
        std::discrete_distribution<std::size_t> choose(weights.begin(), weights.end());
        return targets[choose(m_rng)];
    }

    // A point of the target, and the widget that is really on top there.
    std::pair<QWidget*, QPoint> aim() {
        QWidget* target = pickTarget();
        const QPoint local(uniform(m_rng, 0, std::max(0, target->width() - 1)),
                           uniform(m_rng, 0, std::max(0, target->height() - 1)));
        const QPoint inWindow = target->mapTo(m_window.get(), local);
        QWidget* top = m_window->childAt(inWindow);
        if (!top)
            top = m_window.get();
        return {top, top->mapFrom(m_window.get(), inWindow)};
    }

    void click() {
        const auto [widget, pos] = aim();
        const Qt::MouseButton button = chance(m_rng, 0.9) ? Qt::LeftButton : Qt::MiddleButton;
        note("click " + name(widget) + (button == Qt::MiddleButton ? " (middle)" : ""));
        QTest::mouseClick(widget, button, Qt::NoModifier, pos);
    }

    void doubleClick() {
        const auto [widget, pos] = aim();
        note("double click " + name(widget));
        QTest::mouseDClick(widget, Qt::LeftButton, Qt::NoModifier, pos);
    }

    void pointerMove() {
        const auto [widget, pos] = aim();
        QMouseEvent move(QEvent::MouseMove, QPointF(pos), widget->mapToGlobal(QPointF(pos)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &move);
    }

    // A click on a name or code cell of the grid, then a name typed into it (if the click opened
    // the cell's editor), ended by Return, Tab or nothing.
    void enterName() {
        static const std::vector<QString> names = {
            QStringLiteral("Ana"),        QStringLiteral("José María Núñez Peña"),
            QStringLiteral("Begoña"),     QStringLiteral("Íñigo Ü"),
            QStringLiteral("Zoë;Ñ"),      QStringLiteral("V07"),
            QStringLiteral("Lucía🏐"), QStringLiteral("A\tB"),
            QStringLiteral("x"),
        };
        ResultsGrid* grid = m_window->resultsPanel()->grid();
        const int row = uniform(m_rng, 0, grid->model()->rowCount() - 1);
        const int column = chance(m_rng, 0.8) ? kColName : kColCode;
        const QRect cell = grid->visualRect(grid->model()->index(row, column));
        const QPoint inWindow = grid->viewport()->mapTo(m_window.get(), cell.center());
        QWidget* top = m_window->childAt(inWindow);
        if (!top)
            return;
        note("click on cell " + std::to_string(column) + "," + std::to_string(row + 1) + " hits " +
             name(top));
        QTest::mouseClick(top, Qt::LeftButton, Qt::NoModifier, top->mapFrom(m_window.get(), inWindow));
        QWidget* target = keyboardTarget();
        const QString text = chance(m_rng, 0.7) ? pick(m_rng, names) : randomText(m_rng).left(30);
        note("name \"" + printable(text) + "\" into " + name(target));
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, keyboardTarget(), Qt::Key_unknown, QString(c), Qt::NoModifier);
        if (chance(m_rng, 0.5))
            QTest::keyClick(keyboardTarget(), chance(m_rng, 0.5) ? Qt::Key_Return : Qt::Key_Tab);
    }

    void gridContextMenu() {
        ResultsGrid* grid = m_window->resultsPanel()->grid();
        if (!grid->isVisible())
            return;
        QWidget* viewport = grid->viewport();
        const QPoint pos(uniform(m_rng, 0, viewport->width() - 1), uniform(m_rng, 0, viewport->height() - 1));
        // The right button first makes the row under the pointer current, as in the program.
        QTest::mouseClick(viewport, Qt::RightButton, Qt::NoModifier, pos);
        note("context menu on the grid");
        QContextMenuEvent event(QContextMenuEvent::Mouse, pos, viewport->mapToGlobal(pos));
        QCoreApplication::sendEvent(viewport, &event);
    }

    // While a popup is open, the test master can only pick from it or close it.
    void usePopup(QWidget* popup) {
        if (auto* menu = qobject_cast<QMenu*>(popup)) {
            const QList<QAction*> actions = menu->actions();
            if (!actions.isEmpty() && chance(m_rng, 0.7)) {
                QAction* action = actions[uniform(m_rng, 0, int(actions.size()) - 1)];
                note("menu item \"" + action->text().toStdString() + "\"" +
                     (action->isEnabled() ? "" : " (disabled)"));
                menu->close();
                if (action->isEnabled())
                    action->trigger();
            } else {
                note("menu closed");
                menu->close();
            }
            return;
        }
        // A combo box list: move in it, then choose or leave.
        QWidget* list = popup;
        if (auto* view = popup->findChild<QAbstractItemView*>())
            list = view;
        const int moves = uniform(m_rng, 0, 4);
        for (int i = 0; i < moves; ++i)
            QTest::keyClick(list, chance(m_rng, 0.5) ? Qt::Key_Down : Qt::Key_Up);
        const bool choose = chance(m_rng, 0.7);
        note(std::string("popup list: ") + (choose ? "chosen" : "closed"));
        QTest::keyClick(list, choose ? Qt::Key_Return : Qt::Key_Escape);
        if (QApplication::activePopupWidget() == popup)
            popup->close();
    }

    // ---------------------------------------------------------------------------------------
    // Keyboard

    QWidget* keyboardTarget() {
        QWidget* focus = QApplication::focusWidget();
        if (focus && focus->window() == m_window.get() && focus->isVisible())
            return focus;
        return m_window.get();
    }

    void typeText() {
        QWidget* target = keyboardTarget();
        const QString text = randomText(m_rng).left(60);
        note("type \"" + printable(text) + "\" into " + name(target));
        for (qsizetype i = 0; i < text.size(); ++i) {
            QString one(text[i]);
            if (text[i].isHighSurrogate() && i + 1 < text.size())
                one += text[++i];
            const QChar c = one[0];
            const int key =
                c.isLetterOrNumber() && c.unicode() < 0x80 ? int(c.toUpper().unicode()) : Qt::Key_unknown;
            QTest::sendKeyEvent(QTest::Click, target, Qt::Key(key), one, Qt::NoModifier);
            target = keyboardTarget();  // a key may close an editor or move the focus
        }
    }

    void pressKey() {
        static const std::vector<std::pair<int, Qt::KeyboardModifiers>> keys = {
            {Qt::Key_Backspace, Qt::NoModifier}, {Qt::Key_Delete, Qt::NoModifier},
            {Qt::Key_Left, Qt::NoModifier},      {Qt::Key_Right, Qt::NoModifier},
            {Qt::Key_Up, Qt::NoModifier},        {Qt::Key_Down, Qt::NoModifier},
            {Qt::Key_Home, Qt::NoModifier},      {Qt::Key_End, Qt::ShiftModifier},
            {Qt::Key_Tab, Qt::NoModifier},       {Qt::Key_Backtab, Qt::ShiftModifier},
            {Qt::Key_Return, Qt::NoModifier},    {Qt::Key_Enter, Qt::KeypadModifier},
            {Qt::Key_Escape, Qt::NoModifier},    {Qt::Key_Space, Qt::NoModifier},
            {Qt::Key_F2, Qt::NoModifier},        {Qt::Key_PageDown, Qt::NoModifier},
            {Qt::Key_A, Qt::ControlModifier},    {Qt::Key_Z, Qt::ControlModifier},
            {Qt::Key_X, Qt::ControlModifier},    {Qt::Key_C, Qt::ControlModifier},
            {Qt::Key_Y, Qt::ControlModifier},    {Qt::Key_Insert, Qt::ShiftModifier},
        };
        QWidget* target = keyboardTarget();
        const auto& [key, modifiers] = pick(m_rng, keys);
        note("key " + QKeySequence(key | modifiers).toString().toStdString() + " to " + name(target));
        QString text;
        if (key == Qt::Key_Space)
            text = QStringLiteral(" ");
        else if (key == Qt::Key_Return || key == Qt::Key_Enter)
            text = QStringLiteral("\r");
        else if (key == Qt::Key_Tab)
            text = QStringLiteral("\t");
        else if (key == Qt::Key_Escape)
            text = QString(QChar(0x1b));
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key(key), text, modifiers);
    }

    void paste() {
        const QString text = randomText(m_rng);
        QGuiApplication::clipboard()->setText(text);
        QWidget* target = keyboardTarget();
        note("paste " + std::to_string(text.size()) + " characters \"" + printable(text.left(40)) +
             "\" into " + name(target));
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key_V, QString(), Qt::ControlModifier);
    }

    void pasteByContextMenu() {
        auto* editor = qobject_cast<CellLineEdit*>(keyboardTarget());
        if (!editor)
            return paste();
        QGuiApplication::clipboard()->setText(randomText(m_rng));
        note("paste through the editor's context menu");
        std::unique_ptr<QMenu> menu(editor->createFilteredContextMenu());
        for (QAction* action : menu->actions()) {
            if (action->isEnabled() && action->text().contains(QStringLiteral("Paste"), Qt::CaseInsensitive))
                action->trigger();
        }
    }

    // Text dragged from another program and dropped on the widget with the focus.
    void dropText() {
        QWidget* target = keyboardTarget();
        if (!qobject_cast<QLineEdit*>(target))
            return paste();
        QMimeData data;
        data.setText(randomText(m_rng));
        note("drop \"" + printable(data.text().left(40)) + "\" on " + name(target));
        const QPointF pos(uniform(m_rng, 0, target->width() - 1), uniform(m_rng, 0, target->height() - 1));
        QDragEnterEvent enter(pos.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        QDropEvent drop(pos, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &drop);
    }

    void inputMethodText() {
        QWidget* target = keyboardTarget();
        const QString text = randomText(m_rng).left(80);
        note("input method \"" + printable(text) + "\" into " + name(target));
        QInputMethodEvent event;
        event.setCommitString(text);
        QCoreApplication::sendEvent(target, &event);
    }

    // ---------------------------------------------------------------------------------------
    // Platform answers and other happenings

    void randomizeAnswers() {
        m_fakes.messages.m_defaultAnswer = chance(m_rng, 0.6);
        m_fakes.saveDialog.m_answer = randomSaveAnswer(m_rng, m_window->ProgramDir());
        m_fakes.files.m_failWrites = chance(m_rng, 0.1);
    }

    void editPeriodTable() {
        QPlainTextEdit* memo = m_window->parametersPanel()->activeTableEdit();
        QStringList lines = memo->toPlainText().split(QLatin1Char('\n'));
        const int line =
            std::clamp(int(session().CurrentPeriod()) - 1 + uniform(m_rng, -1, 1), 0, int(lines.size()) - 1);
        static const std::vector<QString> edits = {QStringLiteral("abc"),   QString(),
                                                   QStringLiteral("85x"),   QStringLiteral("-3"),
                                                   QStringLiteral("0"),     QStringLiteral("1200"),
                                                   QStringLiteral(" 2000 ")};
        lines[line] = chance(m_rng, 0.5) ? pick(m_rng, edits) : randomText(m_rng).left(12);
        note("period line " + std::to_string(line + 1) + " edited to \"" + printable(lines[line]) + "\"");
        memo->setPlainText(lines.join(QLatin1Char('\n')));
    }

    void restorePeriodTable() {
        note("period table restored");
        m_window->parametersPanel()->activeTableEdit()->setPlainText(
            sourcePeriodTable(m_edition).join(QLatin1Char('\n')));
    }

    void closeWindow() {
        note("window close box");
        m_window->close();
    }

    void oneEvent() {
        m_newTestEvent = false;
        randomizeAnswers();
        const bool runningBefore = session().isRunning();
        if (QWidget* popup = QApplication::activePopupWidget()) {
            usePopup(popup);
        } else if (runningBefore && chance(m_rng, 0.3)) {
            runFor(uniform(m_rng, 1, 500) * 10);  // tests run long enough for signals and dropouts
        } else {
            const int roll = uniform(m_rng, 0, 999);
            if (roll < 60)
                enterName();
            else if (roll < 300)
                click();
            else if (roll < 360)
                doubleClick();
            else if (roll < 420)
                pointerMove();
            else if (roll < 500)
                typeText();
            else if (roll < 560)
                pressKey();
            else if (roll < 600)
                paste();
            else if (roll < 610)
                pasteByContextMenu();
            else if (roll < 615)
                dropText();
            else if (roll < 640)
                inputMethodText();
            else if (roll < 680)
                gridContextMenu();
            else if (roll < 880)
                runFor(uniform(m_rng, 1, 300) * 10);
            else if (roll < 950)
                timeJump();
            else if (roll < 960)
                clockSetBack();
            else if (roll < 975)
                editPeriodTable();
            else if (roll < 998)
                restorePeriodTable();
            else
                closeWindow();
        }
        // Messages and single-shot work the handlers queued; real time hardly passes, so the
        // window's own timers find the fake counter where it was.
        QCoreApplication::processEvents();

        const bool running = m_window->isVisible() && session().isRunning();
        if (m_newTestEvent && !running)
            m_newTestSinceStop = true;
        if (running && !runningBefore) {
            m_newTestSinceStop = false;
            ++m_testsStarted;
        }
    }

    // ---------------------------------------------------------------------------------------
    // What must hold after every event

    std::string check() {
        if (!m_window->isVisible())
            return {};
        const TestSession& s = session();
        const bool running = s.isRunning();
        const bool effort = s.isTimerOn(TestSession::Timer::Effort);
        const bool recovery = s.isTimerOn(TestSession::Timer::Recovery);
        const bool clock = s.isTimerOn(TestSession::Timer::Clock);
        if (effort && recovery)
            return "Timer1 and Timer2 both run";
        if (running && !(effort || recovery))
            return "a test runs with neither Timer1 nor Timer2";
        if (!running && (effort || recovery || clock))
            return "a timer runs outside a test";
        if (running != clock)
            return "Timer3 does not follow the test";
        if (m_window->timer(TestSession::Timer::Effort)->isActive() != effort ||
            m_window->timer(TestSession::Timer::Recovery)->isActive() != recovery ||
            m_window->timer(TestSession::Timer::Clock)->isActive() != clock)
            return "the window's timers differ from the test's";

        // The widgets show what the test shows.
        const DisplayState& d = s.display();
        RunDisplay* run = m_window->runDisplay();
        if (run->crono()->text() != d.clockText || run->distancia()->text() != d.distanceText ||
            run->completados()->text() != d.completedText || run->velocidad()->text() != d.speedText ||
            run->periodo()->text() != d.periodText)
            return "the live display differs from the test's values";
        const bool enabled[6] = {d.exitEnabled, d.newTestEnabled, d.startEnabled,
                                 d.stopEnabled, d.helpEnabled,    d.aboutEnabled};
        for (int i = 0; i < 6; ++i) {
            if (m_window->topButton(i)->isEnabled() != enabled[i])
                return "top button " + std::to_string(i) + " is not as the test has it";
        }

        const bool startEnabled = m_window->topButton(2)->isEnabled();
        if (startEnabled && (running || !m_newTestSinceStop))
            return "Start is enabled without a New test since the last test";
        if (m_window->topButton(3)->isEnabled() != running)
            return "Stop is not enabled exactly while a test runs";

        ResultsPanel* results = m_window->resultsPanel();
        for (int i = 1; i <= AthleteRoster::kButtonCount; ++i) {
            const bool shown = !results->athleteButton(i)->isHidden();
            if (shown != results->roster().isShown(i))
                return "athlete button " + std::to_string(i) + " differs from its slot";
            if (shown && !running)
                return "athlete button " + std::to_string(i) + " is shown outside a test";
            if (shown && i > s.edition().stationsPerLap)
                return "athlete button " + std::to_string(i) + " is shown in a " +
                       std::to_string(s.edition().stationsPerLap) + "-slot edition";
        }

        const ResultsTable& table = results->table();
        for (int row = 1; row <= table.dataRowCount(); ++row) {
            for (int column : {kColName, kColCode}) {
                const QString cell = table.cell(column, row);
                if (!cell.isEmpty() && !isAcceptableCellText(column, cell))
                    return "cell " + std::to_string(column) + "," + std::to_string(row) + " holds \"" +
                           printable(cell) + "\"";
            }
        }

        for (auto it = m_fakes.files.m_files.cbegin(); it != m_fakes.files.m_files.cend(); ++it) {
            if (m_checked.value(it.key()) == it.value())
                continue;
            const std::string fault =
                exportFault(it.value(), table.dataRowCount(), table.isBasket(), s.edition().editionTitle);
            if (!fault.empty())
                return "export " + it.key().toStdString() + ": " + fault;
            m_checked.insert(it.key(), it.value());
            ++m_exportsChecked;
        }

        // An export that failed with the disk writing fine means the table held something the
        // file cannot; the operator would lose it.
        for (std::size_t i = m_messagesChecked; i < m_fakes.messages.m_shown.size(); ++i) {
            const FakeMessages::Shown& shown = m_fakes.messages.m_shown[i];
            if (shown.text.startsWith(QStringLiteral("No se ha podido exportar")) &&
                !m_fakes.files.m_failWrites)
                return "an export failed although the disk took it";
        }
        m_messagesChecked = m_fakes.messages.m_shown.size();
        return {};
    }

    int m_edition;
    unsigned m_seed;
    Rng m_rng;
    FakePlatform m_fakes;
    std::unique_ptr<TForm1> m_window;
    std::unique_ptr<norak::testing::FakeTime<TForm1>> m_time;
    int m_eventNumber = 0;
    int m_starts = 0;
    int m_testsStarted = 0;
    std::deque<std::string> m_trace;
    QMap<QString, QByteArray> m_checked;
    int m_exportsChecked = 0;
    std::size_t m_messagesChecked = 0;
    bool m_newTestEvent = false;
    bool m_newTestSinceStop = false;
};

// The offscreen platform's complaints about popups (no keyboard grab, no raise) say nothing here.
void quietPopupWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QStringLiteral("This plugin does not support")))
        return;
    qt_message_output(type, context, message);
}

void runMonkeys(int edition, const std::vector<unsigned>& seeds, int events) {
    const QtMessageHandler previous = qInstallMessageHandler(quietPopupWarnings);
    for (const unsigned seed : seeds) {
        QElapsedTimer timer;
        timer.start();
        Monkey monkey(edition, seed);
        const std::string fault = monkey.run(events);
        EXPECT_TRUE(fault.empty()) << fault;
        std::printf(
            "edition %d seed %u: %d events in %lld ms; %d program starts, %d tests, %d signals, %d exports "
            "checked\n",
            edition, seed, events, static_cast<long long>(timer.elapsed()), monkey.programStarts(),
            monkey.testsStarted(), monkey.signalsGiven(), monkey.exportsChecked());
    }
    qInstallMessageHandler(previous);
}

}  // namespace

TEST(MainWindowMonkey, Zevez) {
    runMonkeys(kEditionZevez, {1, 2, 3}, 2000);
}

TEST(MainWindowMonkey, Basket) {
    runMonkeys(kEditionBasket, {11, 12}, 2000);
}

TEST(MainWindowMonkey, Futbol) {
    runMonkeys(kEditionFutbol, {21}, 2000);
}

TEST(MainWindowMonkey, FutSalAndProbst) {
    runMonkeys(kEditionFutSal, {31}, 2000);
    runMonkeys(kEditionProbst, {41}, 2000);
}
