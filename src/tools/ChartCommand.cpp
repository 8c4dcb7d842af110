#include "tools/ChartCommand.h"

#include "chart/ChartExport.h"
#include "chart/ChartLayout.h"
#include "chart/ChartReader.h"
#include "store/DatabaseConnection.h"
#include "tools/DatabaseTool.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace radici {
namespace {

constexpr int DefaultAncestors = 4;

std::optional<int> Generations(const QString& text) {
    bool number = false;
    const int value = text.toInt(&number);
    if (!number || value < MinGenerations || value > MaxGenerations) return std::nullopt;
    return value;
}

}  // namespace

int RunChartCommand(const QStringList& arguments, const ChartRequest& request, QTextStream& out,
                    QTextStream& err) {
    if (request.ancestors && request.descendants) {
        return Misused(err, QStringLiteral("scegliere --ancestors oppure --descendants, non "
                                           "entrambi."));
    }
    const ChartKind kind = request.descendants ? ChartKind::Descendants : ChartKind::Ancestors;
    const std::optional<QString>& asked =
        request.descendants ? request.descendants : request.ancestors;
    const std::optional<int> generations =
        asked ? Generations(*asked) : std::optional<int>(DefaultAncestors);
    if (!generations) {
        return Misused(err, QStringLiteral("le generazioni sono un numero da %1 a %2.")
                                .arg(MinGenerations)
                                .arg(MaxGenerations));
    }
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
    if (const Status opened = connection.open(database); !opened.ok()) {
        return Failed(err, QStringLiteral("impossibile aprire il database %1: %2 %3")
                               .arg(ShownPath(database))
                               .arg(opened.number())
                               .arg(opened.description()));
    }
    const Result<ChartFamily> family = ReadChartFamily(connection, kind, key, *generations);
    if (!family.ok()) return Failed(err, family.status().description());
    if (!family.value().persons.contains(key)) {
        return Failed(err, QStringLiteral("nessuna persona ha la chiave \"%1\" in %2.")
                               .arg(key, ShownPath(database)));
    }
    const ChartLayout layout = LayoutChart(kind, family.value(), key, *generations);
    if (const Status saved = ExportChart(layout, output); !saved.ok()) {
        return Failed(err, saved.description());
    }
    out << ChartTitle(layout) << ": " << layout.boxes.size() << " riquadri in " << ShownPath(output)
        << ".\n";
    return ToolSucceeded;
}

}  // namespace radici
