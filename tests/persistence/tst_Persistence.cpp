#include "PDFFileBookmark.h"
#include "PDFFileURL.h"
#include "ReadingPositionLedger.h"
#include "RecentPDFDocument.h"
#include "RecentPDFPolicy.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <limits>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Raw bytes, so names that are not UTF-8 can be made too.
bool touch(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    return fd >= 0 && ::write(fd, "%PDF", 4) == 4 && ::close(fd) == 0;
}

QUrl fileURL(int n)
{
    return PDFFileURL::fromNativePath("/图纸/sheet-" + QByteArray::number(n) + ".pdf");
}

QDateTime at(int minute) // local time, with milliseconds
{
    return QDateTime::fromMSecsSinceEpoch(1700000000123 + 60001 * minute, Qt::LocalTime);
}

// Opens sheets 1..count in order, the odd ones with their number as bookmark: the newest
// comes first.
QList<RecentPDFDocument> opened(int count)
{
    QList<RecentPDFDocument> list;
    for (int n = 1; n <= count; ++n) {
        const auto bookmark = n % 2 ? std::optional(QByteArray::number(n)) : std::nullopt;
        list = RecentPDFPolicy::updating(list, fileURL(n), bookmark, at(n), count);
    }
    return list;
}

QString sheets(const QList<RecentPDFDocument> &list)
{
    QStringList result;
    for (const RecentPDFDocument &d : list)
        result.append(d.path.mid(d.path.indexOf(QLatin1Char('-')) + 1).chopped(4));
    return result.join(QLatin1Char(' '));
}

} // namespace

// What outlives the process: a file's name in its exact bytes and in stored form, the bookmark
// that finds it after a rename, the recent list and the reading positions.
class tst_Persistence : public QObject {
    Q_OBJECT

private slots:
    void exactBytesStandardAndStoredForms_data();
    void exactBytesStandardAndStoredForms();
    void relativeAndArgumentPaths();
    void bookmarkFollowsTheFileUntilItIsGone();
    void storedForm_data();
    void storedForm();
    void updating_data();
    void updating();
    void allDuplicatesOfThePathAreDropped();
    void readingPositions_data();
    void readingPositions();
};

void tst_Persistence::exactBytesStandardAndStoredForms_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("standardized"); // dots removed lexically
    QTest::addColumn<QString>("stored");
    const auto row = [](const char *name, const QByteArray &path, const QByteArray &standardized, const char *stored) {
        QTest::newRow(name) << path << standardized << QString::fromUtf8(stored);
    };
    row("not UTF-8, dots", "/\xfe/../plans/./\xff x.pdf", "/plans/\xff x.pdf", "file:///plans/%FF%20x.pdf");
    row("colon, hash, percent, question mark, above root", "/../a:b#c/100%/x%41?.pdf/", "/a:b#c/100%/x%41?.pdf",
        "/a:b#c/100%/x%41?.pdf");
    // Regression: every name not UTF-8 below was stored as "/d/\ufffd.pdf", one entry for many files.
    row("overlong slash", "/d/\xc0\xaf.pdf", "/d/\xc0\xaf.pdf", "file:///d/%C0%AF.pdf");
    row("a real U+FFFD in the name", "/d/\xef\xbf\xbd.pdf", "/d/\xef\xbf\xbd.pdf", "/d/\ufffd.pdf");
    row("percent signs are plain text", "/d/%FF.pdf", "/d/%FF.pdf", "/d/%FF.pdf");
    row("UTF-8 as every earlier build stored it", "/图纸/A-101 总平面.pdf", "/图纸/A-101 总平面.pdf",
        "/图纸/A-101 总平面.pdf");
}

void tst_Persistence::exactBytesStandardAndStoredForms()
{
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, standardized);
    QFETCH(QString, stored);
    const QUrl url = PDFFileURL::fromNativePath(path);
    QCOMPARE(PDFFileURL::nativePath(url), path);
    // Surviving a trip through the URL's text form is what the recent list relies on.
    QCOMPARE(PDFFileURL::nativePath(QUrl::fromEncoded(url.toEncoded())), path);
    // Regression: ":" was percent-encoded, so an open document was not found in the recent
    // list, whose URLs Qt had built.
    const QString text = QString::fromUtf8(path);
    if (text.toUtf8() == path)
        QCOMPARE(url.toEncoded(), QUrl::fromLocalFile(text).toEncoded());

    QCOMPARE(PDFFileURL::standardized(url), PDFFileURL::fromNativePath(standardized));
    QCOMPARE(PDFFileURL::standardizedPath(url), stored);
    QCOMPARE(PDFFileURL::nativePathOfStoredPath(stored), standardized);
    QCOMPARE(PDFFileURL::standardizedPath(stored), stored);
    QCOMPARE(PDFFileURL::standardizedPath(text), QString::fromUtf8(standardized));
}

// A relative path is taken against the working directory: the process's when standardised,
// the given one (itself not UTF-8) for an argument. Shells hand over unescaped bytes, which
// must not be decoded as text on the way in. What is opened is a file URL ending in ".pdf",
// in any case.
void tst_Persistence::relativeAndArgumentPaths()
{
    QCOMPARE(
        PDFFileURL::standardizedPath(QStringLiteral("sub/../x.pdf")), QDir::currentPath() + QStringLiteral("/x.pdf"));
    QCOMPARE(PDFFileURL::fromArgument("../A.pdf", "/w\xfe"), PDFFileURL::fromNativePath("/w\xfe/../A.pdf"));
    QCOMPARE(PDFFileURL::fromArgument("file://localhost/x/\xff \xe6\x80\xbb.pdf", "/w\xfe"),
        PDFFileURL::fromNativePath("/x/\xff \xe6\x80\xbb.pdf"));
    QVERIFY(PDFFileURL::isPDFFileURL(PDFFileURL::fromArgument("A.PDF", "/w")));
    QVERIFY(!PDFFileURL::isPDFFileURL(PDFFileURL::fromArgument("notes.txt", "/w")));
    QVERIFY(!PDFFileURL::isPDFFileURL(QUrl(QStringLiteral("https://example.org/a.pdf"))));
}

// A bookmark through the life of its file: unmoved (damaged copies resolve to nothing), then
// saved the safe way, a new file renamed over it, so the path names another inode and the caller
// falls back to the stored path. A second one through a rename (to a name not UTF-8) and a delete.
void tst_Persistence::bookmarkFollowsTheFileUntilItIsGone()
{
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    const QByteArray path = folder + "/\xff A-101 #1 100%?.pdf";
    const QByteArray renamed = folder + "/new\xfe.pdf";
    const auto removeNames = qScopeGuard([&] { // Qt can't remove what is not UTF-8
        ::unlink(path.constData());
        ::unlink(renamed.constData());
    });
    QVERIFY(touch(folder + "/neighbour.pdf") && touch(path));
    // Made from an unstandardised URL, it resolves to the standardised one.
    const auto bookmark = PDFFileBookmark::create(PDFFileURL::fromNativePath(folder + "/./\xff A-101 #1 100%?.pdf"));
    QVERIFY(bookmark);
    QCOMPARE(PDFFileBookmark::resolve(*bookmark).value_or(PDFBookmarkResolution()),
        (PDFBookmarkResolution {PDFFileURL::fromNativePath(path), false}));

    // Wrong magic, trailing bytes, a path length beyond the data: nothing.
    for (const QByteArray &bad :
        {QByteArray(*bookmark).replace(0, 1, "X"), *bookmark + '\0', bookmark->left(6) + "\x7f\xff\xff\xf0"})
        QVERIFY(!PDFFileBookmark::resolve(bad));

    QVERIFY(touch(folder + "/new.tmp"));
    QCOMPARE(::rename((folder + "/new.tmp").constData(), path.constData()), 0);
    QVERIFY(!PDFFileBookmark::resolve(*bookmark));

    const auto second = PDFFileBookmark::create(PDFFileURL::fromNativePath(path));
    QVERIFY(second);
    QCOMPARE(::rename(path.constData(), renamed.constData()), 0);
    QCOMPARE(PDFFileBookmark::resolve(*second).value_or(PDFBookmarkResolution()),
        (PDFBookmarkResolution {PDFFileURL::fromNativePath(renamed), true}));
    QVERIFY(!PDFFileBookmark::create(PDFFileURL::fromNativePath(path))); // only a file that is there
    QCOMPARE(::unlink(renamed.constData()), 0);
    QVERIFY(!PDFFileBookmark::resolve(*second));
}

void tst_Persistence::storedForm_data()
{
    // Dates are seconds since 2001-01-01 UTC; bookmarks are Base64. One bad entry fails the list.
    QTest::addColumn<QByteArray>("members"); // besides "path":"/a.pdf", in the order they are written
    QTest::addColumn<QDateTime>("openedAt"); // invalid: the list is refused
    QTest::addColumn<std::optional<QByteArray>>("bookmark");
    const auto utc = [](const char *iso) { return QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODateWithMs); };
    const auto row = [](const char *name, const char *members, const QDateTime &openedAt,
                         const std::optional<QByteArray> &bookmark = std::nullopt) {
        QTest::newRow(name) << QByteArray(members) << openedAt << bookmark;
    };
    row("fraction, bookmark", R"("bookmarkData":"YWJj","displayName":"a","openedAt":1.001)",
        utc("2001-01-01T00:00:01.001Z"), QByteArray("abc"));
    row("just before the reference date, empty bookmark", R"("bookmarkData":"","displayName":"a","openedAt":-0.25)",
        utc("2000-12-31T23:59:59.750Z"), QByteArray(""));
    row("openedAt as string", R"("displayName":"a","openedAt":"1")", {});
    row("openedAt out of range", R"("displayName":"a","openedAt":1e300)", {});
    row("bookmarkData invalid Base64", R"("bookmarkData":"@@@","displayName":"a","openedAt":1)", {});
    row("one bad entry among good ones",
        R"("displayName":"a","openedAt":1,"path":"/a.pdf"},{"path":"/b.pdf"},{"displayName":"c","openedAt":1)", {});
}

void tst_Persistence::storedForm()
{
    QFETCH(QByteArray, members);
    QFETCH(QDateTime, openedAt);
    QFETCH(std::optional<QByteArray>, bookmark);
    const QByteArray stored = "[{" + members + R"(,"path":"/a.pdf"}])";
    const auto decoded = RecentPDFDocument::decodeList(stored);
    QCOMPARE(decoded.has_value(), openedAt.isValid());
    if (!decoded)
        return;
    QCOMPARE(decoded->first().openedAt, openedAt);
    QCOMPARE(decoded->first().bookmarkData, bookmark);
    QCOMPARE(RecentPDFDocument::encodeList(*decoded), stored);
}

void tst_Persistence::updating_data()
{
    QTest::addColumn<int>("previous"); // sheets opened before, at most ten kept
    QTest::addColumn<QUrl>("url");
    QTest::addColumn<QString>("expected"); // sheet numbers, newest first
    QTest::addColumn<std::optional<QByteArray>>("frontBookmark");
    const std::optional<QByteArray> three("3");
    QTest::newRow("eleventh file drops the oldest")
        << 10 << fileURL(11) << QStringLiteral("11 10 9 8 7 6 5 4 3 2") << std::optional<QByteArray>();
    QTest::newRow("third moves to the front, keeping its bookmark")
        << 5 << fileURL(3) << QStringLiteral("3 5 4 2 1") << three;
    QTest::newRow("dot-dot path is the same document")
        << 5 << PDFFileURL::fromNativePath("/图纸/old/../sheet-3.pdf") << QStringLiteral("3 5 4 2 1") << three;
    QTest::newRow("web URL leaves the list alone")
        << 2 << QUrl(QStringLiteral("https://example.org/a.pdf")) << QStringLiteral("2 1") << three;
}

void tst_Persistence::updating()
{
    QFETCH(int, previous);
    QFETCH(QUrl, url);
    QFETCH(QString, expected);
    QFETCH(std::optional<QByteArray>, frontBookmark);
    const auto after = RecentPDFPolicy::updating(opened(previous), url, std::nullopt, at(99), 10);
    QCOMPARE(sheets(after), expected);
    if (url.isLocalFile()) {
        QCOMPARE(after.first().displayName, QStringLiteral("sheet-") + expected.section(QLatin1Char(' '), 0, 0));
        QCOMPARE(after.first().openedAt, at(99));
        QCOMPARE(after.first().bookmarkData, frontBookmark);
    }
}

void tst_Persistence::allDuplicatesOfThePathAreDropped()
{
    // Lists written by hand or by an older build may hold the same file twice, unstandardised.
    QList<RecentPDFDocument> list(3);
    list[0].path = QStringLiteral("/图纸//sheet-1.pdf");
    list[0].bookmarkData = QByteArray("first");
    list[1].path = QStringLiteral("/图纸/sheet-2.pdf");
    list[2].path = QStringLiteral("/图纸/./sheet-1.pdf");
    list[2].bookmarkData = QByteArray("second");
    const auto after = RecentPDFPolicy::updating(list, fileURL(1), std::nullopt, at(0), 10);
    QCOMPARE(sheets(after), QStringLiteral("1 2"));
    QCOMPARE(after.first().bookmarkData, std::optional(QByteArray("first")));
}

// The other stored record: the page each document was last read at, refused whole for one bad value.
void tst_Persistence::readingPositions_data()
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

void tst_Persistence::readingPositions()
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

QTEST_GUILESS_MAIN(tst_Persistence)
#include "tst_Persistence.moc"
