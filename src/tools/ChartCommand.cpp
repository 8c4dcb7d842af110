#include "tools/ChartCommand.h"

#include "chart/ChartExport.h"
#include "chart/ChartLayout.h"
#include "chart/ChartReader.h"
#include "store/DatabaseConnection.h"
#include "tools/ToolSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <optional>

namespace radici {
namespace {

constexpr int DefaultAncestors = 4;
const QString AncestorsOption = QStringLiteral("ancestors");
const QString DescendantsOption = QStringLiteral("descendants");

std::optional<int> Generations(const QString& text) {
    bool number = false;
    const int value = text.toInt(&number);
    if (!number || value < MinGenerations || value > MaxGenerations) return std::nullopt;
    return value;
}

int RunChart(const CommandLine& line, QTextStream& out, QTextStream& err) {
    const bool descendants = line.parser.isSet(DescendantsOption);
    const bool ancestors = line.parser.isSet(AncestorsOption);
    if (ancestors && descendants) {
        return Misused(err, QStringLiteral("scegliere --ancestors oppure --descendants, non "
                                           "entrambi."));
    }
    const ChartKind kind = descendants ? ChartKind::Descendants : ChartKind::Ancestors;
    const std::optional<int> generations =
        descendants || ancestors
            ? Generations(line.parser.value(descendants ? DescendantsOption : AncestorsOption))
            : std::optional<int>(DefaultAncestors);
    if (!generations) {
        return Misused(err, QStringLiteral("le generazioni sono un numero da %1 a %2.")
                                .arg(MinGenerations)
                                .arg(MaxGenerations));
    }
    const QStringList& arguments = line.arguments;
    if (arguments.size() < 2 || arguments.size() > 3) {
        return Misused(err, QStringLiteral("chart vuole la chiave della persona, il file da "
                                           "scrivere e, se si vuole, il database."));
    }
    const QString key = arguments[0].trimmed();
    const QString& output = arguments[1];
    const QString suffix = QFileInfo(output).suffix().toLower();
    if (suffix != QLatin1String("svg") && suffix != QLatin1String("pdf") &&
        suffix != QLatin1String("png")) {
        return Misused(err, QStringLiteral("il file da scrivere deve terminare con .svg, .pdf "
                                           "o .png."));
    }
    const QString database = arguments.value(2, DatabaseConnection::FileName);
    DatabaseConnection connection;
    if (const int opened = OpenDatabase(connection, database, err); opened) return opened;
    const Result<ChartFamily> family = ReadChartFamily(connection, kind, key, *generations);
    if (!family.ok()) return Failed(err, family.status().description());
    if (!family.value().persons.contains(key)) {
        return Failed(err, QStringLiteral("nessuna persona ha la chiave \"%1\" in %2.")
                               .arg(key, ShownPath(database)));
    }
    const ChartLayout layout = LayoutChart(kind, family.value(), key, *generations);
    const std::unique_ptr<StagedFile> staged = StageNewFile(output, err);
    if (!staged) return ToolFailed;
    if (const Status saved = ExportChart(layout, staged->path()); !saved.ok()) {
        return Failed(err, saved.description());
    }
    if (const int named = PublishNewFile(*staged, err); named) return named;
    out << ChartTitle(layout) << ": " << layout.boxes.size() << " riquadri in " << ShownPath(output)
        << ".\n";
    return ToolSucceeded;
}

}  // namespace

ToolCommand ChartCommand() {
    return {QStringLiteral("chart"),
            QStringLiteral("[--ancestors N | --descendants N] chiave albero.svg|.pdf|.png [file]"),
            QStringLiteral("disegna gli antenati (4 generazioni se non detto) o i discendenti\n"
                           "della persona; il formato segue l'estensione"),
            {QCommandLineOption(AncestorsOption,
                                QStringLiteral("chart: N generazioni di antenati (1-12)."),
                                QStringLiteral("N")),
             QCommandLineOption(DescendantsOption,
                                QStringLiteral("chart: N generazioni di discendenti (1-12)."),
                                QStringLiteral("N"))},
            RunChart};
}

}  // namespace radici
