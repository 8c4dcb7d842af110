#pragma once

#include <QDate>
#include <QString>
#include <QVariantList>
#include <cstdint>

namespace radici {

// Sex code of a person and of the parent named by a link: 0 "Maschio", 1 "Femmina". As wide as
// the file's integers, so a value another program wrote is read as it is, never wrapped.
using SexCode = std::int64_t;
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

// The columns of anagrafica, in the order the store reads and binds them.
enum class PersonColumn {
    idrecord,
    cognome,
    nome,
    sesso,
    datanasc,
    luogonasc,
    nazionenasc,
    datamorte,
    luogomorte,
    nazionemorte
};

// A row of anagrafica as the program reads it, beside every column exactly as the file holds it
// (null, whole number, real number, text or bytes). Another program may have written values the
// person cannot carry: a date that cannot be read, a sex code other than 0 and 1.
struct StoredPerson {
    Person person;
    QVariantList columns;  // in PersonColumn order

    // True when the column holds a value that person does not carry whole.
    bool unreadable(PersonColumn column) const;
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
