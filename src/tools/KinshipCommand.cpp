#include "tools/KinshipCommand.h"

#include "kinship/KinshipFinder.h"
#include "store/DatabaseConnection.h"

#include <QTextStream>

namespace radici {
namespace {

int RunKinship(const CommandLine& line, QTextStream& out, QTextStream& err) {
    if (line.arguments.size() < 2 || line.arguments.size() > 3) {
        return Misused(err, QStringLiteral("parentela vuole le chiavi di due persone e, se si "
                                           "vuole, il database."));
    }
    const QString database = line.arguments.value(2, DatabaseConnection::FileName);
    DatabaseConnection connection;
    if (const int opened = OpenDatabase(connection, database, err); opened) return opened;
    const Result<Kinship> found = FindKinship(connection, line.arguments[0], line.arguments[1]);
    if (!found.ok()) return Failed(err, found.status().description());
    const Kinship& kinship = found.value();
    for (const QString& key : {kinship.first, kinship.second}) {
        if (!kinship.persons.contains(key)) {
            return Failed(err, QStringLiteral("nessuna persona ha la chiave \"%1\" in %2.")
                                   .arg(key, ShownPath(database)));
        }
    }
    for (const Relationship& relationship : kinship.relationships)
        out << KinshipLine(kinship, relationship) << "\n";
    if (kinship.relationships.empty()) out << NoKinshipText(kinship) << "\n";
    if (kinship.stoppedAtBound) err << ToolName << ": " << StoppedAtBoundText() << "\n";
    return ToolSucceeded;
}

}  // namespace

ToolCommand KinshipCommand() {
    return {QStringLiteral("parentela"),
            QStringLiteral("chiave1 chiave2 [file]"),
            QStringLiteral("dice come la seconda persona è parente della prima, una riga per\n"
                           "ogni parentela, la più stretta per prima"),
            {},
            RunKinship};
}

}  // namespace radici
