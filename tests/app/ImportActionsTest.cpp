#include "ScriptedToolkit.h"
#include "TestDatabase.h"
#include "app/ImportActions.h"
#include "app/ReportDialog.h"
#include "ui/AppContext.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace radici {

namespace {

const QByteArray Family =
    "0 HEAD\n1 GEDC\n2 VERS 5.5.1\n1 CHAR UTF-8\n"
    "0 @I1@ INDI\n1 NAME Giuseppe /Rossi/\n1 SEX M\n1 BIRT\n2 DATE 12 MAR 1888\n"
    "0 @I2@ INDI\n1 NAME Maria /Bianchi/\n1 SEX F\n1 BIRT\n2 DATE 25 JUL 1891\n"
    "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n0 TRLR\n";

// Clicks the button of the report's dialog that has the text, as the user would.
ScriptedToolkit::ModalStep Click(const QString& text, QString* shownReport) {
    return [=](QDialog& dialog) {
        *shownReport = dialog.findChild<QPlainTextEdit*>("resoconto")->toPlainText();
        for (QPushButton* button :
             dialog.findChild<QDialogButtonBox*>()->findChildren<QPushButton*>())
            if (button->text() == text) QTest::mouseClick(button, Qt::LeftButton);
    };
}

}  // namespace

class ImportActionsTest : public QObject {
    Q_OBJECT

private slots:
    void reportComesFirstAndOnlyImportaWrites();
    void longReportFitsTheScreenAndSavesAsText();
};

void ImportActionsTest::reportComesFirstAndOnlyImportaWrites() {
    TestDatabase database;
    ScriptedToolkit toolkit;
    AppContext context(toolkit, database.path());
    QVERIFY(context.connection.open(database.path()).ok());
    const QString gedcom = WriteFile(database.folder() + "/albero.ged", Family);
    QString shown;

    toolkit.chooseFile(gedcom);
    toolkit.onNextModal(Click("Annulla", &shown));
    ImportGedcomInteractively(context, nullptr);
    QVERIFY2(shown.contains("Persone: 2 da importare, 0 già presenti, 0 escluse."),
             qPrintable(shown));
    QCOMPARE(database.personCount(), 0);
    QVERIFY(toolkit.texts.isEmpty());

    toolkit.chooseFile(gedcom);
    toolkit.onNextModal(Click("Importa", &shown));
    ImportGedcomInteractively(context, nullptr);
    QCOMPARE(database.personCount(), 2);
    QCOMPARE(database.marriages().split(u' ', Qt::SkipEmptyParts).size(), 1);
    QCOMPARE(toolkit.texts,
             QStringList({"File GEDCOM 5.5.1, codifica UTF-8.\r"
                          "Persone: 2 importate, 0 già presenti, 0 escluse.\r"
                          "Legami genitore-figlio: 0 importati, 0 già presenti, 0 esclusi.\r"
                          "Matrimoni: 1 importati, 0 già presenti, 0 esclusi."}));

    toolkit.texts.clear();
    toolkit.chooseFile(WriteFile(database.folder() + "/tronco.ged", Family.chopped(7)));
    ImportGedcomInteractively(context, nullptr);  // refused before any report is shown
    QCOMPARE(toolkit.modalWindows, QStringList({"resocontoImportazione", "resocontoImportazione"}));
    QCOMPARE(toolkit.texts.size(), 1);
    QVERIFY(toolkit.texts[0].startsWith("Il file è incompleto: finisce alla riga 17"));
    QCOMPARE(toolkit.fileDialogs, QStringList(3, "Importa GEDCOM " + database.folder()));
}

void ImportActionsTest::longReportFitsTheScreenAndSavesAsText() {
    TestDatabase database;
    ScriptedToolkit toolkit;
    QStringList lines;
    for (int line = 0; line < 20000; ++line)
        lines << QString::fromUtf8("riga %1: D'@NTE, ÀÈ").arg(line);
    ReportDialog dialog(toolkit, {"resocontoEsportazione", "Esporta GEDCOM", "", lines, ""});
    dialog.show();
    QVERIFY(dialog.frameGeometry().height() <= 768 && dialog.frameGeometry().width() <= 1024);

    const QString path = database.folder() + "/resoconto.txt";
    const auto save = [&] {
        toolkit.chooseFile(path);
        QTest::mouseClick(dialog.findChild<QPushButton*>("salvaComeTesto"), Qt::LeftButton);
    };
    save();
    QCOMPARE(QString::fromUtf8(FileBytes(path)), lines.join(u'\n') + u'\n');
    WriteFile(path, "mio");
    save();  // "No" to replacing it
    QCOMPARE(FileBytes(path), "mio");
}

}  // namespace radici

QTEST_MAIN(radici::ImportActionsTest)
#include "ImportActionsTest.moc"
