// Any surname, given name and birth date typed or pasted: the key is never longer than its
// 16-character slot, never holds half a character, and keeps its length when upper-cased.
#include "FuzzInput.h"
#include "store/Dates.h"
#include "store/PersonKey.h"

#include <algorithm>

namespace {

using radici::fuzz::Require;

bool WholeCharacters(const QString& text) { return QStringView(text).isValidUtf16(); }

void CheckUpperCase(const QString& text) {
    const QString upper = radici::UpperCase(text);
    Require(upper.size() == text.size(), "upper-casing keeps the length", text);
    Require(radici::UpperCase(upper) == upper, "upper-casing twice changes nothing", text);
    Require(!WholeCharacters(text) || WholeCharacters(upper), "upper-casing keeps whole characters",
            text);
}

void CheckKey(const QStringList& boxes, radici::DateRule rule, const QString& input) {
    const QString key = radici::ComposeKey(boxes[0], boxes[1], boxes[2], rule);
    Require(key.size() <= radici::PersonKeyLength, "a key is never longer than 16", input);
    const bool wholeBoxes = std::all_of(boxes.begin(), boxes.end(), WholeCharacters);
    Require(!wholeBoxes || WholeCharacters(key), "a key never holds half a character", input);
    if (rule == radici::DateRule::ExactlyTenCharacters) {
        // The date box's own rule only asks more of the date: it takes it whole or not at all.
        const QString afterNameChange =
            radici::ComposeKey(boxes[0], boxes[1], boxes[2], radici::DateRule::AnyLength);
        Require(afterNameChange == key || afterNameChange == key + afterNameChange.right(10),
                "the date box's rule accepts no date the other refuses", input);
    }

    // As stored: upper-cased, and handed over through the 16-character slot unchanged.
    const QString stored = radici::UpperCase(key);
    Require(radici::KeyComplete(stored) == radici::KeyComplete(key),
            "upper-casing keeps a key complete", input);
    radici::SelectedPersonKey slot;
    slot.write(stored);
    Require(slot.text().size() == radici::PersonKeyLength, "the slot holds 16 characters", input);
    Require(slot.trimmed() == stored.trimmed(), "the slot hands the key back whole", input);

    if (!radici::KeyComplete(key) || key.trimmed() != key) return;
    // A complete key ends in its birth date as dd/mm/yyyy.
    const QString datePart = key.right(10);
    const std::optional<QDate> birth = radici::ReadDayFirstDate(datePart);
    Require(birth && radici::FormatDisplayDate(*birth) == datePart,
            "a complete key ends in a dd/mm/yyyy date", input);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (const QString& input : radici::fuzz::Readings(data, size)) {
        const QStringList boxes = radici::fuzz::Fields(input, 3);
        for (const QString& box : boxes) CheckUpperCase(box);
        CheckKey(boxes, radici::DateRule::ExactlyTenCharacters, input);
        CheckKey(boxes, radici::DateRule::AnyLength, input);
    }
    return 0;
}
