#include "PDFFileURL.h"

#include <QDir>
#include <QTest>

class tst_PDFFileURL : public QObject {
    Q_OBJECT

private slots:
    void exactBytesStandardAndStoredForms_data();
    void exactBytesStandardAndStoredForms();
    void relativeAndArgumentPaths();
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

QTEST_GUILESS_MAIN(tst_PDFFileURL)
#include "tst_PDFFileURL.moc"
