#include "RecentPDFPolicy.h"

#include "PDFFileURL.h"

#include <QTest>

namespace {

constexpr int maximumCount = 10;

QUrl fileURL(int n)
{
    return PDFFileURL::fromNativePath("/plans/sheet-" + QByteArray::number(n) + ".pdf");
}

QDateTime at(int minute)
{
    return QDateTime::fromSecsSinceEpoch(1700000000 + 60 * minute, Qt::UTC);
}

// Opens sheets 1..count in order, so the newest (sheet `count`) is first.
QList<RecentPDFDocument> opened(int count)
{
    QList<RecentPDFDocument> list;
    for (int n = 1; n <= count; ++n)
        list = RecentPDFPolicy::updating(list, fileURL(n), QByteArray::number(n), at(n), maximumCount);
    return list;
}

QStringList paths(const QList<RecentPDFDocument> &list)
{
    QStringList result;
    for (const RecentPDFDocument &d : list)
        result.append(d.path);
    return result;
}

} // namespace

class tst_RecentPDFPolicy : public QObject {
    Q_OBJECT

private slots:
    void newEntryCarriesKeyNameTimeAndBookmark();
    void eleventhFileDropsTheOldest();
    void reopeningThirdMovesItToFrontKeepingLength();
    void bookmarkKeptOnlyWhenNoneGiven();
    void dotDotPathNamesTheSameEntry();
    void allDuplicatesOfThePathAreDropped();
    void maximumCountCuts_data();
    void maximumCountCuts();
    void nonFileURLLeavesListUnchanged();
};

void tst_RecentPDFPolicy::newEntryCarriesKeyNameTimeAndBookmark()
{
    const QUrl url = PDFFileURL::fromNativePath("/图纸/./A-101 总平面.pdf");
    const auto list = RecentPDFPolicy::updating({}, url, QByteArray("bm"), at(0), maximumCount);
    QCOMPARE(list.size(), 1);
    QCOMPARE(list[0].path, QStringLiteral("/图纸/A-101 总平面.pdf"));
    QCOMPARE(list[0].displayName, QStringLiteral("A-101 总平面"));
    QCOMPARE(list[0].openedAt, at(0));
    QCOMPARE(list[0].bookmarkData, std::optional<QByteArray>(QByteArray("bm")));
}

void tst_RecentPDFPolicy::eleventhFileDropsTheOldest()
{
    const auto ten = opened(10);
    QCOMPARE(ten.size(), 10);
    const auto eleven = RecentPDFPolicy::updating(ten, fileURL(11), std::nullopt, at(11), maximumCount);
    QCOMPARE(eleven.size(), 10);
    QCOMPARE(eleven.first().path, QStringLiteral("/plans/sheet-11.pdf"));
    QVERIFY(!paths(eleven).contains(QStringLiteral("/plans/sheet-1.pdf")));
    QCOMPARE(eleven.last().path, QStringLiteral("/plans/sheet-2.pdf"));
}

void tst_RecentPDFPolicy::reopeningThirdMovesItToFrontKeepingLength()
{
    const auto before = opened(5); // 5 4 3 2 1
    const auto after = RecentPDFPolicy::updating(before, fileURL(3), std::nullopt, at(9), maximumCount);
    QCOMPARE(paths(after),
        (QStringList {QStringLiteral("/plans/sheet-3.pdf"), QStringLiteral("/plans/sheet-5.pdf"),
            QStringLiteral("/plans/sheet-4.pdf"), QStringLiteral("/plans/sheet-2.pdf"),
            QStringLiteral("/plans/sheet-1.pdf")}));
    QCOMPARE(after.first().openedAt, at(9));
}

void tst_RecentPDFPolicy::bookmarkKeptOnlyWhenNoneGiven()
{
    const auto kept = RecentPDFPolicy::updating(opened(3), fileURL(2), std::nullopt, at(9), maximumCount);
    QCOMPARE(kept.first().bookmarkData, std::optional<QByteArray>(QByteArray("2")));
    const auto replaced = RecentPDFPolicy::updating(opened(3), fileURL(2), QByteArray("new"), at(9), maximumCount);
    QCOMPARE(replaced.first().bookmarkData, std::optional<QByteArray>(QByteArray("new")));
}

void tst_RecentPDFPolicy::dotDotPathNamesTheSameEntry()
{
    const QUrl roundabout = PDFFileURL::fromNativePath("/plans/old/../sheet-2.pdf");
    const auto after = RecentPDFPolicy::updating(opened(3), roundabout, std::nullopt, at(9), maximumCount);
    QCOMPARE(after.size(), 3);
    QCOMPARE(after.first().path, QStringLiteral("/plans/sheet-2.pdf"));
    QCOMPARE(after.first().bookmarkData, std::optional<QByteArray>(QByteArray("2")));
}

void tst_RecentPDFPolicy::allDuplicatesOfThePathAreDropped()
{
    // Lists written by hand or by an older build may hold the same file twice, unstandardised.
    RecentPDFDocument first;
    first.path = QStringLiteral("/plans//a.pdf");
    first.bookmarkData = QByteArray("first");
    RecentPDFDocument other;
    other.path = QStringLiteral("/plans/b.pdf");
    RecentPDFDocument second;
    second.path = QStringLiteral("/plans/./a.pdf");
    second.bookmarkData = QByteArray("second");

    const auto after = RecentPDFPolicy::updating(
        {first, other, second}, PDFFileURL::fromNativePath("/plans/a.pdf"), std::nullopt, at(0), maximumCount);
    QCOMPARE(paths(after), (QStringList {QStringLiteral("/plans/a.pdf"), QStringLiteral("/plans/b.pdf")}));
    QCOMPARE(after.first().bookmarkData, std::optional<QByteArray>(QByteArray("first")));
}

void tst_RecentPDFPolicy::maximumCountCuts_data()
{
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("expectedSize");
    QTest::newRow("negative") << -3 << 0;
    QTest::newRow("zero") << 0 << 0;
    QTest::newRow("one") << 1 << 1;
    QTest::newRow("above length") << 50 << 6;
}

void tst_RecentPDFPolicy::maximumCountCuts()
{
    QFETCH(int, maximum);
    QFETCH(int, expectedSize);
    const auto after = RecentPDFPolicy::updating(opened(5), fileURL(6), std::nullopt, at(9), maximum);
    QCOMPARE(after.size(), expectedSize);
    if (expectedSize > 0)
        QCOMPARE(after.first().path, QStringLiteral("/plans/sheet-6.pdf"));
}

void tst_RecentPDFPolicy::nonFileURLLeavesListUnchanged()
{
    const auto before = opened(3);
    QCOMPARE(RecentPDFPolicy::updating(
                 before, QUrl(QStringLiteral("https://example.org/a.pdf")), std::nullopt, at(9), maximumCount),
        before);
}

QTEST_GUILESS_MAIN(tst_RecentPDFPolicy)
#include "tst_RecentPDFPolicy.moc"
