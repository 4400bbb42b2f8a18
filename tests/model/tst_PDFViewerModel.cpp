#include "HostilePDFs.h"
#include "PDFDocument.h"
#include "PDFFileURL.h"
#include "PDFPage.h"
#include "ViewerModelFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <functional>
#include <limits>
#include <optional>

#include <unistd.h>

namespace {

const QString kNotPDF = QStringLiteral("只能打开 PDF 文件。");
const QString kMissing = QStringLiteral("文件已经移动或删除。");
const QString kUnreadable = QStringLiteral("这个 PDF 无法读取，可能已损坏。");

using DisplayMode = PDFViewport::DisplayMode;
using Write = std::function<bool(const QString &path)>;

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

// The model's commands and its memory across documents and restarts. The commands: what open()
// refuses and in which order, pages, zoom, rotation, presentation and find, and what each does
// without a document. The memory: recent list, reading positions, the open dialog's folder;
// several models in one test share one settings file, as restarts do.
class tst_PDFViewerModel : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        f.emplace();
        QVERIFY(TestPDFs::writePlain(f->path(QStringLiteral("A.pdf")), 12));
        QVERIFY(TestPDFs::writePlain(f->path(QStringLiteral("B.pdf")), 3));
    }

    void failedOpenLeavesEverythingAsItWas_data();
    void failedOpenLeavesEverythingAsItWas();
    void checksRunInOrderAndOneDocumentHasOneName();
    void goToPageClampsAnyNumber();
    void zoomPercentageShowsTheScaleTheCanvasTook();
    void rotationTurnsAndResetsToTheFileRotation();
    void presentationSwitchesLayoutAndFullScreen();
    void fullScreenOnlyForTheActiveKeyWindow();
    void closeLeavesNothingToCommand();
    void searchProgressShowsTheFirstMatchAtOnce();
    void stepsWrapOverMatchesSoFarWhileRunning();
    void interruptedSearchLeavesNoTrace_data();
    void interruptedSearchLeavesNoTrace();
    void namesNotUTF8AreTheirOwnDocuments();
    void recentListKeepsTenAndSurvivesCorruptValues();
    void readingPositionFollowsEachDocument();
    void pageTurnsAreWrittenOnceThePagesRestOrAtQuit();
    void layersAreRememberedPerDocument();
    void renamedFilesAreFoundThroughTheirBookmarks();
    void openDialogStartsWhereTheUserWorks();

private:
    // Another model over the same settings and desktop, as after a restart.
    std::unique_ptr<PDFViewerModel> makeModel()
    {
        auto model = std::make_unique<PDFViewerModel>(&f->settings, &f->platform);
        model->pdfView()->resize(800, 600);
        return model;
    }
    QString key(const QString &name) const { return PDFFileURL::standardizedPath(f->url(name)); }
    int storedPage(const PDFViewerModel &model, const QString &name) const
    {
        return model.readingPositions().pageIndexByPath.value(key(name), -1);
    }

    PDFViewerModel *model() const { return f->model.get(); }
    PDFViewport *view() const { return f->model->viewport(); }
    void search(const QString &text)
    {
        model()->setSearchText(text);
        model()->performSearch();
    }
    // 400 small pages, each saying "page N": a find long enough to be interrupted.
    void openMany()
    {
        QVERIFY(TestPDFs::writePlain(f->path(QStringLiteral("many.pdf")), 400, QSizeF(200, 200)));
        model()->open(f->url(QStringLiteral("many.pdf")));
    }

    std::optional<ViewerModelFixture> f;
};

void tst_PDFViewerModel::failedOpenLeavesEverythingAsItWas_data()
{
    // How the engine takes damaged files, folders and images named .pdf: tst_PDFDocument.
    QTest::addColumn<QString>("name");
    QTest::addColumn<Write>("write");
    QTest::addColumn<QString>("message");
    const Write nothing = [](const QString &) { return true; };
    const Write onePage = [](const QString &path) { return TestPDFs::writePlain(path, 1); };
    QTest::newRow("pdf earlier in the name") << "plan.pdf.png" << onePage << kNotPDF;
    QTest::newRow("missing") << "nowhere.pdf" << nothing << kMissing;
    QTest::newRow("garbage") << "garbage.pdf" << Write([](const QString &path) {
        return HostilePDFs::write(path, QByteArray(8192, '\x17'));
    }) << kUnreadable;
    QTest::newRow("password") << "locked.pdf" << Write(TestPDFs::writeLocked)
                              << QStringLiteral("这个 PDF 受密码保护，当前版本暂不支持解锁。");
    QTest::newRow("no pages") << "empty.pdf" << Write(TestPDFs::writeNoPages)
                              << QStringLiteral("这个 PDF 没有可显示的页面。");
}

void tst_PDFViewerModel::failedOpenLeavesEverythingAsItWas()
{
    QFETCH(QString, name);
    QFETCH(Write, write);
    QFETCH(QString, message);
    QVERIFY(write(f->path(name)));
    QVERIFY(f->openPDF(QStringLiteral("A.pdf"), 12));
    view()->goToPageIndex(4);
    view()->setScaleFactor(2.0);
    QCoreApplication::processEvents();
    const auto document = model()->document();
    const QVariant storedRecent = f->settings.value(QStringLiteral("recentDocumentsV1"));
    const QVariant storedLedger = f->settings.value(QStringLiteral("readingPositionsV1"));

    model()->open(f->url(name));
    QCoreApplication::processEvents();
    QCOMPARE(model()->errorText(), message);
    QCOMPARE(f->platform.beeps, 1);
    QCOMPARE(model()->document(), document);
    QCOMPARE(model()->fileURL(), f->url(QStringLiteral("A.pdf")));
    QCOMPARE(model()->pageIndex(), 4);
    QCOMPARE(model()->zoomPercentage(), 200);
    QCOMPARE(f->settings.value(QStringLiteral("recentDocumentsV1")), storedRecent);
    QCOMPARE(f->settings.value(QStringLiteral("readingPositionsV1")), storedLedger);
    // Access to the refused file was given back; the open one is still held.
    QCOMPARE(f->platform.accessStarted, f->platform.accessStopped + 1);
    QCOMPARE(model()->securityScopedURL(), f->url(QStringLiteral("A.pdf")));
}

// Refusals come in order; an upper-case extension is a PDF's, and paths through "." and ".."
// name the one document they lead to.
void tst_PDFViewerModel::checksRunInOrderAndOneDocumentHasOneName()
{
    const QString name = QStringLiteral("A-101 总平面.PDF");
    QVERIFY(TestPDFs::writePlain(f->path(name), 5));
    QVERIFY(QDir(f->dir.path()).mkdir(QStringLiteral("sub")));
    // The extension is checked before existence, and existence before access is taken.
    model()->open(f->url(QStringLiteral("nowhere.png")));
    QCOMPARE(model()->errorText(), kNotPDF);
    model()->open(f->url(QStringLiteral("nowhere.pdf")));
    QCOMPARE(model()->errorText(), kMissing);
    QCOMPARE(f->platform.accessStarted, 0);

    // Success clears the error and fits the page.
    model()->open(QUrl::fromLocalFile(f->dir.path() + QStringLiteral("/sub/../") + name));
    QVERIFY(!model()->hasError());
    QCOMPARE(model()->statusText(), QStringLiteral("已打开 A-101 总平面"));
    QVERIFY(view()->autoScales());
    QCOMPARE(model()->documentTitle(), QStringLiteral("A-101 总平面"));
    QCOMPARE(model()->fileURL(), f->url(name));
    QCOMPARE(model()->pageCount(), 5);
    view()->goToPageIndex(3);
    QCoreApplication::processEvents();

    model()->open(QUrl::fromLocalFile(f->dir.path() + QStringLiteral("/./") + name));
    QCOMPARE(model()->pageIndex(), 3);
    QCOMPARE(model()->recentDocuments().size(), 1);
    QCOMPARE(model()->recentDocuments().first().path, PDFFileURL::standardizedPath(f->url(name)));
    QCOMPARE(f->platform.notedRecent.size(), 2);
}

// Any number, from page 5 of 12. Regression guards: narrowing n - 1 to int before clamping
// landed 2^32 + 2 and -2^32 + 7 on pages 2 and 7.
void tst_PDFViewerModel::goToPageClampsAnyNumber()
{
    QVERIFY(f->openPDF(QStringLiteral("A.pdf"), 12));
    const qint64 wide = qint64(1) << 32;
    const std::pair<qint64, int> numberToIndex[] = {{7, 6}, {std::numeric_limits<qint64>::min(), 0},
        {std::numeric_limits<qint64>::max(), 11}, {wide + 2, 11}, {-wide + 7, 0}};
    for (const auto &[number, index] : numberToIndex) {
        view()->goToPageIndex(4);
        model()->goToPage(number);
        QCOMPARE(view()->currentPageIndex(), index);
        QTRY_COMPARE(model()->pageIndex(), index);
    }
}

// As a wheel zoom or a fit would: the canvas changes its own scale and announces it; the
// percentage is rounded half away from zero. Zoom steps multiply the scale (the limits:
// tst_BlueprintPDFView) and end fitting.
void tst_PDFViewerModel::zoomPercentageShowsTheScaleTheCanvasTook()
{
    QVERIFY(TestPDFs::writePlain(f->path(QStringLiteral("A0.pdf")), 2, QSizeF(3370, 2384)));
    model()->open(f->url(QStringLiteral("A0.pdf")));
    for (const auto &[scale, percentage] : {std::pair {1.125, 113}, std::pair {0.125, 13}, std::pair {50.0, 800}}) {
        view()->setScaleFactor(scale);
        QTRY_COMPARE(model()->zoomPercentage(), percentage);
    }
    model()->fitPage();
    QVERIFY(view()->autoScales());
    QVERIFY(model()->zoomPercentage() < 50);
    model()->zoomIn();
    QVERIFY(!view()->autoScales());
    model()->actualSize();
    QCOMPARE(model()->zoomPercentage(), 100);
    model()->zoomIn();
    model()->zoomIn();
    QCOMPARE(model()->zoomPercentage(), 127);
}

void tst_PDFViewerModel::rotationTurnsAndResetsToTheFileRotation()
{
    QVERIFY(TestPDFs::writeRotated(f->path(QStringLiteral("R.pdf")), {0, 90, 270}));
    model()->open(f->url(QStringLiteral("R.pdf")));
    PDFPage *first = model()->document()->page(0);

    model()->rotateCurrentPageLeft();
    QCOMPARE(first->rotation(), 270);
    QCOMPARE(model()->statusText(), QStringLiteral("当前页已向左旋转 90°"));
    // Re-laid out: the page is shown landscape now.
    const QRectF shown = view()->pageRectInViewport(0);
    QVERIFY(shown.width() > shown.height());

    model()->goToPage(3); // stored at 270
    model()->rotateCurrentPageRight();
    QCOMPARE(model()->document()->page(2)->rotation(), 0);

    model()->goToPage(2); // stored at 90: reset returns there, not to 0
    model()->rotateCurrentPageRight();
    model()->rotateCurrentPageRight();
    QCOMPARE(model()->document()->page(1)->rotation(), 270);
    model()->resetCurrentPageRotation();
    QCOMPARE(model()->document()->page(1)->rotation(), 90);
    QCOMPARE(first->rotation(), 270);
}

// Presenting shows one fitted page without breaks and asks for full screen a turn later, once;
// leaving restores the reading layout and scale, and leaves full screen at once.
void tst_PDFViewerModel::presentationSwitchesLayoutAndFullScreen()
{
    QVERIFY(f->openPDF(QStringLiteral("A.pdf"), 8));
    QWidget *window = model()->pdfView()->window();
    f->platform.keyWindow = window;
    const qreal fitted = view()->scaleFactor();
    model()->zoomIn();
    model()->enterPresentationMode(true);
    QVERIFY(model()->isPresentationMode());
    QCOMPARE(view()->displayMode(), DisplayMode::SinglePage);
    QVERIFY(!view()->displaysPageBreaks());
    QVERIFY(view()->autoScales());
    QCOMPARE(model()->statusText(), QStringLiteral("投影模式"));
    QVERIFY(f->platform.toggledWindows.isEmpty()); // not from inside the command
    model()->enterPresentationMode(true); // again while presenting: no second toggle
    QTRY_COMPARE(f->platform.toggledWindows, QList<QWidget *> {window});
    QTest::qWait(50);
    QCOMPARE(f->platform.toggledWindows.size(), 1);

    model()->exitPresentationMode(true);
    QVERIFY(!f->platform.isFullScreen(window)); // at once, not a turn later
    QVERIFY(!model()->isPresentationMode());
    QCOMPARE(view()->displayMode(), DisplayMode::SinglePageContinuous);
    QVERIFY(view()->displaysPageBreaks());
    QCOMPARE(view()->scaleFactor(), fitted);

    // A window the user already took out of full screen is not toggled back in.
    model()->enterPresentationMode(false);
    model()->exitPresentationMode(true);
    QCOMPARE(f->platform.toggledWindows.size(), 2);
}

// Full screen is asked for only for the active key window, and not for a window gone before the
// deferred toggle runs (the toggle itself: presentationSwitchesLayoutAndFullScreen); the layout
// changes all the same.
void tst_PDFViewerModel::fullScreenOnlyForTheActiveKeyWindow()
{
    QVERIFY(f->openPDF(QStringLiteral("A.pdf"), 8));
    QWidget help;
    auto *frame = new QWidget;
    model()->pdfView()->setParent(frame);
    const auto presentAndLeave = [&] {
        model()->enterPresentationMode(true);
        QCOMPARE(view()->displayMode(), DisplayMode::SinglePage);
        QTest::qWait(50);
        model()->exitPresentationMode(false);
    };
    f->platform.keyWindow = frame;
    f->platform.applicationActive = false;
    presentAndLeave();
    f->platform.applicationActive = true;
    f->platform.keyWindow = &help;
    presentAndLeave();
    f->platform.keyWindow = frame;
    model()->enterPresentationMode(true);
    model()->pdfView()->setParent(nullptr);
    delete frame;
    QTest::qWait(50);
    QVERIFY(f->platform.toggledWindows.isEmpty());
}

// Closing shows the empty state but keeps the error and the query. Before any document and after
// a close (the canvas is new: nothing of the closed document can be turned, presented or
// searched) commands leave the empty status; the new canvas reports scale and page as the old
// one did.
void tst_PDFViewerModel::closeLeavesNothingToCommand()
{
    model()->setSearchText(QStringLiteral("A-101"));
    for (int round = 0; round < 2; ++round) {
        f->platform.keyWindow = model()->pdfView()->window();
        model()->goToPage(std::numeric_limits<qint64>::min());
        model()->rotateCurrentPageLeft();
        model()->resetCurrentPageRotation();
        model()->enterPresentationMode(true);
        QVERIFY(!model()->isPresentationMode());
        model()->exitPresentationMode(true);
        model()->performSearch();
        QVERIFY(!model()->isSearching());
        QCOMPARE(model()->statusText(), PDFViewerModel::emptyStatusText);
        QCOMPARE(model()->pageIndex(), 0);
        model()->open(f->url(QStringLiteral("A.pdf")));
        model()->open(f->url(QStringLiteral("nowhere.pdf")));
        view()->goToPageIndex(3);
        QCoreApplication::processEvents();
        model()->closeDocument();
    }
    QVERIFY(!view()->document());
    QCOMPARE(model()->documentTitle(), QStringLiteral("Plenvo"));
    QCOMPARE(model()->errorText(), kMissing);
    QCOMPARE(model()->searchText(), QStringLiteral("A-101"));
    QVERIFY(!model()->isAccessingSecurityScopedURL());
    QCOMPARE(f->platform.accessStarted, f->platform.accessStopped);
    QCOMPARE(storedPage(*model(), QStringLiteral("A.pdf")), 3);

    model()->open(f->url(QStringLiteral("A.pdf")));
    view()->setScaleFactor(1.5);
    QCOMPARE(model()->zoomPercentage(), 150);
    view()->goToPageIndex(8);
    QTRY_COMPARE(storedPage(*model(), QStringLiteral("A.pdf")), 8);
    // Closing while presenting ends presentation without touching full screen, and a root view
    // that restores the reading layout afterwards sees the empty state.
    f->platform.keyWindow = model()->pdfView()->window();
    model()->enterPresentationMode(false);
    model()->closeDocument();
    QVERIFY(!model()->isPresentationMode());
    model()->restoreReadingLayout();
    QCOMPARE(model()->statusText(), PDFViewerModel::emptyStatusText);
    QTest::qWait(50);
    QVERIFY(f->platform.toggledWindows.isEmpty());
    // Zoom still reports the scale the empty canvas really has.
    model()->zoomIn();
    QCOMPARE(model()->zoomPercentage(), int(std::lround(view()->scaleFactor() * 100)));
}

// A query with blanks around it, matched on pages 3 (twice), 4 and 5.
void tst_PDFViewerModel::searchProgressShowsTheFirstMatchAtOnce()
{
    QVERIFY(TestPDFs::writePlain(f->path(QStringLiteral("A.pdf")), 5, QSizeF(595, 842),
        {QStringLiteral("NORTH GATE"), QStringLiteral("总平面图"), QStringLiteral("A-101 A-101"),
            QStringLiteral("A-101"), QStringLiteral("Gate A-101")}));
    model()->open(f->url(QStringLiteral("A.pdf")));
    QStringList statuses;
    std::optional<PDFSelection> shownAtFirst;
    connect(model(), &PDFViewerModel::statusTextChanged, this, [&] {
        statuses.append(model()->statusText());
        if (model()->searchResultCount() == 1 && model()->isSearching() && !shownAtFirst)
            shownAtFirst = view()->currentSelection();
    });
    search(QStringLiteral(" A-101 \n"));
    QTRY_VERIFY(!model()->isSearching());
    QCOMPARE(model()->searchText(), QStringLiteral(" A-101 \n")); // never rewritten by the model
    QCOMPARE(statuses,
        (QStringList {QStringLiteral("正在搜索“A-101”…"), QStringLiteral("正在搜索“A-101” · 1 处"),
            QStringLiteral("正在搜索“A-101” · 2 处"), QStringLiteral("正在搜索“A-101” · 3 处"),
            QStringLiteral("正在搜索“A-101” · 4 处"), QStringLiteral("找到 4 处")}));
    // The first match was shown before the search ended, and the later ones did not move the view.
    QVERIFY(shownAtFirst.has_value());
    QCOMPARE(shownAtFirst->pageIndex, 2);
    QCOMPARE(view()->currentSelection(), shownAtFirst);
    QCOMPARE(view()->currentPageIndex(), 2);
    // A step shows its match (wrapping: stepsWrapOverMatchesSoFarWhileRunning).
    model()->selectPreviousSearchResult();
    QCOMPARE(model()->searchResultLabel(), QStringLiteral("4 / 4"));
    QCOMPARE(view()->currentPageIndex(), 4);

    // A blank query clears the matches but leaves the last status; a query without matches
    // says so.
    search(QStringLiteral("   "));
    QCOMPARE(model()->statusText(), QStringLiteral("找到 4 处"));
    QCOMPARE(model()->searchResultLabel(), QStringLiteral("0"));
    model()->selectNextSearchResult();
    QCOMPARE(model()->selectedSearchResult(), 0);
    QVERIFY(!view()->currentSelection());
    search(QStringLiteral("Z-999"));
    QTRY_VERIFY(!model()->isSearching());
    QCOMPARE(model()->statusText(), QStringLiteral("没有找到“Z-999”"));
}

void tst_PDFViewerModel::stepsWrapOverMatchesSoFarWhileRunning()
{
    openMany();
    QStringList labels;
    connect(model(), &PDFViewerModel::searchResultCountChanged, this, [&] {
        if (model()->searchResultCount() == 3 && model()->isSearching()) {
            model()->selectPreviousSearchResult();
            labels << model()->searchResultLabel();
            model()->selectNextSearchResult();
            labels << model()->searchResultLabel();
        }
    });
    search(QStringLiteral("page"));
    QTRY_VERIFY(!model()->isSearching());
    QCOMPARE(labels, (QStringList {QStringLiteral("3 / 3"), QStringLiteral("1 / 3")}));
    QCOMPARE(model()->searchResultLabel(), QStringLiteral("1 / 400"));
}

void tst_PDFViewerModel::interruptedSearchLeavesNoTrace_data()
{
    // A document to open, "close", a query to search, or nothing: the model goes.
    QTest::addColumn<QString>("then");
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("selectedPage"); // -1: nothing selected
    QTest::newRow("another document") << QStringLiteral("B.pdf") << QStringLiteral("已打开 B") << -1;
    QTest::newRow("closed") << QStringLiteral("close") << PDFViewerModel::emptyStatusText << -1;
    QTest::newRow("another query") << QStringLiteral("page 399") << QStringLiteral("找到 1 处") << 398;
    QTest::newRow("model gone") << QString() << QString() << -1;
}

// Regression: the end of a find cancelled by opening or closing a document, or by a new
// query, arrived later and replaced the status with "not found" or the old count. Nor may a
// find outlive the model that started it.
void tst_PDFViewerModel::interruptedSearchLeavesNoTrace()
{
    QFETCH(QString, then);
    QFETCH(QString, status);
    QFETCH(int, selectedPage);
    openMany();
    search(QStringLiteral("page"));
    QTRY_VERIFY(model()->searchResultCount() > 0);
    if (then.isEmpty()) {
        f->model.reset(); // the document goes with the canvas; its find must not outlive them
        QTest::qWait(100);
        return;
    }
    if (then == QLatin1String("close"))
        model()->closeDocument();
    else if (then.endsWith(QLatin1String(".pdf")))
        QVERIFY(f->openPDF(then, 2));
    else
        search(then);
    QTRY_VERIFY(!model()->isSearching());
    QTest::qWait(300);
    QCOMPARE(model()->statusText(), status);
    QCOMPARE(model()->searchResultCount(), selectedPage < 0 ? 0 : 1);
    const auto selection = view()->currentSelection();
    QCOMPARE(selection ? selection->pageIndex : -1, selectedPage);
}

// Regression: a name not UTF-8 and the name "\ufffd.pdf" were one recent entry, and the failure
// of the vanished one dropped the entry of the other. (Their keys: tst_Persistence.) A vanished
// file leaves the list, and the shorter list is saved at once.
void tst_PDFViewerModel::namesNotUTF8AreTheirOwnDocuments()
{
    const QByteArray folder = QFile::encodeName(f->dir.path());
    const QByteArray replacement = folder + "/\xef\xbf\xbd.pdf";
    const QByteArray stray = folder + "/\xff.pdf";
    const auto remove = qScopeGuard([&] { ::unlink(stray.constData()); });
    auto &model = f->model;
    for (const QByteArray &file : {replacement, stray}) {
        QVERIFY(TestPDFs::writePlainNative(file, 4));
        model->open(PDFFileURL::fromNativePath(file));
    }
    QCOMPARE(model->recentDocuments().size(), 2);
    QCOMPARE(::unlink(stray.constData()), 0);
    model->openRecentDocument(model->recentDocuments().first());
    QCOMPARE(model->errorText(), kMissing);
    const auto recent = model->recentDocuments();
    QCOMPARE(recent.size(), 1);
    QCOMPARE(PDFFileURL::nativePathOfStoredPath(recent[0].path), replacement);
    QCOMPARE(makeModel()->recentDocuments(), recent);
}

// Ten entries at most, whether loaded from a longer list another build wrote or grown by
// opening; stored values that do not decode read as empty, and are replaced on the next write.
void tst_PDFViewerModel::recentListKeepsTenAndSurvivesCorruptValues()
{
    QList<RecentPDFDocument> fifteen;
    for (int i = 0; i < 15; ++i)
        fifteen.append({QStringLiteral("/x/%1.pdf").arg(i), QString::number(i), QDateTime::currentDateTimeUtc(), {}});
    f->settings.setValue(QStringLiteral("recentDocumentsV1"), RecentPDFDocument::encodeList(fifteen));
    f->settings.setValue(QStringLiteral("readingPositionsV1"), QByteArrayLiteral("[1, 2"));
    f->model = makeModel(); // over the values just stored
    auto &model = f->model;
    QCOMPARE(model->recentDocuments(), fifteen.mid(0, 10));
    QVERIFY(model->readingPositions().pageIndexByPath.isEmpty());
    model->open(f->url(QStringLiteral("A.pdf")));
    QCOMPARE(model->recentDocuments().size(), 10);
    QCOMPARE(model->recentDocuments().first().displayName, QStringLiteral("A"));
    model->viewport()->goToPageIndex(2);
    QCoreApplication::processEvents();
    model->closeDocument();
    QCOMPARE(makeModel()->readingPositions().pageIndexByPath, (QMap<QString, int> {{key(QStringLiteral("A.pdf")), 2}}));
}

void tst_PDFViewerModel::readingPositionFollowsEachDocument()
{
    const QString a = QStringLiteral("A.pdf");
    const QString b = QStringLiteral("B.pdf");
    auto &model = f->model;
    model->open(f->url(a));
    QCOMPARE(model->pageIndex(), 0); // never opened before
    QCoreApplication::processEvents();
    // The page moves but its notification has not been handled yet when B opens.
    model->viewport()->goToPageIndex(5);
    model->open(f->url(b));
    QCOMPARE(storedPage(*model, a), 5);
    QCOMPARE(model->pageIndex(), 0);

    // Regression: handing the document to the canvas announces page 0 while open() still has
    // to restore the stored page; recording it there overwrote the stored position.
    model->open(f->url(a));
    QCoreApplication::processEvents();
    QCOMPARE(model->pageIndex(), 5);
    QCOMPARE(storedPage(*model, a), 5);

    // Stored beyond the end of a document that lost pages: the last page; below zero: the first.
    model->closeDocument();
    ReadingPositionLedger ledger;
    ledger.pageIndexByPath.insert(key(a), 40);
    ledger.pageIndexByPath.insert(key(b), -3);
    f->settings.setValue(QStringLiteral("readingPositionsV1"), ledger.encode());
    model = makeModel();
    model->open(f->url(a));
    QCOMPARE(model->pageIndex(), 11);
    model->open(f->url(b));
    QCOMPARE(model->pageIndex(), 0);
    QCOMPARE(storedPage(*model, b), 0);
}

void tst_PDFViewerModel::layersAreRememberedPerDocument()
{
    const QString layered = QStringLiteral("L.pdf");
    const QStringList names {QStringLiteral("轴网"), QStringLiteral("墙体"), QStringLiteral("标注"),
        QStringLiteral("甲"), QStringLiteral("乙")};
    QVERIFY(TestPDFs::writeLayered(f->path(layered), names));
    const auto shown = [](PDFViewerModel &model) {
        QString flags;
        for (const PDFLayer &layer : model.layers()->layers())
            flags += layer.visible ? QLatin1Char('x') : QLatin1Char('.');
        return flags;
    };
    auto model = makeModel();
    model->open(f->url(layered));
    model->layers()->setVisible(0, false);
    model->layers()->setVisible(4, true); // its radio group's other layer goes
    QCOMPARE(shown(*model), QStringLiteral(".x..x"));
    model->open(f->url(QStringLiteral("A.pdf")));
    QCOMPARE(shown(*model), QString());
    model->open(f->url(layered));
    QCOMPARE(shown(*model), QStringLiteral(".x..x"));

    // After a restart too; an entry whose name no longer matches its row is left alone.
    model.reset();
    ReadingPositionLedger ledger
        = *ReadingPositionLedger::decode(f->settings.value(QStringLiteral("readingPositionsV1")).toByteArray());
    ledger.layersByPath[key(layered)][1].name = QStringLiteral("门窗");
    ledger.layersByPath[key(layered)][1].visible = false;
    f->settings.setValue(QStringLiteral("readingPositionsV1"), ledger.encode());
    model = makeModel();
    model->open(f->url(layered));
    QCOMPARE(shown(*model), QStringLiteral(".x..x"));
}

// Regression: every page turn rewrote the whole settings file on the UI thread. The page not
// written yet is written when the application quits.
void tst_PDFViewerModel::pageTurnsAreWrittenOnceThePagesRestOrAtQuit()
{
    const QString file = f->settings.fileName();
    const QString a = key(QStringLiteral("A.pdf"));
    auto &model = f->model;
    model->open(f->url(QStringLiteral("A.pdf")));
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
    QVERIFY(TestPDFs::writePlain(f->path(QStringLiteral("C.pdf")), 2));
    auto &model = f->model;
    for (const char *name : {"A.pdf", "C.pdf", "B.pdf"})
        model->open(f->url(QString::fromLatin1(name)));
    const RecentPDFDocument entryA = model->recentDocuments().at(2);
    const RecentPDFDocument entryC = model->recentDocuments().at(1);
    QVERIFY(QFile::rename(f->path(QStringLiteral("A.pdf")), f->path(QStringLiteral("A renamed.pdf"))));
    QVERIFY(QFile::rename(f->path(QStringLiteral("C.pdf")), f->path(QStringLiteral("C renamed.pdf"))));
    // Overwritten in place, so that the bookmark still finds it by its inode.
    QVERIFY(HostilePDFs::write(f->path(QStringLiteral("C renamed.pdf")), "not a PDF"));

    const auto before = model->recentDocuments();
    model->openRecentDocument(entryC);
    QCOMPARE(model->errorText(), kUnreadable);
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

// Only a confirmed file opens. The dialog starts in the open document's folder, else the folder
// of the most recent entry that still has one, else home; the recent list carries it across
// restarts.
void tst_PDFViewerModel::openDialogStartsWhereTheUserWorks()
{
    const QUrl home = QUrl::fromLocalFile(QDir::homePath());
    QDir root(f->dir.path());
    QVERIFY(root.mkdir(QStringLiteral("plans")) && root.mkdir(QStringLiteral("sections")));
    QVERIFY(TestPDFs::writePlain(f->path(QStringLiteral("plans/P.pdf")), 1));
    QVERIFY(TestPDFs::writePlain(f->path(QStringLiteral("sections/S.pdf")), 1));
    auto &model = f->model;
    model->choosePDF();
    QCOMPARE(f->platform.lastDialogDirectory, home);
    QCOMPARE(model->statusText(), PDFViewerModel::emptyStatusText); // cancelled: nothing happens
    f->platform.nextChosenFile = f->url(QStringLiteral("plans/P.pdf"));
    model->choosePDF();
    QCOMPARE(model->documentTitle(), QStringLiteral("P"));
    f->platform.nextChosenFile = std::nullopt;
    model->open(f->url(QStringLiteral("sections/S.pdf")));
    model->choosePDF();
    QCOMPARE(f->platform.lastDialogDirectory, f->url(QStringLiteral("sections")));
    model->closeDocument();

    model = makeModel();
    model->choosePDF();
    QCOMPARE(f->platform.lastDialogDirectory, f->url(QStringLiteral("sections")));
    QVERIFY(QDir(f->path(QStringLiteral("sections"))).removeRecursively());
    model->choosePDF();
    QCOMPARE(f->platform.lastDialogDirectory, f->url(QStringLiteral("plans")));
    QVERIFY(QDir(f->path(QStringLiteral("plans"))).removeRecursively());
    model->choosePDF();
    QCOMPARE(f->platform.lastDialogDirectory, home);
}

QTEST_MAIN(tst_PDFViewerModel)
#include "tst_PDFViewerModel.moc"
