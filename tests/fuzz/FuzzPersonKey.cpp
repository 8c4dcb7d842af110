// Any surname, given name and birth date typed or pasted: the key is never longer than its
// 16-character slot, never holds half a character, and keeps its length when upper-cased.
#include "FuzzInput.h"
#include "store/PersonKey.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using radici::fuzz::Require;
    for (const QString& input : radici::fuzz::Readings(data, size)) {
        const QStringList boxes = radici::fuzz::Fields(input, 3);
        const bool whole = QStringView(boxes.join(u' ')).isValidUtf16();
        for (const radici::DateRule rule :
             {radici::DateRule::ExactlyTenCharacters, radici::DateRule::AnyLength}) {
            const QString key = radici::ComposeKey(boxes[0], boxes[1], boxes[2], rule);
            Require(key.size() <= radici::PersonKeyLength, "a key is never longer than 16", input);
            Require(!whole || QStringView(key).isValidUtf16(), "a key holds whole characters",
                    input);
            const QString stored = radici::UpperCase(key);
            Require(stored.size() == key.size(), "upper-casing keeps the length", input);
            radici::SelectedPersonKey slot;
            slot.write(stored);
            Require(
                slot.text().size() == radici::PersonKeyLength && slot.trimmed() == stored.trimmed(),
                "the slot hands the key back whole", input);
        }
    }
    return 0;
}
