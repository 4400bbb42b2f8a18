#include "PDFDocument.h"
#include "PDFDocumentBuilder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class tst_PDFDocumentBuilder : public QObject {
    Q_OBJECT

private slots:
    void textOperands_data();
    void textOperands();
    void saveIsAllOrNothing();
};

void tst_PDFDocumentBuilder::textOperands_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("latin"); // null: not Latin-1
    QTest::addColumn<QByteArray>("cjk");
    QTest::newRow("parentheses") << QStringLiteral("(b)") << QByteArray("(\\(b\\))") << QByteArray("<002800620029>");
    QTest::newRow("backslash, line break")
        << QStringLiteral("\\\n") << QByteArray("(\\\\\\n)") << QByteArray("<005C000A>");
    QTest::newRow("Latin-1") << QStringLiteral("ß") << QByteArray("(\xdf)") << QByteArray("<00DF>");
    QTest::newRow("CJK") << QStringLiteral("中文") << QByteArray() << QByteArray("<4E2D6587>");
    QTest::newRow("surrogate pair") << QString::fromUcs4(U"\U00020000") << QByteArray() << QByteArray("<D840DC00>");
}

void tst_PDFDocumentBuilder::textOperands()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, latin);
    QFETCH(QByteArray, cjk);
    if (!latin.isNull())
        QCOMPARE(PDFDocumentBuilder::latinText(text), latin);
    QCOMPARE(PDFDocumentBuilder::cjkText(text), cjk);
}

void tst_PDFDocumentBuilder::saveIsAllOrNothing()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("drawing.pdf"));
    PDFDocumentBuilder builder;
    builder.addPage(QSizeF(100, 100));
    QVERIFY(builder.save(file));
    builder.addPage(QSizeF(100, 100));
    QVERIFY(builder.save(file)); // replaces the file
    const auto document = PDFDocument::open(QFile::encodeName(file));
    QVERIFY(document);
    QCOMPARE(document->pageCount(), 2);

    QString message;
    QVERIFY(!builder.save(dir.filePath(QStringLiteral("missing/drawing.pdf")), &message));
    QVERIFY(!message.isEmpty());
    // A directory in the way: the rename fails and the temporary file goes again.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("taken.pdf")));
    QVERIFY(!builder.save(dir.filePath(QStringLiteral("taken.pdf")), &message));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList {QStringLiteral("drawing.pdf")});
}

QTEST_GUILESS_MAIN(tst_PDFDocumentBuilder)
#include "tst_PDFDocumentBuilder.moc"
