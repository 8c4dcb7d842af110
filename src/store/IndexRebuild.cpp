#include "IndexRebuild.h"

namespace radici {

namespace {

// Names read from the file go into the statement as quoted identifiers: the engine cannot bind
// a name, and doubling the quotes keeps any name one identifier.
QByteArray Identifier(const QString& name) {
    QString quoted = name;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return '"' + quoted.toUtf8() + '"';
}

template <typename Visit>
Status EachRow(const Database& db, const QByteArray& sql, const QString& bound, Visit visit) {
    Result<Statement> prepared = db.prepare(sql.constData());
    if (!prepared.ok()) return prepared.status();
    Statement& statement = prepared.value();
    if (!bound.isNull()) statement.bind(1, bound);
    while (statement.step()) visit(statement);
    return statement.status();
}

Status ReadIndexes(const Database& db, const QString& table, std::vector<StoredIndex>& indexes) {
    const std::size_t first = indexes.size();
    Status read = EachRow(db,
                          "select name, sql from sqlite_master where type = 'index' and "
                          "tbl_name = ?1 collate nocase and sql is not null order by rowid",
                          table, [&](const Statement& row) {
                              indexes.push_back({table, row.text(0), row.text(1), {}, false});
                          });
    if (!read.ok()) return read;
    for (std::size_t at = first; at < indexes.size(); ++at) {
        StoredIndex& index = indexes[at];
        read = EachRow(db, "pragma index_list(" + Identifier(table) + ")", QString(),
                       [&](const Statement& row) {
                           if (row.text(1) != index.name) return;
                           index.unique = row.integer(2) != 0;
                           index.partial = row.integer(4) != 0;
                       });
        if (!read.ok()) return read;
        // Key columns only; an expression has no name and is kept as an empty one.
        read = EachRow(db, "pragma index_xinfo(" + Identifier(index.name) + ")", QString(),
                       [&](const Statement& row) {
                           if (row.integer(5) != 0) index.columns << row.text(2);
                       });
        if (!read.ok()) return read;
    }
    return Status::success();
}

}  // namespace

Result<bool> IndexRebuild::worthwhile(const Database& db, const QStringList& tables,
                                      std::int64_t rowsToAdd) {
    std::int64_t held = 0;
    for (const QString& table : tables) {
        Result<Statement> count =
            db.prepare("select count(*) from (select 1 from " + Identifier(table) + " limit ?1)");
        if (!count.ok()) return count.status();
        count.value().bind(1, rowsToAdd - held);
        if (count.value().step()) held += count.value().integer(0);
        if (!count.value().status().ok()) return count.value().status();
        if (held >= rowsToAdd) return false;
    }
    return true;
}

Result<IndexRebuild> IndexRebuild::dropIndexes(const Database& db, const QStringList& tables) {
    std::vector<StoredIndex> indexes;
    for (const QString& table : tables)
        if (Status read = ReadIndexes(db, table, indexes); !read.ok()) return read;
    for (const StoredIndex& index : indexes)
        if (Status dropped = db.execute("drop index " + Identifier(index.name)); !dropped.ok())
            return dropped;
    return IndexRebuild(db, std::move(indexes));
}

Status IndexRebuild::rebuild(const Between& between) const {
    const int total = static_cast<int>(indexes_.size());
    for (int built = 0; built <= total; ++built) {
        if (between)
            if (Status going = between(built, total); !going.ok()) return going;
        if (built == total) break;
        const StoredIndex& index = indexes_[static_cast<std::size_t>(built)];
        const Status made = db_->execute(index.sql.toUtf8().constData());
        if (made.is(EngineError::DuplicateKey) && index.unique) return duplicateIn(index);
        if (!made.ok()) return made;
    }
    return Status::success();
}

// Which value is repeated, so the message can name it; the first one found is enough.
Status IndexRebuild::duplicateIn(const StoredIndex& index) const {
    QByteArrayList columns;
    QByteArrayList present;
    for (const QString& column : index.columns) {
        columns << Identifier(column);
        present << Identifier(column) + " is not null";
    }
    QString repeated;
    // The repeated value of an expression, or of a partial index, is not looked for.
    if (!index.partial && !columns.isEmpty() && !columns.contains("\"\"")) {
        const QByteArray list = columns.join(", ");
        static_cast<void>(EachRow(*db_,
                                  "select " + list + " from " + Identifier(index.table) +
                                      " where " + present.join(" and ") + " group by " + list +
                                      " having count(*) > 1 limit 1",
                                  QString(), [&](const Statement& row) {
                                      QStringList values;
                                      for (int at = 0; at < columns.size(); ++at)
                                          values << row.text(at);
                                      repeated = values.join(QStringLiteral(", "));
                                  }));
    }
    return Status::failure(
        EngineError::DuplicateKey,
        QStringLiteral("Esiste già un dato con la stessa chiave: %1 compare più di una volta "
                       "nella tabella %2 (%3), dove ogni valore può stare una volta sola.")
            .arg(repeated.isEmpty() ? QStringLiteral("un valore") : u'"' + repeated + u'"',
                 index.table, index.columns.join(QStringLiteral(", "))));
}

}  // namespace radici
