#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

namespace norak {

class Messages;
class Sound;
class TickSource;

// The sound check between tests ("Probar sonido"): the signal sound once and, a second later, the
// recovery alert, through the same output as a test, so that the loudspeakers can be set before
// the players line up. Without a sound output it tells so, with the message of the activation.
// Time comes from the tick source; a coarse timer looks at it while the alert is due.
class SoundCheck : public QObject {
    Q_OBJECT

  public:
    static constexpr qint64 kAlertAfterMs = 1000;
    static constexpr int kLookMs = 20;

    SoundCheck(Sound& sound, Messages& messages, const TickSource& ticks, QString caption,
               QObject* parent = nullptr);

    // Plays the check; a check already under way goes on as it is.
    void start();
    // The alert is not played (a test is being started).
    void cancel();
    // Plays the alert once it is due; the timer calls it, tests may too.
    void poll();
    bool isPending() const { return m_pending; }

  Q_SIGNALS:
    void finished();

  private:
    Sound& m_sound;
    Messages& m_messages;
    const TickSource& m_ticks;
    QString m_caption;
    QTimer m_look;
    qint64 m_alertTick = 0;
    bool m_pending = false;
};

}  // namespace norak
