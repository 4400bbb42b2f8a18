#include "ReadingPositionLedger.h"

#include <QTest>

#include <limits>

class tst_ReadingPositionLedger : public QObject {
    Q_OBJECT

private slots:
    void roundTrip();
    void decodeAccepts_data();
    void decodeAccepts();
    void decodeRejects_data();
    void decodeRejects();
};

void tst_ReadingPositionLedger::roundTrip()
{
    ReadingPositionLedger ledger;
    ledger.pageIndexByPath.insert(QStringLiteral("/图纸/A-101 总平面.pdf"), 41);
    ledger.pageIndexByPath.insert(QStringLiteral("/a.pdf"), 0);
    ledger.pageIndexByPath.insert(QStringLiteral("/big.pdf"), 2147483647);
    const auto decoded = ReadingPositionLedger::decode(ledger.encode());
    QVERIFY(decoded);
    QCOMPARE(*decoded, ledger);
    QCOMPARE(ReadingPositionLedger::decode(ReadingPositionLedger().encode()),
        std::optional<ReadingPositionLedger>(ReadingPositionLedger()));
}

void tst_ReadingPositionLedger::decodeAccepts_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("pageIndex"); // of "/a.pdf"

    QTest::newRow("integer") << QByteArray(R"({"pageIndexByPath":{"/a.pdf":3}})") << 3;
    QTest::newRow("whole number with fraction digits") << QByteArray(R"({"pageIndexByPath":{"/a.pdf":3.0}})") << 3;
    QTest::newRow("int minimum") << QByteArray(R"({"pageIndexByPath":{"/a.pdf":-2147483648}})")
                                 << std::numeric_limits<int>::min();
    QTest::newRow("unknown sibling key ignored") << QByteArray(R"({"pageIndexByPath":{"/a.pdf":7},"other":true})") << 7;
}

void tst_ReadingPositionLedger::decodeAccepts()
{
    QFETCH(QByteArray, data);
    QFETCH(int, pageIndex);
    const auto ledger = ReadingPositionLedger::decode(data);
    QVERIFY(ledger);
    QCOMPARE(ledger->pageIndexByPath.value(QStringLiteral("/a.pdf"), -99), pageIndex);
}

void tst_ReadingPositionLedger::decodeRejects_data()
{
    QTest::addColumn<QByteArray>("data");

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not JSON") << QByteArray("{pageIndexByPath");
    QTest::newRow("array") << QByteArray(R"([{"pageIndexByPath":{}}])");
    QTest::newRow("missing key") << QByteArray(R"({"pages":{"/a.pdf":3}})");
    QTest::newRow("key not object") << QByteArray(R"({"pageIndexByPath":[3]})");
    QTest::newRow("key null") << QByteArray(R"({"pageIndexByPath":null})");
    QTest::newRow("fraction") << QByteArray(R"({"pageIndexByPath":{"/a.pdf":3.5}})");
    QTest::newRow("string") << QByteArray(R"({"pageIndexByPath":{"/a.pdf":"3"}})");
    QTest::newRow("bool") << QByteArray(R"({"pageIndexByPath":{"/a.pdf":true}})");
    QTest::newRow("null") << QByteArray(R"({"pageIndexByPath":{"/a.pdf":null}})");
    QTest::newRow("above int range") << QByteArray(R"({"pageIndexByPath":{"/a.pdf":2147483648}})");
    QTest::newRow("below int range") << QByteArray(R"({"pageIndexByPath":{"/a.pdf":-2147483649}})");
    QTest::newRow("huge") << QByteArray(R"({"pageIndexByPath":{"/a.pdf":1e300}})");
    QTest::newRow("one bad value among good")
        << QByteArray(R"({"pageIndexByPath":{"/a.pdf":1,"/b.pdf":2.5,"/c.pdf":3}})");
}

void tst_ReadingPositionLedger::decodeRejects()
{
    QFETCH(QByteArray, data);
    QVERIFY(!ReadingPositionLedger::decode(data));
}

QTEST_GUILESS_MAIN(tst_ReadingPositionLedger)
#include "tst_ReadingPositionLedger.moc"
