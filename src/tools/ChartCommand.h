#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QTextStream;

namespace radici {

// Generations asked with --ancestors or --descendants; neither means 4 of ancestors.
struct ChartRequest {
    std::optional<QString> ancestors;
    std::optional<QString> descendants;
};

// radici-db chart [--ancestors N | --descendants N] KEY OUT.svg|.pdf|.png [DB]: draws the chart
// of the person into the file, in the format of its extension. The arguments are those after
// "chart". Returns the tool's exit code.
int RunChartCommand(const QStringList& arguments, const ChartRequest& request, QTextStream& out,
                    QTextStream& err);

}  // namespace radici
