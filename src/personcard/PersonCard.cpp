#include "personcard/PersonCard.h"

#include "store/PersonKey.h"

namespace radici {
namespace {

// What a date box shows: a date another program stored in a form the program cannot read is
// shown as the file holds it, so that it is seen and, left alone, kept.
QString DateInBox(const StoredPerson& stored, PersonColumn column, const QString& inPart) {
    if (stored.unreadable(column)) return stored.columns.at(static_cast<int>(column)).toString();
    const QDate date =
        column == PersonColumn::datanasc ? stored.person.datanasc : stored.person.datamorte;
    return ShownDate(date, inPart);
}

// A text box and the column it shows; the names are locked together.
struct TextField {
    QString CardFields::*box;
    QString Person::*column;
    bool isName;
};

constexpr TextField TextFields[] = {
    {&CardFields::surname, &Person::cognome, true},
    {&CardFields::givenName, &Person::nome, true},
    {&CardFields::birthPlace, &Person::luogonasc, false},
    {&CardFields::birthCountry, &Person::nazionenasc, false},
    {&CardFields::deathPlace, &Person::luogomorte, false},
    {&CardFields::deathCountry, &Person::nazionemorte, false},
};

TypedDate Typed(const QString& text) { return ReadTypedDate(text).value_or(TypedDate{}); }

}  // namespace

void PersonCard::startNew() {
    loaded_.reset();
    loadedDates_ = {};
    shown_ = {};
}

Status PersonCard::load(const QString& key) {
    const Result<std::optional<StoredPerson>> found = connection_.anagrafica().seekStored(key);
    if (!found.ok()) return found.status();
    if (!found.value())
        return Status::failure(EngineError::NoCurrentRecord,
                               QStringLiteral("La persona non è più presente in archivio."));
    const Result<PersonDatesInPart> dates = connection_.datesInPart().ofPerson(key);
    if (!dates.ok()) return dates.status();
    loaded_ = found.value();
    loadedDates_ = dates.value();
    const Person& person = loaded_->person;
    shown_ = {};
    for (const TextField& field : TextFields) shown_.*field.box = person.*field.column;
    if (IsKnownSex(person.sesso)) shown_.sex = person.sesso;
    shown_.birthDate = DateInBox(*loaded_, PersonColumn::datanasc, loadedDates_.birth);
    shown_.deathDate = DateInBox(*loaded_, PersonColumn::datamorte, loadedDates_.death);
    return Status::success();
}

bool PersonCard::isLocked(CardLock lock) const {
    if (isNew() || IsOwnKey(key())) return false;
    return lock != CardLock::Sex || IsKnownSex(loaded_->person.sesso);
}

bool PersonCard::changed(QString CardFields::*box, const CardFields& typed) const {
    const bool locked = (box == &CardFields::birthDate && isLocked(CardLock::BirthDate)) ||
                        ((box == &CardFields::surname || box == &CardFields::givenName) &&
                         isLocked(CardLock::Names));
    return !locked && typed.*box != shown_.*box;
}

QStringList PersonCard::refusal(const CardFields& typed) const {
    const bool nameChanged =
        changed(&CardFields::surname, typed) || changed(&CardFields::givenName, typed);
    if ((isNew() || nameChanged) && typed.surname.trimmed().isEmpty() &&
        typed.givenName.trimmed().isEmpty())
        return {QStringLiteral("Attenzione... scrivi il cognome o il nome della persona.")};
    QStringList refused = dateRefusal(&CardFields::birthDate, PersonColumn::datanasc, typed,
                                      QStringLiteral("nascita"));
    if (refused.isEmpty())
        refused = dateRefusal(&CardFields::deathDate, PersonColumn::datamorte, typed,
                              QStringLiteral("morte"));
    return refused;
}

// A date left as shown is kept whatever form it has; a changed one must be typed in a known form.
// A date another program wrote in the person's column, in a form no one can read, leaves it only
// for a date known to the day: the column cannot be told to forget it otherwise.
QStringList PersonCard::dateRefusal(QString CardFields::*box, PersonColumn column,
                                    const CardFields& typed, const QString& name) const {
    if (!changed(box, typed)) return {};
    const std::optional<TypedDate> date = ReadTypedDate(typed.*box);
    if (!date)
        return {QStringLiteral("Attenzione... la data di %1 \"%2\" non è valida.")
                    .arg(name, (typed.*box).trimmed()),
                TypedDateForms()};
    if (!isNew() && loaded_->unreadable(column) && !date->exact.isValid())
        return {QStringLiteral("Attenzione... la data di %1 registrata da un altro programma "
                               "(\"%2\") si può sostituire solo con una data completa, "
                               "come 15/07/1920.")
                    .arg(name, shown_.*box)};
    return {};
}

Status PersonCard::save(const CardFields& typed) {
    Q_ASSERT(refusal(typed).isEmpty());
    return isNew() ? create(typed) : correct(typed);
}

Status PersonCard::create(const CardFields& typed) {
    const TypedDate birth = Typed(typed.birthDate);
    const TypedDate death = Typed(typed.deathDate);
    Person person;
    for (const TextField& field : TextFields) person.*field.column = typed.*field.box;
    person.sesso = typed.sex;
    person.datanasc = birth.exact;
    person.datamorte = death.exact;
    const Status written = connection_.runInTransaction([&]() -> Status {
        const Result<QString> key = newKey(typed, birth);
        if (!key.ok()) return key.status();
        person.idrecord = key.value();
        if (Status added = connection_.anagrafica().add(person); !added.ok()) return added;
        return writeDates(person.idrecord, {birth.inPart, death.inPart});
    });
    return written.ok() ? load(person.idrecord) : written;
}

// The registry key when it can be made and no one has it (twins born the same day share it),
// otherwise the next of Radici's own keys.
Result<QString> PersonCard::newKey(const CardFields& typed, const TypedDate& birth) const {
    if (const std::optional<QString> key =
            RegistryKey(typed.surname, typed.givenName, birth.exact)) {
        const Result<std::optional<Person>> holder = connection_.anagrafica().seek(*key);
        if (!holder.ok()) return holder.status();
        if (!holder.value()) return *key;
    }
    const std::optional<int> year =
        birth.exact.isValid() ? std::optional<int>(birth.exact.year()) : EarliestYear(birth.inPart);
    const QString prefix = OwnKeyPrefix(typed.surname, typed.givenName, year);
    const Result<int> highest = connection_.anagrafica().highestOwnNumber(prefix);
    if (!highest.ok()) return highest.status();
    if (highest.value() >= 9999)
        return Status::failure(EngineError::DuplicateKey,
                               QStringLiteral("Attenzione... le chiavi %1 sono esaurite: "
                                              "creazione impossibile.")
                                   .arg(prefix));
    return OwnKey(prefix, highest.value() + 1);
}

Status PersonCard::correct(const CardFields& typed) {
    Person person = loaded_->person;
    for (const TextField& field : TextFields)
        if (changed(field.box, typed)) person.*field.column = typed.*field.box;
    if (!isLocked(CardLock::Sex) && typed.sex != shown_.sex) person.sesso = typed.sex;
    PersonDatesInPart dates = loadedDates_;
    if (changed(&CardFields::birthDate, typed)) {
        const TypedDate birth = Typed(typed.birthDate);
        person.datanasc = birth.exact;
        dates.birth = birth.inPart;
    }
    if (changed(&CardFields::deathDate, typed)) {
        const TypedDate death = Typed(typed.deathDate);
        person.datamorte = death.exact;
        dates.death = death.inPart;
    }
    const Status written = connection_.runInTransaction([&]() -> Status {
        const Status corrected = connection_.anagrafica().correct(*loaded_, person);
        return corrected.ok() ? writeDates(person.idrecord, dates) : corrected;
    });
    return written.ok() ? load(person.idrecord) : written;
}

// Only a change is written, so a file that never held a date known in part gets no new tables.
Status PersonCard::writeDates(const QString& key, const PersonDatesInPart& dates) {
    if (dates == loadedDates_) return Status::success();
    return connection_.datesInPart().setPerson(key, dates);
}

}  // namespace radici
