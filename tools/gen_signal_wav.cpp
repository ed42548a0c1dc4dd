// Writes the pacing signal: a RIFF WAVE file, PCM, mono, 8-bit unsigned samples at 11025 Hz,
// 5167 samples of a full-scale square tone of about 437 Hz.
//
//   gen_signal_wav <output.wav>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kSampleRate = 11025;
constexpr std::uint32_t kSampleCount = 5167;
constexpr double kToneHz = 437.0;
constexpr std::uint8_t kLow = 0x00;
constexpr std::uint8_t kHigh = 0xFF;

void putU16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(std::uint8_t(v & 0xFF));
    out.push_back(std::uint8_t(v >> 8));
}

void putU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(std::uint8_t((v >> (8 * i)) & 0xFF));
    }
}

void putTag(std::vector<std::uint8_t>& out, const char* tag) {
    out.insert(out.end(), tag, tag + 4);
}

std::vector<std::uint8_t> squareTone() {
    std::vector<std::uint8_t> samples(kSampleCount);
    for (std::uint32_t i = 0; i < kSampleCount; ++i) {
        // Phase in cycles; the first half of every cycle is high.
        const double phase = std::fmod(double(i) * kToneHz / kSampleRate, 1.0);
        samples[i] = phase < 0.5 ? kHigh : kLow;
    }
    return samples;
}

std::vector<std::uint8_t> waveFile(const std::vector<std::uint8_t>& samples) {
    const auto dataSize = std::uint32_t(samples.size());
    const std::uint32_t pad = dataSize % 2;  // RIFF chunks are padded to an even size
    std::vector<std::uint8_t> out;
    putTag(out, "RIFF");
    putU32(out, 4 + (8 + 16) + (8 + dataSize + pad));
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    putU32(out, 16);
    putU16(out, 1);            // PCM
    putU16(out, 1);            // mono
    putU32(out, kSampleRate);  // samples per second
    putU32(out, kSampleRate);  // bytes per second
    putU16(out, 1);            // block align
    putU16(out, 8);            // bits per sample
    putTag(out, "data");
    putU32(out, dataSize);
    out.insert(out.end(), samples.begin(), samples.end());
    if (pad != 0) {
        out.push_back(0);
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output.wav>\n", argv[0]);
        return 2;
    }
    const std::vector<std::uint8_t> bytes = waveFile(squareTone());
    std::FILE* file = std::fopen(argv[1], "wb");
    if (file == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "%s: write failed\n", argv[1]);
        return 1;
    }
    return 0;
}
