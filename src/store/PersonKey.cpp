#include "PersonKey.h"

#include "Dates.h"

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

bool KeyComplete(const QString& key) { return key.trimmed().size() == PersonKeyLength; }

QString UpperCase(const QString& text) {
    // Built character by character: QString::fromUcs4 would drop a leading U+FEFF as a
    // byte-order mark, and a pasted name that begins with one would lose a character.
    QString upper;
    upper.reserve(text.size());
    for (const uint codePoint : text.toUcs4()) upper += QChar::fromUcs4(QChar::toUpper(codePoint));
    return upper;
}

}  // namespace radici
