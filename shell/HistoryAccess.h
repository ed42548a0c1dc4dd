#pragma once

#include <QObject>
#include <QPointer>
#include <memory>

#include "history/HistoryDatabase.h"
#include "platform/Platform.h"

class QMenu;
class QWidget;

namespace norak {

class HistorySquadPicker;
class HistoryWindow;
class RunAssembly;

// The test window's way into the history kept by the run's feature (RunAssembly::enableHistory):
// the "Historial" window, "Cargar"'s choice between a file and a past test's players, and the
// report of a past test through the report's own flow. It reads through a connection of its
// own, opened at the first use on the window's thread; the writer keeps storing on its thread.
class HistoryAccess : public QObject {
    Q_OBJECT

  public:
    HistoryAccess(RunAssembly& parts, const Platform& platform, QWidget* window);
    ~HistoryAccess() override;

    // Opens the "Historial" window (or raises it); nullptr when the history cannot be read, which
    // is then said.
    HistoryWindow* openWindow();
    HistoryWindow* window() const;

    // "Cargar": a menu under the button, "Desde un archivo…" and "Desde una prueba del historial…".
    QMenu* loadMenu() const { return m_loadMenu; }
    void offerLoad(QWidget* button);
    // Opens the list of past tests whose players can be loaded; nullptr when none can be read.
    HistorySquadPicker* openSquadPicker();
    HistorySquadPicker* squadPicker() const;

  private:
    bool openReader();
    void tell(const QString& text);

    RunAssembly& m_parts;
    Platform m_platform;
    QWidget* m_mainWindow;
    HistoryDatabase m_reader;
    QPointer<HistoryWindow> m_window;
    QPointer<HistorySquadPicker> m_picker;
    QMenu* m_loadMenu = nullptr;
};

}  // namespace norak
