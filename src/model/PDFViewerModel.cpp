#include "PDFViewerModel.h"

#include "BlueprintPDFView.h"
#include "PDFDocument.h"
#include "PDFFileBookmark.h"
#include "PDFFileURL.h"
#include "PDFPage.h"
#include "PDFViewerPlatformServices.h"

#include <QWidget>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>

const QString PDFViewerModel::emptyStatusText = QStringLiteral("拖入 PDF，或者点“打开”。");

namespace {

const QString kNotPDFMessage = QStringLiteral("只能打开 PDF 文件。");
const QString kMissingMessage = QStringLiteral("文件已经移动或删除。");
const QString kUnreadableMessage = QStringLiteral("这个 PDF 无法读取，可能已损坏。");
const QString kLockedMessage = QStringLiteral("这个 PDF 受密码保护，当前版本暂不支持解锁。");
const QString kNoPagesMessage = QStringLiteral("这个 PDF 没有可显示的页面。");

// e^0.12 and e^-0.12, as written down for the zoom steps.
constexpr double kZoomInFactor = 1.1274968515793757;
constexpr double kZoomOutFactor = 0.8869204367171575;

bool fileExists(const QByteArray &nativePath)
{
    struct stat info;
    return !nativePath.isEmpty() && ::stat(nativePath.constData(), &info) == 0;
}

} // namespace

PDFViewerModel::PDFViewerModel(QSettings *defaults, PDFViewerPlatformServices *platform, QObject *parent)
    : QObject(parent)
    , m_statusText(emptyStatusText)
    , m_canvas(new BlueprintPDFView)
    , m_platform(platform)
    , m_recentDocuments(defaults)
    , m_readingPositions(defaults)
{
    observeSearch();
    applyLayout(PDFViewport::DisplayMode::SinglePageContinuous, true, readingBackground());
    observeViewport();
}

PDFViewerModel::~PDFViewerModel()
{
    m_readingPositions.save();
    m_search.disconnect(this);
    releaseSecurityScopedResource();
    delete m_canvas.data();
}

BlueprintPDFView *PDFViewerModel::pdfView() const
{
    return m_canvas;
}

PDFViewport *PDFViewerModel::viewport() const
{
    return m_canvas ? m_canvas->pdfViewport() : nullptr;
}

int PDFViewerModel::pageIndex() const
{
    return viewport() ? std::max(viewport()->currentPageIndex(), 0) : 0;
}

int PDFViewerModel::zoomPercentage() const
{
    return int(std::lround((viewport() ? viewport()->scaleFactor() : 1.0) * 100.0));
}

PDFPage *PDFViewerModel::currentPage() const
{
    return viewport() ? viewport()->currentPage() : nullptr;
}

QColor PDFViewerModel::readingBackground()
{
    return QColor();
}

std::shared_ptr<PDFDocument> PDFViewerModel::document() const
{
    return viewport() ? viewport()->document() : nullptr;
}

QString PDFViewerModel::documentTitle() const
{
    return m_fileURL.isEmpty() ? QStringLiteral("Plenvo") : PDFFileURL::displayName(m_fileURL);
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
    m_readingPositions.save();
    clearSearch();
    releaseSecurityScopedResource();
    m_securityScopedURL = fileURL;
    m_isAccessingSecurityScopedURL = accessStarted;
    setFileURL(fileURL);
    PDFViewport *viewport = this->viewport();
    viewport->setDocument(document);
    m_layers.setDocument(document, key, m_canvas->renderQueue());
    setPageCount(document->pageCount());

    m_originalPageRotations.clear();
    for (int i = 0; i < document->pageCount(); ++i) {
        if (const PDFPage *page = document->page(i))
            m_originalPageRotations.insert(i, PDFPage::normalizedRotation(page->rotation()));
    }

    m_recentDocuments.noteOpened(fileURL);
    emit recentDocumentsChanged();

    const int saved = readingPositions().pageIndexByPath.value(key, 0);
    const int target = std::min(m_pageCount - 1, std::max(saved, 0));
    viewport->goToPageIndex(target);
    document->prepare(target);
    recordCurrentPage();

    viewport->setAutoScales(true);
    setStatusText(QStringLiteral("已打开 ") + documentTitle());
    setErrorText(QString());
    m_platform->noteRecentDocument(fileURL);
    return true;
}

void PDFViewerModel::choosePDF()
{
    if (const std::optional<QUrl> url
        = m_platform->choosePDFFile(QStringLiteral("打开 PDF"), m_recentDocuments.dialogFolder(m_fileURL)))
        open(*url);
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
    m_readingPositions.save();
    clearSearch();
    setFileURL(QUrl());
    setPageCount(0);
    m_originalPageRotations.clear();
    m_layers.setDocument(nullptr, QString(), nullptr);
    if (PDFViewport *viewport = this->viewport()) {
        viewport->setDocument(nullptr);
        viewport->setScaleFactor(1.0);
    }
    setPresentationMode(false);
    applyLayout(PDFViewport::DisplayMode::SinglePageContinuous, true, readingBackground());
    releaseSecurityScopedResource();
    setStatusText(emptyStatusText);
}

void PDFViewerModel::goToPage(qint64 pageNumber)
{
    const std::shared_ptr<PDFDocument> document = this->document();
    if (!document || document->pageCount() < 1)
        return;
    // Compared before subtracting, so that no value can overflow.
    const int count = document->pageCount();
    viewport()->goToPageIndex(pageNumber < 1 ? 0 : pageNumber > count ? count - 1 : int(pageNumber - 1));
}

void PDFViewerModel::zoomIn()
{
    if (PDFViewport *viewport = this->viewport())
        viewport->zoomBy(kZoomInFactor);
}

void PDFViewerModel::zoomOut()
{
    if (PDFViewport *viewport = this->viewport())
        viewport->zoomBy(kZoomOutFactor);
}

void PDFViewerModel::actualSize()
{
    PDFViewport *viewport = this->viewport();
    if (!viewport)
        return;
    viewport->setScaleFactor(1.0);
    setStatusText(QStringLiteral("已恢复 100% 实际大小"));
}

void PDFViewerModel::fitPage()
{
    PDFViewport *viewport = this->viewport();
    if (!viewport)
        return;
    viewport->setAutoScales(true);
    setStatusText(QStringLiteral("已适合页面"));
}

void PDFViewerModel::rotateCurrentPageLeft()
{
    if (const PDFPage *page = currentPage())
        setCurrentPageRotation(page->rotation() - 90, QStringLiteral("当前页已向左旋转 90°"));
}

void PDFViewerModel::rotateCurrentPageRight()
{
    if (const PDFPage *page = currentPage())
        setCurrentPageRotation(page->rotation() + 90, QStringLiteral("当前页已向右旋转 90°"));
}

void PDFViewerModel::resetCurrentPageRotation()
{
    const std::shared_ptr<PDFDocument> document = this->document();
    const PDFPage *page = currentPage();
    if (!document || !page || m_fileURL.isEmpty())
        return;
    setCurrentPageRotation(
        m_originalPageRotations.value(document->index(page), 0), QStringLiteral("当前页已恢复默认方向"));
}

void PDFViewerModel::setCurrentPageRotation(int degrees, const QString &status)
{
    PDFPage *page = currentPage();
    if (!page)
        return;
    page->setRotation(PDFPage::normalizedRotation(degrees));
    viewport()->layoutDocumentView();
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
    setSearching(true);
    setStatusText(QStringLiteral("正在搜索“") + query + QStringLiteral("”…"));
    m_search.start(document, query);
}

void PDFViewerModel::observeSearch()
{
    connect(&m_search, &PDFViewerSearchSession::begun, this, [this] { setSearching(true); });
    connect(&m_search, &PDFViewerSearchSession::matchFound, this, [this](int count) {
        setSearchResultCount(count);
        if (count == 1)
            showSelectedSearchResult();
        setStatusText(QStringLiteral("正在搜索“") + m_search.query() + QStringLiteral("” · ") + QString::number(count)
            + QStringLiteral(" 处"));
    });
    connect(&m_search, &PDFViewerSearchSession::ended, this, [this] {
        setSearching(false);
        const qsizetype count = m_search.matches().size();
        setStatusText(count == 0 ? QStringLiteral("没有找到“") + m_search.query() + QStringLiteral("”")
                                 : QStringLiteral("找到 ") + QString::number(count) + QStringLiteral(" 处"));
        emit searchEnded();
    });
}

void PDFViewerModel::clearSearch()
{
    m_search.cancel();
    setSearchResultCount(0);
    setSelectedSearchResult(0);
    setSearching(false);
    if (PDFViewport *viewport = this->viewport())
        viewport->setCurrentSelection(std::nullopt, false);
}

void PDFViewerModel::showSelectedSearchResult()
{
    PDFViewport *viewport = this->viewport();
    if (!viewport)
        return;
    if (m_selectedSearchResult >= m_search.matches().size()) {
        viewport->setCurrentSelection(std::nullopt, false);
        return;
    }
    const PDFSelection &selection = m_search.matches().at(m_selectedSearchResult);
    viewport->setCurrentSelection(selection, true);
    viewport->go(selection);
}

void PDFViewerModel::selectNextSearchResult()
{
    const int count = int(m_search.matches().size());
    if (count == 0)
        return;
    setSelectedSearchResult((m_selectedSearchResult + 1) % count);
    showSelectedSearchResult();
}

void PDFViewerModel::selectPreviousSearchResult()
{
    const int count = int(m_search.matches().size());
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
    if (m_pageCount < 1 || m_isPresentationMode || !m_canvas)
        return;
    setPresentationMode(true);
    applyLayout(PDFViewport::DisplayMode::SinglePage, false, Qt::black);
    setStatusText(QStringLiteral("投影模式"));

    QWidget *window = m_canvas->window();
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
    QWidget *window = m_canvas ? m_canvas->window() : nullptr;
    if (toggleSystemFullScreen && window && m_platform->isFullScreen(window))
        m_platform->toggleFullScreen(window);
}

void PDFViewerModel::restoreReadingLayout()
{
    setPresentationMode(false);
    applyLayout(PDFViewport::DisplayMode::SinglePageContinuous, true, readingBackground());
    setStatusText(m_fileURL.isEmpty() ? emptyStatusText : QStringLiteral("已退出投影模式"));
}

void PDFViewerModel::applyLayout(PDFViewport::DisplayMode mode, bool pageBreaks, const QColor &background)
{
    PDFViewport *viewport = this->viewport();
    if (!viewport)
        return;
    viewport->setBackgroundColor(background);
    const int page = viewport->currentPageIndex();
    viewport->setDisplayMode(mode);
    viewport->setDisplaysPageBreaks(pageBreaks);
    viewport->setAutoScales(true);
    if (page >= 0 && viewport->currentPageIndex() != page)
        viewport->goToPageIndex(page);
}

void PDFViewerModel::fail(const QString &message)
{
    setErrorText(message);
    setStatusText(message);
    m_platform->beep();
}

void PDFViewerModel::forgetRecentDocument(const QString &path)
{
    if (m_recentDocuments.forget(path))
        emit recentDocumentsChanged();
}

void PDFViewerModel::recordCurrentPage()
{
    const PDFViewport *viewport = this->viewport();
    if (!viewport || !viewport->currentPage() || m_fileURL.isEmpty())
        return;
    m_readingPositions.record(PDFFileURL::standardizedPath(m_fileURL), viewport->currentPageIndex());
}

void PDFViewerModel::releaseSecurityScopedResource()
{
    if (m_isAccessingSecurityScopedURL && m_securityScopedURL.isValid())
        m_platform->stopAccessing(m_securityScopedURL);
    m_securityScopedURL = QUrl();
    m_isAccessingSecurityScopedURL = false;
}

void PDFViewerModel::observeViewport()
{
    PDFViewport *viewport = this->viewport();
    connect(viewport, &PDFViewport::pageChanged, this, &PDFViewerModel::pageIndexChanged);
    connect(viewport, &PDFViewport::scaleChanged, this, &PDFViewerModel::zoomPercentageChanged);
    // Queued, like a notification handled in a later main-thread task: a page change caused
    // in the middle of open() is recorded only after open() has finished its switch-over.
    connect(viewport, &PDFViewport::pageChanged, this, &PDFViewerModel::recordCurrentPage, Qt::QueuedConnection);
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
PLENVO_SETTER(setPageCount, int, m_pageCount, pageCountChanged)
PLENVO_SETTER(setPresentationMode, bool, m_isPresentationMode, isPresentationModeChanged)
PLENVO_SETTER(setSearching, bool, m_isSearching, isSearchingChanged)
PLENVO_SETTER(setStatusText, const QString &, m_statusText, statusTextChanged)
PLENVO_SETTER(setSearchText, const QString &, m_searchText, searchTextChanged)

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
