#include "PDFDocument.h"
#include "PDFPage.h"
#include "TestPDFs.h"

#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

namespace {

// Everything a document emits about finding, in order (a hit as its text @ page index, then
// × its rectangles when more than one), and whether all of it came on the recorder's (the
// test's) thread.
struct FindRecorder {
    explicit FindRecorder(PDFDocument *document)
    {
        QObject::connect(document, &PDFDocument::didBeginFind, &context, [this] { record(QStringLiteral("begin")); });
        QObject::connect(
            document, &PDFDocument::didFindMatch, &context, [this](PDFDocument *, const PDFSelection &selection) {
                matches.append(selection);
                const qsizetype rects = selection.rects.size();
                record(selection.string + QLatin1Char('@') + QString::number(selection.pageIndex)
                    + (rects > 1 ? QStringLiteral("×%1").arg(rects) : QString()));
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
    std::shared_ptr<PDFDocument> m_wrapped; // lines of Chinese and Latin text, wrapped
    std::shared_ptr<PDFDocument> m_many; // "Page n" on 400 pages
};

void tst_PDFFind::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(TestPDFs::writePlain(m_dir.filePath(QStringLiteral("words.pdf")), 5, QSizeF(400, 300),
        {QStringLiteral("North Gate"), QStringLiteral("SOUTH WALL"), QStringLiteral("wall north wall"),
            QStringLiteral("总平面图 立"), QStringLiteral("图纸目录")}));
    QVERIFY(TestPDFs::writeLines(m_dir.filePath(QStringLiteral("wrapped.pdf")),
        {{QStringLiteral("本图为总平面图纸"), QStringLiteral("目录，说明："), QStringLiteral("本图尺寸以毫米计")},
            {QStringLiteral("NORTH GATE"), QStringLiteral("ÄRZTE WING"), QStringLiteral("wall")}}));
    QVERIFY(TestPDFs::writePlain(m_dir.filePath(QStringLiteral("many.pdf")), 400, QSizeF(200, 200)));
    m_words = open(QStringLiteral("words.pdf"));
    m_wrapped = open(QStringLiteral("wrapped.pdf"));
    m_many = open(QStringLiteral("many.pdf"));
    QVERIFY(m_words && m_wrapped && m_many);
}

void tst_PDFFind::findsIgnoringCaseInPageOrder_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("hits"); // the matched text as the pages show it, @ page index
    const auto row = [](const char *name, const char *file, const char *query, const char *hits) {
        QTest::newRow(name) << QString::fromLatin1(file) << QString::fromUtf8(query)
                            << QString::fromUtf8(hits).split(u';', Qt::SkipEmptyParts);
    };
    row("lower query, mixed text", "words", "north", "North@0;north@2");
    row("twice on one line", "words", "wall", "WALL@1;wall@2;wall@2");
    row("Chinese word", "words", "平面", "平面@3");
    row("empty query", "words", "", "");
    row("folding beyond ASCII, Latin break is a space", "wrapped", "gate ärzte", "GATE ÄRZTE@1×2");
    // Pages are searched side by side; hits still come in page order.
    row("many pages", "many", "page 39",
        "Page 39@38;Page 39@389;Page 39@390;Page 39@391;Page 39@392;Page 39@393;Page 39@394;Page 39@395;"
        "Page 39@396;Page 39@397;Page 39@398");
}

void tst_PDFFind::findsIgnoringCaseInPageOrder()
{
    QFETCH(QString, file);
    QFETCH(QString, query);
    QFETCH(QStringList, hits);
    PDFDocument *document = file == QLatin1String("words") ? m_words.get()
        : file == QLatin1String("wrapped")                 ? m_wrapped.get()
                                                           : m_many.get();
    FindRecorder recorder(document);
    document->beginFindString(query);
    QVERIFY(document->isFinding());
    QVERIFY(recorder.events.isEmpty()); // nothing is emitted from inside beginFindString
    QTRY_VERIFY(recorder.ended());
    QVERIFY(!document->isFinding());
    QVERIFY(!recorder.wrongThread);
    QCOMPARE(recorder.events, QStringList {QStringLiteral("begin")} + hits + QStringList {QStringLiteral("end")});
    for (int i = 0; i < recorder.matches.size(); ++i) {
        const PDFSelection &match = recorder.matches[i];
        const QRectF bounds = match.bounds();
        QVERIFY(QRectF(QPointF(), document->page(match.pageIndex)->pageSize()).contains(bounds));
        // The first text line has its baseline 150 pt from the top, starting at x = 90; a
        // wrapped hit has one rectangle on each line, the next a line (24 pt) lower.
        QVERIFY(file == QLatin1String("many") || (bounds.left() >= 89 && bounds.top() > 125));
        for (int r = 1; r < match.rects.size(); ++r)
            QVERIFY(qAbs(match.rects[r].center().y() - match.rects[r - 1].center().y() - 24) < 3);
        // Hits on one line come left to right, each with its own rectangles.
        if (i > 0 && recorder.matches[i - 1].pageIndex == match.pageIndex && match.rects.size() == 1)
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
