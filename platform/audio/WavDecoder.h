#pragma once

#include <QByteArray>

namespace norak {

// The sample rates a sound file may have. A rate field outside them is damage: at 1 Hz a 5 KB
// file would become 110 MB of samples at the mixer's 22,050 Hz.
inline constexpr int kMinWavRate = 1000;
inline constexpr int kMaxWavRate = 384000;

// Reads a RIFF/WAVE file of uncompressed PCM (8 or 16 bits, one or two channels, a rate within
// kMinWavRate ... kMaxWavRate) and returns its samples as 8-bit unsigned mono at targetRate
// (channels averaged, rate converted by linear interpolation): as many as the data chunk's whole
// frames give at that rate. Empty on anything it cannot read.
QByteArray decodeWavToMono8(const QByteArray& file, int targetRate);

}  // namespace norak
