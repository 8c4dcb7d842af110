#pragma once

#include "gedcom/ImportReport.h"
#include "store/DatabaseConnection.h"
#include "store/Records.h"
#include "store/Status.h"

#include <QString>
#include <functional>
#include <vector>

class QIODevice;

namespace radici {

struct ImportProgress {
    // Committing comes once, when every row is written: the last moment a cancel can undo it all.
    enum class Phase { Reading, Linking, Writing, Indexing, Committing };
    Phase phase = Phase::Reading;
    qint64 done = 0;  // bytes read, families linked, rows written, or indexes built
    qint64 total = 0;
};

// Called now and then in every phase of an import; returning false cancels it.
using ImportProgressCallback = std::function<bool(const ImportProgress&)>;

// What an import will write: decided from the file and the database before anything is written.
class ImportPlan {
public:
    const ImportReport& report() const { return report_; }

private:
    friend class ImportPlanner;
    friend Result<ImportReport> WriteImport(const ImportPlan&, DatabaseConnection&,
                                            const ImportProgressCallback&);

    // A person to add. Texts are numbers in texts_, so repeated names and places share one copy
    // and a large file's plan stays small.
    struct NewPerson {
        qint32 xref = 0;
        quint32 texts[6] = {};  // cognome, nome, luogonasc, nazionenasc, luogomorte, nazionemorte
        qint32 birthDay = 0;    // Julian day; 0 when absent
        qint32 deathDay = 0;
        quint32 birthInPart = 0;  // the file's date text, when not known to the day
        quint32 deathInPart = 0;
        qint8 sex = -1;  // 0 male, 1 female, -1 unknown: a byte, where a sex code takes eight
    };
    struct NewLink {
        qint32 parent = 0;
        qint32 child = 0;
        bool mother = false;
    };
    struct NewMarriage {
        qint32 husband = 0;
        qint32 wife = 0;
        qint32 day = 0;
        quint32 inPart = 0;
    };

    Person person(const NewPerson& planned) const;
    // advance is called after each row; false stops the writing with ImportCancelled.
    Status writeRows(DatabaseConnection& connection, const std::function<bool()>& advance) const;

    ImportReport report_;
    std::vector<QString> keys_;  // by xref number: the key in the database, empty when none
    std::vector<QString> texts_;
    std::vector<NewPerson> persons_;
    std::vector<NewLink> links_;
    std::vector<NewMarriage> marriages_;
    // Whether the file held dates known in part when planned; unknown counts as held.
    bool datesInPartStored_ = true;
};

// Reads the whole file and plans the import against the database; writes nothing. A closed
// connection stands for an empty database.
Result<ImportPlan> PlanImport(QIODevice& file, const DatabaseConnection& connection,
                              const ImportProgressCallback& progress = {});
Result<ImportPlan> PlanImport(const QString& path, const DatabaseConnection& connection,
                              const ImportProgressCallback& progress = {});

// Writes the plan in one transaction: all of it, or nothing when a write fails or the progress
// callback cancels. The report then counts what was written.
Result<ImportReport> WriteImport(const ImportPlan& plan, DatabaseConnection& connection,
                                 const ImportProgressCallback& progress = {});

}  // namespace radici
