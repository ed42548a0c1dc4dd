#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace norak {

// The Windows-1252 code page of the export files, through the C library's iconv.

// The text in Windows-1252 bytes; nullopt when a character has no place in the code page.
std::optional<QByteArray> encodeWindows1252(const QString& text);

// The text of Windows-1252 bytes; the five bytes the code page leaves unassigned become U+FFFD.
QString decodeWindows1252(const QByteArray& bytes);

// True when the code page holds the character (any Unicode code point).
bool isWindows1252Character(char32_t codePoint);

}  // namespace norak
