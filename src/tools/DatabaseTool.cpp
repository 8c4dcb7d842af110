#include "tools/DatabaseTool.h"

#include "common/Version.h"
#include "store/DatabaseConnection.h"
#include "store/TreeFile.h"
#include "tools/ChartCommand.h"
#include "tools/DemoFamily.h"
#include "tools/ExchangeCommands.h"
#include "tools/ImportCommand.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <cerrno>
#include <optional>

namespace radici {

QString ShownPath(const QString& path) {
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

int Misused(QTextStream& err, const QString& problem) {
    err << ToolName << ": " << problem << " Vedere " << ToolName << " --help.\n";
    return ToolMisused;
}

int Failed(QTextStream& err, const QString& problem) {
    err << ToolName << ": " << problem << "\n";
    return ToolFailed;
}

namespace {

Status AddDemoFamily(const QString& path) {
    DatabaseConnection connection;
    if (Status opened = connection.open(path); !opened.ok()) return opened;
    return WriteDemoFamily(connection);
}

Status FillNewFile(const QString& path, DatabaseContent content) {
    Status made = CreateEmptyDatabase(path);
    if (made.ok() && content == DatabaseContent::DemoFamily) made = AddDemoFamily(path);
    return made;
}

// Why the system refused to create a file, in Italian: its own words are English.
QString CreationRefusal(int error) {
    switch (error) {
        case EISDIR:
            return QStringLiteral("è una cartella; indica il nome di un file");
        case ENAMETOOLONG:
            return QStringLiteral("il nome è troppo lungo; scegline uno più corto");
        case ENOENT:
        case ENOTDIR:
            return QStringLiteral("la cartella indicata non esiste");
        case EACCES:
        case EPERM:
            return QStringLiteral("la cartella non permette di creare file; rendila scrivibile");
        case EROFS:
            return QStringLiteral("il disco è di sola lettura");
        case ENOSPC:
        case EDQUOT:
            return QStringLiteral("il disco è pieno; libera spazio");
        default:
            return QStringLiteral("controlla il nome, la cartella e i suoi permessi");
    }
}

}  // namespace

// Creating the file exclusively, rather than testing for it first, means a file that appears in
// the meantime is still never overwritten.
int ClaimNewFile(const QString& path, QTextStream& err) {
    QFile file(path);
    errno = 0;
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return ToolSucceeded;
    const int refusal = errno;
    const QFileInfo existing(path);
    if (existing.exists() || existing.isSymLink()) {
        err << ToolName << ": il file " << ShownPath(path)
            << " esiste già e non viene sovrascritto.\n";
    } else {
        err << ToolName << ": impossibile creare il file " << ShownPath(path) << ": "
            << CreationRefusal(refusal) << ".\n";
    }
    return ToolFailed;
}

namespace {

std::optional<DatabaseContent> ContentOfCommand(const QString& command) {
    if (command == QLatin1String("init")) return DatabaseContent::Empty;
    if (command == QLatin1String("demo")) return DatabaseContent::DemoFamily;
    return std::nullopt;
}

void DescribeCommandLine(QCommandLineParser& parser) {
    parser.setApplicationDescription(QStringLiteral(
        "Prepara il file di dati di Radici, cifrato con la password del programma.\n"
        "\n"
        "Comandi:\n"
        "  init [file]  crea un database vuoto\n"
        "  demo [file]  crea un database con una famiglia di esempio\n"
        "  chart [--ancestors N | --descendants N] chiave albero.svg|.pdf|.png [file]\n"
        "               disegna gli antenati (4 generazioni se non detto) o i discendenti\n"
        "               della persona; il formato segue l'estensione\n"
        "  export [--private] [file] albero.ged\n"
        "               esporta il database in GEDCOM 5.5.1; con --private le persone viventi\n"
        "               restano senza date, luoghi e chiave\n"
        "  backup [file] copia.mdb\n"
        "               scrive una copia di sicurezza cifrata del database e la controlla\n"
        "  import [--dry-run] file.ged [file]\n"
        "               importa un file GEDCOM: crea il database se manca, altrimenti vi\n"
        "               aggiunge le persone nuove; con --dry-run mostra solo che cosa farebbe\n"
        "\n"
        "Il file predefinito è radicidb.mdb nella cartella corrente. Un file che esiste già non "
        "viene mai sovrascritto."));
    parser.addPositionalArgument(QStringLiteral("comando"), QStringLiteral("init, demo o chart."),
                                 QStringLiteral("comando"));
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("Il file da creare (predefinito: radicidb.mdb)."),
                                 QStringLiteral("[file]"));
}

int RunImportCommand(const QStringList& positional, bool dryRun, QTextStream& out,
                     QTextStream& err) {
    if (positional.size() < 2 || positional.size() > 3) {
        return Misused(err, QStringLiteral("import vuole il file GEDCOM e al più un database."));
    }
    return RunImport(positional[1], positional.value(2, DatabaseConnection::FileName), dryRun, out,
                     err);
}

int RunCommand(const QStringList& positional, bool dryRun, QTextStream& out, QTextStream& err) {
    if (positional.isEmpty()) {
        return Misused(err, QStringLiteral("manca il comando (init, demo o chart)."));
    }
    const QString& command = positional.first();
    if (command == QLatin1String("import")) return RunImportCommand(positional, dryRun, out, err);
    const std::optional<DatabaseContent> content = ContentOfCommand(command);
    if (!content) {
        return Misused(
            err, QStringLiteral("comando sconosciuto \"%1\": i comandi sono init, demo e chart.")
                     .arg(command));
    }
    if (positional.size() > 2) {
        return Misused(
            err,
            QStringLiteral("troppi argomenti: %1 accetta al più un nome di file.").arg(command));
    }
    const QString path = positional.value(1, DatabaseConnection::FileName);
    if (path.trimmed().isEmpty()) return Misused(err, QStringLiteral("il nome del file è vuoto."));
    return CreateDatabaseFile(path, *content, out, err);
}

}  // namespace

int CreateDatabaseFile(const QString& path, DatabaseContent content, QTextStream& out,
                       QTextStream& err) {
    if (const int claimed = ClaimNewFile(path, err); claimed != ToolSucceeded) return claimed;
    if (const Status made = FillNewFile(path, content); !made.ok()) {
        QFile::remove(path);
        err << ToolName << ": impossibile preparare il database " << ShownPath(path) << ": "
            << made.number() << " " << made.description() << "\n";
        return ToolFailed;
    }
    if (content == DatabaseContent::DemoFamily) {
        out << "Creato il database " << ShownPath(path) << " con una famiglia di esempio.\n";
    } else {
        out << "Creato il database vuoto " << ShownPath(path) << ".\n";
    }
    return ToolSucceeded;
}

int RunDatabaseTool(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    if (const std::optional<int> exchanged = RunExchangeCommand(arguments, out, err))
        return *exchanged;
    QCommandLineParser parser;
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Mostra questo aiuto."));
    const QCommandLineOption versionOption({QStringLiteral("v"), QStringLiteral("version")},
                                           QStringLiteral("Mostra la versione."));
    const QCommandLineOption dryRunOption(
        QStringLiteral("dry-run"),
        QStringLiteral("Con import: mostra che cosa verrebbe importato, senza scrivere."));
    const QCommandLineOption ancestorsOption(
        QStringLiteral("ancestors"), QStringLiteral("chart: N generazioni di antenati (1-12)."),
        QStringLiteral("N"));
    const QCommandLineOption descendantsOption(
        QStringLiteral("descendants"),
        QStringLiteral("chart: N generazioni di discendenti (1-12)."), QStringLiteral("N"));
    DescribeCommandLine(parser);
    parser.addOptions(
        {helpOption, versionOption, dryRunOption, ancestorsOption, descendantsOption});

    if (!parser.parse(arguments)) return Misused(err, parser.errorText());
    if (parser.isSet(helpOption)) {
        out << parser.helpText();
        return ToolSucceeded;
    }
    if (parser.isSet(versionOption)) {
        out << ToolName << " " << ProgramVersion() << "\n";
        return ToolSucceeded;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.value(0) == QLatin1String("chart")) {
        ChartRequest request;
        if (parser.isSet(ancestorsOption)) request.ancestors = parser.value(ancestorsOption);
        if (parser.isSet(descendantsOption)) request.descendants = parser.value(descendantsOption);
        return RunChartCommand(positional.mid(1), request, out, err);
    }
    if (parser.isSet(ancestorsOption) || parser.isSet(descendantsOption)) {
        return Misused(err, QStringLiteral("--ancestors e --descendants valgono solo per chart."));
    }
    return RunCommand(positional, parser.isSet(dryRunOption), out, err);
}

}  // namespace radici
