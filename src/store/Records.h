#pragma once

#include <QDate>
#include <QString>
#include <cstdint>

namespace radici {

// Sex code of a person and of the parent named by a link: 0 "Maschio", 1 "Femmina".
using SexCode = std::int16_t;
inline constexpr SexCode Male = 0;
inline constexpr SexCode Female = 1;

// One row of anagrafica. An absent date is a null QDate.
struct Person {
    QString idrecord;
    QString cognome;
    QString nome;
    SexCode sesso = Male;
    QDate datanasc;
    QString luogonasc;
    QString nazionenasc;
    QDate datamorte;
    QString luogomorte;
    QString nazionemorte;

    bool operator==(const Person&) const = default;
};

// One row of relazioni: idsesso 0 when the parent is the father, any other value the mother.
struct ParentLink {
    QString idgenitori;
    QString idfigli;
    SexCode idsesso = Male;

    bool operator==(const ParentLink&) const = default;
};

// One row of matrimoni. An absent marriage date is a null QDate.
struct Marriage {
    QString idmarito;
    QString idmoglie;
    QDate data;

    bool operator==(const Marriage&) const = default;
};

}  // namespace radici
