#include "PDFFileBookmark.h"
#include "PDFFileURL.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Raw bytes, so names that are not UTF-8 can be made too.
bool touch(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    return fd >= 0 && ::write(fd, "%PDF", 4) == 4 && ::close(fd) == 0;
}

} // namespace

class tst_PDFFileURL : public QObject {
    Q_OBJECT

private slots:
    void exactBytesStandardAndStoredForms_data();
    void exactBytesStandardAndStoredForms();
    void relativeAndArgumentPaths();
    void bookmarkFollowsTheFileUntilItIsGone();
};

void tst_PDFFileURL::exactBytesStandardAndStoredForms_data()
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

void tst_PDFFileURL::exactBytesStandardAndStoredForms()
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
void tst_PDFFileURL::relativeAndArgumentPaths()
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
void tst_PDFFileURL::bookmarkFollowsTheFileUntilItIsGone()
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

QTEST_GUILESS_MAIN(tst_PDFFileURL)
#include "tst_PDFFileURL.moc"
