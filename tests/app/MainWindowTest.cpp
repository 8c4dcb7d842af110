#include "Driver.h"
#include "FakeSystemInfo.h"
#include "TestDatabase.h"
#include "app/AboutBox.h"
#include "chart/ChartWindow.h"
#include "store/TreeFile.h"

#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QTest>

namespace radici {
namespace {

QString OpenTree(const Program& program) {
    return program.window.findChild<QAction*>("alberoAperto")->text();
}

Person Someone(const QString& key) {
    return Person{key, "VERDI", "ADA", Female, QDate(1950, 1, 2), {}, {}, {}, {}, {}};
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    // A missing file is explained by the menu; a file that is there but does not open is
    // reported at once, with a beep, and by the menu.
    void fileThatDoesNotOpenIsReported() {
        for (const bool present : {false, true}) {
            QTemporaryDir folder;
            const QString path = folder.filePath("radicidb.mdb");
            if (present) WriteFile(path, "x");
            Program program(path);
            const Status failure = DatabaseConnection().open(path);
            QCOMPARE(program.toolkit.beeps, present ? 1 : 0);
            QCOMPARE(program.toolkit.texts.join(""),
                     present ? QString::number(failure.number()) + u' ' + failure.description()
                             : QString());
            for (const char* item : {"coll", "esportaGedcom", "importaGedcom", "copiaSicurezza",
                                     "albero", "parentela"})
                program.choose(item);
            QVERIFY(program.toolkit.modalWindows.isEmpty() &&
                    program.toolkit.fileDialogs.isEmpty());
            QCOMPARE(program.toolkit.texts.count(program.toolkit.texts.last()), 6);
            const QString message = program.toolkit.texts.last();
            QVERIFY2(message.startsWith("Il database \"radicidb.mdb\" non è aperto.") &&
                         message.contains(QDir::toNativeSeparators(folder.path())) &&
                         message.contains(failure.description()) == present,
                     qPrintable(message));
        }
    }

    void startsOnlyASystemInformationProgramThatIsThere() {
        const QString shared = "C:\\Shared\\MSINFO32.EXE";
        for (const auto& [registered, existing] :
             QList<std::pair<QString, QString>>{{"C:\\msinfo.exe", ""}, {"", shared}, {"", ""}}) {
            ScriptedToolkit toolkit;
            FakeSystemInfo platform;
            platform.registered = registered;
            platform.existing = existing;
            AboutBox box(toolkit, platform);
            box.show();
            Click(box, "cmdSysInfo");
            QCOMPARE(platform.started.join(""), registered + existing);
            QCOMPARE(toolkit.texts.size(), (registered + existing).isEmpty() ? 1 : 0);
        }
    }

    // Both suggest a file beside the database, ask before replacing one, and say what they wrote;
    // then "Informazioni" and "Esci".
    void exportAndBackupAskForTheFileAndReport() {
        TestDatabase database;
        const QString key = database.addPerson("BRUNO", "ALDO", "03/02/1990");
        Program program(database.path());
        const QString gedcom = database.folder() + "/albero.ged";
        program.toolkit.onNextModal([](QDialog& options) {
            options.findChild<QCheckBox*>("privato")->setChecked(true);
            options.accept();
        });
        program.toolkit.chooseFile(gedcom);
        program.choose("esportaGedcom");
        QCOMPARE(program.toolkit.modalWindows, QStringList({"opzioniEsportazione"}));
        QCOMPARE(program.toolkit.texts,
                 QStringList({"Persone esportate: 1; famiglie: 0; collegamenti genitore-figlio: 0; "
                              "matrimoni: 0.\rFile: " +
                              QDir::toNativeSeparators(gedcom)}));
        QVERIFY(FileBytes(gedcom).startsWith("0 HEAD") &&
                !FileBytes(gedcom).contains(key.toUtf8()));

        program.toolkit.texts.clear();
        program.toolkit.onNextModal([](QDialog& options) { options.reject(); });
        program.choose("esportaGedcom");  // cancelled before the file is asked
        const QString copy = database.folder() + "/copia.mdb";
        QFile::copy(gedcom, copy);
        for (bool replace : {false, true}) {
            program.toolkit.chooseFile(copy);
            program.toolkit.answer(replace);
            program.choose("copiaSicurezza");
        }
        const QString suggested =
            database.folder() + "/radicidb-" + QDate::currentDate().toString("yyyy-MM-dd") + ".mdb";
        QCOMPARE(
            program.toolkit.fileDialogs,
            QStringList({"Esporta GEDCOM " + database.folder() + "/radici.ged",
                         "Copia di sicurezza " + suggested, "Copia di sicurezza " + suggested}));
        const QString question =
            "Il file \"" + QDir::toNativeSeparators(copy) + "\" esiste già.\rSostituirlo?";
        program.choose("persona");
        program.choose("informa");
        program.window.show();
        program.choose("esci");  // closes the database, silently
        QVERIFY(!program.window.isVisible() && !program.context.connection.isOpen());
        QCOMPARE(program.toolkit.modalWindows.mid(program.toolkit.modalWindows.size() - 2),
                 QStringList({"schedaPersona", "frmAbout"}));
        QCOMPARE(program.toolkit.texts,
                 QStringList({question, question,
                              "Copia di sicurezza scritta in \"" + QDir::toNativeSeparators(copy) +
                                  "\" e controllata: è integra."}));
        QCOMPARE(PersonsIn(copy), 1);
    }

    void init() {
        QVERIFY(home.isValid() && work.isValid());
        qputenv("HOME", home.path().toUtf8());
        QDir::setCurrent(work.path());
    }

    // No message at start; "Collegamenti" offers a new tree, made in the chosen folder and opened
    // at once; an existing tree is never overwritten; a file that does not open, a folder without
    // a tree and a tree held by another copy leave the open tree open; a good one replaces it,
    // and the old tree's windows close.
    void newAndOpenFromTheMenu() {
        Program program(work.filePath("radicidb.mdb"));
        QVERIFY(program.toolkit.texts.isEmpty());
        QCOMPARE(OpenTree(program), "Albero aperto: nessuno");
        const QString made = work.filePath("nuovo");
        QDir().mkpath(made);
        program.toolkit.pick(0);
        program.toolkit.chooseFile(made);
        program.choose("coll");
        QVERIFY(program.toolkit.texts.last().endsWith("\rNuovo albero...|Apri albero..."));
        QCOMPARE(program.toolkit.fileDialogs,
                 QStringList({"Nuovo albero " + home.filePath("Radici")}));
        QCOMPARE(program.toolkit.modalWindows, QStringList({"anagrafica"}));
        QCOMPARE(PersonsIn(made + "/radicidb.mdb"), 0);
        QCOMPARE(QDir::currentPath(), made);
        QCOMPARE(OpenTree(program), "Albero aperto: " + made);

        QVERIFY(program.context.connection.anagrafica().add(Someone("VERADA02/01/1950")).ok());
        const QByteArray before = FileBytes(made + "/radicidb.mdb");
        program.toolkit.chooseFile(made);
        program.choose("nuovoAlbero");  // "Aprirlo?" answered No
        QVERIFY(program.toolkit.texts.last().contains("c'è già un albero"));
        QCOMPARE(FileBytes(made + "/radicidb.mdb"), before);

        program.toolkit.onNextModal(ChooseInRegistry("VERDI"));
        program.choose("albero");
        TestDatabase held, good;
        good.addPerson("ROSSI", "UGO", "01/01/1900");
        WriteFile(work.filePath("radicidb.mdb"), "non un database");
        Program other(held.path());
        for (const QString& folder : {work.path(), home.path(), held.folder()}) {
            program.toolkit.chooseFile(folder);
            program.choose("apriAlbero");
            QCOMPARE(OpenTree(program), "Albero aperto: " + made);
        }
        QCOMPARE(program.toolkit.beeps, 2);
        QVERIFY(program.toolkit.texts.last().contains("già aperto da un'altra copia di Radici"));
        program.toolkit.chooseFile(good.path());
        program.choose("apriAlbero");
        QCOMPARE(OpenTree(program), "Albero aperto: " + good.folder());
        // The old tree's chart went with it; the next chart is of the new tree.
        QVERIFY(!program.window.findChild<ChartWindow*>());
        program.toolkit.onNextModal(ChooseInRegistry("ROSSI"));
        program.choose("albero");
        QCOMPARE(program.window.findChild<ChartWindow*>()->windowTitle(), "Albero di UGO ROSSI");
        QCOMPARE(PersonsIn(program.context.databasePath), 1);
        QVERIFY(!QFile::exists(made + "/radicidb.mdb.lock") &&
                QFile::exists(good.path() + ".lock"));
        // The tree left behind was written to: its copy was made when it closed.
        QCOMPARE(QDir(made + "/radicidb-copie").entryList(QDir::Files).size(), 1);
        program.window.close();
    }

    // A damaged copy changes nothing; a good one takes the tree's place once confirmed, the old
    // file kept aside and the copy itself left where it was; a damaged tree can be replaced too.
    void restoreChecksConfirmsAndKeepsTheOldFile() {
        TestDatabase tree;
        tree.addPerson("ROSSI", "UGO", "01/01/1900");
        const QString copy = work.filePath("copia.mdb");
        QVERIFY(QFile::copy(tree.path(), copy));
        tree.addPerson("BIANCHI", "EVA", "01/01/1900");
        const QString damaged = work.filePath("rotta.mdb");
        WriteFile(damaged, FileBytes(copy).left(2048));
        Program program(tree.path());
        const QByteArray before = FileBytes(tree.path());
        program.toolkit.chooseFile(damaged);
        program.choose("ripristinaCopia");
        QVERIFY(program.toolkit.texts.last().contains("non può essere ripristinata"));
        program.toolkit.chooseFile(copy);
        program.choose("ripristinaCopia");  // not confirmed
        QVERIFY(program.toolkit.texts.last().startsWith("Attenzione....\rIl database \"" +
                                                        tree.path()));
        QCOMPARE(QDir(tree.folder()).entryList(QDir::Files),
                 QStringList({"radicidb.mdb", "radicidb.mdb.lock"}));

        program.toolkit.chooseFile(copy);
        program.toolkit.answer(true);
        program.choose("ripristinaCopia");
        const QStringList aside =
            QDir(tree.folder()).entryList({"radicidb-prima-del-ripristino-*.mdb"});
        QCOMPARE(aside.size(), 1);
        QCOMPARE(FileBytes(tree.folder() + '/' + aside[0]), before);
        QCOMPARE(FileBytes(tree.path()), FileBytes(copy));
        QCOMPARE(PersonsIn(program.context.databasePath), 1);
        QVERIFY(program.toolkit.texts.last().startsWith("Copia ripristinata."));

        WriteFile(work.filePath("radicidb.mdb"), "rovinato");  // a copy can replace it too
        Program damagedTree(work.filePath("radicidb.mdb"));
        damagedTree.toolkit.chooseFile(copy);
        damagedTree.toolkit.answer(true);
        damagedTree.choose("ripristinaCopia");
        QCOMPARE(PersonsIn(damagedTree.context.databasePath), 1);
        QVERIFY(damagedTree.context.connection.isOpen());
    }

    // A copy at close only after a write; the eleventh removes the oldest and nothing else; a
    // copy that fails says why, leaves the others and lets the program close.
    void automaticCopiesAtClose() {
        TestDatabase tree;
        const QDir copies(tree.folder() + "/radicidb-copie");
        {
            Program program(tree.path());
            program.window.close();
        }
        QVERIFY(!copies.exists());
        QVERIFY(copies.mkpath(".") && QFile::copy(tree.path(), copies.filePath("mia.mdb")));
        for (int day = 1; day <= 10; ++day)
            QVERIFY(MakeAutomaticCopy(tree.path(), QDateTime({2020, 1, day}, {})).ok());
        const QStringList oldest = copies.entryList({"radicidb-*"}, QDir::Files, QDir::Name);
        {
            Program program(tree.path());
            QVERIFY(program.context.connection.anagrafica().add(Someone("VERADA02/01/1950")).ok());
            program.window.close();
            QVERIFY(program.toolkit.texts.isEmpty());
        }
        const QStringList kept = copies.entryList({"radicidb-*"}, QDir::Files, QDir::Name);
        QCOMPARE(kept.mid(0, 9), oldest.mid(1));
        QCOMPARE(PersonsIn(copies.filePath(kept.last())), 1);
        QVERIFY(copies.exists("mia.mdb"));

        QVERIFY(
            !MakeAutomaticCopy(tree.folder() + "/manca.mdb", QDateTime::currentDateTime()).ok());
        QCOMPARE(copies.entryList({"radicidb-*"}, QDir::Files, QDir::Name), kept);

        TestDatabase blocked;
        WriteFile(blocked.folder() + "/radicidb-copie", "un file, non una cartella");
        Program failing(blocked.path());
        QVERIFY(failing.context.connection.anagrafica().add(Someone("VERADA03/01/1950")).ok());
        failing.window.show();
        failing.window.close();
        QVERIFY(!failing.window.isVisible());
        QVERIFY(failing.toolkit.texts.join("").startsWith(
            "La copia automatica dell'albero non è stata fatta"));
        QCOMPARE(PersonsIn(blocked.path()), 1);
    }

private:
    QTemporaryDir home, work;
};

}  // namespace radici

QTEST_MAIN(radici::MainWindowTest)
#include "MainWindowTest.moc"
