#include "PDFDocument.h"
#include "TestPDFs.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

namespace {

// Everything a document emits about finding, in order, and on which thread.
struct FindRecorder {
    explicit FindRecorder(PDFDocument *document)
    {
        QObject::connect(document, &PDFDocument::didBeginFind, &context, [this](PDFDocument *) {
            record(QStringLiteral("begin"));
        });
        QObject::connect(document, &PDFDocument::didFindMatch, &context,
                         [this](PDFDocument *, const PDFSelection &selection) {
                             matches.append(selection);
                             record(QStringLiteral("match"));
                         });
        QObject::connect(document, &PDFDocument::didEndFind, &context, [this](PDFDocument *) {
            record(QStringLiteral("end"));
        });
    }
    void record(const QString &event)
    {
        events.append(event);
        if (QThread::currentThread() != context.thread())
            wrongThread = true;
    }
    bool ended() const { return events.contains(QStringLiteral("end")); }

    QObject context;
    QStringList events;
    QVector<PDFSelection> matches;
    bool wrongThread = false;
};

} // namespace

class tst_PDFFind : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void findsLatinIgnoringCase_data();
    void findsLatinIgnoringCase();
    void findsChinese_data();
    void findsChinese();
    void reportsEveryHitInPageOrder();
    void signalsComeInOrderOnTheDocumentThread();
    void emptyQueryOrLockedFileFindsNothing();

    void cancelledFindIsSilentAfterCancel();
    void newFindReplacesRunningOne();
    void destroyingDocumentMidFindIsSafe();

private:
    std::shared_ptr<PDFDocument> open(const QString &name)
    {
        return PDFDocument::open(QFile::encodeName(m_dir.filePath(name)));
    }
    QTemporaryDir m_dir;
};

void tst_PDFFind::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(TestPDFs::writePlain(m_dir.filePath(QStringLiteral("words.pdf")), 3, QSizeF(400, 300),
                                 {QStringLiteral("North Gate"), QStringLiteral("SOUTH WALL"),
                                  QStringLiteral("wall north wall")}));
    QVERIFY(TestPDFs::writePlain(m_dir.filePath(QStringLiteral("chinese.pdf")), 2, QSizeF(400, 300),
                                 {QStringLiteral("总平面图 立"), QStringLiteral("图纸目录")}));
    QVERIFY(TestPDFs::writePlain(m_dir.filePath(QStringLiteral("many.pdf")), 400, QSizeF(200, 200)));
    QVERIFY(TestPDFs::writeLocked(m_dir.filePath(QStringLiteral("locked.pdf"))));
}

void tst_PDFFind::findsLatinIgnoringCase_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("found"); // the matched text, as the pages show it
    QTest::addColumn<QList<int>>("pages");
    QTest::newRow("lower query, mixed text") << QStringLiteral("north")
        << QStringList{QStringLiteral("North"), QStringLiteral("north")} << QList<int>{0, 2};
    QTest::newRow("upper query, mixed text") << QStringLiteral("GATE")
        << QStringList{QStringLiteral("Gate")} << QList<int>{0};
    QTest::newRow("mixed query, upper text") << QStringLiteral("South")
        << QStringList{QStringLiteral("SOUTH")} << QList<int>{1};
    QTest::newRow("two words") << QStringLiteral("south wall")
        << QStringList{QStringLiteral("SOUTH WALL")} << QList<int>{1};
    QTest::newRow("absent") << QStringLiteral("east") << QStringList{} << QList<int>{};
}

void tst_PDFFind::findsLatinIgnoringCase()
{
    QFETCH(QString, query);
    QFETCH(QStringList, found);
    QFETCH(QList<int>, pages);
    const auto document = open(QStringLiteral("words.pdf"));
    QVERIFY(document);
    FindRecorder recorder(document.get());
    document->beginFindString(query);
    QTRY_VERIFY(recorder.ended());
    QCOMPARE(recorder.matches.size(), found.size());
    for (int i = 0; i < found.size(); ++i) {
        QCOMPARE(recorder.matches[i].string, found[i]);
        QCOMPARE(recorder.matches[i].pageIndex, pages[i]);
        // The second line of text has its baseline 150 pt from the top, at x = 90.
        const QRectF bounds = recorder.matches[i].bounds();
        QVERIFY2(bounds.left() >= 89 && bounds.top() > 125 && bounds.bottom() < 160,
                 qPrintable(QStringLiteral("%1,%2 %3x%4").arg(bounds.left()).arg(bounds.top())
                                .arg(bounds.width()).arg(bounds.height())));
    }
}

void tst_PDFFind::findsChinese_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("word") << QStringLiteral("平面") << QStringList{QStringLiteral("平面")};
    QTest::newRow("on two pages") << QStringLiteral("图")
        << QStringList{QStringLiteral("图"), QStringLiteral("图")};
    QTest::newRow("across a space") << QStringLiteral("图 ") << QStringList{QStringLiteral("图 ")};
    QTest::newRow("absent") << QStringLiteral("立面图") << QStringList{};
}

void tst_PDFFind::findsChinese()
{
    QFETCH(QString, query);
    QFETCH(QStringList, found);
    const auto document = open(QStringLiteral("chinese.pdf"));
    QVERIFY(document);
    FindRecorder recorder(document.get());
    document->beginFindString(query);
    QTRY_VERIFY(recorder.ended());
    QStringList strings;
    for (const PDFSelection &match : recorder.matches) {
        strings.append(match.string);
        QVERIFY(!match.bounds().isEmpty());
    }
    QCOMPARE(strings, found);
}

void tst_PDFFind::reportsEveryHitInPageOrder()
{
    const auto document = open(QStringLiteral("words.pdf"));
    QVERIFY(document);
    FindRecorder recorder(document.get());
    document->beginFindString(QStringLiteral("wall"));
    QTRY_VERIFY(recorder.ended());
    QCOMPARE(recorder.matches.size(), 3);
    QCOMPARE(recorder.matches[0].pageIndex, 1);
    QCOMPARE(recorder.matches[1].pageIndex, 2);
    QCOMPARE(recorder.matches[2].pageIndex, 2);
    // Two hits on one line: reading order, and separate rectangles.
    QVERIFY(recorder.matches[1].bounds().right() < recorder.matches[2].bounds().left());

    FindRecorder pages(document.get());
    document->beginFindString(QStringLiteral("PAGE"));
    QTRY_VERIFY(pages.ended());
    QCOMPARE(pages.matches.size(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(pages.matches[i].pageIndex, i);
        QCOMPARE(pages.matches[i].string, QStringLiteral("Page"));
    }
}

void tst_PDFFind::signalsComeInOrderOnTheDocumentThread()
{
    const auto document = open(QStringLiteral("words.pdf"));
    QVERIFY(document);
    FindRecorder recorder(document.get());
    QVERIFY(!document->isFinding());
    document->beginFindString(QStringLiteral("north"));
    QVERIFY(document->isFinding());
    QVERIFY(recorder.events.isEmpty()); // nothing is emitted from inside beginFindString
    QTRY_VERIFY(recorder.ended());
    QVERIFY(!document->isFinding());
    QCOMPARE(recorder.events, (QStringList{QStringLiteral("begin"), QStringLiteral("match"),
                                           QStringLiteral("match"), QStringLiteral("end")}));
    QVERIFY(!recorder.wrongThread);
}

void tst_PDFFind::emptyQueryOrLockedFileFindsNothing()
{
    const auto words = open(QStringLiteral("words.pdf"));
    const auto locked = open(QStringLiteral("locked.pdf"));
    QVERIFY(words && locked);
    for (const auto &[document, query] :
         {std::pair{words, QString()}, std::pair{locked, QStringLiteral("page")}}) {
        FindRecorder recorder(document.get());
        document->beginFindString(query);
        QTRY_VERIFY(recorder.ended());
        QCOMPARE(recorder.events, (QStringList{QStringLiteral("begin"), QStringLiteral("end")}));
        QVERIFY(!document->isFinding());
    }
}

void tst_PDFFind::cancelledFindIsSilentAfterCancel()
{
    const auto document = open(QStringLiteral("many.pdf"));
    QVERIFY(document);
    FindRecorder recorder(document.get());
    // Cancel from inside the first match: the worker has hits for later pages queued by then.
    QObject::connect(document.get(), &PDFDocument::didFindMatch, &recorder.context,
                     [&] { document->cancelFindString(); });
    document->beginFindString(QStringLiteral("page"));
    QTRY_VERIFY(!recorder.matches.isEmpty());
    QVERIFY(!document->isFinding());
    const QStringList atCancel = recorder.events;
    QTest::qWait(200);
    QCOMPARE(recorder.events, atCancel);
    QCOMPARE(recorder.matches.size(), 1);
    QVERIFY(!recorder.ended());
}

void tst_PDFFind::newFindReplacesRunningOne()
{
    const auto document = open(QStringLiteral("many.pdf"));
    QVERIFY(document);
    FindRecorder recorder(document.get());
    document->beginFindString(QStringLiteral("page"));
    document->beginFindString(QStringLiteral("page 399"));
    QTRY_VERIFY(recorder.ended());
    QTest::qWait(100);
    // Only the second find is heard of: one begin, its single hit, one end.
    QCOMPARE(recorder.events, (QStringList{QStringLiteral("begin"), QStringLiteral("match"),
                                           QStringLiteral("end")}));
    QCOMPARE(recorder.matches[0].pageIndex, 398);
    QCOMPARE(recorder.matches[0].string, QStringLiteral("Page 399"));
}

// Regression: the worker outlived its document and posted hits to a freed object.
void tst_PDFFind::destroyingDocumentMidFindIsSafe()
{
    for (int round = 0; round < 8; ++round) {
        auto document = open(QStringLiteral("many.pdf"));
        QVERIFY(document);
        FindRecorder recorder(document.get());
        document->beginFindString(QStringLiteral("page"));
        QThread::msleep(round); // lets the worker get to different pages before the end
        document.reset();
        QTest::qWait(20);
        QVERIFY(recorder.events.isEmpty());
    }
}

QTEST_GUILESS_MAIN(tst_PDFFind)
#include "tst_PDFFind.moc"
