// The WAV decoder (platform/audio/WavDecoder, the signal sound read from the program's resources):
// whatever the bytes, it returns nothing or exactly the samples its header promises, converted to
// the rate asked for, and never more than the sound can hold.
//
// Input: a file, decoded at the mixer's rate (22,050 Hz), at 8,000 Hz and at 48,000 Hz.
#include <QByteArray>

#include "fuzz/FuzzCheck.h"
#include "platform/audio/WavDecoder.h"

using norak::fuzz::require;

namespace {

constexpr const char* kTarget = "wav_decoder";

// Little-endian fields, byte by byte.
qint64 le(const QByteArray& file, qint64 at, int bytes) {
    qint64 value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | uchar(file[at + i]);
    return value;
}

// What the header says, read here on its own: the last "fmt " and "data" chunks count.
struct Header {
    int channels = 0;
    qint64 rate = 0;
    int bits = 0;
    bool pcm = false;
    qint64 dataBytes = -1;
    qint64 dataAt = 0;
};

Header readHeader(const QByteArray& file) {
    Header h;
    if (file.size() < 12 || !file.startsWith("RIFF") || file.mid(8, 4) != "WAVE")
        return h;
    for (qint64 at = 12; at + 8 <= file.size();) {
        const qint64 size = le(file, at + 4, 4);
        const qint64 body = at + 8;
        const qint64 available = std::min<qint64>(size, file.size() - body);
        if (file.mid(at, 4) == "fmt " && available >= 16) {
            h.pcm = le(file, body, 2) == 1;
            h.channels = int(le(file, body + 2, 2));
            h.rate = le(file, body + 4, 4);
            h.bits = int(le(file, body + 14, 2));
            if (!h.pcm)
                return h;
        } else if (file.mid(at, 4) == "data") {
            h.dataBytes = available;
            h.dataAt = body;
        }
        at = body + size + (size & 1);
    }
    return h;
}

void check(const QByteArray& file, int targetRate) {
    const QByteArray out = norak::decodeWavToMono8(file, targetRate);
    const Header h = readHeader(file);
    const bool readable = h.pcm && h.dataBytes >= 0 && (h.bits == 8 || h.bits == 16) && h.channels >= 1 &&
                          h.channels <= 2 && h.rate >= norak::kMinWavRate && h.rate <= norak::kMaxWavRate;
    if (!readable) {
        require(out.isEmpty(), kTarget, "samples from a file the decoder cannot read");
        return;
    }
    const qint64 frames = h.dataBytes / (h.channels * h.bits / 8);
    const qint64 expected = h.rate == targetRate ? frames : frames * targetRate / h.rate;
    require(out.size() == expected, kTarget, "the sample count does not follow from the header");
    // Never more than the rates allow: the data stretched from the lowest rate to the one asked.
    require(out.size() <= h.dataBytes * targetRate / norak::kMinWavRate, kTarget,
            "more samples than any rate gives");
    // Mono 8-bit at the rate asked for is the data itself.
    if (h.channels == 1 && h.bits == 8 && h.rate == targetRate)
        require(out == file.mid(h.dataAt, frames), kTarget, "8-bit mono at its own rate was changed");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray file(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const int rate : {22050, 8000, 48000})
        check(file, rate);
    return 0;
}
