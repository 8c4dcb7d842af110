#pragma once

#include <QDate>
#include <QString>
#include <optional>

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

// Radici's own key, "SSSNNN~yyyy~nnnn", for a person the registry key cannot name. Told apart
// by position only: a surname typed in the registry window may hold "~" or "_" anywhere.
bool IsOwnKey(const QString& key);
// "SSSNNN~yyyy~": three characters of each trimmed name, filled up with "_", and the birth year
// ("0000" when unknown), upper-cased.
QString OwnKeyPrefix(const QString& surname, const QString& givenName,
                     std::optional<int> birthYear);
// The prefix followed by the number in four digits.
QString OwnKey(const QString& prefix, int number);
// The registry key of the person, upper-cased, exactly when the registry window would complete
// it from these boxes: names of three characters or more, trimmed, and a birth known to the day.
std::optional<QString> RegistryKey(const QString& surname, const QString& givenName,
                                   const QDate& birth);

// Upper case one character for one, so a key keeps its length and a name its box's limit
// ("ß" stays "ß" rather than growing to "SS"). Keys, names, places and search texts all use it.
QString UpperCase(const QString& text);

}  // namespace radici
