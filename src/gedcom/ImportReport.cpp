#include "gedcom/ImportReport.h"

namespace radici {
namespace {

// Persons are feminine in Italian ("persone"), links and marriages masculine.
QString CountsLine(const QString& what, const ImportCounts& counts, bool written, bool feminine) {
    const QString ending = feminine ? QStringLiteral("e") : QStringLiteral("i");
    return QStringLiteral("%1: %2 %3, %4 già presenti, %5 esclus%6.")
        .arg(what)
        .arg(counts.added)
        .arg(written ? QStringLiteral("importat") + ending : QStringLiteral("da importare"))
        .arg(counts.present)
        .arg(counts.leftOut)
        .arg(ending);
}

void AddSection(QStringList& lines, const QString& title, const QStringList& items) {
    if (items.isEmpty()) return;
    lines << QString() << QStringLiteral("%1 (%2):").arg(title).arg(items.size());
    for (const QString& item : items) lines << QStringLiteral("  ") + item;
}

QStringList CountedItems(const std::map<QString, qint64>& counts) {
    QStringList items;
    for (const auto& [kind, count] : counts) items << QStringLiteral("%1: %2").arg(kind).arg(count);
    return items;
}

}  // namespace

QStringList ImportReport::summary() const {
    QStringList lines;
    lines << QStringLiteral("File GEDCOM %1, codifica %2.")
                 .arg(version.isEmpty() ? QStringLiteral("senza versione") : version, encoding);
    lines << CountsLine(QStringLiteral("Persone"), persons, written, true);
    if (ownKeys > 0)
        lines << QStringLiteral(
                     "Di queste, con la chiave propria di Radici e quindi sempre nuove: %1 (la "
                     "chiave anagrafica non le può nominare: data di nascita non nota al giorno, "
                     "cognome o nome di meno di tre caratteri, o chiave già di un'altra persona).")
                     .arg(ownKeys);
    if (datesInPart > 0)
        lines << QStringLiteral("Date note solo in parte, conservate come scritte nel file: %1.")
                     .arg(datesInPart);
    lines << CountsLine(QStringLiteral("Legami genitore-figlio"), parentLinks, written, false)
          << CountsLine(QStringLiteral("Matrimoni"), marriages, written, false);
    return lines;
}

QStringList ImportReport::lines() const {
    QStringList lines = summary();
    AddSection(lines, QStringLiteral("Persone escluse"), leftOutPersons);
    AddSection(lines, QStringLiteral("Persone già presenti, non modificate"), presentPersons);
    AddSection(lines, QStringLiteral("Legami e matrimoni esclusi"), CountedItems(leftOutLinks));
    AddSection(lines, QStringLiteral("Legami e matrimoni esclusi perché contraddicono l'albero"),
               refusedLinks);
    AddSection(lines, QStringLiteral("Parti del nome senza una casella, non importate"), nameParts);
    AddSection(lines, QStringLiteral("Figli adottivi o in affidamento, legami non importati"),
               adoptions);
    AddSection(lines,
               QStringLiteral("Valori più lunghi della loro casella nella finestra anagrafica, "
                              "importati interi"),
               longValues);
    AddSection(lines, QStringLiteral("Dati che Radici non conserva, non importati"),
               CountedItems(notHeld));
    return lines;
}

}  // namespace radici
