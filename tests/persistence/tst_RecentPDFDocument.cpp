#include "RecentPDFDocument.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace {

RecentPDFDocument document(int n, std::optional<QByteArray> bookmark = std::nullopt)
{
    RecentPDFDocument d;
    d.path = QStringLiteral("/plans/A-%1 总平面.pdf").arg(n);
    d.displayName = QStringLiteral("A-%1 总平面").arg(n);
    d.openedAt = QDateTime::fromMSecsSinceEpoch(1700000000000 + n * 1001, Qt::UTC);
    d.bookmarkData = std::move(bookmark);
    return d;
}

} // namespace

class tst_RecentPDFDocument : public QObject {
    Q_OBJECT

private slots:
    void roundTrip();
    void storedFormUsesReferenceSecondsAndBase64();
    void fifteenStoredEntriesDecode();
    void entryWithoutBookmarkDataDecodesAsNone();
    void corruptDataFailsWholeList_data();
    void corruptDataFailsWholeList();
};

void tst_RecentPDFDocument::roundTrip()
{
    const QList<RecentPDFDocument> list {
        document(1, QByteArray("\x00\xff bookmark", 11)), document(2), document(3, QByteArray())};
    const auto decoded = RecentPDFDocument::decodeList(RecentPDFDocument::encodeList(list));
    QVERIFY(decoded);
    QCOMPARE(*decoded, list);
    QCOMPARE(RecentPDFDocument::decodeList("[]"), std::optional(QList<RecentPDFDocument>()));
}

void tst_RecentPDFDocument::storedFormUsesReferenceSecondsAndBase64()
{
    RecentPDFDocument d = document(0, QByteArray("abc"));
    d.openedAt = QDateTime::fromString(QStringLiteral("2001-01-01T00:00:01.5Z"), Qt::ISODateWithMs);
    const QJsonDocument json = QJsonDocument::fromJson(RecentPDFDocument::encodeList({d, document(1)}));
    QVERIFY(json.isArray());
    const QJsonObject first = json.array().at(0).toObject();
    QCOMPARE(first.value(QStringLiteral("path")).toString(), d.path);
    QCOMPARE(first.value(QStringLiteral("displayName")).toString(), d.displayName);
    QCOMPARE(first.value(QStringLiteral("openedAt")).toDouble(), 1.5);
    QCOMPARE(first.value(QStringLiteral("bookmarkData")).toString(), QStringLiteral("YWJj"));
    QVERIFY(!json.array().at(1).toObject().contains(QStringLiteral("bookmarkData")));
}

void tst_RecentPDFDocument::fifteenStoredEntriesDecode()
{
    // Cutting to the configured maximum is the caller's business, not the decoder's.
    QList<RecentPDFDocument> list;
    for (int i = 0; i < 15; ++i)
        list.append(document(i, QByteArray::number(i)));
    const auto decoded = RecentPDFDocument::decodeList(RecentPDFDocument::encodeList(list));
    QVERIFY(decoded);
    QCOMPARE(decoded->size(), 15);
    QCOMPARE(*decoded, list);
}

void tst_RecentPDFDocument::entryWithoutBookmarkDataDecodesAsNone()
{
    const auto decoded = RecentPDFDocument::decodeList(R"([{"path":"/a/b.pdf","displayName":"b","openedAt":0}])");
    QVERIFY(decoded);
    QCOMPARE(decoded->size(), 1);
    QVERIFY(!decoded->first().bookmarkData);
    QCOMPARE(decoded->first().openedAt, QDateTime::fromString(QStringLiteral("2001-01-01T00:00:00Z"), Qt::ISODate));
}

void tst_RecentPDFDocument::corruptDataFailsWholeList_data()
{
    QTest::addColumn<QByteArray>("data");

    const QByteArray good = R"({"path":"/a.pdf","displayName":"a","openedAt":1})";
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not JSON") << QByteArray("recent files");
    QTest::newRow("truncated") << QByteArray("[" + good);
    QTest::newRow("object, not array") << good;
    QTest::newRow("element not object") << QByteArray("[" + good + ",3]");
    QTest::newRow("missing path") << QByteArray(R"([{"displayName":"a","openedAt":1}])");
    QTest::newRow("missing displayName") << QByteArray(R"([{"path":"/a.pdf","openedAt":1}])");
    QTest::newRow("missing openedAt") << QByteArray(R"([{"path":"/a.pdf","displayName":"a"}])");
    QTest::newRow("path not string") << QByteArray(R"([{"path":7,"displayName":"a","openedAt":1}])");
    QTest::newRow("openedAt as string") << QByteArray(R"([{"path":"/a.pdf","displayName":"a","openedAt":"1"}])");
    QTest::newRow("openedAt out of range") << QByteArray(R"([{"path":"/a.pdf","displayName":"a","openedAt":1e300}])");
    QTest::newRow("bookmarkData not string")
        << QByteArray(R"([{"path":"/a.pdf","displayName":"a","openedAt":1,"bookmarkData":5}])");
    QTest::newRow("bookmarkData null") << QByteArray(
        R"([{"path":"/a.pdf","displayName":"a","openedAt":1,"bookmarkData":null}])");
    QTest::newRow("bookmarkData invalid Base64")
        << QByteArray(R"([{"path":"/a.pdf","displayName":"a","openedAt":1,"bookmarkData":"@@@"}])");
    QTest::newRow("one bad entry among good ones") << QByteArray("[" + good + "," + good + R"(,{"path":"/b.pdf"}])");
}

void tst_RecentPDFDocument::corruptDataFailsWholeList()
{
    QFETCH(QByteArray, data);
    QVERIFY(!RecentPDFDocument::decodeList(data));
}

QTEST_GUILESS_MAIN(tst_RecentPDFDocument)
#include "tst_RecentPDFDocument.moc"
