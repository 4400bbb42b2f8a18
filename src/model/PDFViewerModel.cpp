#include "PDFViewerModel.h"

#include "BlueprintPDFView.h"
#include "PDFDocument.h"
#include "PDFFileBookmark.h"
#include "PDFFileURL.h"
#include "PDFPage.h"
#include "PDFViewerPlatformServices.h"
#include "RecentPDFPolicy.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QPalette>
#include <QSettings>
#include <QWidget>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>

const QString PDFViewerModel::emptyStatusText = QStringLiteral("拖入 PDF，或者点“打开”。");

namespace {

constexpr int kMaximumRecentDocuments = 10;
constexpr int kReadingPositionSaveDelayMilliseconds = 1000;

const QString kNotPDFMessage = QStringLiteral("只能打开 PDF 文件。");
const QString kMissingMessage = QStringLiteral("文件已经移动或删除。");
const QString kUnreadableMessage = QStringLiteral("这个 PDF 无法读取，可能已损坏。");
const QString kLockedMessage = QStringLiteral("这个 PDF 受密码保护，当前版本暂不支持解锁。");
const QString kNoPagesMessage = QStringLiteral("这个 PDF 没有可显示的页面。");

// e^0.12 and e^-0.12, as written down for the zoom steps.
constexpr double kZoomInFactor = 1.1274968515793757;
constexpr double kZoomOutFactor = 0.8869204367171575;
constexpr double kMinimumScale = 0.1;
constexpr double kMaximumScale = 8.0;

bool fileExists(const QByteArray &nativePath)
{
    struct stat info;
    return !nativePath.isEmpty() && ::stat(nativePath.constData(), &info) == 0;
}

bool isFolder(const QByteArray &nativePath)
{
    struct stat info;
    return !nativePath.isEmpty() && ::stat(nativePath.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The folder part of an absolute path; empty for a path without a slash.
QByteArray parentFolder(const QByteArray &nativePath)
{
    const qsizetype slash = nativePath.lastIndexOf('/');
    if (slash < 0)
        return {};
    return slash == 0 ? QByteArrayLiteral("/") : nativePath.left(slash);
}

} // namespace

PDFViewerModel::PDFViewerModel(QSettings *defaults, PDFViewerPlatformServices *platform, QObject *parent)
    : QObject(parent)
    , m_statusText(emptyStatusText)
    , m_pdfView(makePDFView())
    , m_defaults(defaults)
    , m_platform(platform)
{
    m_readingPositionSaveTimer.setSingleShot(true);
    m_readingPositionSaveTimer.setInterval(kReadingPositionSaveDelayMilliseconds);
    connect(&m_readingPositionSaveTimer, &QTimer::timeout, this, &PDFViewerModel::saveReadingPositions);
    if (const QCoreApplication *application = QCoreApplication::instance())
        connect(application, &QCoreApplication::aboutToQuit, this, &PDFViewerModel::saveReadingPositions);
    loadPersistence();
    observePageChanges();
}

PDFViewerModel::~PDFViewerModel()
{
    saveReadingPositions();
    removePageChangeObserver();
    if (m_activeSearchDocument) {
        m_activeSearchDocument->disconnect(this);
        m_activeSearchDocument->cancelFindString();
    }
    if (m_isAccessingSecurityScopedURL && m_securityScopedURL.isValid())
        m_platform->stopAccessing(m_securityScopedURL);
    delete m_pdfView.data();
}

BlueprintPDFView *PDFViewerModel::makePDFView()
{
    auto *view = new BlueprintPDFView;
    view->setMinScaleFactor(kMinimumScale);
    view->setMaxScaleFactor(kMaximumScale);
    view->setAutoScales(true);
    view->setDisplayMode(BlueprintPDFView::DisplayMode::SinglePageContinuous);
    view->setDisplayDirection(BlueprintPDFView::DisplayDirection::Vertical);
    view->setDisplaysPageBreaks(true);
    view->setPageBreakMargins(QMarginsF(12, 12, 12, 12));
    view->setBackgroundColor(readingBackground());
    return view;
}

QColor PDFViewerModel::readingBackground()
{
    return QPalette().color(QPalette::Window);
}

std::shared_ptr<PDFDocument> PDFViewerModel::document() const
{
    return m_pdfView ? m_pdfView->document() : nullptr;
}

QString PDFViewerModel::documentTitle() const
{
    if (m_fileURL.isEmpty())
        return QStringLiteral("Plenvo");
    return PDFFileURL::displayName(m_fileURL);
}

bool PDFViewerModel::open(const QUrl &url)
{
    const QUrl fileURL = PDFFileURL::standardized(url);
    if (!PDFFileURL::isPDFFileURL(fileURL)) {
        fail(kNotPDFMessage);
        return false;
    }

    const QByteArray nativePath = PDFFileURL::nativePath(fileURL);
    const QString key = PDFFileURL::standardizedPath(fileURL);
    if (!fileExists(nativePath)) {
        forgetRecentDocument(key);
        fail(kMissingMessage);
        return false;
    }

    const bool accessStarted = m_platform->startAccessing(fileURL);
    auto failAfterAccess = [&](const QString &message) {
        if (accessStarted)
            m_platform->stopAccessing(fileURL);
        fail(message);
    };
    std::shared_ptr<PDFDocument> document = PDFDocument::open(nativePath);
    if (!document) {
        failAfterAccess(kUnreadableMessage);
        return false;
    }
    if (document->isLocked()) {
        failAfterAccess(kLockedMessage);
        return false;
    }
    if (document->pageCount() < 1) {
        failAfterAccess(kNoPagesMessage);
        return false;
    }

    // Switch over: the document being replaced keeps its reading position.
    recordCurrentPage();
    saveReadingPositions();
    clearSearch();
    releaseSecurityScopedResource();
    m_securityScopedURL = fileURL;
    m_isAccessingSecurityScopedURL = accessStarted;
    setFileURL(fileURL);
    m_pdfView->setDocument(document);
    setPageCount(document->pageCount());

    m_originalPageRotations.clear();
    for (int i = 0; i < document->pageCount(); ++i) {
        if (const PDFPage *page = document->page(i))
            m_originalPageRotations.insert(i, PDFPage::normalizedRotation(page->rotation()));
    }

    const std::optional<QByteArray> bookmark = PDFFileBookmark::create(fileURL);
    setRecentDocuments(RecentPDFPolicy::updating(
        m_recentDocuments, fileURL, bookmark, QDateTime::currentDateTimeUtc(), kMaximumRecentDocuments));
    saveRecentDocuments();

    const int saved = readingPositions().pageIndexByPath.value(key, 0);
    const int target = std::min(m_pageCount - 1, std::max(saved, 0));
    if (PDFPage *page = document->page(target))
        m_pdfView->go(page);
    recordCurrentPage();

    m_pdfView->setAutoScales(true);
    refreshZoomPercentage();
    setStatusText(QStringLiteral("已打开 ") + documentTitle());
    setErrorText(QString());
    m_platform->noteRecentDocument(fileURL);
    return true;
}

void PDFViewerModel::choosePDF()
{
    if (const std::optional<QUrl> url = m_platform->choosePDFFile(QStringLiteral("打开 PDF"), openDialogDirectory()))
        open(*url);
}

QUrl PDFViewerModel::openDialogDirectory() const
{
    // The open document is normally the first recent entry too, but its folder comes first
    // whatever the list holds.
    QList<QByteArray> folders;
    if (!m_fileURL.isEmpty())
        folders.append(parentFolder(PDFFileURL::nativePath(m_fileURL)));
    for (const RecentPDFDocument &entry : std::as_const(m_recentDocuments))
        folders.append(parentFolder(PDFFileURL::nativePathOfStoredPath(entry.path)));
    for (const QByteArray &folder : std::as_const(folders)) {
        if (isFolder(folder))
            return PDFFileURL::fromNativePath(folder);
    }
    return QUrl::fromLocalFile(QDir::homePath());
}

void PDFViewerModel::openRecentDocument(const RecentPDFDocument &entry)
{
    if (entry.bookmarkData) {
        if (const std::optional<PDFBookmarkResolution> resolution = PDFFileBookmark::resolve(*entry.bookmarkData)) {
            const QString oldPath = PDFFileURL::standardizedPath(entry.path);
            if (open(resolution->url) && PDFFileURL::standardizedPath(resolution->url) != oldPath)
                forgetRecentDocument(oldPath);
            return;
        }
    }
    open(PDFFileURL::fromNativePath(PDFFileURL::nativePathOfStoredPath(entry.path)));
}

void PDFViewerModel::closeDocument()
{
    recordCurrentPage();
    saveReadingPositions();
    clearSearch();
    removePageChangeObserver();
    BlueprintPDFView *old = m_pdfView;
    m_pdfView = makePDFView();
    if (old)
        old->deleteLater();
    emit pdfViewChanged();
    observePageChanges();
    setFileURL(QUrl());
    setPageIndex(0);
    setPageCount(0);
    setZoomPercentage(100);
    m_originalPageRotations.clear();
    setPresentationMode(false);
    releaseSecurityScopedResource();
    setStatusText(emptyStatusText);
}

void PDFViewerModel::goToPage(qint64 pageNumber)
{
    const std::shared_ptr<PDFDocument> document = m_pdfView ? m_pdfView->document() : nullptr;
    if (!document || document->pageCount() < 1)
        return;
    // Compared before subtracting, so that no value can overflow.
    const int count = document->pageCount();
    const int index = pageNumber < 1 ? 0 : pageNumber > count ? count - 1 : int(pageNumber - 1);
    if (PDFPage *page = document->page(index))
        m_pdfView->go(page);
}

void PDFViewerModel::zoomIn()
{
    zoomBy(kZoomInFactor);
}

void PDFViewerModel::zoomOut()
{
    zoomBy(kZoomOutFactor);
}

void PDFViewerModel::zoomBy(double factor)
{
    if (!m_pdfView)
        return;
    m_pdfView->setAutoScales(false);
    double scale = m_pdfView->scaleFactor() * factor;
    if (scale <= kMinimumScale)
        scale = kMinimumScale;
    if (scale > kMaximumScale)
        scale = kMaximumScale;
    m_pdfView->setScaleFactor(scale);
    refreshZoomPercentage();
}

void PDFViewerModel::actualSize()
{
    if (!m_pdfView)
        return;
    m_pdfView->setAutoScales(false);
    m_pdfView->setScaleFactor(1.0);
    refreshZoomPercentage();
    setStatusText(QStringLiteral("已恢复 100% 实际大小"));
}

void PDFViewerModel::fitPage()
{
    if (!m_pdfView)
        return;
    m_pdfView->setAutoScales(true);
    refreshZoomPercentage();
    setStatusText(QStringLiteral("已适合页面"));
}

void PDFViewerModel::rotateCurrentPageLeft()
{
    if (const PDFPage *page = m_pdfView ? m_pdfView->currentPage() : nullptr)
        setCurrentPageRotation(page->rotation() - 90, QStringLiteral("当前页已向左旋转 90°"));
}

void PDFViewerModel::rotateCurrentPageRight()
{
    if (const PDFPage *page = m_pdfView ? m_pdfView->currentPage() : nullptr)
        setCurrentPageRotation(page->rotation() + 90, QStringLiteral("当前页已向右旋转 90°"));
}

void PDFViewerModel::resetCurrentPageRotation()
{
    const std::shared_ptr<PDFDocument> document = this->document();
    const PDFPage *page = m_pdfView ? m_pdfView->currentPage() : nullptr;
    if (!document || !page || m_fileURL.isEmpty())
        return;
    setCurrentPageRotation(
        m_originalPageRotations.value(document->index(page), 0), QStringLiteral("当前页已恢复默认方向"));
}

void PDFViewerModel::setCurrentPageRotation(int degrees, const QString &status)
{
    PDFPage *page = m_pdfView ? m_pdfView->currentPage() : nullptr;
    if (!page)
        return;
    page->setRotation(PDFPage::normalizedRotation(degrees));
    m_pdfView->layoutDocumentView();
    setStatusText(status);
}

void PDFViewerModel::performSearch()
{
    const std::shared_ptr<PDFDocument> document = this->document();
    if (!document)
        return;
    const QString query = m_searchText.trimmed();
    clearSearch();
    if (query.isEmpty())
        return;
    m_activeSearchDocument = document;
    m_activeSearchQuery = query;
    setSearching(true);
    setStatusText(QStringLiteral("正在搜索“") + query + QStringLiteral("”…"));
    observeSearchChanges(document.get());
    document->beginFindString(query);
}

// Direct connections: the document emits on this thread and drops every event of a
// cancelled or replaced find before emitting, so a handler never sees a stale match. A
// queued hop here would let a match of the previous find of the same document through.
void PDFViewerModel::observeSearchChanges(PDFDocument *document)
{
    connect(document, &PDFDocument::didBeginFind, this, [this](PDFDocument *source) {
        if (isActiveSearch(source))
            setSearching(true);
    });
    connect(document, &PDFDocument::didFindMatch, this, [this](PDFDocument *source, const PDFSelection &selection) {
        if (!isActiveSearch(source) || selection.isEmpty())
            return;
        m_searchSelections.append(selection);
        const int count = int(m_searchSelections.size());
        setSearchResultCount(count);
        if (count == 1)
            showSelectedSearchResult();
        setStatusText(QStringLiteral("正在搜索“") + m_activeSearchQuery + QStringLiteral("” · ")
            + QString::number(count) + QStringLiteral(" 处"));
    });
    connect(document, &PDFDocument::didEndFind, this, [this](PDFDocument *source) {
        if (!isActiveSearch(source))
            return;
        setSearching(false);
        if (m_searchSelections.isEmpty())
            setStatusText(QStringLiteral("没有找到“") + m_activeSearchQuery + QStringLiteral("”"));
        else
            setStatusText(QStringLiteral("找到 ") + QString::number(m_searchSelections.size()) + QStringLiteral(" 处"));
    });
}

bool PDFViewerModel::isActiveSearch(const PDFDocument *document) const
{
    return document && document == m_activeSearchDocument.get();
}

void PDFViewerModel::clearSearch()
{
    if (m_activeSearchDocument) {
        m_activeSearchDocument->cancelFindString();
        m_activeSearchDocument->disconnect(this);
    }
    m_activeSearchDocument.reset();
    m_activeSearchQuery.clear();
    m_searchSelections.clear();
    setSearchResultCount(0);
    setSelectedSearchResult(0);
    setSearching(false);
    if (m_pdfView)
        m_pdfView->setCurrentSelection(std::nullopt, false);
}

void PDFViewerModel::showSelectedSearchResult()
{
    if (!m_pdfView)
        return;
    if (m_selectedSearchResult >= m_searchSelections.size()) {
        m_pdfView->setCurrentSelection(std::nullopt, false);
        return;
    }
    const PDFSelection &selection = m_searchSelections.at(m_selectedSearchResult);
    m_pdfView->setCurrentSelection(selection, true);
    m_pdfView->go(selection);
}

void PDFViewerModel::selectNextSearchResult()
{
    const int count = int(m_searchSelections.size());
    if (count == 0)
        return;
    setSelectedSearchResult((m_selectedSearchResult + 1) % count);
    showSelectedSearchResult();
}

void PDFViewerModel::selectPreviousSearchResult()
{
    const int count = int(m_searchSelections.size());
    if (count == 0)
        return;
    setSelectedSearchResult((m_selectedSearchResult - 1 + count) % count);
    showSelectedSearchResult();
}

QString PDFViewerModel::searchResultLabel() const
{
    if (m_searchResultCount == 0)
        return QStringLiteral("0");
    return QString::number(m_selectedSearchResult + 1) + QStringLiteral(" / ") + QString::number(m_searchResultCount);
}

void PDFViewerModel::enterPresentationMode(bool toggleSystemFullScreen)
{
    if (m_pageCount < 1 || m_isPresentationMode || !m_pdfView)
        return;
    setPresentationMode(true);
    applyLayout(BlueprintPDFView::DisplayMode::SinglePage, false, Qt::black);
    refreshZoomPercentage();
    setStatusText(QStringLiteral("投影模式"));

    QWidget *window = m_pdfView->window();
    if (toggleSystemFullScreen && m_platform->isApplicationActive() && m_platform->isKeyWindow(window)) {
        // After the current event: the window is held weakly and may be gone by then.
        QPointer<QWidget> target = window;
        QMetaObject::invokeMethod(
            this,
            [this, target] {
                if (target)
                    m_platform->toggleFullScreen(target);
            },
            Qt::QueuedConnection);
    }
}

void PDFViewerModel::exitPresentationMode(bool toggleSystemFullScreen)
{
    if (!m_isPresentationMode)
        return;
    restoreReadingLayout();
    QWidget *window = m_pdfView ? m_pdfView->window() : nullptr;
    if (toggleSystemFullScreen && window && m_platform->isFullScreen(window))
        m_platform->toggleFullScreen(window);
}

void PDFViewerModel::restoreReadingLayout()
{
    setPresentationMode(false);
    applyLayout(BlueprintPDFView::DisplayMode::SinglePageContinuous, true, readingBackground());
    refreshZoomPercentage();
    setStatusText(m_fileURL.isEmpty() ? emptyStatusText : QStringLiteral("已退出投影模式"));
}

void PDFViewerModel::applyLayout(BlueprintPDFView::DisplayMode mode, bool pageBreaks, const QColor &background)
{
    if (!m_pdfView)
        return;
    m_pdfView->setBackgroundColor(background);
    PDFPage *page = m_pdfView->currentPage();
    m_pdfView->setDisplayMode(mode);
    m_pdfView->setDisplaysPageBreaks(pageBreaks);
    m_pdfView->setAutoScales(true);
    if (page && m_pdfView->currentPage() != page)
        m_pdfView->go(page);
}

ReadingPositionLedger PDFViewerModel::readingPositions() const
{
    const QByteArray data = m_defaults->value(m_readingPositionsKey).toByteArray();
    ReadingPositionLedger ledger = data.isEmpty()
        ? ReadingPositionLedger {}
        : ReadingPositionLedger::decode(data).value_or(ReadingPositionLedger {});
    for (auto it = m_unsavedPageIndexByPath.cbegin(); it != m_unsavedPageIndexByPath.cend(); ++it)
        ledger.pageIndexByPath.insert(it.key(), it.value());
    return ledger;
}

void PDFViewerModel::fail(const QString &message)
{
    setErrorText(message);
    setStatusText(message);
    m_platform->beep();
}

void PDFViewerModel::loadPersistence()
{
    const QByteArray data = m_defaults->value(m_recentDocumentsKey).toByteArray();
    QList<RecentPDFDocument> documents = RecentPDFDocument::decodeList(data).value_or(QList<RecentPDFDocument> {});
    if (documents.size() > kMaximumRecentDocuments)
        documents = documents.mid(0, kMaximumRecentDocuments);
    setRecentDocuments(documents);
}

void PDFViewerModel::saveRecentDocuments()
{
    m_defaults->setValue(m_recentDocumentsKey, RecentPDFDocument::encodeList(m_recentDocuments));
    m_defaults->sync();
}

void PDFViewerModel::saveReadingPositions()
{
    m_readingPositionSaveTimer.stop();
    if (m_unsavedPageIndexByPath.isEmpty())
        return;
    const ReadingPositionLedger ledger = readingPositions();
    m_unsavedPageIndexByPath.clear();
    m_defaults->setValue(m_readingPositionsKey, ledger.encode());
    m_defaults->sync();
}

void PDFViewerModel::forgetRecentDocument(const QString &path)
{
    QList<RecentPDFDocument> kept;
    for (const RecentPDFDocument &entry : std::as_const(m_recentDocuments)) {
        if (entry.path != path)
            kept.append(entry);
    }
    setRecentDocuments(kept);
    saveRecentDocuments();
}

void PDFViewerModel::recordCurrentPage()
{
    if (!m_pdfView)
        return;
    const std::shared_ptr<PDFDocument> document = m_pdfView->document();
    const PDFPage *page = m_pdfView->currentPage();
    if (!document || !page || m_fileURL.isEmpty())
        return;
    setPageIndex(std::max(document->index(page), 0));
    setPageCount(document->pageCount());
    const QString key = PDFFileURL::standardizedPath(m_fileURL);
    const ReadingPositionLedger known = readingPositions();
    if (known.pageIndexByPath.contains(key) && known.pageIndexByPath.value(key) == m_pageIndex)
        return;
    m_unsavedPageIndexByPath.insert(key, m_pageIndex);
    m_readingPositionSaveTimer.start();
}

void PDFViewerModel::releaseSecurityScopedResource()
{
    if (m_isAccessingSecurityScopedURL && m_securityScopedURL.isValid())
        m_platform->stopAccessing(m_securityScopedURL);
    m_securityScopedURL = QUrl();
    m_isAccessingSecurityScopedURL = false;
}

void PDFViewerModel::observePageChanges()
{
    // Queued, like a notification handled in a later main-thread task: a page change caused
    // in the middle of open() is recorded only after open() has finished its switch-over.
    QPointer<BlueprintPDFView> view = m_pdfView.data();
    m_pageChangeObserver = connect(
        m_pdfView, &BlueprintPDFView::pageChanged, this,
        [this, view]() {
            if (view && view == m_pdfView)
                recordCurrentPage();
        },
        Qt::QueuedConnection);
    m_scaleChangeObserver = connect(
        m_pdfView, &BlueprintPDFView::scaleChanged, this,
        [this, view]() {
            if (view && view == m_pdfView)
                refreshZoomPercentage();
        },
        Qt::QueuedConnection);
}

void PDFViewerModel::removePageChangeObserver()
{
    if (m_pageChangeObserver)
        disconnect(m_pageChangeObserver);
    if (m_scaleChangeObserver)
        disconnect(m_scaleChangeObserver);
    m_pageChangeObserver = {};
    m_scaleChangeObserver = {};
}

void PDFViewerModel::refreshZoomPercentage()
{
    if (m_pdfView)
        setZoomPercentage(int(std::lround(m_pdfView->scaleFactor() * 100.0)));
}

void PDFViewerModel::setSearchText(const QString &text)
{
    if (text == m_searchText)
        return;
    m_searchText = text;
    emit searchTextChanged();
}

#define PLENVO_SETTER(Name, Type, member, signal)                                                                      \
    void PDFViewerModel::Name(Type value)                                                                              \
    {                                                                                                                  \
        if (member == value)                                                                                           \
            return;                                                                                                    \
        member = value;                                                                                                \
        emit signal();                                                                                                 \
    }

PLENVO_SETTER(setFileURL, const QUrl &, m_fileURL, fileURLChanged)
PLENVO_SETTER(setPageIndex, int, m_pageIndex, pageIndexChanged)
PLENVO_SETTER(setPageCount, int, m_pageCount, pageCountChanged)
PLENVO_SETTER(setRecentDocuments, const QList<RecentPDFDocument> &, m_recentDocuments, recentDocumentsChanged)
PLENVO_SETTER(setZoomPercentage, int, m_zoomPercentage, zoomPercentageChanged)
PLENVO_SETTER(setPresentationMode, bool, m_isPresentationMode, isPresentationModeChanged)
PLENVO_SETTER(setSearching, bool, m_isSearching, isSearchingChanged)
PLENVO_SETTER(setStatusText, const QString &, m_statusText, statusTextChanged)

#undef PLENVO_SETTER

void PDFViewerModel::setSearchResultCount(int count)
{
    if (count == m_searchResultCount)
        return;
    m_searchResultCount = count;
    emit searchResultCountChanged();
    emit searchResultLabelChanged();
}

void PDFViewerModel::setSelectedSearchResult(int index)
{
    if (index == m_selectedSearchResult)
        return;
    m_selectedSearchResult = index;
    emit selectedSearchResultChanged();
    emit searchResultLabelChanged();
}

void PDFViewerModel::setErrorText(const QString &text)
{
    // A null string is "no error"; compare nullness too, so clearing an error always notifies.
    if (text == m_errorText && text.isNull() == m_errorText.isNull())
        return;
    m_errorText = text;
    emit errorTextChanged();
}
