#include "results/Windows1252.h"

#include <iconv.h>
#include <QList>
#include <QSysInfo>

#include <algorithm>
#include <array>
#include <bitset>
#include <cerrno>

namespace norak {

namespace {

// One conversion descriptor, closed when it goes out of scope.
class Conversion {
  public:
    Conversion(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Conversion() {
        if (valid())
            iconv_close(m_cd);
    }
    Conversion(const Conversion&) = delete;
    Conversion& operator=(const Conversion&) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts the whole input; nullopt when any character cannot be converted.
    std::optional<QByteArray> convert(const QByteArray& input) {
        QByteArray output;
        output.resize(std::max<qsizetype>(16, input.size() * 4));
        char* in = const_cast<char*>(input.constData());
        size_t inLeft = static_cast<size_t>(input.size());
        char* out = output.data();
        size_t outLeft = static_cast<size_t>(output.size());
        while (inLeft > 0) {
            if (iconv(m_cd, &in, &inLeft, &out, &outLeft) != static_cast<size_t>(-1))
                continue;
            if (errno != E2BIG)
                return std::nullopt;
            const qsizetype used = out - output.data();
            output.resize(output.size() * 2);
            out = output.data() + used;
            outLeft = static_cast<size_t>(output.size() - used);
        }
        // Flush any shift state (none for this code page, but cheap to be exact).
        if (iconv(m_cd, nullptr, nullptr, &out, &outLeft) == static_cast<size_t>(-1))
            return std::nullopt;
        output.resize(out - output.data());
        return output;
    }

  private:
    iconv_t m_cd;
};

// The character of each of the code page's 256 bytes (U+FFFD where it has none), learnt once.
const std::array<char16_t, 256>& windows1252Characters() {
    static const std::array<char16_t, 256> characters = [] {
        std::array<char16_t, 256> table;
        table.fill(u'\uFFFD');
        Conversion decoder("UTF-8", "CP1252");
        for (int byte = 0; decoder.valid() && byte < 256; ++byte) {
            const std::optional<QByteArray> utf8 = decoder.convert(QByteArray(1, static_cast<char>(byte)));
            if (!utf8 || utf8->isEmpty())
                continue;
            const QList<uint> points = QString::fromUtf8(*utf8).toUcs4();
            if (points.size() == 1 && points.front() < 0x10000)
                table[std::size_t(byte)] = static_cast<char16_t>(points.front());
        }
        return table;
    }();
    return characters;
}

// The code points the code page holds.
const std::bitset<0x10000>& windows1252Repertoire() {
    static const std::bitset<0x10000> repertoire = [] {
        std::bitset<0x10000> set;
        for (const char16_t character : windows1252Characters()) {
            if (character != u'\uFFFD')
                set.set(character);
        }
        return set;
    }();
    return repertoire;
}

}  // namespace

std::optional<QByteArray> encodeWindows1252(const QString& text) {
    if (text.isEmpty())
        return QByteArray();
    // From the string's own UTF-16 units, so that a lone surrogate is refused rather than
    // turned into some replacement character on the way.
    Conversion encoder("CP1252", QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE");
    if (!encoder.valid())
        return std::nullopt;
    return encoder.convert(QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2));
}

QString decodeWindows1252(const QByteArray& bytes) {
    const std::array<char16_t, 256>& characters = windows1252Characters();
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        text[i] = QChar(characters[static_cast<unsigned char>(bytes[i])]);
    return text;
}

bool isWindows1252Character(char32_t codePoint) {
    return codePoint < 0x10000 && windows1252Repertoire().test(codePoint);
}

}  // namespace norak
