#include "PDFDocument.h"
#include "TestPDFs.h"

#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

namespace {

// Everything a document emits about finding, in order, and whether all of it came on the
// recorder's (the test's) thread.
struct FindRecorder {
    explicit FindRecorder(PDFDocument *document)
    {
        QObject::connect(document, &PDFDocument::didBeginFind, &context, [this] { record(QStringLiteral("begin")); });
        QObject::connect(
            document, &PDFDocument::didFindMatch, &context, [this](PDFDocument *, const PDFSelection &selection) {
                matches.append(selection);
                record(QStringLiteral("match"));
            });
        QObject::connect(document, &PDFDocument::didEndFind, &context, [this] { record(QStringLiteral("end")); });
    }
    void record(const QString &event)
    {
        events.append(event);
        wrongThread = wrongThread || QThread::currentThread() != context.thread();
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

    void findsIgnoringCaseInPageOrder_data();
    void findsIgnoringCaseInPageOrder();
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
    std::shared_ptr<PDFDocument> m_words; // Latin and Chinese text under "Page n"
};

void tst_PDFFind::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(TestPDFs::writePlain(m_dir.filePath(QStringLiteral("words.pdf")), 5, QSizeF(400, 300),
        {QStringLiteral("North Gate"), QStringLiteral("SOUTH WALL"), QStringLiteral("wall north wall"),
            QStringLiteral("总平面图 立"), QStringLiteral("图纸目录")}));
    QVERIFY(TestPDFs::writePlain(m_dir.filePath(QStringLiteral("many.pdf")), 400, QSizeF(200, 200)));
    QVERIFY(TestPDFs::writeLocked(m_dir.filePath(QStringLiteral("locked.pdf"))));
    m_words = open(QStringLiteral("words.pdf"));
    QVERIFY(m_words);
}

void tst_PDFFind::findsIgnoringCaseInPageOrder_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("found"); // the matched text, as the pages show it
    QTest::addColumn<QList<int>>("pages");
    QTest::newRow("lower query, mixed text")
        << QStringLiteral("north") << QStringList {QStringLiteral("North"), QStringLiteral("north")}
        << QList<int> {0, 2};
    QTest::newRow("upper query, mixed text")
        << QStringLiteral("GATE") << QStringList {QStringLiteral("Gate")} << QList<int> {0};
    QTest::newRow("two words, upper text")
        << QStringLiteral("south Wall") << QStringList {QStringLiteral("SOUTH WALL")} << QList<int> {1};
    QTest::newRow("twice on one line") << QStringLiteral(
        "wall") << QStringList {QStringLiteral("WALL"), QStringLiteral("wall"), QStringLiteral("wall")}
                                       << QList<int> {1, 2, 2};
    QTest::newRow("Chinese word") << QStringLiteral("平面") << QStringList {QStringLiteral("平面")} << QList<int> {3};
    QTest::newRow("Chinese, then a space")
        << QStringLiteral("图 ") << QStringList {QStringLiteral("图 ")} << QList<int> {3};
    QTest::newRow("Chinese on two pages")
        << QStringLiteral("图") << QStringList {QStringLiteral("图"), QStringLiteral("图")} << QList<int> {3, 4};
    QTest::newRow("absent") << QStringLiteral("立面图") << QStringList {} << QList<int> {};
}

void tst_PDFFind::findsIgnoringCaseInPageOrder()
{
    QFETCH(QString, query);
    QFETCH(QStringList, found);
    QFETCH(QList<int>, pages);
    FindRecorder recorder(m_words.get());
    m_words->beginFindString(query);
    QVERIFY(m_words->isFinding());
    QVERIFY(recorder.events.isEmpty()); // nothing is emitted from inside beginFindString
    QTRY_VERIFY(recorder.ended());
    QVERIFY(!m_words->isFinding());
    QVERIFY(!recorder.wrongThread);
    QStringList expectedEvents(found.size(), QStringLiteral("match"));
    expectedEvents.prepend(QStringLiteral("begin"));
    QCOMPARE(recorder.events, expectedEvents << QStringLiteral("end"));
    for (int i = 0; i < found.size(); ++i) {
        const PDFSelection &match = recorder.matches[i];
        QCOMPARE(match.string, found[i]);
        QCOMPARE(match.pageIndex, pages[i]);
        // The text under "Page n" has its baseline 150 pt from the top, starting at x = 90.
        const QRectF bounds = match.bounds();
        QVERIFY(bounds.left() >= 89 && bounds.top() > 125 && bounds.bottom() < 160);
        // Hits on one line come left to right, each with its own rectangles.
        if (i > 0 && recorder.matches[i - 1].pageIndex == match.pageIndex)
            QVERIFY(recorder.matches[i - 1].bounds().right() < bounds.left());
    }
}

void tst_PDFFind::emptyQueryOrLockedFileFindsNothing()
{
    const auto locked = open(QStringLiteral("locked.pdf"));
    QVERIFY(locked);
    for (const auto &[document, query] : {std::pair {m_words, QString()}, std::pair {locked, QStringLiteral("page")}}) {
        FindRecorder recorder(document.get());
        document->beginFindString(query);
        QTRY_VERIFY(recorder.ended());
        QCOMPARE(recorder.events, (QStringList {QStringLiteral("begin"), QStringLiteral("end")}));
    }
}

void tst_PDFFind::cancelledFindIsSilentAfterCancel()
{
    const auto document = open(QStringLiteral("many.pdf"));
    QVERIFY(document);
    FindRecorder recorder(document.get());
    // Cancel from inside the first match: the worker has hits for later pages queued by then.
    QObject::connect(
        document.get(), &PDFDocument::didFindMatch, &recorder.context, [&] { document->cancelFindString(); });
    document->beginFindString(QStringLiteral("page"));
    QTRY_VERIFY(!recorder.matches.isEmpty());
    QVERIFY(!document->isFinding());
    QTest::qWait(200);
    QCOMPARE(recorder.events, (QStringList {QStringLiteral("begin"), QStringLiteral("match")}));
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
    QCOMPARE(recorder.events, (QStringList {QStringLiteral("begin"), QStringLiteral("match"), QStringLiteral("end")}));
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
        QThread::msleep(round); // lets the worker reach different pages before the end
        document.reset();
        QTest::qWait(20);
        QVERIFY(recorder.events.isEmpty());
    }
}

QTEST_GUILESS_MAIN(tst_PDFFind)
#include "tst_PDFFind.moc"
