#pragma once

#include <QString>

namespace radici {

inline constexpr int PersonKeyLength = 16;

// Which acceptance rule applies to the birth-date text while a key is composed.
enum class DateRule {
    ExactlyTenCharacters,  // the birth-date box itself changed
    AnyLength,             // the surname or given-name box changed
};

// Three characters of the trimmed surname, three of the trimmed given name and, when the
// birth-date text is accepted under the rule, the date as "dd/mm/yyyy". Not upper-cased.
QString ComposeKey(const QString& surname, const QString& givenName, const QString& birthDateText,
                   DateRule rule);

// True when the key, trimmed, is exactly 16 characters long.
bool KeyComplete(const QString& key);

// Upper case one character for one, so a key keeps its length and a name its box's limit
// ("ß" stays "ß" rather than growing to "SS"). Keys, names, places and search texts all use it.
QString UpperCase(const QString& text);

}  // namespace radici
