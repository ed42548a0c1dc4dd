#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace norak {

// Decodes a JPEG picture held in memory into an RGB image (QImage::Format_RGB888).
// Grey-scale and CMYK pictures are converted to RGB. Any damage to the data (a bad header,
// truncated or corrupt scan data, an unsupported variant) gives a null image; the call never
// aborts the program and prints nothing.
QImage decodeJpeg(const QByteArray& data);

// Reads a JPEG picture from a file or a Qt resource path (":/pictures/...") and decodes it
// with decodeJpeg(). A missing or unreadable file gives a null image.
QImage loadJpegResource(const QString& path);

}  // namespace norak
