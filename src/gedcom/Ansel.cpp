#include "gedcom/Ansel.h"

#include <QList>

namespace radici {
namespace {

// Letters and signs of their own, from 0xA1 to 0xCF; 0 where the byte means nothing.
constexpr char16_t Spacing[0xD0 - 0xA1] = {
    0x0141, 0x00D8, 0x0110, 0x00DE, 0x00C6, 0x0152, 0x02B9, 0x00B7, 0x266D, 0x00AE,  // A1-AA
    0x00B1, 0x01A0, 0x01AF, 0x02BC, 0,      0x02BB, 0x0142, 0x00F8, 0x0111, 0x00FE,  // AB-B4
    0x00E6, 0x0153, 0x02BA, 0x0131, 0x00A3, 0x00F0, 0,      0x01A1, 0x01B0, 0x25A1,  // B5-BE
    0x25A0, 0x00B0, 0x2113, 0x2117, 0x00A9, 0x266F, 0x00BF, 0x00A1, 0x00DF, 0x20AC,  // BF-C8
    0,      0,      0,      0,      0,      0,      0x00DF,                          // C9-CF
};

// Combining marks, from 0xE0 to 0xFE; 0 where the byte means nothing.
constexpr char16_t Combining[0xFF - 0xE0] = {
    0x0309, 0x0300, 0x0301, 0x0302, 0x0303, 0x0304, 0x0306, 0x0307,  // E0-E7
    0x0308, 0x030C, 0x030A, 0xFE20, 0xFE21, 0x0315, 0x030B, 0x0310,  // E8-EF
    0x0327, 0x0328, 0x0323, 0x0324, 0x0325, 0x0333, 0x0332, 0x0326,  // F0-F7
    0x031C, 0x032E, 0xFE22, 0xFE23, 0,      0,      0x0313,          // F8-FE
};

char16_t Lookup(unsigned char byte, bool& combining) {
    combining = byte >= 0xE0 && byte <= 0xFE;
    if (byte < 0x80) return byte;
    if (byte >= 0xA1 && byte <= 0xCF) return Spacing[byte - 0xA1];
    if (combining) return Combining[byte - 0xE0];
    return 0;
}

}  // namespace

std::optional<QString> DecodeAnsel(QByteArrayView bytes) {
    QString text;
    text.reserve(bytes.size());
    QString marks;  // waiting for the letter they sit on
    for (const char raw : bytes) {
        bool combining = false;
        const char16_t unit = Lookup(static_cast<unsigned char>(raw), combining);
        if (unit == 0 && raw != 0) return std::nullopt;
        if (combining) {
            marks += QChar(unit);
            continue;
        }
        text += QChar(unit);
        text += marks;
        marks.clear();
    }
    text += marks;  // marks at the end of the line have nothing to sit on; kept as they are
    return text.normalized(QString::NormalizationForm_C);
}

}  // namespace radici
