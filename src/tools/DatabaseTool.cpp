#include "tools/DatabaseTool.h"

#include "common/Version.h"
#include "tools/ChartCommand.h"
#include "tools/CreateCommands.h"
#include "tools/ExchangeCommands.h"
#include "tools/ImportCommand.h"
#include "tools/KinshipCommand.h"

#include <QTextStream>
#include <algorithm>
#include <vector>

namespace radici {
namespace {

// Every command, in the order --help lists them. A new command is one more line here.
std::vector<ToolCommand> Commands() {
    return {InitCommand(),   DemoCommand(),  ExportCommand(), BackupCommand(),
            ImportCommand(), ChartCommand(), KinshipCommand()};
}

// "init, demo, … e chart".
QString CommandNames(const std::vector<ToolCommand>& commands) {
    QStringList names;
    for (const ToolCommand& command : commands) names << command.name;
    const QString last = names.takeLast();
    return names.join(QStringLiteral(", ")) + QStringLiteral(" e ") + last;
}

QString Description(const std::vector<ToolCommand>& commands) {
    QString text = QStringLiteral(
        "Prepara il file di dati di Radici, cifrato con la password del programma.\n\nComandi:\n");
    for (const ToolCommand& command : commands) {
        text += QStringLiteral("  %1 %2\n").arg(command.name, command.usage);
        for (const QString& line : command.summary.split(u'\n'))
            text += QStringLiteral("      %1\n").arg(line);
    }
    return text + QStringLiteral(
                      "\nIl file predefinito è radicidb.mdb nella cartella corrente. Un file che "
                      "esiste già non viene mai sovrascritto.");
}

// Each option once, even when more commands take it.
void AddCommandOptions(QCommandLineParser& parser, const std::vector<ToolCommand>& commands) {
    QStringList added;
    for (const ToolCommand& command : commands) {
        for (const QCommandLineOption& option : command.options) {
            if (added.contains(option.names().first())) continue;
            added << option.names().first();
            parser.addOption(option);
        }
    }
}

QString Dashed(const QString& name) {
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

// The first option given that the command does not take; empty when there is none.
QString RefusedOption(const QCommandLineParser& parser, const ToolCommand& command) {
    for (const QString& given : parser.optionNames()) {
        const bool taken = std::any_of(
            command.options.begin(), command.options.end(),
            [&](const QCommandLineOption& option) { return option.names().contains(given); });
        if (!taken) return Dashed(given);
    }
    return {};
}

}  // namespace

int RunDatabaseTool(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    const std::vector<ToolCommand> commands = Commands();
    QCommandLineParser parser;
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Mostra questo aiuto."));
    const QCommandLineOption versionOption({QStringLiteral("v"), QStringLiteral("version")},
                                           QStringLiteral("Mostra la versione."));
    parser.addOptions({helpOption, versionOption});
    AddCommandOptions(parser, commands);
    parser.setApplicationDescription(Description(commands));
    parser.addPositionalArgument(QStringLiteral("comando"),
                                 QStringLiteral("%1.").arg(CommandNames(commands)),
                                 QStringLiteral("comando"));
    parser.addPositionalArgument(QStringLiteral("argomenti"),
                                 QStringLiteral("Quelli del comando, come sopra."),
                                 QStringLiteral("[argomenti...]"));

    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        return Misused(
            err, unknown.isEmpty()
                     ? parser.errorText()
                     : QStringLiteral("opzione sconosciuta \"%1\".").arg(Dashed(unknown.first())));
    }
    if (parser.isSet(helpOption)) {
        out << parser.helpText();
        return ToolSucceeded;
    }
    if (parser.isSet(versionOption)) {
        out << ToolName << " " << ProgramVersion() << "\n";
        return ToolSucceeded;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        return Misused(
            err,
            QStringLiteral("manca il comando: i comandi sono %1.").arg(CommandNames(commands)));
    }
    const auto command =
        std::find_if(commands.begin(), commands.end(),
                     [&](const ToolCommand& known) { return known.name == positional.first(); });
    if (command == commands.end()) {
        return Misused(err, QStringLiteral("comando sconosciuto \"%1\": i comandi sono %2.")
                                .arg(positional.first(), CommandNames(commands)));
    }
    if (const QString refused = RefusedOption(parser, *command); !refused.isEmpty()) {
        return Misused(err,
                       QStringLiteral("%1 non accetta l'opzione %2.").arg(command->name, refused));
    }
    return command->run({positional.mid(1), parser}, out, err);
}

}  // namespace radici
