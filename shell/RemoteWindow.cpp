#include "shell/RemoteWindow.h"

#include <qrencode.h>

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <array>
#include <utility>

#include "remote/RemoteAddresses.h"
#include "remote/RemoteAuthority.h"
#include "remote/RemoteServer.h"

namespace norak {

RemoteWindow::RemoteWindow(TestRun& run, const RunWarnings& warnings, const TickSource& ticks,
                           QWidget* parent)
    : QWidget(parent, Qt::Tool), m_run(run), m_warnings(warnings), m_ticks(ticks) {
    setObjectName(QStringLiteral("RemoteWindow"));
    setWindowTitle(QStringLiteral("Mando a distancia"));
    auto* layout = new QVBoxLayout(this);
    auto* hint = new QLabel(QStringLiteral("Con el móvil del segundo anotador, en la misma red que este "
                                           "portátil, lea el código o abra la dirección."),
                            this);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    m_interfaces = new QComboBox(this);
    m_interfaces->setObjectName(QStringLiteral("RemoteInterfaces"));
    m_interfaces->setToolTip(QStringLiteral("La red por la que se conectan los móviles"));
    layout->addWidget(m_interfaces);
    m_qr = new QLabel(this);
    m_qr->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_qr);
    m_address = new QLabel(this);
    m_address->setObjectName(QStringLiteral("RemoteAddress"));
    m_address->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_address->setWordWrap(true);
    layout->addWidget(m_address);
    m_phones = new QTableWidget(0, 5, this);
    m_phones->setObjectName(QStringLiteral("RemotePhones"));
    m_phones->setHorizontalHeaderLabels({QStringLiteral("Móvil"), QStringLiteral("Dirección"),
                                         QStringLiteral("Estado"), QStringLiteral("Rechazos"),
                                         QStringLiteral("Aplicados")});
    m_phones->horizontalHeaderItem(4)->setToolTip(
        QStringLiteral("Órdenes del móvil aplicadas en el portátil, y la última"));
    m_phones->verticalHeader()->hide();
    m_phones->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_phones->setSelectionMode(QAbstractItemView::SingleSelection);
    m_phones->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Sized to their texts by `showPhones`, a column when one of its texts changed: a header that
    // sizes itself to the contents measures every cell and title again at each change of any.
    m_phones->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_phones->resizeColumnsToContents();
    m_phones->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_phones);
    m_refusals = new QLabel(this);
    layout->addWidget(m_refusals);
    auto* buttons = new QHBoxLayout;
    m_allow = new QPushButton(QStringLiteral("Permitir"), this);
    m_remove = new QPushButton(QStringLiteral("Quitar"), this);
    auto* off = new QPushButton(QStringLiteral("Apagar"), this);
    off->setObjectName(QStringLiteral("RemoteOff"));
    buttons->addWidget(m_allow);
    buttons->addWidget(m_remove);
    buttons->addStretch();
    buttons->addWidget(off);
    layout->addLayout(buttons);

    const auto selectedPhone = [this] {
        const int row = m_phones->currentRow();
        return row < 0 ? 0 : m_phones->item(row, 0)->data(Qt::UserRole).toInt();
    };
    connect(m_allow, &QPushButton::clicked, this, [this, selectedPhone] {
        if (m_server) {
            m_server->allow(selectedPhone());
            showPhones();  // the operator's own click shows at once
        }
    });
    connect(m_remove, &QPushButton::clicked, this, [this, selectedPhone] {
        if (m_server) {
            m_server->remove(selectedPhone());
            showPhones();
        }
    });
    connect(off, &QPushButton::clicked, this, &RemoteWindow::turnOff);
    connect(m_interfaces, &QComboBox::activated, this,
            [this](int index) { listenOn(QHostAddress(m_interfaces->itemText(index))); });
    connect(m_phones, &QTableWidget::itemSelectionChanged, this, &RemoteWindow::showButtons);
    showButtons();
    resize(560, 620);
}

void RemoteWindow::showButtons() {
    const int row = m_phones->currentRow();
    const bool selected = row >= 0 && m_phones->item(row, 2) != nullptr &&
                          !m_phones->selectionModel()->selectedRows().isEmpty();
    m_allow->setEnabled(selected && m_phones->item(row, 2)->data(Qt::UserRole).toBool());
    m_remove->setEnabled(selected);
}

RemoteWindow::~RemoteWindow() {
    turnOff();
}

bool RemoteWindow::isOn() const {
    return m_server && m_server->isListening();
}

QImage RemoteWindow::qrImage(const QByteArray& text, int moduleSize) {
    QRcode* code = QRcode_encodeString(text.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1);
    if (!code)
        return {};
    constexpr int kQuiet = 4;  // the quiet zone a reader needs around the code
    const int side = (code->width + 2 * kQuiet) * moduleSize;
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < code->width; ++y) {
        for (int x = 0; x < code->width; ++x) {
            if (!(code->data[y * code->width + x] & 1))
                continue;
            for (int dy = 0; dy < moduleSize; ++dy) {
                auto* line = reinterpret_cast<QRgb*>(image.scanLine((y + kQuiet) * moduleSize + dy));
                for (int dx = 0; dx < moduleSize; ++dx)
                    line[(x + kQuiet) * moduleSize + dx] = qRgb(0, 0, 0);
            }
        }
    }
    QRcode_free(code);
    return image;
}

bool RemoteWindow::turnOn() {
    const QList<QHostAddress> addresses = remoteAddresses();
    m_interfaces->clear();
    for (const QHostAddress& address : addresses)
        m_interfaces->addItem(address.toString());
    m_interfaces->setVisible(addresses.size() > 1);
    if (!m_placed && parentWidget()) {
        // First shown over the middle of the test window, not wherever the desktop puts it.
        const QRect over = parentWidget()->window()->frameGeometry();
        move(over.center() - QPoint(width() / 2, height() / 2));
        m_placed = true;
    }
    show();
    raise();
    if (addresses.isEmpty()) {
        m_qr->clear();
        m_address->setText(
            QStringLiteral("No hay ninguna red local: conecte el portátil a una red Wi-Fi "
                           "(o cree un punto de acceso) y vuelva a activar el mando."));
        return false;
    }
    listenOn(addresses.first());
    return isOn();
}

void RemoteWindow::listenOn(const QHostAddress& address) {
    if (!m_authority) {
        m_authority = std::make_unique<RemoteAuthority>(m_run, m_warnings, m_ticks);
        m_server = std::make_unique<RemoteServer>(*m_authority, m_ticks);
        connect(m_server.get(), &RemoteServer::phonesChanged, this, &RemoteWindow::showPhonesSoon);
        connect(m_authority.get(), &RemoteAuthority::applied, this, &RemoteWindow::noteApplied);
    }
    if (!m_server->start(address)) {
        m_qr->clear();
        m_address->setText(QStringLiteral("No se puede abrir el mando en %1: %2")
                               .arg(address.toString(), m_server->errorString()));
        return;
    }
    const QString url = m_server->pageUrl().toString();
    m_qr->setPixmap(QPixmap::fromImage(qrImage(url.toUtf8(), 5)));
    m_address->setText(url);
    showPhones();
}

void RemoteWindow::turnOff() {
    const bool wasOn = m_server != nullptr;
    m_server.reset();  // closes every connection and the port
    m_authority.reset();
    m_applied.clear();
    m_phones->setRowCount(0);
    m_qr->clear();
    m_address->clear();
    m_refusals->clear();
    hide();
    if (wasOn)
        Q_EMIT switchedOff();
}

void RemoteWindow::closeEvent(QCloseEvent* event) {
    // Closing the window hides it; the remote stays on until "Apagar" or the control says so.
    event->accept();
}

void RemoteWindow::noteApplied(int phone, PhoneCommand::Type type, int athlete) {
    const QString what = type == PhoneCommand::Type::Warning   ? QStringLiteral("aviso")
                         : type == PhoneCommand::Type::Dropout ? QStringLiteral("abandono")
                                                               : QStringLiteral("deshecho");
    Applied& applied = m_applied[phone];
    ++applied.count;
    applied.last = what + QLatin1Char(' ') + QString::number(athlete);
    showPhonesSoon();
}

void RemoteWindow::showPhonesSoon() {
    if (std::exchange(m_showPending, true))
        return;
    QMetaObject::invokeMethod(this, &RemoteWindow::showPhones, Qt::QueuedConnection);
}

bool RemoteWindow::setCell(int row, int column, const QString& text, const QVariant& data) {
    QTableWidgetItem* item = m_phones->item(row, column);
    if (!item) {
        item = new QTableWidgetItem(text);
        item->setData(Qt::UserRole, data);
        m_phones->setItem(row, column, item);
        return true;
    }
    // Only a cell whose text or data changed is touched: each change is a redraw of the cell.
    if (item->data(Qt::UserRole) != data)
        item->setData(Qt::UserRole, data);
    if (item->text() == text)
        return false;
    item->setText(text);
    return true;
}

void RemoteWindow::showPhones() {
    m_showPending = false;
    if (!m_server)
        return;
    const QList<RemoteServer::Phone> phones = m_server->phones();
    const bool rowsChanged = m_phones->rowCount() != phones.size();
    if (rowsChanged)
        m_phones->setRowCount(int(phones.size()));
    std::array<bool, 5> changed{};
    for (int row = 0; row < phones.size(); ++row) {
        const RemoteServer::Phone& p = phones[row];
        changed[0] |= setCell(row, 0, QStringLiteral("móvil %1").arg(p.number), p.number);
        changed[1] |= setCell(row, 1, p.peer);
        const QString state = !p.connected ? QStringLiteral("desconectado")
                              : p.allowed  ? QStringLiteral("conectado")
                                           : QStringLiteral("espera permiso");
        changed[2] |= setCell(row, 2, state, p.connected && !p.allowed);  // "Permitir" applies
        changed[3] |= setCell(row, 3, QString::number(p.refusals));
        const Applied applied = m_applied.value(p.number);
        changed[4] |= setCell(row, 4,
                              applied.count == 0
                                  ? QStringLiteral("0")
                                  : QStringLiteral("%1 · último: %2").arg(applied.count).arg(applied.last));
    }
    for (int column = 0; column < int(changed.size()); ++column) {
        if (changed[std::size_t(column)] || rowsChanged)
            m_phones->resizeColumnToContents(column);
    }
    showButtons();
    const QString refusals =
        QStringLiteral("Peticiones rechazadas antes de llegar a un móvil: %1").arg(m_server->refusals());
    if (m_refusals->text() != refusals)
        m_refusals->setText(refusals);
}

}  // namespace norak
