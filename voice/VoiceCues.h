#pragma once

#include <QObject>
#include <QString>

#include "voice/VoiceSchedule.h"

namespace norak {

class Sound;
class TickSource;

// The spoken cues of a run: listens to the run's recoveries and to the sound check, asks the
// schedule what to say and when, and places each word through the sound output, on the same
// time line as the signals. Says nothing until enabled (the "Voz" box of the configuration
// panel). Never calls back into the run.
class VoiceCues : public QObject {
    Q_OBJECT

  public:
    // lastPeriod: the last period of the run's table (no period after it is announced).
    VoiceCues(Sound& sound, const TickSource& ticks, VoiceSchedule schedule, int lastPeriod,
              QObject* parent = nullptr);

    bool isEnabled() const { return m_enabled; }
    // Turning the voice off calls off what is still to be said.
    void setEnabled(bool enabled);
    void setLastPeriod(int lastPeriod) { m_lastPeriod = lastPeriod; }
    const VoiceSchedule& schedule() const { return m_schedule; }

  public Q_SLOTS:
    // A recovery began at startTick: the period to come, its speed as the display shows it, and
    // the ticks at which the alert and the departure signal are due.
    void recoveryBegan(int nextPeriod, const QString& speedText, qint64 startTick, qint64 alertTick,
                       qint64 departureTick);
    // The warm-up's recovery began: the same cues, its period the test's start period.
    void warmUpRecoveryBegan(int startPeriod, const QString& speedText, qint64 startTick, qint64 alertTick,
                             qint64 departureTick);
    // The sound check has just given its alert: a short phrase follows it.
    void soundCheckAlerted();
    // The test was stopped, a new one prepared or the program left: no word already placed on
    // the output is heard any more, and the word sounding now stops.
    void callOff();

  private:
    // Each word from the present tick on; a phrase whose moment has already begun is left out
    // whole, as a late word could fall on a signal.
    void say(const SpokenPhrase& phrase);

    Sound& m_sound;
    const TickSource& m_ticks;
    VoiceSchedule m_schedule;
    int m_lastPeriod;
    bool m_enabled = false;
};

}  // namespace norak
