#include "shell/HistorySquadPicker.h"

#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "history/HistoryExport.h"
#include "history/HistoryText.h"

namespace norak {

HistorySquadPicker::HistorySquadPicker(const HistoryDatabase& db, int edition, QWidget* parent)
    : QDialog(parent), m_db(db) {
    setObjectName(QStringLiteral("FormCargarHistorial"));
    setWindowTitle(QStringLiteral("Cargar los deportistas de una prueba"));
    resize(460, 320);
    for (const TestSummary& test : db.tests()) {
        if (test.edition == edition)
            m_testRows << test;  // newest first, as the history lists them
    }
    m_tests = new QTableWidget(int(m_testRows.size()), 4, this);
    m_tests->setObjectName(QStringLiteral("ListaPruebasCargar"));
    m_tests->setAccessibleName(QStringLiteral("Pruebas del historial"));
    m_tests->setHorizontalHeaderLabels({QStringLiteral("Fecha"), QStringLiteral("Hora"),
                                        QStringLiteral("Modo"), QStringLiteral("Deportistas")});
    m_tests->verticalHeader()->hide();
    m_tests->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tests->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tests->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tests->horizontalHeader()->setStretchLastSection(true);
    m_tests->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_tests->setWordWrap(false);
    for (int row = 0; row < m_testRows.size(); ++row) {
        const TestSummary& test = m_testRows[row];
        const QStringList texts = {test.startedAt.toString(QStringLiteral("dd/MM/yyyy")),
                                   test.startedAt.toString(QStringLiteral("HH:mm")),
                                   test.imported ? QStringLiteral("(importada)") : historyModeText(test.mode),
                                   QString::number(test.players)};
        for (int column = 0; column < texts.size(); ++column)
            m_tests->setItem(row, column, new QTableWidgetItem(texts[column]));
    }
    m_load = new QPushButton(QStringLiteral("Cargar"), this);
    m_load->setObjectName(QStringLiteral("BtnCargarPrueba"));
    m_load->setEnabled(false);
    m_load->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancelar"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_load);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        m_testRows.isEmpty() ? QStringLiteral("El historial no guarda ninguna prueba de esta edición.")
                             : QStringLiteral("Los deportistas de la prueba elegida, cada uno en su fila."),
        this));
    layout->addWidget(m_tests, 1);
    layout->addLayout(buttons);
    connect(m_tests, &QTableWidget::itemSelectionChanged, this,
            [this] { m_load->setEnabled(!m_tests->selectedRanges().isEmpty()); });
    connect(m_tests, &QTableWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(m_load, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QList<SquadRow> HistorySquadPicker::selectedSquad() const {
    const QList<QTableWidgetSelectionRange> ranges = m_tests->selectedRanges();
    if (ranges.isEmpty() || ranges.front().topRow() >= m_testRows.size())
        return {};
    const std::optional<StoredTest> test = m_db.test(m_testRows[ranges.front().topRow()].uuid);
    if (!test)
        return {};
    QHash<QString, PlayerSummary> players;
    for (const PlayerSummary& player : m_db.players())
        players.insert(player.uuid, player);
    QList<SquadRow> squad;
    for (const StoredRow& row : test->rows) {
        if (row.name().isEmpty() || row.row < 1)
            continue;
        while (squad.size() < row.row)
            squad << SquadRow{};
        const auto now = players.constFind(row.playerUuid);
        squad[row.row - 1] =
            now != players.constEnd() ? SquadRow{now->name, now->code} : SquadRow{row.name(), row.code()};
    }
    return squad;
}

}  // namespace norak
