#pragma once

#include <QObject>
#include <QTimer>

class QSocketNotifier;

namespace norak {

// A single-shot wake-up on the thread's event loop, precise to well under a millisecond. On Linux
// it is a timer descriptor watched by the event loop: the loop is woken within microseconds of
// the moment asked for, whereas a QTimer counts whole milliseconds from the moment it is started
// and the GLib event loop rounds every wait up to the next millisecond, which together make a
// wake-up up to two milliseconds late. Elsewhere, or when no descriptor can be had, it falls
// back to a precise QTimer rounded up to the next millisecond.
class PreciseWakeUp : public QObject {
    Q_OBJECT

  public:
    explicit PreciseWakeUp(QObject* parent = nullptr);
    ~PreciseWakeUp() override;
    PreciseWakeUp(const PreciseWakeUp&) = delete;
    PreciseWakeUp& operator=(const PreciseWakeUp&) = delete;

    // One fired() once delayNs nanoseconds have passed (on the next loop pass for 0 or less).
    // Replaces an earlier start.
    void start(qint64 delayNs);
    void stop();
    bool isActive() const { return m_active; }
    // False when the millisecond fallback is in use.
    bool isPrecise() const { return m_fd >= 0; }

  Q_SIGNALS:
    void fired();

  private:
    void descriptorReady();

    QTimer m_fallback;
    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
    bool m_active = false;
};

}  // namespace norak
