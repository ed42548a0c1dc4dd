// The rules of typed cell text (results/CellText): what filterCellInput lets into a cell of
// "Sujeto" or "Cod.", whatever comes in (keys, a paste, an input method), is a valid cell, and
// the rules agree with each other.
//
// Input: any text (a name, a pasted line). It is read as UTF-8, as UTF-16 (lone surrogates
// included) and as Latin-1, and typed into an empty cell and into one that already holds its
// first third, of "Sujeto", "Cod." and a column nobody types into.
#include <QString>
#include <algorithm>
#include <cstring>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "results/CellText.h"
#include "results/Windows1252.h"

using norak::fuzz::require;

namespace {

constexpr const char* kTarget = "cell_text";

void check(int column, const QString& existing, const QString& typed) {
    using namespace norak;
    const QString kept = filterCellInput(column, existing, typed);
    if (!isUserEditableColumn(column)) {
        require(kept.isEmpty(), kTarget, "a column nobody types into took text");
        require(!isAcceptableCellText(column, typed), kTarget,
                "text accepted for a column nobody types into");
        return;
    }
    const int limit = cellMaxLength(column);
    require(limit > 0, kTarget, "a typed column without a length limit");
    // The cell's rules: room left, no ";", no control characters, Windows-1252 only.
    require(kept.size() <= std::max<qsizetype>(0, limit - existing.size()), kTarget,
            "the kept text is longer than the room left in the cell");
    require(isAcceptableCellText(column, kept), kTarget, "the kept text breaks the cell rules");
    require(!kept.contains(u';'), kTarget, "a ';' got into a cell");
    const std::optional<QByteArray> encoded = encodeWindows1252(kept);
    require(encoded.has_value(), kTarget, "the kept text has no Windows-1252 form");
    require(decodeWindows1252(*encoded) == kept, kTarget, "the kept text does not survive Windows-1252");
    // Once filtered, the text passes the filter again unchanged (the same room is left).
    require(filterCellInput(column, existing, kept) == kept, kTarget, "the filter is not idempotent");
    // A cell that was valid stays valid with what the filter added.
    if (isAcceptableCellText(column, existing))
        require(isAcceptableCellText(column, existing + kept), kTarget, "a valid cell became invalid");
    // What the rules accept as a whole cell, the filter takes as it is into an empty cell.
    if (isAcceptableCellText(column, typed))
        require(filterCellInput(column, QString(), typed) == typed, kTarget,
                "the filter changed text the rules accept");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace norak;
    const char* bytes = reinterpret_cast<const char*>(data);
    std::vector<char16_t> units(size / 2);
    if (!units.empty())
        std::memcpy(units.data(), bytes, units.size() * 2);  // the input need not be aligned
    const QString readings[] = {
        QString::fromUtf8(bytes, qsizetype(size)),
        QString(reinterpret_cast<const QChar*>(units.data()), qsizetype(units.size())),
        QString::fromLatin1(bytes, qsizetype(size)),
    };
    for (const QString& text : readings) {
        for (const int column : {kColName, kColCode, kColTime}) {
            check(column, QString(), text);
            check(column, text.left(text.size() / 3), text.mid(text.size() / 3));
        }
    }
    return 0;
}
