#include "common/QtTexts.h"
#include "tools/DatabaseTool.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("radici-db"));

    radici::InstallItalianQtTexts();

    QTextStream out(stdout);
    QTextStream err(stderr);
    return radici::RunDatabaseTool(QCoreApplication::arguments(), out, err);
}
