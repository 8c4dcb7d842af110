// Any text typed in a date box: an accepted date is a real day read day first, it is shown as
// "dd/mm/yyyy", and what is shown reads back as the same day, in a key and in the file alike.
#include "FuzzInput.h"
#include "store/Dates.h"
#include "store/PersonKey.h"

namespace {

using radici::fuzz::Require;

bool IsDisplayForm(const QString& shown) {
    if (shown.size() != 10 || shown[2] != u'/' || shown[5] != u'/') return false;
    for (const int digit : {0, 1, 3, 4, 6, 7, 8, 9})
        if (shown[digit] < u'0' || shown[digit] > u'9') return false;
    return true;
}

// The number before the first separator, which must be the day.
int FirstNumber(const QString& typed) {
    const QString trimmed = typed.trimmed();
    qsizetype end = 0;
    while (end < trimmed.size() && trimmed[end].isDigit()) ++end;
    return trimmed.left(end).toInt();
}

void CheckDate(const QString& typed) {
    const std::optional<QDate> read = radici::ReadDayFirstDate(typed);
    if (!read) return;
    Require(read->isValid(), "an accepted date is a real day", typed);
    Require(read->day() == FirstNumber(typed), "the day comes first", typed);

    const QString shown = radici::FormatDisplayDate(*read);
    Require(IsDisplayForm(shown), "an accepted date is shown as dd/mm/yyyy", typed);
    Require(radici::ReadDayFirstDate(shown) == read, "the shown date reads back the same", typed);
    Require(radici::DateFromStorageText(radici::StorageDateText(*read)) == *read,
            "the stored date reads back the same", typed);
    // Typed in full in the birth-date box, it completes a key.
    Require(radici::KeyComplete(radici::ComposeKey(QStringLiteral("Abc"), QStringLiteral("Def"),
                                                   shown, radici::DateRule::ExactlyTenCharacters)),
            "the shown date completes a key", typed);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (const QString& typed : radici::fuzz::Readings(data, size)) CheckDate(typed);
    return 0;
}
