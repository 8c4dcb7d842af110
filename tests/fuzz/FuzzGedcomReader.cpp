// Any bytes as a GEDCOM file, through the reader and the import's planning (against an empty
// database): never a crash or a hang, a refusal is a message, and the plan accounts for every
// person it read.
#include "FuzzInput.h"
#include "gedcom/GedcomImporter.h"
#include "gedcom/GedcomReader.h"

#include <QBuffer>

namespace {

using radici::fuzz::Require;

// Every node one level below its parent.
bool LevelsNest(const radici::GedcomNode& node) {
    for (const radici::GedcomNode& child : node.children)
        if (child.level != node.level + 1 || !LevelsNest(child)) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString shown = QString::fromLatin1(bytes);

    QBuffer file;
    file.setData(bytes);
    file.open(QIODevice::ReadOnly);
    radici::GedcomReader reader(file);
    qint64 individuals = 0;
    bool readWhole = false;
    if (const radici::Status header = reader.readHeader(); header.ok()) {
        for (;;) {
            const radici::Result<std::optional<radici::GedcomNode>> record = reader.nextRecord();
            if (!record.ok()) {
                Require(!record.status().description().isEmpty(), "a refusal says why", shown);
                break;
            }
            if (!record.value()) {
                readWhole = true;
                break;
            }
            Require(record.value()->level == 0 && LevelsNest(*record.value()),
                    "records nest level by level", shown);
            if (record.value()->tag == u"INDI") ++individuals;
        }
    }

    file.seek(0);
    const radici::DatabaseConnection empty;
    const radici::Result<radici::ImportPlan> plan = radici::PlanImport(file, empty);
    Require(plan.ok() == readWhole, "the plan reads what the reader reads", shown);
    if (!plan.ok()) return 0;
    const radici::ImportReport& report = plan.value().report();
    Require(report.persons.added + report.persons.present + report.persons.leftOut == individuals,
            "every person is added, already present or left out", shown);
    Require(report.leftOutPersons.size() == report.persons.leftOut &&
                report.presentPersons.size() == report.persons.present,
            "every person left out or already present is named", shown);
    return 0;
}
