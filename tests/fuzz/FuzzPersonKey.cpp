// Any surname, given name and birth date typed or pasted: an accepted date is a real day read day
// first, shown as "dd/mm/yyyy" and read back the same, in the file too; the key is never longer
// than its 16-character slot, never holds half a character, and keeps its length upper-cased.
#include "FuzzInput.h"
#include "store/Dates.h"
#include "store/PersonKey.h"

#include <QRegularExpression>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using radici::fuzz::Require;
    static const QRegularExpression separator("[/.-]"), displayForm("^\\d\\d/\\d\\d/\\d{4}$");
    for (const QString& input : radici::fuzz::Readings(data, size)) {
        QStringList boxes = input.split(u'\n');
        boxes.resize(3);  // a surname, a given name and a birth date
        for (const QString& typed : boxes) {
            const std::optional<QDate> read = radici::ReadDayFirstDate(typed);
            if (!read) continue;
            const QString shown = radici::FormatDisplayDate(*read);
            Require(read->day() == typed.trimmed().section(separator, 0, 0).toInt() &&
                        displayForm.match(shown).hasMatch() &&
                        radici::ReadDayFirstDate(shown) == read &&
                        radici::DateFromStorageText(radici::StorageDateText(*read)) == *read,
                    "an accepted date is read day first, shown and stored as it reads back", typed);
        }
        const bool whole = QStringView(boxes.join(u' ')).isValidUtf16();
        for (const radici::DateRule rule :
             {radici::DateRule::ExactlyTenCharacters, radici::DateRule::AnyLength}) {
            const QString key = radici::ComposeKey(boxes[0], boxes[1], boxes[2], rule);
            Require(key.size() <= radici::PersonKeyLength, "a key is never longer than 16", input);
            Require(!whole || QStringView(key).isValidUtf16(), "a key holds whole characters",
                    input);
            Require(radici::UpperCase(key).size() == key.size(),
                    "upper-cased, the key keeps its length", input);
        }
    }
    return 0;
}
