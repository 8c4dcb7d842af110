#pragma once

#include "store/Database.h"
#include "store/DatabaseConnection.h"

#include <QStringList>
#include <QTest>

namespace radici {

// The file as another program sees it: its own connection, raw SQL, every value with its type.
class RawFile {
public:
    explicit RawFile(const QString& path)
        : db_(Database::open(path, DatabaseConnection::Password, Database::Mode::OpenExisting)
                  .value()) {}

    void execute(const QString& sql) {
        const Status done = db_.execute(sql.toUtf8().constData());
        if (!done.ok()) QTest::qFail(qPrintable(done.description()), __FILE__, __LINE__);
    }

    // Each row of the table as "type:hex" of every column, in row order: a changed byte, type or
    // row shows.
    QStringList rows(const QString& table, const QString& columns) {
        QStringList cells;
        for (const QString& column : columns.split(u','))
            cells << QStringLiteral("typeof(%1) || ':' || hex(%1)").arg(column.trimmed());
        const QByteArray sql = QStringLiteral("select %1 from %2 order by rowid")
                                   .arg(cells.join(QStringLiteral(" || ' ' || ")), table)
                                   .toUtf8();
        Result<Statement> query = db_.prepare(sql.constData());
        QStringList found;
        while (query.ok() && query.value().step()) found << query.value().text(0);
        return found;
    }

    Database& database() { return db_; }

private:
    Database db_;
};

}  // namespace radici
