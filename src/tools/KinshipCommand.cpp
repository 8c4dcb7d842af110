#include "tools/KinshipCommand.h"

#include "kinship/KinshipFinder.h"
#include "store/DatabaseConnection.h"
#include "tools/DatabaseTool.h"

#include <QTextStream>

namespace radici {

std::optional<int> RunKinshipCommand(const QStringList& arguments, QTextStream& out,
                                     QTextStream& err) {
    if (arguments.value(1) != QLatin1String("parentela")) return std::nullopt;
    if (arguments.size() < 4 || arguments.size() > 5) {
        return Misused(err, QStringLiteral("parentela vuole le chiavi di due persone e, se si "
                                           "vuole, il database."));
    }
    const QString database = arguments.value(4, DatabaseConnection::FileName);
    DatabaseConnection connection;
    if (const Status opened = connection.open(database); !opened.ok()) {
        return Failed(err, QStringLiteral("impossibile aprire il database %1: %2 %3")
                               .arg(ShownPath(database))
                               .arg(opened.number())
                               .arg(opened.description()));
    }
    const Result<Kinship> found = FindKinship(connection, arguments[2], arguments[3]);
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

}  // namespace radici
