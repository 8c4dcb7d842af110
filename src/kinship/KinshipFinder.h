#pragma once

#include "KinshipNames.h"
#include "store/DatabaseConnection.h"
#include "store/Records.h"
#include "store/Status.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

namespace radici {

// One way two persons are related. Its path runs from top (the common ancestor, or the couple,
// or the two spouses) down two lines: firstLine ends at the first person or at their spouse,
// secondLine at the second person or at their spouse; that spouse then stands beside the line's
// end as firstPartner or secondPartner.
struct Relationship {
    KinshipTerms terms;
    KinshipWords words;
    QStringList top;
    QStringList firstLine;   // from just below top down, keys
    QStringList secondLine;  // from just below top down, keys
    QString firstPartner;
    QString secondPartner;

    int degree() const { return terms.up + terms.down; }
};

struct Kinship {
    QString first;
    QString second;
    std::vector<Relationship> relationships;  // closest first
    QHash<QString, Person> persons;           // everyone the paths name, as found in anagrafica
    bool stoppedAtBound = false;  // some line of ancestors went on past MaxKinshipGenerations
};

// How far up the walk goes from each person.
inline constexpr int MaxKinshipGenerations = 30;

// Every relationship between the two persons: each lowest common ancestor (a couple once),
// the spouses, and the affinity through either person's marriages. Reads every generation of
// ancestors of everyone concerned with one query inside one read transaction; each person is
// followed at most once from each side, so loops in a hand-edited file end.
Result<Kinship> FindKinship(const DatabaseConnection& connection, const QString& firstKey,
                            const QString& secondKey);

// "cugino di primo grado, parente di 4° grado in linea collaterale; antenati comuni: ..."
QString KinshipLine(const Kinship& kinship, const Relationship& relationship);

// What to say when nothing relates the two.
QString NoKinshipText(const Kinship& kinship);

// Said beside the relationships when some line of ancestors went on past the bound.
QString StoppedAtBoundText();

// "NOME COGNOME", or the key of a person missing from anagrafica.
QString KinshipPersonName(const Kinship& kinship, const QString& key);

}  // namespace radici
