#include "shell/ResultsPanel.h"
#include "shell/QtColor.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QShortcut>
#include <QToolButton>

#include "results/AthleteRoster.h"
#include "results/CellText.h"
#include "results/ReportData.h"
#include "results/ResultsGeometry.h"
#include "results/ResultsTable.h"
#include "results/RunWarnings.h"
#include "results/SquadFile.h"
#include "results/TestRun.h"
#include "shell/AthleteButton.h"
#include "shell/ResultsGrid.h"
#include "shell/ResultsLooks.h"
#include "shell/controls/ControlAccessibility.h"

namespace norak {

using namespace results_looks;

namespace {

// Clear-table glyph: a red cross over a small sheet.
QIcon clearTableIcon() {
    QPixmap pixmap(14, 14);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(1, 1, 10, 12);
    painter.setPen(QPen(QColor(200, 0, 0), 2));
    painter.drawLine(4, 4, 12, 12);
    painter.drawLine(12, 4, 4, 12);
    return QIcon(pixmap);
}

// Export glyph: a sheet with an arrow leaving it to the right.
QIcon exportIcon() {
    QPixmap pixmap(14, 14);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(0, 1, 8, 12);
    painter.setPen(QPen(QColor(0, 128, 0), 2));
    painter.drawLine(4, 7, 12, 7);
    painter.drawLine(9, 4, 12, 7);
    painter.drawLine(9, 10, 12, 7);
    return QIcon(pixmap);
}

QToolButton* makeToolButton(QWidget* parent, const QString& name, const QString& hint, const QIcon& icon) {
    auto* button = new QToolButton(parent);
    queueAccessiblePress(button);  // its click opens a dialog
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    button->setIcon(icon);
    button->setIconSize(QSize(14, 14));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->resize(kToolButtonSize, kToolButtonSize);
    button->setEnabled(false);
    return button;
}

// A button of the title bar that shows its text: white on the bar, its hint as the description
// (the text stays what assistive tools read as its name), as wide as its text.
QToolButton* makeTextButton(QWidget* parent, const QString& name, const QString& text, const QString& hint,
                            const QFont& font) {
    auto* button = new QToolButton(parent);
    queueAccessiblePress(button);  // its click opens a dialog
    button->setObjectName(name);
    button->setText(text);
    button->setToolTip(hint);
    button->setAccessibleDescription(hint);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFont(font);
    QPalette colors = button->palette();
    colors.setColor(QPalette::ButtonText, Qt::white);
    // Disabled, the text fades into the bar as the icons beside it grey out.
    colors.setColor(QPalette::Disabled, QPalette::ButtonText, kTitleBarDisabledText);
    button->setPalette(colors);
    button->resize(QFontMetrics(font).horizontalAdvance(text) + 8, kToolButtonSize);
    return button;
}

}  // namespace

QSize ResultsPanel::panelSize(int edition, int stationsPerLap, int tableWidth) {
    const QSize frame = norak::frameSize(edition, stationsPerLap, tableWidth);
    return {kFrameLeft + frame.width() + kPanelMargin, kFrameTop + frame.height() + kPanelMargin};
}

ResultsPanel::ResultsPanel(const EditionRecord& edition, TestRun& run, int tableWidth, QWidget* parent)
    : QWidget(parent), m_edition(edition), m_run(run) {
    setObjectName(QStringLiteral("PanelDeportistas"));
    const QSize size = panelSize(edition.edition, edition.stationsPerLap, tableWidth);
    resize(size);
    setAutoFillBackground(true);
    QPalette colors = palette();
    colors.setColor(QPalette::Window, qColor(edition.colorMain));
    setPalette(colors);

    m_titleBar = new QLabel(QStringLiteral("Deportistas"), this);
    m_titleBar->setObjectName(QStringLiteral("LabelDeportistas"));
    m_titleBar->setGeometry(0, 0, size.width(), kTitleBarHeight);
    m_titleBar->setAutoFillBackground(true);
    m_titleBar->setIndent(4);
    QPalette titleColors = m_titleBar->palette();
    titleColors.setColor(QPalette::Window, kTitleBarBackground);
    titleColors.setColor(QPalette::WindowText, Qt::white);
    m_titleBar->setPalette(titleColors);
    QFont titleFont(QStringLiteral("Arial"));
    titleFont.setPixelSize(12);
    titleFont.setBold(true);
    m_titleBar->setFont(titleFont);

    const int buttonTop = (kTitleBarHeight - kToolButtonSize) / 2;
    m_exportButton =
        makeToolButton(this, QStringLiteral("BtnExportDatos"),
                       QStringLiteral("Exportar los registros de todos los Sujetos"), exportIcon());
    m_exportButton->move(size.width() - 2 - kToolButtonSize, buttonTop);
    m_clearButton = makeToolButton(
        this, QStringLiteral("BtnBorrarTabla"),
        QStringLiteral("Borrar todos los datos de la Tabla de resultados de los sujetos"), clearTableIcon());
    m_clearButton->move(m_exportButton->x() - 1 - kToolButtonSize, buttonTop);
    // The text buttons left of the icons: "Informe" beside the results' own buttons, enabled
    // with them, and "Cargar" further out.
    QFont textFont = titleFont;
    textFont.setBold(false);
    textFont.setPixelSize(11);
    m_reportButton =
        makeTextButton(this, QStringLiteral("BtnInforme"), kReportButtonText, kReportButtonHint, textFont);
    m_reportButton->move(m_clearButton->x() - 2 - m_reportButton->width(), buttonTop);
    m_reportButton->setEnabled(false);
    m_loadButton =
        makeTextButton(this, QStringLiteral("BtnCargar"), kLoadButtonText, kLoadButtonHint, textFont);
    m_loadButton->move(m_reportButton->x() - 2 - m_loadButton->width(), buttonTop);
    connect(m_loadButton, &QToolButton::clicked, this, &ResultsPanel::BtnCargarClick);
    connect(m_reportButton, &QToolButton::clicked, this, &ResultsPanel::BtnInformeClick);
    connect(m_exportButton, &QToolButton::clicked, this, &ResultsPanel::BtnExportDatosClick);
    connect(m_clearButton, &QToolButton::clicked, this, &ResultsPanel::BtnBorrarTablaClick);

    m_frame = new QFrame(this);
    m_frame->setObjectName(QStringLiteral("PanelReg_SJp"));
    m_frame->setGeometry(QRect(QPoint(kFrameLeft, kFrameTop),
                               norak::frameSize(edition.edition, edition.stationsPerLap, tableWidth)));
    m_frame->setAutoFillBackground(true);
    QPalette frameColors = m_frame->palette();
    frameColors.setColor(QPalette::Window, Qt::black);
    m_frame->setPalette(frameColors);

    m_grid = new ResultsGrid(table(), columnWidths(edition.edition, tableWidth), m_frame);
    m_grid->setGeometry(QRect(QPoint(1, 1), gridSize(edition.edition, edition.stationsPerLap, tableWidth)));

    m_popupMenu = new QMenu(this);
    m_popupMenu->setObjectName(QStringLiteral("PopupMenu_HG"));
    m_reactivateAction = m_popupMenu->addAction(QStringLiteral("Volver a activar..."));
    m_reactivateAction->setObjectName(QStringLiteral("Volveraactivar1"));
    connect(m_popupMenu, &QMenu::aboutToShow, this, &ResultsPanel::PopupMenu_HGPopup);
    connect(m_reactivateAction, &QAction::triggered, this, &ResultsPanel::Volveraactivar1Click);
    connect(m_grid, &QWidget::customContextMenuRequested, this, &ResultsPanel::showPopupMenu);

    m_warningMenu = new QMenu(this);
    m_warningMenu->setObjectName(QStringLiteral("PopupMenu_Avisos"));
    m_warnAction = m_warningMenu->addAction(QStringLiteral("Aviso"));
    m_warnAction->setObjectName(QStringLiteral("Aviso1"));
    m_takeBackAction = m_warningMenu->addAction(QStringLiteral("Quitar aviso"));
    m_takeBackAction->setObjectName(QStringLiteral("QuitarAviso1"));
    connect(m_warnAction, &QAction::triggered, this, [this] { m_run.warnAthlete(m_menuAthlete); });
    connect(m_takeBackAction, &QAction::triggered, this, [this] { m_run.takeBackWarning(m_menuAthlete); });

    // Each button stands just left of its row: as high as a data row, one pixel apart.
    const int left = m_frame->x() - kAthleteButtonWidth - 1;
    int top = kTitleRowHeight + m_frame->y() + 2;
    for (int i = 1; i <= AthleteRoster::kButtonCount; ++i) {
        auto* button = new AthleteButton(i, this);
        button->setGeometry(left, top, kAthleteButtonWidth, kDataRowHeight);
        top += kDataRowHeight + 1;
        connect(button, &QAbstractButton::clicked, this, [this, i] { B01Click(i); });
        connect(button, &AthleteButton::pointerMoved, this, &ResultsPanel::B01MouseMove);
        // The warning is the arrow's second gesture: a right click (or the menu key) opens its menu.
        button->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(button, &QWidget::customContextMenuRequested, this,
                [this, i, button](const QPoint& at) { showWarningMenu(i, button->mapToGlobal(at)); });
        m_athleteButtons[i - 1] = button;
        // The test master watches the players, not the screen: a dropout can be recorded from
        // the keyboard, wherever the focus is in the window (an open cell editor included).
        if (i <= edition.stationsPerLap) {
            const QKeySequence key = athleteKey(i);
            button->setToolTip(athleteHint(i));
            button->setAccessibleDescription(button->toolTip());
            auto* shortcut = new QShortcut(key, this, nullptr, nullptr, Qt::WindowShortcut);
            shortcut->setObjectName(QStringLiteral("KeyB%1").arg(i, 2, 10, QLatin1Char('0')));
            shortcut->setAutoRepeat(false);
            connect(shortcut, &QShortcut::activated, this, [this, i] {
                // Exactly what a click on the button does, and nothing while it is hidden.
                if (roster().isShown(i))
                    m_athleteButtons[i - 1]->click();
            });
            // A warning, as quick as the dropout and from the same place (the run refuses one for a
            // player not running).
            auto* warning = new QShortcut(warningKey(i), this, nullptr, nullptr, Qt::WindowShortcut);
            warning->setObjectName(QStringLiteral("KeyAviso%1").arg(i, 2, 10, QLatin1Char('0')));
            warning->setAutoRepeat(false);
            connect(warning, &QShortcut::activated, this, [this, i] { m_run.warnAthlete(i); });
        }
    }
    connect(&roster(), &AthleteRoster::buttonVisibilityChanged, this,
            [this](int athlete, bool shown) { m_athleteButtons[athlete - 1]->setVisible(shown); });
    for (int i = 1; i <= AthleteRoster::kButtonCount; ++i)
        m_athleteButtons[i - 1]->setVisible(roster().isShown(i));
    connect(&m_run, &TestRun::rowSelectionRequested, this, &ResultsPanel::setRowSelectionMode);
}

ResultsPanel::~ResultsPanel() {
    // The grid (and any open editor) goes first, while the table it shows is still there.
    delete m_frame;
}

ResultsTable& ResultsPanel::table() const {
    return m_run.table();
}

const AthleteRoster& ResultsPanel::roster() const {
    return m_run.roster();
}

QKeySequence ResultsPanel::athleteKey(int athlete) {
    if (athlete >= 1 && athlete <= 12)
        return QKeySequence(Qt::Key(Qt::Key_F1 + athlete - 1));
    if (athlete == 13 || athlete == 14)
        return QKeySequence(Qt::SHIFT | Qt::Key(Qt::Key_F1 + athlete - 13));
    return {};
}

QKeySequence ResultsPanel::warningKey(int athlete) {
    const QKeySequence key = athleteKey(athlete);
    if (key.isEmpty())
        return key;
    return QKeySequence(QKeyCombination(key[0].keyboardModifiers() | Qt::ControlModifier, key[0].key()));
}

QString ResultsPanel::athleteHint(int athlete) {
    return QStringLiteral("Retirar: clic o %1 · Aviso: %2 o clic derecho")
        .arg(athleteKey(athlete).toString(QKeySequence::NativeText),
             warningKey(athlete).toString(QKeySequence::NativeText));
}

void ResultsPanel::setWarnings(const RunWarnings* warnings) {
    m_warnings = warnings;
    m_marksShown.fill({});
    m_grid->viewport()->update();
    if (!warnings) {
        m_grid->setWarningMarks({});
        return;
    }
    m_grid->setWarningMarks([this](int row) { return markOf(row); });
    connect(warnings, &RunWarnings::warningsChanged, this, &ResultsPanel::showWarnings);
    // A warning lapses at a leg or a recovery, and every mark goes at Stop.
    connect(&m_run, &TestRun::signalGiven, this, &ResultsPanel::showWarnings);
    connect(&m_run, &TestRun::recoveryBegan, this, &ResultsPanel::showWarnings);
    connect(&m_run, &TestRun::stopped, this, &ResultsPanel::showWarnings);
}

ResultsCellDelegate::WarningMark ResultsPanel::markOf(int row) const {
    // Shown while the test runs; the report and the journal keep them after it.
    if (!m_warnings || !m_run.isRunning())
        return {};
    return {m_warnings->count(row), m_warnings->counting(row) > 0};
}

void ResultsPanel::showWarnings() {
    // Only the name cells whose mark changed are drawn again: a warning changes one row, and the
    // whole grid drawn again is some milliseconds of the window's thread, which a signal due
    // meanwhile would wait for.
    for (int row = 1; row <= int(m_marksShown.size()); ++row) {
        const ResultsCellDelegate::WarningMark mark = markOf(row);
        ResultsCellDelegate::WarningMark& shown = m_marksShown[std::size_t(row - 1)];
        if (mark.count != shown.count || mark.counting != shown.counting) {
            shown = mark;
            m_grid->update(m_grid->model()->index(row - 1, kColName));
        }
    }
    for (int i = 1; i <= AthleteRoster::kButtonCount; ++i) {
        const int count = m_warnings && m_run.isRunning() ? m_warnings->count(i) : 0;
        const QString description =
            count == 0
                ? athleteHint(i)
                : athleteHint(i) + QStringLiteral(" · %1 %2")
                                       .arg(count)
                                       .arg(count == 1 ? QStringLiteral("aviso") : QStringLiteral("avisos"));
        if (m_athleteButtons[i - 1]->accessibleDescription() != description)
            m_athleteButtons[i - 1]->setAccessibleDescription(description);
    }
}

void ResultsPanel::showWarningMenu(int athlete, const QPoint& globalPosition) {
    m_menuAthlete = athlete;
    const bool running = m_run.isRunning() && roster().isShown(athlete);
    m_warnAction->setEnabled(running);
    m_takeBackAction->setEnabled(running && m_warnings && m_warnings->canTakeBack(athlete));
    m_warningMenu->popup(globalPosition);
}

AthleteButton* ResultsPanel::athleteButton(int athlete) const {
    return athlete >= 1 && athlete <= AthleteRoster::kButtonCount ? m_athleteButtons[athlete - 1] : nullptr;
}

void ResultsPanel::setTableButtonsEnabled(bool enabled) {
    m_exportButton->setEnabled(enabled);
    m_clearButton->setEnabled(enabled);
    m_reportButton->setEnabled(enabled);
}

void ResultsPanel::setLoadEnabled(bool enabled) {
    m_loadButton->setEnabled(enabled);
}

void ResultsPanel::BtnCargarClick() {
    Q_EMIT loadRequested();
}

void ResultsPanel::BtnInformeClick() {
    Q_EMIT reportRequested();
}

void ResultsPanel::setRowSelectionMode() {
    m_grid->setRowSelectionMode();
}

void ResultsPanel::B01Click(int athlete) {
    m_run.dropOut(athlete);
}

void ResultsPanel::B01MouseMove(int athlete) {
    m_grid->setRowSelectionMode();
    table().setCurrentRow(athlete);
}

void ResultsPanel::PopupMenu_HGPopup() {
    m_reactivateAction->setEnabled(m_run.canReactivateCurrentRow());
}

void ResultsPanel::Volveraactivar1Click() {
    m_run.reactivateCurrentRow();
}

void ResultsPanel::BtnBorrarTablaClick() {
    m_run.clearTable();
}

void ResultsPanel::BtnExportDatosClick() {
    m_run.exportResults();
}

void ResultsPanel::showPopupMenu(const QPoint& position) {
    m_popupMenu->popup(m_grid->viewport()->mapToGlobal(position));
}

}  // namespace norak
