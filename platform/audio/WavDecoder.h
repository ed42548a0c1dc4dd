#pragma once

#include <QByteArray>

namespace norak {

// Reads a RIFF/WAVE file of uncompressed PCM (8 or 16 bits, one or two channels, any rate) and
// returns its samples as 8-bit unsigned mono at targetRate (channels averaged, rate converted by
// linear interpolation). Empty on anything it cannot read.
QByteArray decodeWavToMono8(const QByteArray& file, int targetRate);

}  // namespace norak
