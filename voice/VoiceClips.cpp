#include "voice/VoiceClips.h"

#include <QDir>
#include <QFile>

namespace norak {

namespace {

// Little-endian fields read byte by byte from positions the caller has checked.
quint32 littleEndian(const QByteArray& bytes, qint64 at, int size) {
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | quint8(bytes[at + i]);
    return value;
}

}  // namespace

qint64 VoiceClips::wavLengthMs(const QByteArray& file) {
    if (file.size() < 12 || !file.startsWith("RIFF") || file.mid(8, 4) != "WAVE")
        return -1;
    qint64 bytesPerSecond = 0;
    qint64 dataBytes = -1;
    qint64 pos = 12;
    while (pos + 8 <= file.size()) {
        const QByteArray id = file.mid(pos, 4);
        const qint64 size = littleEndian(file, pos + 4, 4);
        const qint64 body = pos + 8;
        if (id == "fmt " && body + 16 <= file.size()) {
            if (littleEndian(file, body, 2) != 1)  // plain PCM only
                return -1;
            bytesPerSecond = littleEndian(file, body + 8, 4);
        } else if (id == "data") {
            dataBytes = std::min<qint64>(size, file.size() - body);
        }
        pos = body + size + (size & 1);
    }
    if (bytesPerSecond <= 0 || dataBytes < 0)
        return -1;
    return (dataBytes * 1000 + bytesPerSecond - 1) / bytesPerSecond;
}

ClipLengths VoiceClips::lengthsIn(const QString& folder) {
    ClipLengths lengths;
    const QDir dir(folder);
    for (const QString& name : dir.entryList({QStringLiteral("*.wav")}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const qint64 ms = wavLengthMs(file.readAll());
        if (ms > 0)
            lengths.insert(name.chopped(4), ms);
    }
    return lengths;
}

}  // namespace norak
