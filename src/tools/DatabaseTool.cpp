#include "tools/DatabaseTool.h"

#include "common/Version.h"
#include "store/DatabaseConnection.h"
#include "store/Schema.h"
#include "tools/DemoFamily.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <cerrno>
#include <optional>

namespace radici {
namespace {

const QString ToolName = QStringLiteral("radici-db");

QString ShownPath(const QString& path) {
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

int Misused(QTextStream& err, const QString& problem) {
    err << ToolName << ": " << problem << " Vedere " << ToolName << " --help.\n";
    return ToolMisused;
}

Status CreateEmptyDatabase(const QString& path) {
    Result<Database> database =
        Database::open(path, DatabaseConnection::Password, Database::Mode::CreateNew);
    if (!database.ok()) return database.status();
    return CreateSchema(database.value());
}

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
        "\n"
        "Il file predefinito è radicidb.mdb nella cartella corrente. Un file che esiste già non "
        "viene mai sovrascritto."));
    parser.addPositionalArgument(QStringLiteral("comando"), QStringLiteral("init oppure demo."),
                                 QStringLiteral("comando"));
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("Il file da creare (predefinito: radicidb.mdb)."),
                                 QStringLiteral("[file]"));
}

int RunCommand(const QStringList& positional, QTextStream& out, QTextStream& err) {
    if (positional.isEmpty()) {
        return Misused(err, QStringLiteral("manca il comando (init o demo)."));
    }
    const QString& command = positional.first();
    const std::optional<DatabaseContent> content = ContentOfCommand(command);
    if (!content) {
        return Misused(
            err,
            QStringLiteral("comando sconosciuto \"%1\": i comandi sono init e demo.").arg(command));
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
    QCommandLineParser parser;
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Mostra questo aiuto."));
    const QCommandLineOption versionOption({QStringLiteral("v"), QStringLiteral("version")},
                                           QStringLiteral("Mostra la versione."));
    DescribeCommandLine(parser);
    parser.addOptions({helpOption, versionOption});

    if (!parser.parse(arguments)) return Misused(err, parser.errorText());
    if (parser.isSet(helpOption)) {
        out << parser.helpText();
        return ToolSucceeded;
    }
    if (parser.isSet(versionOption)) {
        out << ToolName << " " << ProgramVersion() << "\n";
        return ToolSucceeded;
    }
    return RunCommand(parser.positionalArguments(), out, err);
}

}  // namespace radici
