#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace norak::art {

// Encodes a picture as a baseline JPEG (4:2:0, optimised Huffman tables) with libjpeg.
QByteArray encodeJpeg(const QImage& picture, int quality);

// Encodes and writes; false (with a message on stderr) when the file cannot be written.
bool writeJpeg(const QImage& picture, const QString& path, int quality = 90);

// Writes a PNG through Qt.
bool writePng(const QImage& picture, const QString& path);

}  // namespace norak::art
