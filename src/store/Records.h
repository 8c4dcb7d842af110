#pragma once

#include <QDate>
#include <QString>
#include <QVariantList>
#include <cstdint>
#include <optional>

namespace radici {

// Sex code of a person and of the parent named by a link: 0 "Maschio", 1 "Femmina". As wide as
// the file's integers, so a value another program wrote is read as it is, never wrapped.
using SexCode = std::int64_t;
inline constexpr SexCode Male = 0;
inline constexpr SexCode Female = 1;
// ISO 5218 "not applicable": an unknown sex where the file's column refuses NULL.
inline constexpr SexCode NotApplicableSex = 9;

// True only for Male and Female: an absent sex, or a code another program wrote, is unknown.
inline bool IsKnownSex(const std::optional<SexCode>& sex) {
    return sex && (*sex == Male || *sex == Female);
}

// One row of anagrafica. An absent date is a null QDate; an absent sex (NULL) is no value.
struct Person {
    QString idrecord;
    QString cognome;
    QString nome;
    std::optional<SexCode> sesso = Male;
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

// A person's birth and death dates known only in part, as GEDCOM date values; empty when the
// date is known to the day (in anagrafica) or not at all.
struct PersonDatesInPart {
    QString birth;
    QString death;

    // Takes the text of a row of radici_date_persone: event 0 birth, 1 death, others ignored.
    void take(std::int64_t event, const QString& text) {
        if (event == 0) birth = text;
        if (event == 1) death = text;
    }
    bool operator==(const PersonDatesInPart&) const = default;
};

}  // namespace radici
