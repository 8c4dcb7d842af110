#pragma once

#include <QString>
#include <QStringList>
#include <map>

namespace radici {

// How many rows of one kind the import adds, finds already there, and leaves out.
struct ImportCounts {
    qint64 added = 0;
    qint64 present = 0;
    qint64 leftOut = 0;
};

// What an import does, or did, to the database: shown before writing and after it, by the
// window and by radici-db alike.
struct ImportReport {
    QString version;  // as the file's header states it; empty when it does not
    QString encoding;
    bool written = false;

    ImportCounts persons;
    ImportCounts parentLinks;
    ImportCounts marriages;
    qint64 ownKeys = 0;      // persons added with Radici's own key: always new persons
    qint64 datesInPart = 0;  // births, deaths and marriages added with a date known in part

    QStringList leftOutPersons;              // one line each: who and why
    QStringList presentPersons;              // one line each: who, and where they already are
    std::map<QString, qint64> leftOutLinks;  // why, and how many links or marriages
    QStringList refusedLinks;  // one line each: a link or marriage that contradicts the tree
    QStringList nameParts;     // one line each: the part of a name that has no column
    QStringList adoptions;     // one line per child, whose links are left out
    QStringList longValues;    // values longer than their box in the registry window, kept whole
    std::map<QString, qint64> notHeld;  // what Radici has no place for, by kind

    // The file's version and encoding, then one line of counts for each kind of row.
    QStringList summary() const;
    // The summary, then every list.
    QStringList lines() const;
};

}  // namespace radici
