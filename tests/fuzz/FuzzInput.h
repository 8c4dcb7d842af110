#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// What the fuzz targets share: turning bytes into the texts a user could type or paste, and
// stopping with a readable report when a property does not hold.
namespace radici::fuzz {

// The bytes read as UTF-8, and read as raw UTF-16 units: the second may hold half of a
// character, as a box does when it cuts a pasted text at its length limit.
inline QList<QString> Readings(const std::uint8_t* data, std::size_t size) {
    QString units(static_cast<qsizetype>(size / 2), Qt::Uninitialized);
    std::memcpy(units.data(), data, (size / 2) * 2);
    return {QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)),
            units};
}

// The text cut at its first count - 1 line breaks; missing fields are empty.
inline QStringList Fields(const QString& text, int count) {
    QStringList fields = text.split(u'\n');
    if (fields.size() > count)
        fields = fields.mid(0, count - 1) << fields.mid(count - 1).join(u'\n');
    while (fields.size() < count) fields.append(QString());
    return fields;
}

// The text with every unit outside printable ASCII written as \uXXXX, for the report.
inline QByteArray Escaped(const QString& text) {
    QByteArray escaped;
    for (const QChar unit : text) {
        if (unit.unicode() >= 0x20 && unit.unicode() < 0x7f)
            escaped += static_cast<char>(unit.unicode());
        else
            escaped += QStringLiteral("\\u%1").arg(unit.unicode(), 4, 16, QChar(u'0')).toLatin1();
    }
    return escaped;
}

// Ends the run when the property fails; libFuzzer keeps the input that made it fail.
inline void Require(bool holds, const char* property, const QString& input) {
    if (holds) return;
    std::fprintf(stderr, "property does not hold: %s\ninput: \"%s\"\n", property,
                 Escaped(input).constData());
    std::abort();
}

}  // namespace radici::fuzz
