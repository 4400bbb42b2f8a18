#include "HostilePDFs.h"
#include "PDFFileURL.h"
#include "ViewerModelFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

#include <unistd.h>

namespace {

const QString kMissing = QStringLiteral("文件已经移动或删除。");

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

// Changes with every write of the settings file (milliseconds; writes are a save delay apart).
QDateTime writtenAt(const QString &path)
{
    return QFileInfo(path).fileTime(QFileDevice::FileModificationTime);
}

} // namespace

// The model's memory across documents and restarts: recent list, reading positions, the open
// dialog's folder. Several models in one test share one settings file, as restarts do.
class tst_PDFViewerModel : public QObject {
    Q_OBJECT

private slots:
    void init();

    void namesNotUTF8AreTheirOwnDocuments();
    void recentListKeepsTenAndSurvivesCorruptValues();
    void readingPositionFollowsEachDocument();
    void pageTurnsAreWrittenOnceThePagesRestOrAtQuit();
    void layersAreRememberedPerDocument();
    void renamedFilesAreFoundThroughTheirBookmarks();
    void closeShowsTheEmptyState();
    void openDialogStartsWhereTheUserWorks();

private:
    QString path(const QString &name) const { return m_f->path(name); }
    QUrl url(const QString &name) const { return m_f->url(name); }
    // Another model over the same settings and desktop, as after a restart.
    std::unique_ptr<PDFViewerModel> makeModel()
    {
        auto model = std::make_unique<PDFViewerModel>(&m_f->settings, &m_f->platform);
        model->pdfView()->resize(800, 600);
        return model;
    }
    QString key(const QString &name) const { return PDFFileURL::standardizedPath(url(name)); }
    int storedPage(const PDFViewerModel &model, const QString &name) const
    {
        return model.readingPositions().pageIndexByPath.value(key(name), -1);
    }

    std::optional<ViewerModelFixture> m_f;
};

void tst_PDFViewerModel::init()
{
    m_f.emplace();
    m_f->model.reset(); // each test makes its own
    QVERIFY(TestPDFs::writePlain(path(QStringLiteral("A.pdf")), 12));
    QVERIFY(TestPDFs::writePlain(path(QStringLiteral("B.pdf")), 3));
}

// Regression: these three names were one recent entry and one reading position,
// "\ufffd.pdf"; and when the entry of a vanished one was retried under that text, its
// failure dropped the entry of the file really named so.
void tst_PDFViewerModel::namesNotUTF8AreTheirOwnDocuments()
{
    const QByteArray folder = QFile::encodeName(m_f->dir.path());
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
    // Vanished, it leaves the list, and the shorter list is saved at once.
    QCOMPARE(::unlink(files[1].constData()), 0);
    model->openRecentDocument(stray);
    QCOMPARE(model->errorText(), kMissing);
    QCOMPARE(m_f->platform.beeps, 1);
    const auto recent = model->recentDocuments();
    QCOMPARE(recent.size(), 2);
    QCOMPARE(PDFFileURL::nativePathOfStoredPath(recent[0].path), files[2]);
    QCOMPARE(PDFFileURL::nativePathOfStoredPath(recent[1].path), files[0]);
    QCOMPARE(makeModel()->recentDocuments(), recent);
}

// Ten entries at most, whether loaded from a longer list another build wrote or grown by
// opening; stored values that do not decode read as empty, and are replaced on the next write.
void tst_PDFViewerModel::recentListKeepsTenAndSurvivesCorruptValues()
{
    QList<RecentPDFDocument> fifteen;
    for (int i = 0; i < 15; ++i)
        fifteen.append({QStringLiteral("/x/%1.pdf").arg(i), QString::number(i), QDateTime::currentDateTimeUtc(), {}});
    m_f->settings.setValue(QStringLiteral("recentDocumentsV1"), RecentPDFDocument::encodeList(fifteen));
    m_f->settings.setValue(QStringLiteral("readingPositionsV1"), QByteArrayLiteral("[1, 2"));
    auto model = makeModel();
    QCOMPARE(model->recentDocuments(), fifteen.mid(0, 10));
    QVERIFY(model->readingPositions().pageIndexByPath.isEmpty());
    model->open(url(QStringLiteral("A.pdf")));
    QCOMPARE(model->recentDocuments().size(), 10);
    QCOMPARE(model->recentDocuments().first().displayName, QStringLiteral("A"));
    QCOMPARE(makeModel()->recentDocuments(), model->recentDocuments());
    model->viewport()->goToPageIndex(2);
    QCoreApplication::processEvents();
    model->closeDocument();
    QCOMPARE(makeModel()->readingPositions().pageIndexByPath, (QMap<QString, int> {{key(QStringLiteral("A.pdf")), 2}}));

    m_f->settings.setValue(QStringLiteral("recentDocumentsV1"), QByteArrayLiteral("{not json"));
    model = makeModel();
    QVERIFY(model->recentDocuments().isEmpty());
    QCOMPARE(model->statusText(), PDFViewerModel::emptyStatusText);
    QCOMPARE(m_f->platform.beeps, 0);
}

void tst_PDFViewerModel::readingPositionFollowsEachDocument()
{
    const QString a = QStringLiteral("A.pdf");
    const QString b = QStringLiteral("B.pdf");
    auto model = makeModel();
    model->open(url(a));
    QCOMPARE(model->pageIndex(), 0); // never opened before
    QCoreApplication::processEvents();
    // The page moves but its notification has not been handled yet when B opens.
    model->viewport()->goToPageIndex(5);
    model->open(url(b));
    QCOMPARE(storedPage(*model, a), 5);
    QCOMPARE(model->pageIndex(), 0);

    // Regression: handing the document to the canvas announces page 0 while open() still has
    // to restore the stored page; recording it there overwrote the stored position.
    model->open(url(a));
    QCoreApplication::processEvents();
    QCOMPARE(model->pageIndex(), 5);
    QCOMPARE(storedPage(*model, a), 5);

    // Stored beyond the end of a document that lost pages: the last page; below zero: the first.
    model->closeDocument();
    ReadingPositionLedger ledger;
    ledger.pageIndexByPath.insert(key(a), 40);
    ledger.pageIndexByPath.insert(key(b), -3);
    m_f->settings.setValue(QStringLiteral("readingPositionsV1"), ledger.encode());
    model = makeModel();
    model->open(url(a));
    QCOMPARE(model->pageIndex(), 11);
    model->open(url(b));
    QCOMPARE(model->pageIndex(), 0);
    QCOMPARE(storedPage(*model, b), 0);
}

void tst_PDFViewerModel::layersAreRememberedPerDocument()
{
    const QString layered = QStringLiteral("L.pdf");
    const QStringList names {QStringLiteral("轴网"), QStringLiteral("墙体"), QStringLiteral("标注"),
        QStringLiteral("甲"), QStringLiteral("乙")};
    QVERIFY(TestPDFs::writeLayered(path(layered), names));
    const auto shown = [](PDFViewerModel &model) {
        QString flags;
        for (const PDFLayer &layer : model.layers()->layers())
            flags += layer.visible ? QLatin1Char('x') : QLatin1Char('.');
        return flags;
    };
    auto model = makeModel();
    model->open(url(layered));
    model->layers()->setVisible(0, false);
    model->layers()->setVisible(4, true); // its radio group's other layer goes
    QCOMPARE(shown(*model), QStringLiteral(".x..x"));
    model->open(url(QStringLiteral("A.pdf")));
    QCOMPARE(shown(*model), QString());
    model->open(url(layered));
    QCOMPARE(shown(*model), QStringLiteral(".x..x"));

    // After a restart too; an entry whose name no longer matches its row is left alone.
    model.reset();
    ReadingPositionLedger ledger
        = *ReadingPositionLedger::decode(m_f->settings.value(QStringLiteral("readingPositionsV1")).toByteArray());
    ledger.layersByPath[key(layered)][1].name = QStringLiteral("门窗");
    ledger.layersByPath[key(layered)][1].visible = false;
    m_f->settings.setValue(QStringLiteral("readingPositionsV1"), ledger.encode());
    model = makeModel();
    model->open(url(layered));
    QCOMPARE(shown(*model), QStringLiteral(".x..x"));
}

// Regression: every page turn rewrote the whole settings file on the UI thread. The page not
// written yet is written when the application quits.
void tst_PDFViewerModel::pageTurnsAreWrittenOnceThePagesRestOrAtQuit()
{
    const QString file = m_f->settings.fileName();
    const QString a = key(QStringLiteral("A.pdf"));
    auto model = makeModel();
    model->open(url(QStringLiteral("A.pdf")));
    const QDateTime opened = writtenAt(file);
    for (int page = 1; page <= 8; ++page) {
        model->viewport()->goToPageIndex(page);
        QCoreApplication::processEvents();
        QCOMPARE(model->readingPositions().pageIndexByPath.value(a), page);
    }
    QTest::qWait(model->readingPositionSaveDelay() / 2);
    QCOMPARE(writtenAt(file), opened);
    QCOMPARE(pageOnDisk(file, a), std::nullopt);
    QTRY_COMPARE(pageOnDisk(file, a), std::optional(8));
    const QDateTime written = writtenAt(file);
    QTest::qWait(model->readingPositionSaveDelay() * 3 / 2);
    QCOMPARE(writtenAt(file), written);

    model->setReadingPositionSaveDelay(3600 * 1000); // only the quit writes
    model->viewport()->goToPageIndex(5);
    QCoreApplication::processEvents();
    QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
    QCoreApplication::exec();
    QCOMPARE(pageOnDisk(file, a), std::optional(5));
}

// A renamed file is found through its bookmark and its entry moves to the new name, but only
// once it has opened.
void tst_PDFViewerModel::renamedFilesAreFoundThroughTheirBookmarks()
{
    QVERIFY(TestPDFs::writePlain(path(QStringLiteral("C.pdf")), 2));
    auto model = makeModel();
    for (const char *name : {"A.pdf", "C.pdf", "B.pdf"})
        model->open(url(QString::fromLatin1(name)));
    const RecentPDFDocument entryA = model->recentDocuments().at(2);
    const RecentPDFDocument entryC = model->recentDocuments().at(1);
    QVERIFY(QFile::rename(path(QStringLiteral("A.pdf")), path(QStringLiteral("A renamed.pdf"))));
    QVERIFY(QFile::rename(path(QStringLiteral("C.pdf")), path(QStringLiteral("C renamed.pdf"))));
    // Overwritten in place, so that the bookmark still finds it by its inode.
    QVERIFY(HostilePDFs::write(path(QStringLiteral("C renamed.pdf")), "not a PDF"));

    const auto before = model->recentDocuments();
    model->openRecentDocument(entryC);
    QCOMPARE(model->errorText(), QStringLiteral("这个 PDF 无法读取，可能已损坏。"));
    QCOMPARE(model->documentTitle(), QStringLiteral("B"));
    QCOMPARE(model->recentDocuments(), before);

    model->openRecentDocument(entryA);
    QVERIFY2(!model->hasError(), qPrintable(model->errorText()));
    QCOMPARE(model->documentTitle(), QStringLiteral("A renamed"));
    const auto recent = model->recentDocuments();
    QCOMPARE(recent.size(), 3);
    QCOMPARE(recent.first().path, key(QStringLiteral("A renamed.pdf")));
    QCOMPARE(makeModel()->recentDocuments(), recent);
}

void tst_PDFViewerModel::closeShowsTheEmptyState()
{
    auto model = makeModel();
    model->open(url(QStringLiteral("A.pdf")));
    model->open(url(QStringLiteral("nowhere.pdf")));
    model->viewport()->goToPageIndex(3);
    QCoreApplication::processEvents();
    model->setSearchText(QStringLiteral("A-101"));

    model->closeDocument();
    QVERIFY(!model->viewport()->document());
    QCOMPARE(model->documentTitle(), QStringLiteral("Plenvo"));
    QCOMPARE(model->statusText(), PDFViewerModel::emptyStatusText);
    QCOMPARE(model->errorText(), kMissing); // errors and the search text stay
    QCOMPARE(model->searchText(), QStringLiteral("A-101"));
    QVERIFY(!model->isAccessingSecurityScopedURL());
    QCOMPARE(m_f->platform.accessStarted, m_f->platform.accessStopped);
    QCOMPARE(storedPage(*model, QStringLiteral("A.pdf")), 3);

    // The new canvas reports scale and page to the model as the old one did.
    model->open(url(QStringLiteral("A.pdf")));
    model->viewport()->setScaleFactor(1.5);
    QCOMPARE(model->zoomPercentage(), 150);
    model->viewport()->goToPageIndex(8);
    QTRY_COMPARE(storedPage(*model, QStringLiteral("A.pdf")), 8);
}

// Only a confirmed file opens. The dialog starts in the open document's folder, else the folder
// of the most recent entry that still has one, else home; the recent list carries it across
// restarts.
void tst_PDFViewerModel::openDialogStartsWhereTheUserWorks()
{
    const QUrl home = QUrl::fromLocalFile(QDir::homePath());
    QDir root(m_f->dir.path());
    QVERIFY(root.mkdir(QStringLiteral("plans")) && root.mkdir(QStringLiteral("sections")));
    QVERIFY(TestPDFs::writePlain(path(QStringLiteral("plans/P.pdf")), 1));
    QVERIFY(TestPDFs::writePlain(path(QStringLiteral("sections/S.pdf")), 1));
    auto model = makeModel();
    model->choosePDF();
    QCOMPARE(m_f->platform.lastDialogDirectory, home);
    QCOMPARE(model->statusText(), PDFViewerModel::emptyStatusText); // cancelled: nothing happens
    m_f->platform.nextChosenFile = url(QStringLiteral("plans/P.pdf"));
    model->choosePDF();
    QCOMPARE(model->documentTitle(), QStringLiteral("P"));
    m_f->platform.nextChosenFile = std::nullopt;
    model->open(url(QStringLiteral("sections/S.pdf")));
    model->choosePDF();
    QCOMPARE(m_f->platform.lastDialogDirectory, url(QStringLiteral("sections")));
    model->closeDocument();

    model = makeModel();
    model->choosePDF();
    QCOMPARE(m_f->platform.lastDialogDirectory, url(QStringLiteral("sections")));
    QVERIFY(QDir(path(QStringLiteral("sections"))).removeRecursively());
    model->choosePDF();
    QCOMPARE(m_f->platform.lastDialogDirectory, url(QStringLiteral("plans")));
    QVERIFY(QDir(path(QStringLiteral("plans"))).removeRecursively());
    model->choosePDF();
    QCOMPARE(m_f->platform.lastDialogDirectory, home);
}

QTEST_MAIN(tst_PDFViewerModel)
#include "tst_PDFViewerModel.moc"
