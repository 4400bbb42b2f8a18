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
    QTest::addColumn<int>("layers"); // stored for "/a.pdf"

    const auto pages = [](const char *json) { return "{\"pageIndexByPath\":{" + QByteArray(json) + "}}"; };
    QTest::newRow("whole number with fraction digits") << pages(R"("/a.pdf":3.0)") << std::optional(3) << 0;
    QTest::newRow("int minimum, other keys") << pages(R"("/a.pdf":-2147483648,"/图纸/总平面.pdf":2147483647)")
                                             << std::optional(std::numeric_limits<int>::min()) << 0;
    QTest::newRow("unknown sibling key ignored")
        << QByteArray(R"({"pageIndexByPath":{"/a.pdf":7},"other":true})") << std::optional(7) << 0;
    QTest::newRow("not JSON") << QByteArray("{pageIndexByPath") << std::optional<int>() << 0;
    QTest::newRow("fraction") << pages(R"("/a.pdf":3.5)") << std::optional<int>() << 0;
    QTest::newRow("above int range") << pages(R"("/a.pdf":2147483648)") << std::optional<int>() << 0;
    QTest::newRow("one bad value among good")
        << pages(R"("/a.pdf":1,"/b.pdf":2.5,"/c.pdf":3)") << std::optional<int>() << 0;
    const auto layered = [](const char *json) {
        return R"({"pageIndexByPath":{"/a.pdf":1},"layersByPath":{"/a.pdf":)" + QByteArray(json) + "}}";
    };
    QTest::newRow("layers") << layered(
        R"([{"row":0,"name":"轴网","visible":false},{"row":2,"name":"","visible":true}])")
                            << std::optional(1) << 2;
    // A damaged entry loses its document's layers, never the positions.
    QTest::newRow("layer row not a number")
        << layered(R"([{"row":"0","name":"轴网","visible":false}])") << std::optional(1) << 0;
    QTest::newRow("layer entry not an object") << layered(R"([true])") << std::optional(1) << 0;
    QTest::newRow("layers not a list") << layered(R"({"row":0})") << std::optional(1) << 0;
}

void tst_ReadingPositionLedger::decode()
{
    QFETCH(QByteArray, data);
    QFETCH(std::optional<int>, pageIndex);
    QFETCH(int, layers);
    const auto ledger = ReadingPositionLedger::decode(data);
    QCOMPARE(ledger.has_value(), pageIndex.has_value());
    if (!ledger)
        return;
    QCOMPARE(ledger->pageIndexByPath.value(QStringLiteral("/a.pdf")), *pageIndex);
    QCOMPARE(ledger->layersByPath.value(QStringLiteral("/a.pdf")).size(), layers);
    QCOMPARE(ReadingPositionLedger::decode(ledger->encode()), ledger);
}

QTEST_GUILESS_MAIN(tst_ReadingPositionLedger)
#include "tst_ReadingPositionLedger.moc"
