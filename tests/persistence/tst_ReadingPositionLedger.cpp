#include "ReadingPositionLedger.h"

#include <QTest>

#include <limits>

class tst_ReadingPositionLedger : public QObject {
    Q_OBJECT

private slots:
    void decode_data();
    void decode();
};

void tst_ReadingPositionLedger::decode_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<std::optional<int>>("pageIndex"); // of "/a.pdf"; nullopt: rejected

    const auto pages = [](const char *json) { return "{\"pageIndexByPath\":{" + QByteArray(json) + "}}"; };
    QTest::newRow("whole number with fraction digits") << pages(R"("/a.pdf":3.0)") << std::optional(3);
    QTest::newRow("int minimum, other keys") << pages(R"("/a.pdf":-2147483648,"/图纸/总平面.pdf":2147483647)")
                                             << std::optional(std::numeric_limits<int>::min());
    QTest::newRow("unknown sibling key ignored")
        << QByteArray(R"({"pageIndexByPath":{"/a.pdf":7},"other":true})") << std::optional(7);
    QTest::newRow("fraction") << pages(R"("/a.pdf":3.5)") << std::optional<int>();
    QTest::newRow("above int range") << pages(R"("/a.pdf":2147483648)") << std::optional<int>();
    QTest::newRow("one bad value among good") << pages(R"("/a.pdf":1,"/b.pdf":2.5,"/c.pdf":3)") << std::optional<int>();
}

void tst_ReadingPositionLedger::decode()
{
    QFETCH(QByteArray, data);
    QFETCH(std::optional<int>, pageIndex);
    const auto ledger = ReadingPositionLedger::decode(data);
    QCOMPARE(ledger.has_value(), pageIndex.has_value());
    if (!ledger)
        return;
    QCOMPARE(ledger->pageIndexByPath.value(QStringLiteral("/a.pdf")), *pageIndex);
    QCOMPARE(ReadingPositionLedger::decode(ledger->encode()), ledger);
}

QTEST_GUILESS_MAIN(tst_ReadingPositionLedger)
#include "tst_ReadingPositionLedger.moc"
