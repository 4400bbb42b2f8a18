#include "BlueprintPDFView.h"
#include "FakePlatformServices.h"
#include "PDFFileURL.h"
#include "PDFViewerModel.h"
#include "TestPDFs.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <optional>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kMissing = QStringLiteral("文件已经移动或删除。");
const QString kUnreadable = QStringLiteral("这个 PDF 无法读取，可能已损坏。");

// The page stored for `key` as another process would read it: from the file's bytes on disk,
// not from this process's settings cache.
std::optional<int> pageOnDisk(const QString &settingsFile, const QString &key)
{
    QTemporaryDir copyDir;
    const QString copy = copyDir.filePath(QStringLiteral("copy.ini"));
    if (!QFile::copy(settingsFile, copy))
        return std::nullopt;
    const QSettings settings(copy, QSettings::IniFormat);
    const auto ledger
        = ReadingPositionLedger::decode(settings.value(QStringLiteral("readingPositionsV1")).toByteArray());
    if (!ledger || !ledger->pageIndexByPath.contains(key))
        return std::nullopt;
    return ledger->pageIndexByPath.value(key);
}

// Changes with every write: a replacement gives the file a new inode, and any write a new
// modification time (nanoseconds).
QByteArray fileVersion(const QString &path)
{
    struct stat status { };
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return {};
    return QByteArray::number(quint64(status.st_ino)) + ' ' + QByteArray::number(qint64(status.st_mtim.tv_sec)) + '.'
        + QByteArray::number(qint64(status.st_mtim.tv_nsec));
}

} // namespace

class tst_PDFViewerModel : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void namesNotUTF8AreTheirOwnDocuments();
    void vanishedFileLeavesTheRecentList();
    void recentListKeepsTen();
    void corruptStoredValuesReadAsEmpty();
    void reopenRestoresTheClampedReadingPosition();
    void openingAnotherDocumentStoresThePageOfTheFirst();
    void pageChangesAreRecordedOnlyAfterOpenFinished();
    void pageTurnsAreWrittenOnceThePagesRest();
    void quitWritesTheUnwrittenPage();
    void renamedFileIsFoundThroughItsBookmark();
    void renamedFileThatFailsToOpenKeepsItsEntry();
    void closeShowsTheEmptyState();
    void openDialogStartsWhereTheUserWorks();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QUrl url(const QString &name) const { return QUrl::fromLocalFile(path(name)); }
    std::unique_ptr<PDFViewerModel> makeModel();
    QString storedPathKey(const QString &name) const { return PDFFileURL::standardizedPath(url(name)); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QSettings> m_settings;
    FakePlatformServices m_platform;
};

void tst_PDFViewerModel::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_settings = std::make_unique<QSettings>(m_dir->filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    m_platform = FakePlatformServices();
    QVERIFY(TestPDFs::writePlain(path(QStringLiteral("A.pdf")), 12));
    QVERIFY(TestPDFs::writePlain(path(QStringLiteral("B.pdf")), 3));
}

void tst_PDFViewerModel::cleanup()
{
    m_settings.reset();
    m_dir.reset();
}

std::unique_ptr<PDFViewerModel> tst_PDFViewerModel::makeModel()
{
    auto model = std::make_unique<PDFViewerModel>(m_settings.get(), &m_platform);
    model->pdfView()->resize(800, 600);
    return model;
}

// Regression: these three names were one recent entry and one reading position,
// "\ufffd.pdf"; and when the entry of a vanished one was retried under that text, its
// failure dropped the entry of the file really named so.
void tst_PDFViewerModel::namesNotUTF8AreTheirOwnDocuments()
{
    const QByteArray folder = QFile::encodeName(m_dir->path());
    const QByteArrayList files {folder + "/\xef\xbf\xbd.pdf", folder + "/\xff.pdf", folder + "/\xfe.pdf"};
    const auto remove = qScopeGuard([&] {
        for (const QByteArray &file : files)
            ::unlink(file.constData());
    });
    auto model = makeModel();
    for (int i = 0; i < files.size(); ++i) {
        QVERIFY(TestPDFs::writePlainNative(files[i], 4));
        model->open(PDFFileURL::fromNativePath(files[i]));
        model->viewport()->goToPageIndex(i + 1);
        QCoreApplication::processEvents();
    }
    QCOMPARE(model->recentDocuments().size(), 3);
    for (int i = 0; i < files.size(); ++i) {
        model->open(PDFFileURL::fromNativePath(files[i]));
        QCOMPARE(model->pageIndex(), i + 1);
    }

    const RecentPDFDocument stray = model->recentDocuments().at(1); // "\xff.pdf"
    QCOMPARE(PDFFileURL::nativePathOfStoredPath(stray.path), files[1]);
    QCOMPARE(::unlink(files[1].constData()), 0);
    model->openRecentDocument(stray);
    QCOMPARE(model->errorText(), kMissing);
    const auto recent = model->recentDocuments();
    QCOMPARE(recent.size(), 2);
    QCOMPARE(PDFFileURL::nativePathOfStoredPath(recent[0].path), files[2]);
    QCOMPARE(PDFFileURL::nativePathOfStoredPath(recent[1].path), files[0]);
}

void tst_PDFViewerModel::vanishedFileLeavesTheRecentList()
{
    auto model = makeModel();
    model->open(url(QStringLiteral("B.pdf")));
    model->open(url(QStringLiteral("A.pdf")));
    QCOMPARE(model->recentDocuments().size(), 2);
    QVERIFY(QFile::remove(path(QStringLiteral("B.pdf"))));

    model->open(url(QStringLiteral("B.pdf")));
    QCOMPARE(model->errorText(), kMissing);
    QCOMPARE(m_platform.beeps, 1);
    QCOMPARE(model->recentDocuments().size(), 1);
    QCOMPARE(model->recentDocuments().first().path, storedPathKey(QStringLiteral("A.pdf")));
    // The shortened list was saved at once.
    auto restarted = makeModel();
    QCOMPARE(restarted->recentDocuments(), model->recentDocuments());
}

// Ten entries at most, whether loaded from a longer list another build wrote or grown by opening.
void tst_PDFViewerModel::recentListKeepsTen()
{
    QList<RecentPDFDocument> fifteen;
    for (int i = 0; i < 15; ++i)
        fifteen.append({QStringLiteral("/x/%1.pdf").arg(i), QString::number(i), QDateTime::currentDateTimeUtc(), {}});
    m_settings->setValue(QStringLiteral("recentDocumentsV1"), RecentPDFDocument::encodeList(fifteen));
    auto model = makeModel();
    QCOMPARE(model->recentDocuments(), fifteen.mid(0, 10));
    model->open(url(QStringLiteral("A.pdf")));
    QCOMPARE(model->recentDocuments().size(), 10);
    QCOMPARE(model->recentDocuments().first().displayName, QStringLiteral("A"));
    QCOMPARE(makeModel()->recentDocuments(), model->recentDocuments());
}

void tst_PDFViewerModel::corruptStoredValuesReadAsEmpty()
{
    m_settings->setValue(QStringLiteral("recentDocumentsV1"), QByteArrayLiteral("{not json"));
    m_settings->setValue(QStringLiteral("readingPositionsV1"), QByteArrayLiteral("[1, 2"));
    auto model = makeModel();
    QVERIFY(model->recentDocuments().isEmpty());
    QVERIFY(model->readingPositions().pageIndexByPath.isEmpty());
    QCOMPARE(model->statusText(), PDFViewerModel::emptyStatusText);
    QCOMPARE(m_platform.beeps, 0);

    // The first recorded page replaces the corrupt ledger by one holding only this document.
    model->open(url(QStringLiteral("A.pdf")));
    model->viewport()->goToPageIndex(2);
    QCoreApplication::processEvents();
    model->closeDocument();
    const auto ledger
        = ReadingPositionLedger::decode(m_settings->value(QStringLiteral("readingPositionsV1")).toByteArray());
    QVERIFY(ledger.has_value());
    QCOMPARE(ledger->pageIndexByPath.size(), 1);
    QCOMPARE(ledger->pageIndexByPath.value(storedPathKey(QStringLiteral("A.pdf"))), 2);
}

void tst_PDFViewerModel::reopenRestoresTheClampedReadingPosition()
{
    auto model = makeModel();
    model->open(url(QStringLiteral("A.pdf")));
    QCOMPARE(model->pageIndex(), 0); // never opened before
    model->viewport()->goToPageIndex(6);
    QCoreApplication::processEvents();
    model->closeDocument();
    model->open(url(QStringLiteral("A.pdf")));
    QCOMPARE(model->pageIndex(), 6);
    QCOMPARE(model->viewport()->currentPageIndex(), 6);

    // Stored beyond the end of a document that lost pages: the last page.
    model->closeDocument();
    ReadingPositionLedger ledger;
    ledger.pageIndexByPath.insert(storedPathKey(QStringLiteral("A.pdf")), 40);
    ledger.pageIndexByPath.insert(storedPathKey(QStringLiteral("B.pdf")), -3);
    m_settings->setValue(QStringLiteral("readingPositionsV1"), ledger.encode());
    model->open(url(QStringLiteral("A.pdf")));
    QCOMPARE(model->pageIndex(), 11);
    model->open(url(QStringLiteral("B.pdf")));
    QCOMPARE(model->pageIndex(), 0);
    QCOMPARE(model->readingPositions().pageIndexByPath.value(storedPathKey(QStringLiteral("B.pdf"))), 0);
}

void tst_PDFViewerModel::openingAnotherDocumentStoresThePageOfTheFirst()
{
    auto model = makeModel();
    model->open(url(QStringLiteral("A.pdf")));
    QCoreApplication::processEvents();
    // The page moves but its notification has not been handled yet when B opens.
    model->viewport()->goToPageIndex(5);
    model->open(url(QStringLiteral("B.pdf")));
    QCOMPARE(model->readingPositions().pageIndexByPath.value(storedPathKey(QStringLiteral("A.pdf"))), 5);
    QCOMPARE(model->pageIndex(), 0);
    QCOMPARE(model->pageCount(), 3);
}

void tst_PDFViewerModel::pageChangesAreRecordedOnlyAfterOpenFinished()
{
    // Regression: handing the new document to the canvas announces page 0 while open() still
    // has to restore the stored page; recording it there would overwrite the stored position.
    ReadingPositionLedger ledger;
    ledger.pageIndexByPath.insert(storedPathKey(QStringLiteral("A.pdf")), 7);
    m_settings->setValue(QStringLiteral("readingPositionsV1"), ledger.encode());
    auto model = makeModel();
    model->open(url(QStringLiteral("A.pdf")));
    QCoreApplication::processEvents();
    QCOMPARE(model->pageIndex(), 7);
    QCOMPARE(model->readingPositions().pageIndexByPath.value(storedPathKey(QStringLiteral("A.pdf"))), 7);
}

// Regression: every page turn rewrote the whole settings file on the UI thread.
void tst_PDFViewerModel::pageTurnsAreWrittenOnceThePagesRest()
{
    const QString file = m_settings->fileName();
    const QString key = storedPathKey(QStringLiteral("A.pdf"));
    auto model = makeModel();
    model->open(url(QStringLiteral("A.pdf")));
    const QByteArray opened = fileVersion(file);
    for (int page = 1; page <= 8; ++page) {
        model->viewport()->goToPageIndex(page);
        QCoreApplication::processEvents();
        QCOMPARE(model->readingPositions().pageIndexByPath.value(key), page);
    }
    QTest::qWait(model->readingPositionSaveDelay() / 2);
    QCOMPARE(fileVersion(file), opened);
    QCOMPARE(pageOnDisk(file, key), std::nullopt);

    QTRY_COMPARE(pageOnDisk(file, key), std::optional(8));
    const QByteArray written = fileVersion(file);
    QTest::qWait(model->readingPositionSaveDelay() * 3 / 2);
    QCOMPARE(fileVersion(file), written);
}

void tst_PDFViewerModel::quitWritesTheUnwrittenPage()
{
    const QString file = m_settings->fileName();
    const QString key = storedPathKey(QStringLiteral("A.pdf"));
    auto model = makeModel();
    model->setReadingPositionSaveDelay(3600 * 1000); // only the quit writes
    model->open(url(QStringLiteral("A.pdf")));
    model->viewport()->goToPageIndex(5);
    QCoreApplication::processEvents();
    QCOMPARE(pageOnDisk(file, key), std::nullopt);

    QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
    QCoreApplication::exec();
    QCOMPARE(pageOnDisk(file, key), std::optional(5));
    QCOMPARE(model->readingPositions().pageIndexByPath.value(key), 5);
}

void tst_PDFViewerModel::renamedFileIsFoundThroughItsBookmark()
{
    auto model = makeModel();
    model->open(url(QStringLiteral("A.pdf")));
    model->open(url(QStringLiteral("B.pdf")));
    const RecentPDFDocument entryA = model->recentDocuments().at(1);
    QCOMPARE(entryA.displayName, QStringLiteral("A"));
    QVERIFY(QFile::rename(path(QStringLiteral("A.pdf")), path(QStringLiteral("A renamed.pdf"))));

    // Found under its new name: one entry for it, under that name, and saved so.
    model->openRecentDocument(entryA);
    QVERIFY2(!model->hasError(), qPrintable(model->errorText()));
    QCOMPARE(model->documentTitle(), QStringLiteral("A renamed"));
    const auto recent = model->recentDocuments();
    QCOMPARE(recent.size(), 2);
    QCOMPARE(recent.first().path, storedPathKey(QStringLiteral("A renamed.pdf")));
    QCOMPARE(recent.last().path, storedPathKey(QStringLiteral("B.pdf")));
    QCOMPARE(makeModel()->recentDocuments(), recent);

    // Without a usable bookmark the stored path is tried, and a vanished file leaves the list.
    RecentPDFDocument noBookmark = recent.last();
    noBookmark.bookmarkData = QByteArrayLiteral("junk");
    QVERIFY(QFile::remove(path(QStringLiteral("B.pdf"))));
    model->openRecentDocument(noBookmark);
    QCOMPARE(model->errorText(), kMissing);
    QCOMPARE(model->recentDocuments().size(), 1);
}

// The entry under the old name goes only once the renamed file has opened.
void tst_PDFViewerModel::renamedFileThatFailsToOpenKeepsItsEntry()
{
    auto model = makeModel();
    model->open(url(QStringLiteral("A.pdf")));
    model->open(url(QStringLiteral("B.pdf")));
    const RecentPDFDocument entryA = model->recentDocuments().at(1);
    QVERIFY(QFile::rename(path(QStringLiteral("A.pdf")), path(QStringLiteral("A renamed.pdf"))));
    // Overwritten in place, so that the bookmark still finds it by its inode.
    QFile renamed(path(QStringLiteral("A renamed.pdf")));
    QVERIFY(renamed.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QVERIFY(renamed.write("not a PDF") > 0);
    renamed.close();

    const auto before = model->recentDocuments();
    model->openRecentDocument(entryA);
    QCOMPARE(model->errorText(), kUnreadable);
    QCOMPARE(model->documentTitle(), QStringLiteral("B"));
    QCOMPARE(model->recentDocuments(), before);
}

void tst_PDFViewerModel::closeShowsTheEmptyState()
{
    auto model = makeModel();
    model->open(url(QStringLiteral("nowhere.pdf")));
    model->open(url(QStringLiteral("A.pdf")));
    model->open(url(QStringLiteral("nowhere.pdf")));
    model->viewport()->goToPageIndex(3);
    QCoreApplication::processEvents();
    model->setSearchText(QStringLiteral("A-101"));

    model->closeDocument();
    QVERIFY(!model->viewport()->document());
    QVERIFY(model->viewport()->autoScales());
    QCOMPARE(model->documentTitle(), QStringLiteral("Plenvo"));
    QCOMPARE(model->zoomPercentage(), 100);
    QCOMPARE(model->pageCount(), 0);
    QCOMPARE(model->pageIndex(), 0);
    QVERIFY(model->fileURL().isEmpty());
    QCOMPARE(model->statusText(), QStringLiteral("拖入 PDF，或者点“打开”。"));
    QCOMPARE(model->errorText(), kMissing); // errors and the search text stay
    QCOMPARE(model->searchText(), QStringLiteral("A-101"));
    QCOMPARE(model->recentDocuments().size(), 1);
    QVERIFY(!model->isAccessingSecurityScopedURL());
    QCOMPARE(m_platform.accessStarted, m_platform.accessStopped);
    QCOMPARE(model->readingPositions().pageIndexByPath.value(storedPathKey(QStringLiteral("A.pdf"))), 3);

    // The canvas reports scale and page to the model as before, and the page is recorded.
    model->open(url(QStringLiteral("A.pdf")));
    model->viewport()->setScaleFactor(1.5);
    QCOMPARE(model->zoomPercentage(), 150);
    model->viewport()->goToPageIndex(8);
    QTRY_COMPARE(model->pageIndex(), 8);
    QTRY_COMPARE(model->readingPositions().pageIndexByPath.value(storedPathKey(QStringLiteral("A.pdf"))), 8);
}

// Only a confirmed file opens. The dialog starts in the open document's folder, else the folder
// of the most recent entry that still has one, else home; the recent list carries it across
// restarts.
void tst_PDFViewerModel::openDialogStartsWhereTheUserWorks()
{
    const auto folderURL = [this](const QString &name) { return QUrl::fromLocalFile(path(name)); };
    {
        auto model = makeModel();
        model->choosePDF();
        QCOMPARE(m_platform.lastDialogTitle, QStringLiteral("打开 PDF"));
        QCOMPARE(m_platform.lastDialogDirectory, QUrl::fromLocalFile(QDir::homePath()));
        QCOMPARE(model->statusText(), PDFViewerModel::emptyStatusText);
        QCOMPARE(m_platform.beeps, 0);
        m_platform.nextChosenFile = url(QStringLiteral("B.pdf"));
        model->choosePDF();
        QCOMPARE(model->documentTitle(), QStringLiteral("B"));
        m_platform.nextChosenFile = std::nullopt;
    }
    m_settings->clear();
    QDir root(m_dir->path());
    QVERIFY(root.mkdir(QStringLiteral("plans")) && root.mkdir(QStringLiteral("sections")));
    QVERIFY(TestPDFs::writePlain(path(QStringLiteral("plans/P.pdf")), 1));
    QVERIFY(TestPDFs::writePlain(path(QStringLiteral("sections/S.pdf")), 1));
    {
        auto model = makeModel();
        model->open(url(QStringLiteral("plans/P.pdf")));
        model->open(url(QStringLiteral("sections/S.pdf")));
        model->choosePDF();
        QCOMPARE(m_platform.lastDialogDirectory, folderURL(QStringLiteral("sections")));
        model->closeDocument();
        model->choosePDF();
        QCOMPARE(m_platform.lastDialogDirectory, folderURL(QStringLiteral("sections")));
    }
    auto restarted = makeModel();
    restarted->choosePDF();
    QCOMPARE(m_platform.lastDialogDirectory, folderURL(QStringLiteral("sections")));
    QVERIFY(QDir(path(QStringLiteral("sections"))).removeRecursively());
    restarted->choosePDF();
    QCOMPARE(m_platform.lastDialogDirectory, folderURL(QStringLiteral("plans")));
    QVERIFY(QDir(path(QStringLiteral("plans"))).removeRecursively());
    restarted->choosePDF();
    QCOMPARE(m_platform.lastDialogDirectory, QUrl::fromLocalFile(QDir::homePath()));
}

QTEST_MAIN(tst_PDFViewerModel)
#include "tst_PDFViewerModel.moc"
