#include "shell/HistoryWindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>
#include <algorithm>

#include "club/ClubSecret.h"
#include "history/HistoryExport.h"
#include "history/HistoryImport.h"
#include "history/HistoryText.h"
#include "results/CellText.h"
#include "results/ResultsTable.h"
#include "shell/ClubServerDialog.h"
#include "shell/QtColor.h"

namespace norak {

namespace {

QString dateText(const QDateTime& when) {
    return when.isValid() ? when.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

QString metresText(const std::optional<qint64>& metres) {
    return metres ? QStringLiteral("%1 m").arg(*metres) : QString();
}

QString changeText(const std::optional<qint64>& change) {
    if (!change)
        return {};
    return (*change > 0 ? QStringLiteral("+") : QString()) + QStringLiteral("%1 m").arg(*change);
}

QTableWidget* makeList(const QStringList& titles, QWidget* parent, const QString& name) {
    auto* list = new QTableWidget(0, int(titles.size()), parent);
    list->setObjectName(name);
    list->setHorizontalHeaderLabels(titles);
    list->verticalHeader()->hide();
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->horizontalHeader()->setStretchLastSection(true);
    list->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return list;
}

void setRow(QTableWidget* list, int row, const QStringList& texts) {
    for (int column = 0; column < texts.size(); ++column)
        list->setItem(row, column, new QTableWidgetItem(texts[column]));
}

// The first selected row of a list; -1: none.
int firstSelectedRow(const QTableWidget* list) {
    int first = -1;
    for (const QModelIndex& index : list->selectionModel()->selectedRows())
        first = first < 0 ? index.row() : std::min(first, index.row());
    return first;
}

bool rowInSight(const QTableWidget* list, int row) {
    if (row < 0)
        return false;
    const QRect at = list->visualRect(list->model()->index(row, 0));
    return at.bottom() >= 0 && at.top() < list->viewport()->height();
}

// Where a list is scrolled to, to be put back after it is refilled; a selected row that was in
// sight stays in sight (a renamed player moves in the list).
struct ScrollPlace {
    explicit ScrollPlace(const QTableWidget* list)
        : vertical(list->verticalScrollBar()->value()),
          horizontal(list->horizontalScrollBar()->value()),
          selectionInSight(rowInSight(list, firstSelectedRow(list))) {}
    void restore(QTableWidget* list) const {
        // The scroll bars' ranges follow the new rows only once the view is laid out, which
        // would otherwise wait for the event loop and clamp the values to the old range.
        list->doItemsLayout();
        list->verticalScrollBar()->setValue(vertical);
        list->horizontalScrollBar()->setValue(horizontal);
        const int row = firstSelectedRow(list);
        if (selectionInSight && row >= 0 && !rowInSight(list, row))
            list->scrollTo(list->model()->index(row, std::max(0, list->columnAt(0))));
    }
    int vertical = 0;
    int horizontal = 0;
    bool selectionInSight = false;
};

// Selects whole rows, the first one current (the keyboard goes on from there).
void selectRows(QTableWidget* list, const QList<int>& rows) {
    list->clearSelection();
    for (int row : rows) {
        const QModelIndex index = list->model()->index(row, 0);
        if (row == rows.front())
            list->selectionModel()->setCurrentIndex(index,
                                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
        else
            list->selectionModel()->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

QPushButton* makeButton(const QString& text, QWidget* parent, const QString& name) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    return button;
}

}  // namespace

ProgressionChart::ProgressionChart(const EditionRecord& edition, QWidget* parent)
    : QWidget(parent), m_edition(edition) {
    setObjectName(QStringLiteral("GraficoProgresion"));
    setMinimumSize(360, 180);
}

void ProgressionChart::setPoints(const QList<ProgressPoint>& points) {
    m_points = points;
    m_low = 0;
    m_high = 1;
    for (const ProgressPoint& point : m_points) {
        if (point.metres)
            m_high = std::max(m_high, *point.metres);
    }
    // A scale from zero to the next hundred above the best distance.
    m_high = (m_high / 100 + 1) * 100;
    update();
}

QRectF ProgressionChart::plotArea() const {
    return QRectF(52, 14, std::max(10, width() - 70), std::max(10, height() - 44));
}

QPointF ProgressionChart::pointPosition(int index) const {
    if (index < 0 || index >= m_points.size() || !m_points[index].metres)
        return {};
    const QRectF area = plotArea();
    const double x = m_points.size() == 1
                         ? area.center().x()
                         : area.left() + area.width() * double(index) / double(m_points.size() - 1);
    const double y =
        area.bottom() - area.height() * double(*m_points[index].metres - m_low) / double(m_high - m_low);
    return {x, y};
}

void ProgressionChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Qt::white);
    const QRectF area = plotArea();
    painter.setPen(QPen(QColor(200, 200, 200), 1));
    for (int step = 0; step <= 4; ++step) {
        const double y = area.bottom() - area.height() * step / 4.0;
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, y - 8, area.left() - 6, 16), Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(m_low + (m_high - m_low) * step / 4));
        painter.setPen(QPen(QColor(200, 200, 200), 1));
    }
    if (m_points.isEmpty()) {
        painter.setPen(Qt::black);
        painter.drawText(area, Qt::AlignCenter, QStringLiteral("Seleccione un deportista"));
        return;
    }
    QPainterPath line;
    bool started = false;
    for (int i = 0; i < m_points.size(); ++i) {
        const QPointF at = pointPosition(i);
        if (at.isNull())
            continue;
        if (!started)
            line.moveTo(at);
        else
            line.lineTo(at);
        started = true;
    }
    painter.setPen(QPen(qColor(m_edition.colorDark), 2));
    painter.drawPath(line);
    painter.setBrush(qColor(m_edition.colorMain));
    for (int i = 0; i < m_points.size(); ++i) {
        const QPointF at = pointPosition(i);
        if (at.isNull())
            continue;
        painter.setPen(QPen(qColor(m_edition.colorDark), 1));
        painter.drawEllipse(at, 4, 4);
        painter.setPen(Qt::black);
        if (m_points[i].periods)
            painter.drawText(QRectF(at.x() - 20, at.y() - 22, 40, 14), Qt::AlignCenter,
                             QString::number(*m_points[i].periods));
    }
    // The first and last dates under the axis.
    painter.setPen(Qt::black);
    painter.drawText(QRectF(area.left() - 30, area.bottom() + 6, 90, 16), Qt::AlignLeft,
                     dateText(m_points.front().date));
    if (m_points.size() > 1)
        painter.drawText(QRectF(area.right() - 60, area.bottom() + 6, 90, 16), Qt::AlignLeft,
                         dateText(m_points.back().date));
}

HistoryWindow::HistoryWindow(HistoryDatabase& db, const EditionRecord& edition,
                             HistoryWindowServices services, QWidget* parent)
    : QWidget(parent, Qt::Window), m_db(db), m_edition(edition), m_services(std::move(services)) {
    setObjectName(QStringLiteral("FormHistorial"));
    setWindowTitle(kHistoryCaption + QStringLiteral(" - ") + edition.editionTitle);
    resize(820, 560);
    const QString main = qColor(edition.colorMain).name();
    const QString dark = qColor(edition.colorDark).name();
    const QString light = qColor(edition.colorLight).name();
    // The program's look: headers in the edition's main color with white bold text, selection in
    // its dark color, flat buttons.
    setStyleSheet(QStringLiteral(
                      "QWidget#FormHistorial { background: %3; }"
                      "QHeaderView::section { background: %1; color: white; font-weight: bold;"
                      " border: 1px solid %2; padding: 2px; }"
                      "QTableWidget { selection-background-color: %2; selection-color: white; }"
                      "QTabBar::tab { background: %3; padding: 4px 14px; border: 1px solid %2; }"
                      "QTabBar::tab:selected { background: %1; color: white; font-weight: bold; }"
                      "QPushButton { background: %1; color: white; border: 1px solid %2; padding: 4px 12px; }"
                      "QPushButton:disabled { background: #c0c0c0; color: #707070; }")
                      .arg(main, dark, light));

    m_tabs = new QTabWidget(this);
    m_tabs->addTab(makeTestsTab(), QStringLiteral("Pruebas"));
    m_tabs->addTab(makePlayersTab(), QStringLiteral("Deportistas"));
    m_tabs->addTab(makeTeamTab(), QStringLiteral("Equipo"));
    m_import = makeButton(QStringLiteral("Importar exportaciones…"), this, QStringLiteral("BtnImportar"));
    m_historyExport =
        makeButton(QStringLiteral("Exportar historial…"), this, QStringLiteral("BtnExportarHistorial"));
    m_clubServer = makeButton(QStringLiteral("Servidor del club…"), this, QStringLiteral("BtnServidorClub"));
    m_syncButton = makeButton(QStringLiteral("Sincronizar"), this, QStringLiteral("BtnSincronizar"));
    m_syncButton->setToolTip(
        QStringLiteral("Enviar al servidor del club las pruebas de este portátil y traer las de los demás"));
    m_status = new QLabel(this);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_import);
    bottom->addWidget(m_historyExport);
    bottom->addWidget(m_status, 1);
    bottom->addWidget(m_clubServer);
    bottom->addWidget(m_syncButton);
    connect(m_clubServer, &QPushButton::clicked, this, &HistoryWindow::editClubServer);
    connect(m_syncButton, &QPushButton::clicked, this, &HistoryWindow::synchronize);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(bottom);
    connect(m_import, &QPushButton::clicked, this, &HistoryWindow::importExports);
    connect(m_historyExport, &QPushButton::clicked, this, &HistoryWindow::exportHistory);
    if (!m_db.isWritable()) {
        m_import->setEnabled(false);
        m_status->setText(QStringLiteral("El historial solo se puede consultar."));
    }
    reload();
}

QWidget* HistoryWindow::makeTestsTab() {
    auto* tab = new QWidget;
    m_tests = makeList(
        {QStringLiteral("Fecha"), QStringLiteral("Hora"), QStringLiteral("Modo"),
         QStringLiteral("Periodo inicial"), QStringLiteral("Deportistas"), QStringLiteral("Mejor distancia")},
        tab, QStringLiteral("ListaPruebas"));
    QStringList titles;
    for (int column = 0; column < (m_edition.edition == kEditionBasket ? 8 : 7); ++column)
        titles << ResultsTable::columnTitle(column);
    m_testTable = makeList(titles, tab, QStringLiteral("TablaPrueba"));
    m_testTable->setSelectionMode(QAbstractItemView::NoSelection);
    m_export = makeButton(QStringLiteral("Exportar"), tab, QStringLiteral("BtnExportarPrueba"));
    m_delete = makeButton(QStringLiteral("Eliminar"), tab, QStringLiteral("BtnEliminarPrueba"));
    m_report = makeButton(QStringLiteral("Informe"), tab, QStringLiteral("BtnInformePrueba"));
    m_report->setToolTip(QStringLiteral("El informe en PDF de la prueba seleccionada"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_export);
    buttons->addWidget(m_report);
    buttons->addWidget(m_delete);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(m_tests, 1);
    layout->addWidget(m_testTable, 1);
    layout->addLayout(buttons);
    connect(m_tests, &QTableWidget::itemSelectionChanged, this, &HistoryWindow::showSelectedTest);
    connect(m_export, &QPushButton::clicked, this, &HistoryWindow::exportSelectedTest);
    connect(m_delete, &QPushButton::clicked, this, &HistoryWindow::deleteSelectedTest);
    connect(m_report, &QPushButton::clicked, this, &HistoryWindow::reportSelectedTest);
    return tab;
}

QWidget* HistoryWindow::makePlayersTab() {
    auto* tab = new QWidget;
    m_players = makeList(
        {QStringLiteral("Sujeto"), QStringLiteral("Cod."), QStringLiteral("Pruebas"), QStringLiteral("Mejor"),
         QStringLiteral("Fecha"), QStringLiteral("Última"), QStringLiteral("Cambio")},
        tab, QStringLiteral("ListaDeportistas"));
    // Two players selected together can be merged.
    m_players->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_chart = new ProgressionChart(m_edition, tab);
    m_playerTests = makeList(
        {QStringLiteral("Fecha"), QStringLiteral("Distancia (m)"), QStringLiteral("Periodos complet."),
         QStringLiteral("Tiempo (s)"), QStringLiteral("Vel. Máx. (Km/h)")},
        tab, QStringLiteral("PruebasDeportista"));
    m_nameEdit = new QLineEdit(tab);
    m_nameEdit->setObjectName(QStringLiteral("EditNombre"));
    m_nameEdit->setMaxLength(kNameMaxLength);
    m_codeEdit = new QLineEdit(tab);
    m_codeEdit->setObjectName(QStringLiteral("EditCodigo"));
    m_codeEdit->setMaxLength(kCodeMaxLength);
    m_codeEdit->setMaximumWidth(80);
    m_rename = makeButton(QStringLiteral("Renombrar"), tab, QStringLiteral("BtnRenombrar"));
    m_merge = makeButton(QStringLiteral("Unir"), tab, QStringLiteral("BtnUnir"));
    m_merge->setToolTip(QStringLiteral("Unir los dos deportistas seleccionados: son la misma persona"));
    auto* edit = new QHBoxLayout;
    edit->addWidget(new QLabel(QStringLiteral("Nombre:"), tab));
    edit->addWidget(m_nameEdit, 1);
    edit->addWidget(new QLabel(QStringLiteral("Cod.:"), tab));
    edit->addWidget(m_codeEdit);
    edit->addWidget(m_rename);
    edit->addWidget(m_merge);
    auto* right = new QVBoxLayout;
    right->addWidget(m_chart, 1);
    right->addWidget(m_playerTests, 1);
    auto* top = new QHBoxLayout;
    top->addWidget(m_players, 3);
    top->addLayout(right, 2);
    auto* layout = new QVBoxLayout(tab);
    layout->addLayout(top, 1);
    layout->addLayout(edit);
    connect(m_players, &QTableWidget::itemSelectionChanged, this, &HistoryWindow::showSelectedPlayer);
    connect(m_rename, &QPushButton::clicked, this, &HistoryWindow::renameSelectedPlayer);
    connect(m_merge, &QPushButton::clicked, this, &HistoryWindow::mergeSelectedPlayers);
    connect(m_nameEdit, &QLineEdit::textChanged, this, &HistoryWindow::updateButtons);
    return tab;
}

QWidget* HistoryWindow::makeTeamTab() {
    auto* tab = new QWidget;
    m_team = makeList(
        {QStringLiteral("Puesto"), QStringLiteral("Tercio"), QStringLiteral("Sujeto"), QStringLiteral("Cod."),
         QStringLiteral("Fecha"), QStringLiteral("Distancia (m)"), QStringLiteral("Periodos complet.")},
        tab, QStringLiteral("ListaEquipo"));
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(new QLabel(
        QStringLiteral("Última prueba de cada deportista, de la mayor distancia a la menor."), tab));
    layout->addWidget(m_team, 1);
    return tab;
}

void HistoryWindow::reload() {
    // Every store (a test kept at Stop, a correction, an import, a sync) reads the lists again:
    // what the coach was looking at stays selected, and each list where it was scrolled to, as
    // long as it is still there. The lists are refilled quietly and the selection put back once.
    const QString selectedTest = selectedTestUuid();
    const QStringList selectedPlayers = selectedPlayerUuids();
    const QString typedName = m_nameEdit->text();
    const QString typedCode = m_codeEdit->text();
    const ScrollPlace testsPlace(m_tests), testTablePlace(m_testTable), playersPlace(m_players),
        playerTestsPlace(m_playerTests), teamPlace(m_team);
    const QSignalBlocker quietTests(m_tests);
    const QSignalBlocker quietPlayers(m_players);

    m_testRows = m_db.tests();
    m_tests->setRowCount(0);
    m_tests->setRowCount(int(m_testRows.size()));
    for (int row = 0; row < m_testRows.size(); ++row) {
        const TestSummary& test = m_testRows[row];
        setRow(
            m_tests, row,
            {dateText(test.startedAt), test.startedAt.toString(QStringLiteral("HH:mm")),
             test.imported ? QStringLiteral("(importada)") : historyModeText(test.mode),
             QString::number(test.startPeriod), QString::number(test.players), metresText(test.bestMetres)});
    }
    m_playerRows = m_db.players();
    m_players->setRowCount(0);
    m_players->setRowCount(int(m_playerRows.size()));
    for (int row = 0; row < m_playerRows.size(); ++row) {
        const PlayerSummary& player = m_playerRows[row];
        setRow(m_players, row,
               {player.name, player.code, QString::number(player.tests), metresText(player.bestMetres),
                dateText(player.bestDate), metresText(player.latestMetres), changeText(player.change)});
    }
    const QList<TeamEntry> team = m_db.teamRanking();
    m_team->setRowCount(0);
    m_team->setRowCount(int(team.size()));
    const std::array<QColor, 3> thirds = {qColor(m_edition.colorLight), QColor(Qt::white),
                                          QColor(225, 225, 225)};
    const QStringList thirdNames = {QStringLiteral("Primero"), QStringLiteral("Segundo"),
                                    QStringLiteral("Tercero")};
    for (int row = 0; row < team.size(); ++row) {
        const TeamEntry& entry = team[row];
        setRow(m_team, row,
               {QString::number(entry.rank), thirdNames[entry.third], entry.name, entry.code,
                dateText(entry.date), metresText(entry.metres),
                entry.periods ? QString::number(*entry.periods) : QString()});
        for (int column = 0; column < m_team->columnCount(); ++column)
            m_team->item(row, column)->setBackground(thirds[std::size_t(entry.third)]);
    }
    m_testTable->setRowCount(0);
    m_playerTests->setRowCount(0);
    m_chart->setPoints({});

    bool testKept = false;
    for (int row = 0; row < m_testRows.size() && !selectedTest.isEmpty(); ++row) {
        if (m_testRows[row].uuid == selectedTest) {
            selectRows(m_tests, {row});
            testKept = true;
        }
    }
    QList<int> playerRows;
    for (int row = 0; row < m_playerRows.size(); ++row) {
        if (selectedPlayers.contains(m_playerRows[row].uuid))
            playerRows << row;
    }
    selectRows(m_players, playerRows);
    // The selection shows its test and its player again (the signals were held while the lists
    // were refilled); a name being typed for the same player is not taken from under the coach.
    showSelectedTest();
    showSelectedPlayer();
    if (selectedPlayers.size() == 1 && selectedPlayerUuids() == selectedPlayers) {
        m_nameEdit->setText(typedName);
        m_codeEdit->setText(typedCode);
    }
    testsPlace.restore(m_tests);
    playersPlace.restore(m_players);
    teamPlace.restore(m_team);
    if (testKept)
        testTablePlace.restore(m_testTable);
    if (!playerRows.isEmpty() && selectedPlayerUuids() == selectedPlayers)
        playerTestsPlace.restore(m_playerTests);
    updateButtons();
}

QString HistoryWindow::selectedTestUuid() const {
    const QList<QTableWidgetSelectionRange> ranges = m_tests->selectedRanges();
    if (ranges.isEmpty() || ranges.front().topRow() >= m_testRows.size())
        return {};
    return m_testRows[ranges.front().topRow()].uuid;
}

QStringList HistoryWindow::selectedPlayerUuids() const {
    QStringList uuids;
    for (const QTableWidgetSelectionRange& range : m_players->selectedRanges()) {
        for (int row = range.topRow(); row <= range.bottomRow(); ++row) {
            if (row < m_playerRows.size())
                uuids << m_playerRows[row].uuid;
        }
    }
    return uuids;
}

void HistoryWindow::updateButtons() {
    const bool test = !selectedTestUuid().isEmpty();
    const QStringList players = selectedPlayerUuids();
    m_export->setEnabled(test);
    m_delete->setEnabled(test && m_db.isWritable());
    m_report->setEnabled(test && bool(m_services.report));
    m_rename->setEnabled(players.size() == 1 && m_db.isWritable() && !m_nameEdit->text().trimmed().isEmpty());
    m_merge->setEnabled(players.size() == 2 && m_db.isWritable());
    m_historyExport->setEnabled(!m_testRows.isEmpty());
    m_syncButton->setEnabled(m_db.isWritable() && !m_testRunning && !m_syncRunning);
    m_clubServer->setEnabled(!m_syncRunning);
}

void addClubPasswordServices(HistoryWindowServices& services, QWidget* dialogParent) {
    services.keptPassword = [](const ClubServerSettings& server) { return ClubSecret::lookup(server); };
    services.keepPassword = [](const ClubServerSettings& server, const QString& password) {
        return ClubSecret::store(server, password);
    };
    services.canKeepPasswords = [] { return ClubSecret::available(); };
    services.askPassword = [dialogParent](const QString& question) -> std::optional<QString> {
        bool ok = false;
        const QString password = QInputDialog::getText(dialogParent, QStringLiteral("Servidor del club"),
                                                       question, QLineEdit::Password, QString(), &ok);
        return ok ? std::optional<QString>(password) : std::nullopt;
    };
}

void HistoryWindow::setTestRunning(bool running) {
    m_testRunning = running;
    m_sync->setTestRunning(running);
    updateButtons();
}

void HistoryWindow::editClubServer() {
    if (m_serverDialog)
        m_serverDialog->deleteLater();
    ClubServerSettings current = loadClubServerSettings();
    if (m_sessionPassword)
        current.password = *m_sessionPassword;
    const bool canRemember = m_services.canKeepPasswords && m_services.canKeepPasswords();
    m_serverDialog = new ClubServerDialog(current, canRemember, this);
    m_serverDialog->setWindowModality(Qt::WindowModal);
    connect(m_serverDialog, &QDialog::accepted, this, &HistoryWindow::acceptClubServer);
    m_serverDialog->open();
}

void HistoryWindow::acceptClubServer() {
    const ClubServerSettings server = m_serverDialog->settings();
    saveClubServerSettings(server);
    m_sessionPassword.reset();
    if (!server.password.isEmpty()) {
        const bool kept = m_serverDialog->rememberPassword() && m_services.keepPassword &&
                          m_services.keepPassword(server, server.password);
        if (!kept)
            m_sessionPassword = server.password;  // this session only; asked again next time
    }
    m_status->setText(
        QStringLiteral("Servidor del club: %1, base de datos %2.").arg(server.host, server.database));
}

void HistoryWindow::synchronize() {
    if (m_syncRunning || m_testRunning)
        return;
    ClubServerSettings server = loadClubServerSettings();
    if (server.host.isEmpty() || server.user.isEmpty()) {
        if (m_services.tell)
            m_services.tell(
                QStringLiteral("Indique primero el servidor del club (botón «Servidor del club»)."));
        return;
    }
    std::optional<QString> password = m_sessionPassword;
    if (!password && m_services.keptPassword)
        password = m_services.keptPassword(server);
    if (!password && m_services.askPassword) {
        password =
            m_services.askPassword(QStringLiteral("Contraseña del usuario «%1» en el servidor del club %2:")
                                       .arg(server.user, server.host));
        if (password)
            m_sessionPassword = password;
    }
    if (!password)
        return;
    server.password = *password;

    m_syncRunning = true;
    updateButtons();
    m_status->setText(QStringLiteral("Sincronizando con el servidor del club…"));
    const QString path = m_db.path();
    std::shared_ptr<ClubSync> sync = m_sync;
    runOffWindowThread(
        this, [sync, path, server] { return QVariant::fromValue(sync->run(path, server)); },
        [this](const QVariant& result) {
            m_lastSync = result.value<ClubSyncReport>();
            m_syncRunning = false;
            if (m_lastSync.problem.kind == ClubProblem::Kind::WrongPassword)
                m_sessionPassword.reset();
            m_status->setText(m_lastSync.ok() ? QStringLiteral("Sincronizado.")
                                              : QStringLiteral("La sincronización no se ha completado."));
            reload();
            if (m_services.tell)
                m_services.tell(m_lastSync.summary());
            Q_EMIT syncFinished();
        });
}

void HistoryWindow::showSelectedTest() {
    m_testTable->setRowCount(0);
    const QString uuid = selectedTestUuid();
    updateButtons();
    if (uuid.isEmpty())
        return;
    const std::optional<StoredTest> test = m_db.test(uuid);
    if (!test)
        return;
    // The table as it was: every data row, the empty ones too.
    m_testTable->setRowCount(test->tableRows);
    for (const StoredRow& row : test->rows) {
        if (row.row >= 1 && row.row <= test->tableRows)
            setRow(m_testTable, row.row - 1, row.cells.mid(0, m_testTable->columnCount()));
    }
}

void HistoryWindow::showSelectedPlayer() {
    const QStringList uuids = selectedPlayerUuids();
    updateButtons();
    m_playerTests->setRowCount(0);
    if (uuids.size() != 1) {
        m_chart->setPoints({});
        return;
    }
    const QList<ProgressPoint> points = m_db.progression(uuids.front());
    m_chart->setPoints(points);
    m_playerTests->setRowCount(int(points.size()));
    for (int row = 0; row < points.size(); ++row) {
        const ProgressPoint& point = points[row];
        setRow(m_playerTests, row,
               {dateText(point.date), point.metres ? QString::number(*point.metres) : QString(),
                point.periods ? QString::number(*point.periods) : QString(),
                point.seconds ? QString::number(*point.seconds) : QString(),
                point.speedKmh ? decimalCommaText(*point.speedKmh, 1) : QString()});
    }
    for (const PlayerSummary& player : m_playerRows) {
        if (player.uuid == uuids.front()) {
            m_nameEdit->setText(player.name);
            m_codeEdit->setText(player.code);
        }
    }
}

bool HistoryWindow::writeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);  // written beside and renamed over: never half a file
    const bool ok = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!ok && m_services.tell)
        m_services.tell(QStringLiteral("No se ha podido guardar el archivo %1.").arg(path));
    return ok;
}

void HistoryWindow::exportSelectedTest() {
    const std::optional<StoredTest> test = m_db.test(selectedTestUuid());
    if (!test || !m_services.chooseSavePath)
        return;
    const std::optional<QByteArray> bytes = HistoryExport::testBytes(*test);
    const QString path =
        m_services.chooseSavePath(QStringLiteral("Exportar la prueba"), HistoryExport::testFileName(*test));
    if (path.isEmpty() || !bytes)
        return;
    if (writeFile(path, *bytes))
        m_status->setText(QStringLiteral("Prueba exportada."));
}

void HistoryWindow::reportSelectedTest() {
    const std::optional<StoredTest> test = m_db.test(selectedTestUuid());
    if (test && m_services.report)
        m_services.report(*test);
}

void HistoryWindow::deleteSelectedTest() {
    const QString uuid = selectedTestUuid();
    if (uuid.isEmpty() || !m_services.ask ||
        !m_services.ask(QStringLiteral("¿Desea eliminar del historial la prueba seleccionada?")))
        return;
    if (!m_db.deleteTest(uuid) && m_services.tell)
        m_services.tell(QStringLiteral("No se ha podido eliminar la prueba del historial."));
    reload();
}

void HistoryWindow::renameSelectedPlayer() {
    const QStringList uuids = selectedPlayerUuids();
    if (uuids.size() != 1)
        return;
    const QString name = filterCellInput(kColName, QString(), m_nameEdit->text()).trimmed();
    const QString code = filterCellInput(kColCode, QString(), m_codeEdit->text()).trimmed();
    if (name.isEmpty())
        return;
    if (!m_db.renamePlayer(uuids.front(), name, code) && m_services.tell)
        m_services.tell(QStringLiteral("No se ha podido cambiar el nombre en el historial."));
    reload();
    showSelectedPlayer();  // the name and code as they were kept, not as they were typed
}

void HistoryWindow::mergeSelectedPlayers() {
    const QStringList uuids = selectedPlayerUuids();
    if (uuids.size() != 2)
        return;
    // The entry with more tests stays; the other's tests join it.
    auto testsOf = [&](const QString& uuid) {
        for (const PlayerSummary& player : m_playerRows) {
            if (player.uuid == uuid)
                return player.tests;
        }
        return 0;
    };
    const bool firstStays = testsOf(uuids[0]) >= testsOf(uuids[1]);
    const QString keep = firstStays ? uuids[0] : uuids[1];
    const QString gone = firstStays ? uuids[1] : uuids[0];
    if (m_services.ask &&
        !m_services.ask(QStringLiteral("¿Son la misma persona? Sus pruebas quedarán juntas.")))
        return;
    if (!m_db.mergePlayers(keep, gone) && m_services.tell)
        m_services.tell(QStringLiteral("No se han podido unir los deportistas en el historial."));
    reload();
}

void HistoryWindow::importExports() {
    if (!m_services.chooseFolder || m_importer != nullptr)
        return;
    const QString folder = m_services.chooseFolder(QStringLiteral("Importar exportaciones"));
    if (folder.isEmpty())
        return;
    m_import->setEnabled(false);
    m_status->setText(QStringLiteral("Importando las exportaciones…"));
    // A thousand files take seconds: the import runs beside the window, which waits for it only
    // when it is closed.
    const QString path = m_db.path();
    m_importer = QThread::create([this, path, folder] {
        HistoryDatabase db;
        HistoryImport::Report report;
        const HistoryOpening opening = db.open(path, {}, false);
        if (opening.status == HistoryOpening::Status::Ready)
            report = HistoryImport::importFolder(db, folder);
        else
            report.failure = opening.message;
        db.close();
        const QString text = report.text();
        QMetaObject::invokeMethod(
            this,
            [this, text] {
                m_importer->wait();
                delete std::exchange(m_importer, nullptr);
                m_import->setEnabled(m_db.isWritable());
                m_status->setText(QString());
                reload();
                if (m_services.tell)
                    m_services.tell(text);
                Q_EMIT importFinished(text);
            },
            Qt::QueuedConnection);
    });
    m_importer->setObjectName(QStringLiteral("history-import"));
    m_importer->start(QThread::LowPriority);
}

void HistoryWindow::keyPressEvent(QKeyEvent* event) {
    // Escape puts the window away, as it does any tool window; the lists and fields leave it to
    // the window, and a dialog over the window keeps its own Escape.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

HistoryWindow::~HistoryWindow() {
    if (m_importer != nullptr) {
        m_importer->wait();
        delete m_importer;
    }
}

void HistoryWindow::exportHistory() {
    if (!m_services.chooseSavePath)
        return;
    const std::optional<QByteArray> bytes = HistoryExport::historyBytes(HistoryExport::allTests(m_db));
    const QString path = m_services.chooseSavePath(QStringLiteral("Exportar el historial"),
                                                   m_edition.editionTitle + QStringLiteral("_historial.txt"));
    if (path.isEmpty() || !bytes)
        return;
    if (writeFile(path, *bytes))
        m_status->setText(QStringLiteral("Historial exportado."));
}

}  // namespace norak
