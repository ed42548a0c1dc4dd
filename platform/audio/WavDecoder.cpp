#include "platform/audio/WavDecoder.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <vector>

namespace norak {

namespace {

struct Format {
    int channels = 0;
    int rate = 0;
    int bits = 0;
};

quint32 le32(const char* p) {
    return qFromLittleEndian<quint32>(p);
}

quint16 le16(const char* p) {
    return qFromLittleEndian<quint16>(p);
}

// One sample as a signed value scaled to the 8-bit range -128..127 (fractions kept).
double sampleAt(const char* p, int bits) {
    if (bits == 8)
        return double(uchar(*p)) - 128.0;
    return double(qint16(le16(p))) / 256.0;
}

}  // namespace

QByteArray decodeWavToMono8(const QByteArray& file, int targetRate) {
    if (targetRate <= 0 || file.size() < 12 || !file.startsWith("RIFF") || file.mid(8, 4) != "WAVE")
        return {};
    Format format;
    const char* data = nullptr;
    qint64 dataSize = 0;
    qint64 pos = 12;
    while (pos + 8 <= file.size()) {
        const QByteArray id = file.mid(pos, 4);
        const qint64 size = le32(file.constData() + pos + 4);
        const qint64 body = pos + 8;
        const qint64 available = std::min<qint64>(size, file.size() - body);
        if (id == "fmt " && available >= 16) {
            const char* f = file.constData() + body;
            if (le16(f) != 1)  // only plain PCM
                return {};
            format.channels = le16(f + 2);
            format.rate = int(le32(f + 4));
            format.bits = le16(f + 14);
        } else if (id == "data") {
            data = file.constData() + body;
            dataSize = available;
        }
        pos = body + size + (size & 1);  // chunks are padded to an even length
    }
    if (!data || (format.bits != 8 && format.bits != 16) || format.channels < 1 || format.channels > 2 ||
        format.rate < kMinWavRate || format.rate > kMaxWavRate)
        return {};

    const int frameBytes = format.channels * format.bits / 8;
    const qint64 frames = dataSize / frameBytes;
    std::vector<double> mono(size_t(frames), 0.0);
    for (qint64 i = 0; i < frames; ++i) {
        double sum = 0.0;
        for (int c = 0; c < format.channels; ++c)
            sum += sampleAt(data + i * frameBytes + c * format.bits / 8, format.bits);
        mono[size_t(i)] = sum / format.channels;
    }

    const qint64 outFrames = format.rate == targetRate ? frames : frames * targetRate / format.rate;
    QByteArray out(outFrames, char(0x80));
    for (qint64 i = 0; i < outFrames; ++i) {
        double value;
        if (format.rate == targetRate) {
            value = mono[size_t(i)];
        } else {
            const double at = double(i) * format.rate / targetRate;
            const qint64 k = qint64(at);
            const double frac = at - double(k);
            const double next = k + 1 < frames ? mono[size_t(k + 1)] : mono[size_t(k)];
            value = mono[size_t(k)] * (1.0 - frac) + next * frac;
        }
        out[i] = char(std::clamp(int(std::lround(value)), -128, 127) + 128);
    }
    return out;
}

}  // namespace norak
