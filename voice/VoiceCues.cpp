#include "voice/VoiceCues.h"

#include "platform/Sound.h"
#include "platform/TickSource.h"

namespace norak {

VoiceCues::VoiceCues(Sound& sound, const TickSource& ticks, VoiceSchedule schedule, int lastPeriod,
                     QObject* parent)
    : QObject(parent),
      m_sound(sound),
      m_ticks(ticks),
      m_schedule(std::move(schedule)),
      m_lastPeriod(lastPeriod) {}

void VoiceCues::setEnabled(bool enabled) {
    if (m_enabled && !enabled)
        callOff();
    m_enabled = enabled;
}

void VoiceCues::callOff() {
    m_sound.cancelClips();
}

void VoiceCues::recoveryBegan(int nextPeriod, const QString& speedText, qint64 startTick, qint64 alertTick,
                              qint64 departureTick) {
    if (!m_enabled)
        return;
    const RecoveryCue cue{nextPeriod, speedText, startTick, alertTick, departureTick, m_lastPeriod};
    for (const SpokenPhrase& phrase : m_schedule.forRecovery(cue))
        say(phrase);
}

void VoiceCues::warmUpRecoveryBegan(int startPeriod, const QString& speedText, qint64 startTick,
                                    qint64 alertTick, qint64 departureTick) {
    recoveryBegan(startPeriod, speedText, startTick, alertTick, departureTick);
}

void VoiceCues::soundCheckAlerted() {
    // The check ends with a warning instead of its alert when there is no output at all.
    if (!m_enabled || m_sound.outputDeviceCount() == 0)
        return;
    if (const std::optional<SpokenPhrase> phrase = m_schedule.forSoundCheck(m_ticks.ticks()))
        say(*phrase);
}

void VoiceCues::say(const SpokenPhrase& phrase) {
    const qint64 now = m_ticks.ticks();
    if (phrase.clips.empty() || phrase.startTick() < now)
        return;
    for (const PlacedClip& clip : phrase.clips)
        m_sound.playClip(clip.name, clip.startTick - now);
}

}  // namespace norak
