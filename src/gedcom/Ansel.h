#pragma once

#include <QByteArrayView>
#include <QString>
#include <optional>

namespace radici {

// Decodes one line of ANSEL, the character set of many older GEDCOM files. Its combining marks
// come before the letter they sit on; the text returned has them after it, composed where
// Unicode has a composed letter. No value when a byte has no meaning in ANSEL.
std::optional<QString> DecodeAnsel(QByteArrayView bytes);

}  // namespace radici
