#pragma once

#include "tools/DatabaseTool.h"

#include <QDir>
#include <QString>
#include <QStringList>
#include <QTextStream>

namespace radici {

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs radici-db with the given arguments in the given folder.
inline ToolRun RunTool(QStringList arguments, const QString& folder = QDir::currentPath()) {
    const QString previousFolder = QDir::currentPath();
    QDir::setCurrent(folder);
    ToolRun run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.exitCode = RunDatabaseTool(QStringList{"radici-db"} + arguments, out, err);
    out.flush();
    err.flush();
    QDir::setCurrent(previousFolder);
    return run;
}

}  // namespace radici
