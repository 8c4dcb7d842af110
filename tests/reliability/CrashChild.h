#pragma once

#include <QString>

// What the crash test and the program it kills share: the persons of the family the program
// saves and deletes over and over.
namespace radici::crash {

inline const QString Paolo = QStringLiteral("PERPAO01/01/1950");
inline const QString Father = QStringLiteral("PADFRA01/01/1920");
inline const QString Mother = QStringLiteral("MADMAR01/01/1925");
inline const QString Wife = QStringLiteral("MOGLAU01/01/1952");
inline const QString Son = QStringLiteral("FIGPRI01/01/1975");
inline const QString Daughter = QStringLiteral("FIGSEC01/01/1978");
inline const QString WeddingDay = QStringLiteral("10/05/1974");

}  // namespace radici::crash
