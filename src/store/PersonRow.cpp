#include "PersonRow.h"

#include "Dates.h"

#include <algorithm>

namespace radici {

void BindPerson(Statement& statement, const Person& person) {
    statement.bind(1, person.idrecord);
    statement.bind(2, person.cognome);
    statement.bind(3, person.nome);
    if (person.sesso)
        statement.bind(4, std::int64_t{*person.sesso});
    else
        statement.bindNull(4);
    statement.bind(5, StorageDateText(person.datanasc));
    statement.bind(6, person.luogonasc);
    statement.bind(7, person.nazionenasc);
    statement.bind(8, StorageDateText(person.datamorte));
    statement.bind(9, person.luogomorte);
    statement.bind(10, person.nazionemorte);
}

Person ReadPerson(const Statement& row) {
    Person person;
    person.idrecord = row.text(0);
    person.cognome = row.text(1);
    person.nome = row.text(2);
    person.sesso = row.isNull(3) ? std::nullopt : std::optional(SexCode{row.integer(3)});
    person.datanasc = DateFromStorageText(row.text(4));
    person.luogonasc = row.text(5);
    person.nazionenasc = row.text(6);
    person.datamorte = DateFromStorageText(row.text(7));
    person.luogomorte = row.text(8);
    person.nazionemorte = row.text(9);
    return person;
}

StoredPerson ReadStoredPerson(const Statement& row) {
    StoredPerson stored{ReadPerson(row), {}};
    for (int column = 0; column <= static_cast<int>(PersonColumn::nazionemorte); ++column)
        stored.columns.append(row.value(column));
    return stored;
}

namespace {

bool HoldsControlCharacter(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar unit) { return unit.category() == QChar::Other_Control; });
}

}  // namespace

bool StoredPerson::unreadable(PersonColumn column) const {
    const QVariant& value = columns.value(static_cast<qsizetype>(column));
    switch (column) {
        case PersonColumn::sesso:
            return !value.isNull() &&
                   (value.typeId() != QMetaType::LongLong ||
                    (value.toLongLong() != Male && value.toLongLong() != Female));
        case PersonColumn::datanasc:
            return !value.toString().isEmpty() && !person.datanasc.isValid();
        case PersonColumn::datamorte:
            return !value.toString().isEmpty() && !person.datamorte.isValid();
        default:
            return !value.isNull() && (value.typeId() != QMetaType::QString ||
                                       HoldsControlCharacter(value.toString()));
    }
}

}  // namespace radici
