#pragma once

#include "store/DatabaseConnection.h"
#include "store/PartialDate.h"
#include "store/Records.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace radici {

// What the boxes of "Scheda persona" hold, as typed or shown; no sex is "non noto".
struct CardFields {
    QString surname;
    QString givenName;
    std::optional<SexCode> sex;
    QString birthDate;
    QString birthPlace;
    QString birthCountry;
    QString deathDate;
    QString deathPlace;
    QString deathCountry;

    bool operator==(const CardFields&) const = default;
};

// The fields that a stored person's key may lock.
enum class CardLock { Names, BirthDate, Sex };

// The rules of "Scheda persona": a new person or one stored person, what the boxes show of them,
// what is locked, and what is written. A registry key is made whenever the registry window could
// have made it, Radici's own otherwise; once made it never changes. A registry key locks the
// names, the birth date and a known sex, as the registry window does; Radici's own key is only an
// identity, so nothing is locked. Whatever the user leaves as shown is kept exactly as stored.
class PersonCard {
public:
    explicit PersonCard(DatabaseConnection& connection) : connection_(connection) {}

    // An empty card for a new person.
    void startNew();
    // Holds the stored person of that key; NoCurrentRecord when there is none.
    Status load(const QString& key);

    bool isNew() const { return !loaded_.has_value(); }
    // The stored key; empty for a new person.
    QString key() const { return loaded_ ? loaded_->person.idrecord : QString(); }
    // Every stored text whole; a date known in part in its short form.
    const CardFields& shown() const { return shown_; }
    bool isLocked(CardLock lock) const;

    // The lines of the Italian message that refuses the typed fields; empty when they can be saved.
    QStringList refusal(const CardFields& typed) const;
    // Creates the new person, or writes what the user changed, in one transaction; then holds the
    // person as stored. The typed fields must not be refused.
    Status save(const CardFields& typed);

private:
    bool changed(QString CardFields::*box, const CardFields& typed) const;
    QStringList dateRefusal(QString CardFields::*box, PersonColumn column, const CardFields& typed,
                            const QString& name) const;
    Status create(const CardFields& typed);
    Status correct(const CardFields& typed);
    Result<QString> newKey(const CardFields& typed, const TypedDate& birth) const;
    Status writeDates(const QString& key, const PersonDatesInPart& dates);

    DatabaseConnection& connection_;
    std::optional<StoredPerson> loaded_;
    PersonDatesInPart loadedDates_;
    CardFields shown_;
};

}  // namespace radici
