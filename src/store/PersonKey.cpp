#include "PersonKey.h"

#include "Dates.h"

#include <algorithm>

namespace radici {

namespace {

// The first three characters, never splitting a character outside the basic plane in two.
QString FirstThree(const QString& text) {
    const QString trimmed = text.trimmed();
    qsizetype length = std::min<qsizetype>(3, trimmed.size());
    if (length == 3 && trimmed.at(2).isHighSurrogate()) length = 2;
    return trimmed.left(length);
}

}  // namespace

QString ComposeKey(const QString& surname, const QString& givenName, const QString& birthDateText,
                   DateRule rule) {
    QString key = FirstThree(surname) + FirstThree(givenName);
    if (rule == DateRule::ExactlyTenCharacters && birthDateText.trimmed().size() != 10) return key;
    if (const std::optional<QDate> birth = ReadDayFirstDate(birthDateText))
        key += FormatDisplayDate(*birth);
    return key;
}

bool KeyComplete(const QString& key) {
    return QStringView(key).trimmed().size() == PersonKeyLength;
}

bool IsOwnKey(const QString& key) {
    return key.size() == PersonKeyLength && key.at(6) == u'~' && key.at(11) == u'~';
}

QString OwnKeyPrefix(const QString& surname, const QString& givenName,
                     std::optional<int> birthYear) {
    // A year that four digits cannot write counts as unknown: the key keeps its length.
    const int known = birthYear.value_or(0) > 0 && *birthYear <= 9999 ? *birthYear : 0;
    const QString year = QStringLiteral("%1").arg(known, 4, 10, QLatin1Char('0'));
    return UpperCase(FirstThree(surname).leftJustified(3, u'_') +
                     FirstThree(givenName).leftJustified(3, u'_') + u'~' + year + u'~');
}

QString OwnKey(const QString& prefix, int number) {
    return prefix + QStringLiteral("%1").arg(number, 4, 10, QLatin1Char('0'));
}

std::optional<QString> RegistryKey(const QString& surname, const QString& givenName,
                                   const QDate& birth) {
    if (!birth.isValid()) return std::nullopt;
    const QString key =
        ComposeKey(surname, givenName, FormatDisplayDate(birth), DateRule::ExactlyTenCharacters);
    if (!KeyComplete(key)) return std::nullopt;
    return UpperCase(key);
}

QString UpperCase(const QString& text) {
    // Most text comes upper-cased already (stored rows, Radici's own files): it is then shared.
    if (std::all_of(text.cbegin(), text.cend(), [](QChar c) {
            if (c < u'\x80') return c < u'a' || c > u'z';  // ASCII, without a table lookup
            return !c.isSurrogate() && c.toUpper() == c;
        }))
        return text;
    // Built character by character: QString::fromUcs4 would drop a leading U+FEFF as a
    // byte-order mark, and a pasted name that begins with one would lose a character.
    QString upper;
    upper.reserve(text.size());
    for (const uint codePoint : text.toUcs4()) upper += QChar::fromUcs4(QChar::toUpper(codePoint));
    return upper;
}

}  // namespace radici
