#include "PDFFileURL.h"

#include <QDir>
#include <QTest>

class tst_PDFFileURL : public QObject {
    Q_OBJECT

private slots:
    void nativePathRoundTripsExactBytes_data();
    void nativePathRoundTripsExactBytes();
    void nativeURLEqualsQtLocalFileURL_data();
    void nativeURLEqualsQtLocalFileURL();
    void standardizedRemovesDotsLexically_data();
    void standardizedRemovesDotsLexically();
    void dotDotPathsNameTheSameDocument();
    void relativePathIsMadeAbsoluteAgainstWorkingDirectory();
    void nonFileURLsAreLeftAlone();
    void fromArgument_data();
    void fromArgument();
    void fromArgumentKeepsRawBytesOfFileURL();
    void displayNameAndExtension_data();
    void displayNameAndExtension();
    void isPDFFileURL_data();
    void isPDFFileURL();
};

void tst_PDFFileURL::nativePathRoundTripsExactBytes_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("encodedPath"); // as it appears in the URL

    QTest::newRow("ascii") << QByteArray("/plans/A-101.pdf") << QByteArray("/plans/A-101.pdf");
    QTest::newRow("byte 0xFF (not UTF-8)") << QByteArray("/plans/\xff"
                                                         "x.pdf")
                                           << QByteArray("/plans/%FFx.pdf");
    QTest::newRow("Chinese UTF-8 and space") << QByteArray(
        "/图纸/A-101 总平面.pdf") << QByteArray("/%E5%9B%BE%E7%BA%B8/A-101%20%E6%80%BB%E5%B9%B3%E9%9D%A2.pdf");
    QTest::newRow("hash, percent, question mark")
        << QByteArray("/a#b/100%/why?.pdf") << QByteArray("/a%23b/100%25/why%3F.pdf");
    QTest::newRow("literal percent sequence") << QByteArray("/x%41.pdf") << QByteArray("/x%2541.pdf");
}

void tst_PDFFileURL::nativePathRoundTripsExactBytes()
{
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, encodedPath);

    const QUrl url = PDFFileURL::fromNativePath(path);
    QVERIFY(url.isValid());
    QVERIFY(url.isLocalFile());
    QCOMPARE(url.path(QUrl::FullyEncoded).toLatin1(), encodedPath);
    QCOMPARE(PDFFileURL::nativePath(url), path);
    // Surviving a trip through the URL's text form is what the recent list relies on.
    QCOMPARE(PDFFileURL::nativePath(QUrl::fromEncoded(url.toEncoded())), path);
    QCOMPARE(PDFFileURL::nativePath(PDFFileURL::standardized(url)), path);
}

void tst_PDFFileURL::nativeURLEqualsQtLocalFileURL_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("sub-delimiters") << QStringLiteral("/d/a:b@c!$&'()*+,;=.pdf");
    QTest::newRow("brackets") << QStringLiteral("/d/[A-101] {rev}.pdf");
    QTest::newRow("hash, percent, question mark") << QStringLiteral("/d/#1 100%?.pdf");
    QTest::newRow("Chinese") << QStringLiteral("/图纸/总平面.pdf");
}

// Regression: URLs built from bytes compared unequal to the same file's URL built by Qt
// (":" was percent-encoded), so an open document was not found in the recent list.
void tst_PDFFileURL::nativeURLEqualsQtLocalFileURL()
{
    QFETCH(QString, path);
    const QUrl fromBytes = PDFFileURL::fromNativePath(path.toUtf8());
    QCOMPARE(fromBytes, QUrl::fromLocalFile(path));
    QCOMPARE(fromBytes.toEncoded(), QUrl::fromLocalFile(path).toEncoded());
}

void tst_PDFFileURL::standardizedRemovesDotsLexically_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("already standard") << QByteArray("/a/b.pdf") << QByteArray("/a/b.pdf");
    QTest::newRow("dot") << QByteArray("/a/./b.pdf") << QByteArray("/a/b.pdf");
    QTest::newRow("dot-dot") << QByteArray("/a/x/../b.pdf") << QByteArray("/a/b.pdf");
    QTest::newRow("repeated slashes") << QByteArray("//a///b.pdf") << QByteArray("/a/b.pdf");
    QTest::newRow("dot-dot above root") << QByteArray("/../../b.pdf") << QByteArray("/b.pdf");
    QTest::newRow("trailing slash") << QByteArray("/a/b/") << QByteArray("/a/b");
    QTest::newRow("root") << QByteArray("/") << QByteArray("/");
    QTest::newRow("dots inside names kept") << QByteArray("/a/..b/c..pdf") << QByteArray("/a/..b/c..pdf");
    QTest::newRow("non-UTF-8 component") << QByteArray("/\xfe/../\xff/./x.pdf") << QByteArray("/\xff/x.pdf");
}

void tst_PDFFileURL::standardizedRemovesDotsLexically()
{
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, expected);

    const QUrl standardized = PDFFileURL::standardized(PDFFileURL::fromNativePath(path));
    QCOMPARE(PDFFileURL::nativePath(standardized), expected);
    QCOMPARE(PDFFileURL::standardizedPath(PDFFileURL::fromNativePath(path)), QString::fromUtf8(expected));
}

void tst_PDFFileURL::dotDotPathsNameTheSameDocument()
{
    const QUrl direct = PDFFileURL::fromNativePath("/srv/drawings/A-101.pdf");
    const QUrl roundabout = PDFFileURL::fromNativePath("/srv/drawings/old/../A-101.pdf");
    QCOMPARE(PDFFileURL::standardized(roundabout), PDFFileURL::standardized(direct));
    QCOMPARE(PDFFileURL::standardizedPath(roundabout), QStringLiteral("/srv/drawings/A-101.pdf"));
    QCOMPARE(PDFFileURL::standardizedPath(QStringLiteral("/srv/./drawings//A-101.pdf")),
        QStringLiteral("/srv/drawings/A-101.pdf"));
}

void tst_PDFFileURL::relativePathIsMadeAbsoluteAgainstWorkingDirectory()
{
    QCOMPARE(
        PDFFileURL::standardizedPath(QStringLiteral("sub/../x.pdf")), QDir::currentPath() + QStringLiteral("/x.pdf"));
}

void tst_PDFFileURL::nonFileURLsAreLeftAlone()
{
    const QUrl web(QStringLiteral("https://example.org/a/../b.pdf"));
    QCOMPARE(PDFFileURL::standardized(web), web);
    QVERIFY(PDFFileURL::nativePath(web).isEmpty());
    QVERIFY(PDFFileURL::standardizedPath(web).isEmpty());
    // A file URL on another host is not a local file.
    QVERIFY(PDFFileURL::nativePath(QUrl(QStringLiteral("file://server/share/x.pdf"))).isEmpty());
}

void tst_PDFFileURL::fromArgument_data()
{
    QTest::addColumn<QByteArray>("argument");
    QTest::addColumn<QUrl>("expected");

    QTest::newRow("absolute path") << QByteArray("/x/A 1.pdf") << QUrl::fromEncoded("file:///x/A%201.pdf");
    QTest::newRow("relative path") << QByteArray("plans/A.pdf") << QUrl::fromEncoded("file:///home/u/work/plans/A.pdf");
    QTest::newRow("relative with dot-dot kept for standardisation")
        << QByteArray("../A.pdf") << QUrl::fromEncoded("file:///home/u/work/../A.pdf");
    QTest::newRow("relative name with colon is a path")
        << QByteArray("a:b.pdf") << QUrl::fromEncoded("file:///home/u/work/a:b.pdf");
    QTest::newRow("file URL") << QByteArray("file:///x/A%201.pdf") << QUrl::fromEncoded("file:///x/A%201.pdf");
    QTest::newRow("file URL on localhost")
        << QByteArray("file://localhost/x/A.pdf") << QUrl::fromEncoded("file:///x/A.pdf");
    QTest::newRow("other scheme as-is") << QByteArray("https://example.org/A.pdf")
                                        << QUrl::fromEncoded("https://example.org/A.pdf");
    QTest::newRow("empty") << QByteArray() << QUrl();
}

void tst_PDFFileURL::fromArgument()
{
    QFETCH(QByteArray, argument);
    QFETCH(QUrl, expected);
    QCOMPARE(PDFFileURL::fromArgument(argument, "/home/u/work"), expected);
}

void tst_PDFFileURL::fromArgumentKeepsRawBytesOfFileURL()
{
    // Shells hand over unescaped bytes; they must not be decoded as text on the way in.
    const QUrl url = PDFFileURL::fromArgument("file:///x/\xff \xe6\x80\xbb.pdf", "/");
    QCOMPARE(PDFFileURL::nativePath(url), QByteArray("/x/\xff \xe6\x80\xbb.pdf"));
    const QUrl path = PDFFileURL::fromArgument("\xff.pdf", "/d\xfe");
    QCOMPARE(PDFFileURL::nativePath(path), QByteArray("/d\xfe/\xff.pdf"));
}

void tst_PDFFileURL::displayNameAndExtension_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QString>("lastComponent");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("displayName");

    QTest::newRow("Chinese name") << QByteArray("/d/A-101 总平面.pdf") << QStringLiteral("A-101 总平面.pdf")
                                  << QStringLiteral("pdf") << QStringLiteral("A-101 总平面");
    QTest::newRow("only the last extension") << QByteArray("/d/x.tar.pdf") << QStringLiteral("x.tar.pdf")
                                             << QStringLiteral("pdf") << QStringLiteral("x.tar");
    QTest::newRow("no extension") << QByteArray("/d/README") << QStringLiteral("README") << QString()
                                  << QStringLiteral("README");
    QTest::newRow("hidden file") << QByteArray("/d/.pdf") << QStringLiteral(".pdf") << QString()
                                 << QStringLiteral(".pdf");
    QTest::newRow("trailing dot") << QByteArray("/d/x.") << QStringLiteral("x.") << QString() << QStringLiteral("x.");
    QTest::newRow("dot in folder only") << QByteArray("/d.v2/plan") << QStringLiteral("plan") << QString()
                                        << QStringLiteral("plan");
    QTest::newRow("special characters") << QByteArray("/d/#1 100%?.PDF") << QStringLiteral("#1 100%?.PDF")
                                        << QStringLiteral("PDF") << QStringLiteral("#1 100%?");
}

void tst_PDFFileURL::displayNameAndExtension()
{
    QFETCH(QByteArray, path);
    QFETCH(QString, lastComponent);
    QFETCH(QString, extension);
    QFETCH(QString, displayName);

    const QUrl url = PDFFileURL::fromNativePath(path);
    QCOMPARE(PDFFileURL::lastPathComponent(url), lastComponent);
    QCOMPARE(PDFFileURL::pathExtension(url), extension);
    QCOMPARE(PDFFileURL::displayName(url), displayName);
}

void tst_PDFFileURL::isPDFFileURL_data()
{
    QTest::addColumn<QUrl>("url");
    QTest::addColumn<bool>("expected");

    QTest::newRow("pdf") << PDFFileURL::fromNativePath("/d/a.pdf") << true;
    QTest::newRow("PDF") << PDFFileURL::fromNativePath("/d/a.PDF") << true;
    QTest::newRow("Pdf") << PDFFileURL::fromNativePath("/d/a.Pdf") << true;
    QTest::newRow("pdf.txt") << PDFFileURL::fromNativePath("/d/pdf.txt") << false;
    QTest::newRow("x.pdf.png") << PDFFileURL::fromNativePath("/d/x.pdf.png") << false;
    QTest::newRow("no extension") << PDFFileURL::fromNativePath("/d/pdf") << false;
    QTest::newRow("non-UTF-8 name") << PDFFileURL::fromNativePath("/d/\xff.pdf") << true;
    QTest::newRow("web URL") << QUrl(QStringLiteral("https://example.org/a.pdf")) << false;
}

void tst_PDFFileURL::isPDFFileURL()
{
    QFETCH(QUrl, url);
    QFETCH(bool, expected);
    QCOMPARE(PDFFileURL::isPDFFileURL(url), expected);
}

QTEST_GUILESS_MAIN(tst_PDFFileURL)
#include "tst_PDFFileURL.moc"
