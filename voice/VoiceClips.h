#pragma once

#include <QByteArray>
#include <QString>

#include "voice/VoiceSchedule.h"

namespace norak {

// The rendered words of the voice, embedded as resources by assets/ (made by tools/gen_voice.sh).
class VoiceClips {
  public:
    static constexpr const char* kFolder = ":/voice";

    // The length in ms of a RIFF/WAVE file of plain PCM (rounded up to the next ms); -1 when the
    // file cannot be read as one.
    static qint64 wavLengthMs(const QByteArray& file);
    // The length of every .wav file in a folder, by file name without ".wav".
    static ClipLengths lengthsIn(const QString& folder = QString::fromLatin1(kFolder));
};

}  // namespace norak
