#include "PDFDocument.h"
#include "PDFDocumentBuilder.h"
#include "PDFPage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class tst_PDFDocumentBuilder : public QObject {
    Q_OBJECT

private slots:
    void latinText_data();
    void latinText();
    void cjkText_data();
    void cjkText();
    void rotateIsWrittenAsGiven();
    void saveReplacesFileWithoutLeftovers();
    void failedSaveLeavesNoFile();
};

void tst_PDFDocumentBuilder::latinText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("operand");
    QTest::newRow("plain") << QStringLiteral("Page 1") << QByteArray("(Page 1)");
    QTest::newRow("parentheses") << QStringLiteral("a (b) c") << QByteArray("(a \\(b\\) c)");
    QTest::newRow("backslash") << QStringLiteral("C:\\dwg") << QByteArray("(C:\\\\dwg)");
    QTest::newRow("line break") << QStringLiteral("a\nb") << QByteArray("(a\\nb)");
    QTest::newRow("Latin-1") << QStringLiteral("Maß") << QByteArray("(Ma\xdf)");
}

void tst_PDFDocumentBuilder::latinText()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, operand);
    QCOMPARE(PDFDocumentBuilder::latinText(text), operand);
}

void tst_PDFDocumentBuilder::cjkText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("operand");
    QTest::newRow("two characters") << QStringLiteral("中文") << QByteArray("<4E2D6587>");
    QTest::newRow("ASCII is padded") << QStringLiteral("A ") << QByteArray("<00410020>");
    QTest::newRow("surrogate pair") << QString::fromUcs4(U"\U00020000") << QByteArray("<D840DC00>");
    QTest::newRow("empty") << QString() << QByteArray("<>");
}

void tst_PDFDocumentBuilder::cjkText()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, operand);
    QCOMPARE(PDFDocumentBuilder::cjkText(text), operand);
}

void tst_PDFDocumentBuilder::rotateIsWrittenAsGiven()
{
    QTemporaryDir dir;
    PDFDocumentBuilder builder;
    for (const int rotate : {-90, 45, 450})
        builder.addPage(QSizeF(100, 200), {}, rotate);
    const QString file = dir.filePath(QStringLiteral("rotate.pdf"));
    QVERIFY(builder.save(file));
    QFile pdf(file);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    for (const QByteArray entry : {"/Rotate -90", "/Rotate 45", "/Rotate 450"})
        QVERIFY2(bytes.contains(entry), entry.constData());
}

void tst_PDFDocumentBuilder::saveReplacesFileWithoutLeftovers()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("drawing.pdf"));
    PDFDocumentBuilder one;
    one.addPage(QSizeF(100, 100));
    QVERIFY(one.save(file));
    PDFDocumentBuilder three;
    for (int i = 0; i < 3; ++i)
        three.addPage(QSizeF(100, 100));
    QVERIFY(three.save(file));

    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("drawing.pdf")});
    const auto document = PDFDocument::open(QFile::encodeName(file));
    QVERIFY(document);
    QCOMPARE(document->pageCount(), 3);
}

void tst_PDFDocumentBuilder::failedSaveLeavesNoFile()
{
    QTemporaryDir dir;
    PDFDocumentBuilder builder;
    builder.addPage(QSizeF(100, 100));
    QString message;
    QVERIFY(!builder.save(dir.filePath(QStringLiteral("missing/drawing.pdf")), &message));
    QVERIFY(!message.isEmpty());
    QVERIFY(!builder.save(QByteArray(), &message));
    // A directory in the way: the rename fails and the temporary file goes again.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("taken.pdf")));
    QVERIFY(!builder.save(dir.filePath(QStringLiteral("taken.pdf")), &message));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
}

QTEST_GUILESS_MAIN(tst_PDFDocumentBuilder)
#include "tst_PDFDocumentBuilder.moc"
