#include "shell/HistoryAccess.h"

#include <QFileDialog>
#include <QMenu>

#include "engine/UserTexts.h"
#include "history/HistoryReport.h"
#include "history/HistoryText.h"
#include "history/HistoryWriter.h"
#include "results/ResultsActions.h"
#include "results/RunRecord.h"
#include "results/SquadLoader.h"
#include "results/TestRun.h"
#include "shell/HistorySquadPicker.h"
#include "shell/HistoryWindow.h"
#include "shell/RunAssembly.h"

namespace norak {

HistoryAccess::HistoryAccess(RunAssembly& parts, const Platform& platform, QWidget* window)
    : QObject(window), m_parts(parts), m_platform(platform), m_mainWindow(window) {
    m_loadMenu = new QMenu(window);
    m_loadMenu->setObjectName(QStringLiteral("MenuCargar"));
    QAction* file = m_loadMenu->addAction(QStringLiteral("Desde un archivo…"));
    file->setObjectName(QStringLiteral("CargarArchivo"));
    QAction* past = m_loadMenu->addAction(QStringLiteral("Desde una prueba del historial…"));
    past->setObjectName(QStringLiteral("CargarHistorial"));
    connect(file, &QAction::triggered, &parts.squad(), &SquadLoader::loadSquad);
    connect(past, &QAction::triggered, this, &HistoryAccess::openSquadPicker);
    // A test is paced with the history's windows put away: reading it is no work for then.
    connect(&parts.run(), &TestRun::started, this, [this] {
        if (m_window) {
            m_window->setTestRunning(true);  // a sync under way stops after its batch
            m_window->hide();
        }
        if (m_picker)
            m_picker->reject();
    });
    connect(&parts.run(), &TestRun::stopped, this, [this] {
        if (m_window)
            m_window->setTestRunning(false);
    });
    // An open window shows each test as soon as it is stored.
    if (HistoryWriter* writer = parts.historyWriter()) {
        connect(writer, &HistoryWriter::storeFinished, this, [this] {
            if (m_window && m_window->isVisible())
                m_window->reload();
        });
    }
}

HistoryAccess::~HistoryAccess() {
    // The windows read through the connection that goes with this object.
    delete m_window;
    delete m_picker;
}

HistoryWindow* HistoryAccess::window() const {
    return m_window;
}

HistorySquadPicker* HistoryAccess::squadPicker() const {
    return m_picker;
}

void HistoryAccess::tell(const QString& text) {
    norak::tell(m_platform.sound, m_platform.messages, kHistoryCaption, text);
}

bool HistoryAccess::openReader() {
    if (m_reader.isOpen())
        return true;
    if (m_parts.historyPath().isEmpty())
        return false;
    // What is stored so far is read; the writer's whole check was made at the start.
    if (HistoryWriter* writer = m_parts.historyWriter())
        writer->flush();
    const HistoryOpening opening = m_reader.open(
        m_parts.historyPath(), [this](const QString& text) { tell(text); }, false);
    if (opening.status == HistoryOpening::Status::Unavailable) {
        tell(opening.message);
        return false;
    }
    return true;
}

HistoryWindow* HistoryAccess::openWindow() {
    if (!m_window) {
        if (!openReader())
            return nullptr;
        HistoryWindowServices services;
        services.chooseFolder = [this](const QString& caption) {
            return QFileDialog::getExistingDirectory(m_window, caption, m_platform.files.homeFolder());
        };
        services.chooseSavePath = [this](const QString& caption, const QString& proposed) {
            SaveRequest request;
            request.title = caption;
            request.folder = ResultsActions::saveFolder(m_platform.files, m_parts.run().programDir());
            request.proposedPath = request.folder + proposed;
            request.filter = kExportDialogFilter;
            request.defaultSuffix = kExportDefaultSuffix;
            return m_platform.saveDialog.getSaveFileName(request).value_or(QString());
        };
        services.ask = [this](const QString& question) {
            m_platform.sound.alert(kAlertQuestion);
            return m_platform.messages.askYesNo(kHistoryCaption, question);
        };
        services.tell = [this](const QString& text) { tell(text); };
        services.report = [this](const StoredTest& test) {
            if (ReportRenderer* renderer = m_parts.record().renderer())
                saveReport(historyReportJob(test, m_parts.run().programDir()), m_platform, *renderer);
        };
        addClubPasswordServices(services, m_mainWindow);
        m_window = new HistoryWindow(m_reader, m_parts.run().edition(), std::move(services), m_mainWindow);
        m_window->setAttribute(Qt::WA_DeleteOnClose, false);
        m_window->setTestRunning(m_parts.run().isRunning());
        // First shown over the test window, covering it whole: a smaller window centred on it
        // left strips of the test window showing above and below, and the one under the bottom
        // buttons read as a stray bar of this window's. Both windows get the same frame from
        // the window manager, so the same size and place cover it.
        m_window->resize(m_window->size().expandedTo(m_mainWindow->size()));
        m_window->move(m_mainWindow->pos());
    } else {
        if (HistoryWriter* writer = m_parts.historyWriter())
            writer->flush();
        m_window->reload();
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    return m_window;
}

void HistoryAccess::offerLoad(QWidget* button) {
    m_loadMenu->popup(button->mapToGlobal(QPoint(0, button->height())));
}

HistorySquadPicker* HistoryAccess::openSquadPicker() {
    if (!m_parts.run().loadEnabled() || !openReader())
        return nullptr;
    delete m_picker;
    m_picker = new HistorySquadPicker(m_reader, m_parts.run().edition().edition, m_mainWindow);
    connect(m_picker, &QDialog::accepted, this, [this] {
        const QList<SquadRow> squad = m_picker->selectedSquad();
        if (!squad.isEmpty())
            m_parts.squad().loadRows(squad);
    });
    m_picker->open();  // modal to the test window, without a loop of its own
    return m_picker;
}

}  // namespace norak
