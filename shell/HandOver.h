#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

namespace norak {

class TFormINI;

// What the front windows share: the newest front window (whose `Edition` the main window
// reads), the one main window made at the hand-over, and how windows are shown modally. The
// program entry owns one for the whole run; a test makes its own, with a showing that does not
// block.
class HandOver {
  public:
    // Shows a window modally: the main window at the hand-over, an about box over the main window.
    using ModalShow = std::function<void(QWidget* window)>;

    // Without a showing of its own: QDialog::exec for dialogs, otherwise a show with application
    // modality.
    explicit HandOver(ModalShow modalShow = {}) : m_modalShow(std::move(modalShow)) {}

    // The front window created last (the start-up window, later the newest about box).
    TFormINI* current() const { return m_current; }
    void setCurrent(TFormINI* front) { m_current = front; }
    // `Edition` of the current front window; the build's edition when there is none.
    int currentEdition() const;

    // The main window, once the hand-over made it (or an about box was opened over one).
    QWidget* mainWindow() const { return m_mainWindow; }
    bool hasHandedOver() const { return m_handedOver; }
    void setMainWindow(QWidget* window) {
        m_mainWindow = window;
        m_handedOver = true;
    }

    void showModally(QWidget* window) const;

  private:
    ModalShow m_modalShow;
    QPointer<TFormINI> m_current;
    QPointer<QWidget> m_mainWindow;
    bool m_handedOver = false;
};

}  // namespace norak
