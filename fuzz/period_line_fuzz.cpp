// The period table's line reader (engine/PeriodLine, lines typed into the active table while a
// test runs): a line gives a leg time only when it is a plain whole number of milliseconds that
// a player can run, and then exactly that number.
//
// Input: a line, read as UTF-8 and as UTF-16.
#include <QString>
#include <cstring>
#include <vector>

#include "engine/PeriodLine.h"
#include "fuzz/FuzzCheck.h"

using norak::fuzz::require;

namespace {

constexpr const char* kTarget = "period_line";

void check(const QString& line) {
    const std::optional<int> leg = norak::parsePeriodLine(line);
    if (!leg)
        return;
    // Plain digits (blanks around them allowed), read as the number they write.
    const QString digits = line.trimmed();
    require(!digits.isEmpty(), kTarget, "a blank line gave a leg time");
    qint64 value = 0;
    for (const QChar c : digits) {
        require(c >= u'0' && c <= u'9', kTarget, "a line with more than digits gave a leg time");
        value = std::min<qint64>(value * 10 + (c.unicode() - u'0'), qint64(1) << 40);
    }
    require(value == *leg, kTarget, "the leg time is not the number on the line");
    // The editions' legs lie between 951 and 8571 ms; no player runs a leg in under a tenth of
    // a second, and a leg of over a minute is a slip of the keys.
    require(*leg >= 100 && *leg <= 60000, kTarget, "a leg time no player can run");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    check(QString::fromUtf8(bytes, qsizetype(size)));
    std::vector<char16_t> units(size / 2);
    if (!units.empty())
        std::memcpy(units.data(), bytes, units.size() * 2);  // the input need not be aligned
    check(QString(reinterpret_cast<const QChar*>(units.data()), qsizetype(units.size())));
    return 0;
}
