#include "PDFFileURL.h"

#include <QDir>
#include <QTest>

class tst_PDFFileURL : public QObject {
    Q_OBJECT

private slots:
    void exactBytesAndStandardForm_data();
    void exactBytesAndStandardForm();
    void storedPathKeepsEveryByte_data();
    void storedPathKeepsEveryByte();
    void fromArgument_data();
    void fromArgument();
};

void tst_PDFFileURL::exactBytesAndStandardForm_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("standardized"); // dots removed lexically
    QTest::newRow("not UTF-8") << QByteArray("/\xfe/../plans/./\xff x.pdf") << QByteArray("/plans/\xff x.pdf");
    QTest::newRow("dot-dot names the same document")
        << QByteArray("/图纸/old/../A-101 总平面.pdf") << QByteArray("/图纸/A-101 总平面.pdf");
    QTest::newRow("colon, hash, percent, question mark, above root")
        << QByteArray("/../a:b#c/100%/x%41?.pdf/") << QByteArray("/a:b#c/100%/x%41?.pdf");
}

void tst_PDFFileURL::exactBytesAndStandardForm()
{
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, standardized);
    const QUrl url = PDFFileURL::fromNativePath(path);
    QCOMPARE(PDFFileURL::nativePath(url), path);
    // Surviving a trip through the URL's text form is what the recent list relies on.
    QCOMPARE(PDFFileURL::nativePath(QUrl::fromEncoded(url.toEncoded())), path);
    // Regression: ":" was percent-encoded, so an open document was not found in the recent
    // list, whose URLs Qt had built.
    const QString text = QString::fromUtf8(path);
    if (text.toUtf8() == path)
        QCOMPARE(url.toEncoded(), QUrl::fromLocalFile(text).toEncoded());
    else
        QVERIFY(url.toEncoded().endsWith("/%FF%20x.pdf"));

    QCOMPARE(PDFFileURL::standardized(url), PDFFileURL::fromNativePath(standardized));
    QCOMPARE(PDFFileURL::nativePathOfStoredPath(PDFFileURL::standardizedPath(url)), standardized);
    QCOMPARE(PDFFileURL::standardizedPath(text), QString::fromUtf8(standardized));
    // A relative path is taken against the working directory.
    QCOMPARE(
        PDFFileURL::standardizedPath(QStringLiteral("sub/../x.pdf")), QDir::currentPath() + QStringLiteral("/x.pdf"));
}

void tst_PDFFileURL::storedPathKeepsEveryByte_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QString>("stored");
    // Regression: every name not UTF-8 below was stored as "/d/\ufffd.pdf", one entry for many files.
    QTest::newRow("stray byte FF") << QByteArray("/d/\xff.pdf") << QStringLiteral("file:///d/%FF.pdf");
    QTest::newRow("overlong slash") << QByteArray("/d/\xc0\xaf.pdf") << QStringLiteral("file:///d/%C0%AF.pdf");
    QTest::newRow("a real U+FFFD in the name") << QByteArray("/d/\xef\xbf\xbd.pdf") << QStringLiteral("/d/\ufffd.pdf");
    QTest::newRow("percent signs are plain text") << QByteArray("/d/%FF.pdf") << QStringLiteral("/d/%FF.pdf");
    QTest::newRow("UTF-8 as every earlier build stored it")
        << QByteArray("/图纸/A-101 总平面.pdf") << QStringLiteral("/图纸/A-101 总平面.pdf");
}

void tst_PDFFileURL::storedPathKeepsEveryByte()
{
    QFETCH(QByteArray, path);
    QFETCH(QString, stored);
    const QByteArray standardized = PDFFileURL::nativePath(PDFFileURL::standardized(PDFFileURL::fromNativePath(path)));
    QCOMPARE(PDFFileURL::standardizedPath(PDFFileURL::fromNativePath(path)), stored);
    QCOMPARE(PDFFileURL::nativePathOfStoredPath(stored), standardized);
    QCOMPARE(PDFFileURL::standardizedPath(stored), stored);
}

void tst_PDFFileURL::fromArgument_data()
{
    QTest::addColumn<QByteArray>("argument");
    QTest::addColumn<QUrl>("expected");
    // Relative to the working directory "/w\xfe", itself not UTF-8.
    QTest::newRow("relative, dot-dot kept") << QByteArray("../A.pdf") << PDFFileURL::fromNativePath("/w\xfe/../A.pdf");
    // Shells hand over unescaped bytes; they must not be decoded as text on the way in.
    QTest::newRow("file URL with raw bytes, on localhost") << QByteArray("file://localhost/x/\xff \xe6\x80\xbb.pdf")
                                                           << PDFFileURL::fromNativePath("/x/\xff \xe6\x80\xbb.pdf");
}

void tst_PDFFileURL::fromArgument()
{
    QFETCH(QByteArray, argument);
    QFETCH(QUrl, expected);
    QCOMPARE(PDFFileURL::fromArgument(argument, "/w\xfe"), expected);
}

QTEST_GUILESS_MAIN(tst_PDFFileURL)
#include "tst_PDFFileURL.moc"
