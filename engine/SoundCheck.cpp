#include "engine/SoundCheck.h"

#include "engine/UserTexts.h"
#include "platform/Messages.h"
#include "platform/Sound.h"
#include "platform/TickSource.h"

namespace norak {

SoundCheck::SoundCheck(Sound& sound, Messages& messages, const TickSource& ticks, QString caption,
                       QObject* parent)
    : QObject(parent), m_sound(sound), m_messages(messages), m_ticks(ticks), m_caption(std::move(caption)) {
    m_look.setInterval(kLookMs);
    connect(&m_look, &QTimer::timeout, this, &SoundCheck::poll);
}

void SoundCheck::start() {
    if (m_pending)
        return;
    if (m_sound.outputDeviceCount() == 0) {
        tell(m_sound, m_messages, m_caption, kNoSoundCardText);
        Q_EMIT finished();
        return;
    }
    m_sound.playSignal();
    m_alertTick = m_ticks.ticks() + kAlertAfterMs;
    m_pending = true;
    m_look.start();
}

void SoundCheck::cancel() {
    m_pending = false;
    m_look.stop();
}

void SoundCheck::poll() {
    if (!m_pending || m_ticks.ticks() < m_alertTick)
        return;
    cancel();
    m_sound.alert(kAlertWarning);  // the alert of a recovery's last seconds
    Q_EMIT finished();
}

}  // namespace norak
