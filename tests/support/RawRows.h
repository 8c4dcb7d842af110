#pragma once

#include "TestDatabase.h"

namespace radici {

// Each row of the table as the file holds it, "type:hex" of every column, in row order (or the
// order given, for a table without rowid): a changed byte, type or row shows.
inline QStringList RawRows(TestDatabase& db, const QString& table, const QString& columns,
                           const QString& order = QStringLiteral("rowid")) {
    QStringList cells;
    for (const QString& column : columns.split(", "))
        cells << QStringLiteral("typeof(%1) || ':' || ifnull(hex(%1), '')").arg(column);
    return db.column(QStringLiteral("select %1 from %2 order by %3")
                         .arg(cells.join(" || ' ' || "), table, order));
}

}  // namespace radici
