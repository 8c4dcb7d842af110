#include "store/Dates.h"
#include "store/PersonKey.h"
#include "store/SearchPattern.h"

#include <QTest>

using namespace radici;

class KeysAndDatesTest : public QObject {
    Q_OBJECT
private slots:
    void readsDayFirstDates_data();
    void readsDayFirstDates();
    void formatsDisplayDates();
    void composesKeys_data();
    void composesKeys();
    void upperCasingKeepsLength();
    void selectedKeySlotPadsAndCuts();
    void searchPatternsMatchPrefixesWithWildcards_data();
    void searchPatternsMatchPrefixesWithWildcards();
};

void KeysAndDatesTest::readsDayFirstDates_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QDate>("expected");  // null: refused
    QTest::newRow("full") << "15/07/1920" << QDate(1920, 7, 15);
    QTest::newRow("one digit day and month") << "5/7/1920" << QDate(1920, 7, 5);
    QTest::newRow("dashes") << "05-07-1920" << QDate(1920, 7, 5);
    QTest::newRow("dots") << "5.7.1920" << QDate(1920, 7, 5);
    QTest::newRow("blanks around") << "  15/07/1920 " << QDate(1920, 7, 15);
    QTest::newRow("old year") << "01/01/1703" << QDate(1703, 1, 1);
    QTest::newRow("leap day") << "29/02/2000" << QDate(2000, 2, 29);
    QTest::newRow("no leap day in 1900") << "29/02/1900" << QDate();
    QTest::newRow("31 February") << "31/02/1920" << QDate();
    QTest::newRow("month 13") << "15/13/1920" << QDate();
    QTest::newRow("day 0") << "00/01/1920" << QDate();
    QTest::newRow("year 0") << "01/01/0000" << QDate();
    QTest::newRow("two-digit year") << "15/07/20" << QDate();
    QTest::newRow("five-digit year") << "15/07/19200" << QDate();
    QTest::newRow("mixed separators") << "15/07-1920" << QDate();
    QTest::newRow("month first is not read") << "07/15/1920" << QDate();
    QTest::newRow("letters") << "aa/bb/cccc" << QDate();
    QTest::newRow("empty") << "" << QDate();
    QTest::newRow("other digits") << QString::fromUtf8("١٥/٠٧/١٩٢٠") << QDate();
}

void KeysAndDatesTest::readsDayFirstDates() {
    QFETCH(QString, typed);
    QFETCH(QDate, expected);
    const std::optional<QDate> read = ReadDayFirstDate(typed);
    QCOMPARE(read.value_or(QDate()), expected);
}

void KeysAndDatesTest::formatsDisplayDates() {
    QCOMPARE(FormatDisplayDate(QDate(1920, 7, 5)), QStringLiteral("05/07/1920"));
    QCOMPARE(FormatDisplayDate(QDate(812, 12, 25)), QStringLiteral("25/12/0812"));
    QCOMPARE(FormatDisplayDate(QDate()), QString());
    QCOMPARE(DateFromStorageText(StorageDateText(QDate(1703, 1, 31))), QDate(1703, 1, 31));
    QVERIFY(StorageDateText(QDate()).isNull());
}

void KeysAndDatesTest::composesKeys_data() {
    QTest::addColumn<QString>("surname");
    QTest::addColumn<QString>("givenName");
    QTest::addColumn<QString>("birth");
    QTest::addColumn<bool>("dateBoxChanged");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("complete");
    QTest::newRow("trimmed surname") << "  Rossi  "
                                     << "Maria"
                                     << "15/07/1920" << true << "RosMar15/07/1920" << true;
    QTest::newRow("short names") << "Li"
                                 << "Wei"
                                 << "01/01/1950" << true << "LiWei01/01/1950" << false;
    QTest::newRow("short date in the date box") << "Rossi"
                                                << "Maria"
                                                << "5/7/1920" << true << "RosMar" << false;
    QTest::newRow("short date after a name change")
        << "Rossi"
        << "Maria"
        << "5/7/1920" << false << "RosMar05/07/1920" << true;
    QTest::newRow("blank inside the surname") << "De Luca"
                                              << "Anna"
                                              << "01/02/1930" << true << "De Ann01/02/1930" << true;
    QTest::newRow("no such day") << "Rossi"
                                 << "Maria"
                                 << "31/02/1920" << false << "RosMar" << false;
    QTest::newRow("no date yet") << "Ro"
                                 << ""
                                 << "" << false << "Ro" << false;
}

void KeysAndDatesTest::composesKeys() {
    QFETCH(QString, surname);
    QFETCH(QString, givenName);
    QFETCH(QString, birth);
    QFETCH(bool, dateBoxChanged);
    QFETCH(QString, key);
    QFETCH(bool, complete);
    const QString composed =
        ComposeKey(surname, givenName, birth,
                   dateBoxChanged ? DateRule::ExactlyTenCharacters : DateRule::AnyLength);
    QCOMPARE(composed, key);
    QCOMPARE(KeyComplete(composed), complete);
}

void KeysAndDatesTest::upperCasingKeepsLength() {
    QCOMPARE(UpperCase(QString::fromUtf8("nicolò d'angelo")), QString::fromUtf8("NICOLÒ D'ANGELO"));
    // A key must stay 16 characters once upper-cased.
    const QString key = ComposeKey(QString::fromUtf8("aßa"), QStringLiteral("maria"),
                                   QStringLiteral("15/07/1920"), DateRule::AnyLength);
    QCOMPARE(UpperCase(key).size(), 16);
    QCOMPARE(UpperCase(key), QString::fromUtf8("AßAMAR15/07/1920"));
    // Three characters never cut a character outside the basic plane in two.
    const QString emoji = ComposeKey(QString::fromUtf8("ab😀c"), QStringLiteral("Eva"),
                                     QStringLiteral("01/01/2000"), DateRule::AnyLength);
    QCOMPARE(emoji, QStringLiteral("abEva01/01/2000"));
    QVERIFY(emoji.isValidUtf16());
}

void KeysAndDatesTest::selectedKeySlotPadsAndCuts() {
    SelectedPersonKey slot;
    QCOMPARE(slot.text(), QString(16, QLatin1Char(' ')));
    QVERIFY(slot.trimmed().isEmpty());
    slot.write(QStringLiteral("ROSMAR15/07/1920"));
    QCOMPARE(slot.trimmed(), QStringLiteral("ROSMAR15/07/1920"));
    slot.write(QStringLiteral("ABC"));
    QCOMPARE(slot.text(), QStringLiteral("ABC             "));
    slot.write(QStringLiteral("ROSMAR15/07/1920EXTRA"));
    QCOMPARE(slot.text(), QStringLiteral("ROSMAR15/07/1920"));
    slot.clear();
    QVERIFY(slot.trimmed().isEmpty());
}

void KeysAndDatesTest::searchPatternsMatchPrefixesWithWildcards_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("matches");
    QTest::newRow("prefix") << "ros"
                            << "ROSSI" << true;
    QTest::newRow("not a prefix") << "oss"
                                  << "ROSSI" << false;
    QTest::newRow("accent") << QString::fromUtf8("nicolò") << QString::fromUtf8("NICOLÒ") << true;
    QTest::newRow("apostrophe") << "d'an"
                                << "D'ANGELO" << true;
    QTest::newRow("leading star") << "*ngel"
                                  << "D'ANGELO" << true;
    QTest::newRow("star inside") << "r*tti"
                                 << "ROSSETTI" << true;
    QTest::newRow("question mark") << "r?ssi"
                                   << "ROSSI" << true;
    QTest::newRow("question mark needs one") << "ross?i"
                                             << "ROSSI" << false;
    QTest::newRow("percent is literal") << "r%"
                                        << "ROSSI" << false;
    QTest::newRow("underscore is literal") << "r_ssi"
                                           << "ROSSI" << false;
    QTest::newRow("quote is literal") << "\"ro"
                                      << "\"ROSSI\"" << true;
    QTest::newRow("backtracking") << "*a*b"
                                  << "AXAXB" << true;
    QTest::newRow("stars only") << "***"
                                << "ANY" << true;
}

void KeysAndDatesTest::searchPatternsMatchPrefixesWithWildcards() {
    QFETCH(QString, typed);
    QFETCH(QString, name);
    QFETCH(bool, matches);
    QCOMPARE(MatchesSearchPattern(TranslateSearchText(typed).pattern, name), matches);
}

QTEST_GUILESS_MAIN(KeysAndDatesTest)
#include "KeysAndDatesTest.moc"
