#include "gedcom/GedcomReadAhead.h"

#include <QBuffer>
#include <QTest>

using namespace radici;

namespace {

// A file whose last line never ends, read as a pipe is: it cannot tell where it stands.
class EndlessFile : public QIODevice {
public:
    EndlessFile() { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 most) override {
        static const QByteArray start = "0 HEAD\n1 GEDC\n2 VERS 5.5.1\n0 @I1@ INDI\n1 NOTE ";
        qint64 written = 0;
        for (; written < most; ++written, ++bytesRead_)
            data[written] = bytesRead_ < start.size() ? start[bytesRead_] : 'x';
        return written;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    qint64 bytesRead_ = 0;
};

QString XrefOf(const RecordFacts& facts) {
    if (const auto* person = std::get_if<PersonFacts>(&facts)) return person->xref;
    if (const auto* family = std::get_if<FamilyFacts>(&facts)) return family->xref;
    return u"altro: "_qs + std::get<QString>(facts);
}

}  // namespace

class GedcomReadAheadTest : public QObject {
    Q_OBJECT

private slots:
    // Many batches' worth of records come in the file's order, each read whole, and a line that
    // cannot be read comes after every record before it.
    void recordsComeInOrderThenTheFailure() {
        QByteArray bytes = "0 HEAD\n1 GEDC\n2 VERS 5.5.1\n1 SOUR Prova\n";
        QStringList expected;
        for (int number = 1; number <= 3000; ++number) {
            const QByteArray xref = "@I" + QByteArray::number(number) + "@";
            bytes += "0 " + xref + " INDI\n1 NAME Anna /Verdi/\n1 BIRT\n2 DATE 1 JAN 1900\n";
            expected << QString::fromLatin1(xref);
            if (number % 1000 == 0) {
                bytes += "0 @F" + QByteArray::number(number) + "@ FAM\n1 CHIL " + xref + "\n";
                expected << "@F" + QString::number(number) + "@";
            }
        }
        bytes += "0 @R1@ REPO\n1 NAME Archivio\n0 @N1@ NOTE\nquesta non è una riga\n";
        expected << u"altro: archivi delle fonti"_qs;
        QBuffer file(&bytes);
        file.open(QIODevice::ReadOnly);
        qint64 lastTold = 0;
        GedcomReadAhead reader(file, [&](qint64 bytesRead) {
            lastTold = bytesRead;
            return true;
        });
        QVERIFY(reader.readHeader().ok());
        QCOMPARE(reader.source(), u"Prova"_qs);
        QTest::qSleep(200);  // so the reading is several batches ahead
        QStringList read;
        Result<const RecordFacts*> next = reader.nextRecord();
        for (; next.ok() && next.value(); next = reader.nextRecord()) read << XrefOf(*next.value());
        QCOMPARE(read, expected);
        QVERIFY(!next.ok());
        QVERIFY2(next.status().description().startsWith(u"Riga 12014 del file"_qs),
                 qPrintable(next.status().description()));
        QCOMPARE(lastTold, bytes.size());
    }

    // Waiting inside a line that never ends, the caller is still told the progress and can stop
    // the reading; the reading thread then stops too, or this would never return.
    void aCancelStopsALineThatNeverEnds() {
        EndlessFile file;
        int told = 0;
        {
            GedcomReadAhead reader(file, [&](qint64) { return ++told < 3; });
            QVERIFY(reader.readHeader().ok());
            const Result<const RecordFacts*> next = reader.nextRecord();
            QVERIFY(next.status().is(GedcomError::Cancelled));
        }
        QCOMPARE(told, 3);
    }
};

QTEST_GUILESS_MAIN(GedcomReadAheadTest)
#include "GedcomReadAheadTest.moc"
