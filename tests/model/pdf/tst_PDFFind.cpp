#include "PDFDocument.h"
#include "TestPDFs.h"

#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

namespace {

// Everything a document emits about finding, in order (a hit as its text @ page index), and
// whether all of it came on the recorder's (the test's) thread.
struct FindRecorder {
    explicit FindRecorder(PDFDocument *document)
    {
        QObject::connect(document, &PDFDocument::didBeginFind, &context, [this] { record(QStringLiteral("begin")); });
        QObject::connect(
            document, &PDFDocument::didFindMatch, &context, [this](PDFDocument *, const PDFSelection &selection) {
                matches.append(selection);
                record(selection.string + QLatin1Char('@') + QString::number(selection.pageIndex));
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
    void cancelledOrReplacedFindIsSilent();
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
    m_words = open(QStringLiteral("words.pdf"));
    QVERIFY(m_words);
}

void tst_PDFFind::findsIgnoringCaseInPageOrder_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("hits"); // the matched text as the pages show it, @ page index
    const auto row = [](const char *name, const char *query, const char *hits) {
        QTest::newRow(name) << QString::fromUtf8(query) << QString::fromUtf8(hits).split(u';', Qt::SkipEmptyParts);
    };
    row("lower query, mixed text", "north", "North@0;north@2");
    row("two words, upper text", "south Wall", "SOUTH WALL@1");
    row("twice on one line", "wall", "WALL@1;wall@2;wall@2");
    row("Chinese word", "平面", "平面@3");
    row("Chinese on two pages", "图", "图@3;图@4");
    row("absent", "立面图", "");
    row("empty query", "", "");
}

void tst_PDFFind::findsIgnoringCaseInPageOrder()
{
    QFETCH(QString, query);
    QFETCH(QStringList, hits);
    FindRecorder recorder(m_words.get());
    m_words->beginFindString(query);
    QVERIFY(m_words->isFinding());
    QVERIFY(recorder.events.isEmpty()); // nothing is emitted from inside beginFindString
    QTRY_VERIFY(recorder.ended());
    QVERIFY(!m_words->isFinding());
    QVERIFY(!recorder.wrongThread);
    QCOMPARE(recorder.events, QStringList {QStringLiteral("begin")} + hits + QStringList {QStringLiteral("end")});
    for (int i = 0; i < recorder.matches.size(); ++i) {
        // The text under "Page n" has its baseline 150 pt from the top, starting at x = 90.
        const QRectF bounds = recorder.matches[i].bounds();
        QVERIFY(bounds.left() >= 89 && bounds.top() > 125 && bounds.bottom() < 160);
        // Hits on one line come left to right, each with its own rectangles.
        if (i > 0 && recorder.matches[i - 1].pageIndex == recorder.matches[i].pageIndex)
            QVERIFY(recorder.matches[i - 1].bounds().right() < bounds.left());
    }
}

void tst_PDFFind::cancelledOrReplacedFindIsSilent()
{
    const auto document = open(QStringLiteral("many.pdf"));
    QVERIFY(document);
    FindRecorder recorder(document.get());
    // Cancel from inside the first match: the worker has hits for later pages queued by then.
    auto *canceller = new QObject;
    QObject::connect(document.get(), &PDFDocument::didFindMatch, canceller, [&] { document->cancelFindString(); });
    document->beginFindString(QStringLiteral("page"));
    QTRY_VERIFY(recorder.events.size() > 1);
    delete canceller;
    QVERIFY(!document->isFinding());
    QTest::qWait(200);
    QCOMPARE(recorder.events, (QStringList {QStringLiteral("begin"), QStringLiteral("Page@0")}));

    // A new find replaces a running one: only the second is heard of.
    recorder.events.clear();
    document->beginFindString(QStringLiteral("page"));
    document->beginFindString(QStringLiteral("page 399"));
    QTRY_VERIFY(recorder.ended());
    QTest::qWait(100);
    QCOMPARE(recorder.events,
        (QStringList {QStringLiteral("begin"), QStringLiteral("Page 399@398"), QStringLiteral("end")}));
}

// Regression: the worker outlived its document and posted hits to a freed object.
void tst_PDFFind::destroyingDocumentMidFindIsSafe()
{
    for (int round = 0; round < 5; ++round) {
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
