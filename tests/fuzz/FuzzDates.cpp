// Any text typed in a date box: an accepted date is a real day read day first, it is shown as
// "dd/mm/yyyy", and what is shown reads back as the same day, in a key and in the file alike.
#include "FuzzInput.h"
#include "store/Dates.h"

#include <QRegularExpression>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using radici::fuzz::Require;
    static const QRegularExpression displayForm("^[0-9]{2}/[0-9]{2}/[0-9]{4}$");
    for (const QString& typed : radici::fuzz::Readings(data, size)) {
        const std::optional<QDate> read = radici::ReadDayFirstDate(typed);
        if (!read) continue;
        Require(
            read->isValid() &&
                read->day() == typed.trimmed().section(QRegularExpression("[/.-]"), 0, 0).toInt(),
            "an accepted date is a real day, day first", typed);
        const QString shown = radici::FormatDisplayDate(*read);
        Require(displayForm.match(shown).hasMatch() && radici::ReadDayFirstDate(shown) == read,
                "it is shown as dd/mm/yyyy and reads back the same", typed);
        Require(radici::DateFromStorageText(radici::StorageDateText(*read)) == *read,
                "the stored date reads back the same", typed);
    }
    return 0;
}
