// generate-tree: makes one database file holding a generated family tree.
#include "TreeGenerator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("generate-tree"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Makes a Radici database holding a generated family tree of SIZE persons. The same seed "
        "and size always give the same tree."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("SIZE"), QStringLiteral("Number of persons."));
    const QCommandLineOption seedOption(QStringLiteral("seed"),
                                        QStringLiteral("Seed of the tree (default 1)."),
                                        QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption outputOption(
        QStringLiteral("output"),
        QStringLiteral("File to make; never overwritten (default radicidb.mdb here)."),
        QStringLiteral("FILE"), QStringLiteral("radicidb.mdb"));
    const QCommandLineOption inPartOption(
        QStringLiteral("births-in-part"),
        QStringLiteral("Percentage of the births known only in part (default 0)."),
        QStringLiteral("PERCENT"), QStringLiteral("0"));
    parser.addOption(seedOption);
    parser.addOption(outputOption);
    parser.addOption(inPartOption);
    parser.process(application);

    QTextStream out(stdout);
    QTextStream err(stderr);
    bool sizeRead = false;
    bool seedRead = false;
    bool shareRead = false;
    const int size = parser.positionalArguments().value(0).toInt(&sizeRead);
    const quint32 seed = parser.value(seedOption).toUInt(&seedRead);
    const int inPart = parser.value(inPartOption).toInt(&shareRead);
    if (parser.positionalArguments().size() != 1 || !sizeRead || !seedRead || !shareRead ||
        inPart < 0 || inPart > 100) {
        err << "generate-tree: give the size as a whole number, the seed as one too, and the "
               "births in part as a percentage.\n";
        return 2;
    }

    QElapsedTimer clock;
    clock.start();
    const QString output = parser.value(outputOption);
    const radici::Result<radici::bench::TreeFacts> made =
        radici::bench::GenerateTree(output, seed, size, inPart);
    if (!made.ok()) {
        err << "generate-tree: " << made.status().description() << '\n';
        return 1;
    }
    const radici::bench::TreeFacts& facts = made.value();
    out << output << ": " << facts.persons << " persons (" << facts.withDeathDate
        << " with a death date, " << facts.birthsInPart << " born on a date known in part), "
        << facts.links << " parent links, " << facts.marriages << " marriages, in "
        << static_cast<double>(clock.elapsed()) / 1000 << " s\n"
        << "searches: " << facts.commonPrefix << " finds " << facts.commonCount << ", "
        << facts.rarePrefix << " finds " << facts.rareCount << ", " << facts.scanText << " finds "
        << facts.scanCount << "\n"
        << "person with every kind of relative: " << facts.showcaseKey << '\n';
    return 0;
}
