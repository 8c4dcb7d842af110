#include "tools/DatabaseTool.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTextStream>
#include <QTranslator>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("radici-db"));

    // Qt's Italian texts for the command-line parser's own words ("Utilizzo", "Opzioni", errors).
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Italian), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&qtTexts);
    }

    QTextStream out(stdout);
    QTextStream err(stderr);
    return radici::RunDatabaseTool(QCoreApplication::arguments(), out, err);
}
