#include "PDFDocumentEngine.h"

#include "PDFPage.h"

#include <mupdf/pdf.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

// Tiles above this many pixels are refused rather than attempted.
constexpr qint64 kMaxTilePixels = qint64(1) << 28;
// The block grid of a page's display list, in points, and how many blocks are kept.
constexpr float kBlockStep = 256;
constexpr int kBlockCacheSize = 48;

void setError(PDFError *error, const PDFError &value)
{
    if (error)
        *error = value;
}

void setError(PDFError *error, PDFErrorKind kind, const QString &message)
{
    setError(error, PDFError {kind, message});
}

// Maps MuPDF page space to the displayed page in device pixels: rotated by the viewer's
// rotation relative to the file's, scaled, with the displayed page's top-left at (0, 0).
fz_matrix displayMatrix(const PDFPageGeometry &geometry, int rotation, float scale)
{
    const int extra = PDFPage::normalizedRotation(PDFPage::normalizedRotation(rotation) - geometry.fileRotation);
    fz_matrix m = fz_concat(fz_rotate(float(extra)), fz_scale(scale, scale));
    const fz_rect r = fz_transform_rect(geometry.bounds, m);
    return fz_concat(m, fz_translate(-r.x0, -r.y0));
}

QRectF toPageSpace(fz_rect rect, const PDFPageGeometry &geometry)
{
    return QRectF(qreal(rect.x0 - geometry.bounds.x0), qreal(rect.y0 - geometry.bounds.y0), qreal(rect.x1 - rect.x0),
        qreal(rect.y1 - rect.y0));
}

bool isAborted(const fz_cookie *cookie)
{
    return cookie && __atomic_load_n(&cookie->abort, __ATOMIC_RELAXED);
}

PDFError cancelledError()
{
    return PDFError {PDFErrorKind::Cancelled, QStringLiteral("cancelled")};
}

// Resolves a link target. `*pageIndex` stays -1 for an external URI or an internal one
// that names no page of this document.
bool resolveLink(
    fz_context *ctx, fz_document *document, const char *uri, int *external, int *pageIndex, float *x, float *y)
{
    int ok = 0;
    fz_var(ok);
    fz_try(ctx)
    {
        *external = fz_is_external_link(ctx, uri);
        if (!*external) {
            const fz_location location = fz_resolve_link(ctx, document, uri, x, y);
            *pageIndex = fz_page_number_from_location(ctx, document, location);
        }
        ok = 1;
    }
    fz_catch(ctx)
    {
        ok = 0;
    }
    return ok;
}

// The only external links that may leave the program: the web and mail. MuPDF turns Launch
// and GoToR actions and relative URIs into "file:" links and passes "javascript:" through.
bool isWebOrMailURI(const char *uri)
{
    const char *colon = std::strchr(uri, ':');
    if (!colon)
        return false;
    const auto scheme = QByteArray::fromRawData(uri, colon - uri).toLower();
    return scheme == "http" || scheme == "https" || scheme == "mailto";
}

// Replaces what cannot be a Unicode scalar value with U+FFFD.
char32_t scalarValue(int c)
{
    return c < 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) ? char32_t(0xFFFD) : char32_t(c);
}

// The characters of `text` in reading order, lines numbered from 0, unfolded; boxes in page
// space. Reads MuPDF's structures only, calls nothing.
std::vector<PDFTextMatch::Glyph> collectGlyphs(const fz_stext_page *text, const PDFPageGeometry &geometry)
{
    size_t count = 0;
    for (const fz_stext_block *block = text->first_block; block; block = block->next) {
        if (block->type != FZ_STEXT_BLOCK_TEXT)
            continue;
        for (const fz_stext_line *line = block->u.t.first_line; line; line = line->next) {
            for (const fz_stext_char *ch = line->first_char; ch; ch = ch->next)
                ++count;
        }
    }
    std::vector<PDFTextMatch::Glyph> glyphs;
    glyphs.reserve(count);
    int lineNumber = 0;
    for (const fz_stext_block *block = text->first_block; block; block = block->next) {
        if (block->type != FZ_STEXT_BLOCK_TEXT)
            continue;
        for (const fz_stext_line *line = block->u.t.first_line; line; line = line->next, ++lineNumber) {
            for (const fz_stext_char *ch = line->first_char; ch; ch = ch->next) {
                const fz_quad &q = ch->quad;
                const float x0 = std::min({q.ul.x, q.ur.x, q.ll.x, q.lr.x});
                const float x1 = std::max({q.ul.x, q.ur.x, q.ll.x, q.lr.x});
                const float y0 = std::min({q.ul.y, q.ur.y, q.ll.y, q.lr.y});
                const float y1 = std::max({q.ul.y, q.ur.y, q.ll.y, q.lr.y});
                PDFTextMatch::Glyph glyph;
                glyph.c = scalarValue(ch->c);
                glyph.line = lineNumber;
                glyph.box = toPageSpace(fz_rect {x0, y0, x1, y1}, geometry);
                glyphs.push_back(glyph);
            }
        }
    }
    return glyphs;
}

// Sets every glyph's `folded` with MuPDF's case folding. False (error set) if MuPDF throws.
bool foldGlyphs(fz_context *ctx, std::vector<PDFTextMatch::Glyph> *glyphs, PDFError *error)
{
    PDFTextMatch::Glyph *glyph = glyphs->data();
    const size_t count = glyphs->size();
    int ok = 0;
    fz_var(ok);
    fz_try(ctx)
    {
        for (size_t i = 0; i < count; ++i)
            glyph[i].folded = char32_t(fz_tolower(int(glyph[i].c)));
        ok = 1;
    }
    fz_catch(ctx)
    {
        setError(error, PDFEngineContext::caughtError(ctx, PDFErrorKind::Damaged));
    }
    return ok;
}

// Opens `nativePath` for reading, refusing anything but a regular file before a byte is read:
// a FIFO named x.pdf would otherwise block until some writer came, and a device would never
// end. The descriptor is opened without blocking and checked, so the file checked is the file
// read. Null (error set) on failure.
FILE *openRegularFile(const QByteArray &nativePath, PDFError *error)
{
    const int fd = ::open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        setError(error, PDFErrorKind::CannotOpen, QString::fromLocal8Bit(std::strerror(errno)));
        return nullptr;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        setError(error, PDFErrorKind::CannotOpen, QStringLiteral("not a regular file"));
        return nullptr;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FILE *file = ::fdopen(fd, "rb");
    if (!file) {
        ::close(fd);
        setError(error, PDFErrorKind::CannotOpen, QString::fromLocal8Bit(std::strerror(errno)));
    }
    return file;
}

} // namespace

std::unique_ptr<PDFDocumentEngine> PDFDocumentEngine::open(const QByteArray &nativePath, PDFError *error)
{
    fz_context *ctx = PDFEngineContext::current();
    if (!ctx) {
        PDFError e = PDFEngineContext::noContextError();
        e.kind = PDFErrorKind::CannotOpen;
        setError(error, e);
        return nullptr;
    }
    if (nativePath.isEmpty() || nativePath.contains('\0')) {
        setError(error, PDFErrorKind::CannotOpen, QStringLiteral("invalid file name"));
        return nullptr;
    }

    FILE *file = openRegularFile(nativePath, error);
    if (!file)
        return nullptr;
    pdf_document *pdf = nullptr;
    fz_stream *stream = nullptr;
    int locked = 0;
    int pageCount = 0;
    fz_var(pdf);
    fz_var(stream);
    fz_try(ctx)
    {
        stream = fz_open_file_ptr_no_close(ctx, file);
        pdf = pdf_open_document_with_stream(ctx, stream);
        // Scripts never run: a document's scripts, open action and field events stay inert.
        // Opening leaves them off already; this keeps them off whatever the library's default.
        pdf_disable_js(ctx, pdf);
        if (pdf_needs_password(ctx, pdf) && !pdf_authenticate_password(ctx, pdf, ""))
            locked = 1;
        else
            pageCount = std::clamp(pdf_count_pages(ctx, pdf), 0, PDFDocument::maximumPageCount);
    }
    fz_always(ctx)
    {
        fz_drop_stream(ctx, stream); // the document keeps its own reference
    }
    fz_catch(ctx)
    {
        pdf_drop_document(ctx, pdf);
        std::fclose(file);
        setError(error, PDFEngineContext::caughtError(ctx, PDFErrorKind::CannotOpen));
        return nullptr;
    }

    std::unique_ptr<PDFDocumentEngine> engine(new PDFDocumentEngine);
    engine->m_document = &pdf->super;
    engine->m_file = file;
    engine->m_locked = locked;
    if (!PDFPageTree::read(ctx, pdf, pageCount, &engine->m_geometry)) {
        setError(error, PDFErrorKind::CannotOpen, QStringLiteral("damaged page tree"));
        return nullptr;
    }
    setError(error, PDFError {});
    return engine;
}

PDFDocumentEngine::~PDFDocumentEngine()
{
    fz_context *ctx = PDFEngineContext::current();
    if (!ctx)
        return; // nothing can be released without a context; the process is out of memory
    for (auto &entry : m_cache)
        fz_drop_display_list(ctx, entry.second);
    for (auto &entry : m_blocks)
        fz_drop_display_list(ctx, entry.second);
    fz_drop_document(ctx, m_document);
    if (m_file)
        std::fclose(m_file);
}

fz_display_list *PDFDocumentEngine::keepBlockList(
    fz_context *ctx, fz_display_list *pageList, int pageIndex, fz_rect area)
{
    // Blocks are 2G × 2G points laid every G points, so any area up to G × G fits wholly in
    // the block that starts at the grid line at or before its top-left corner.
    constexpr float G = kBlockStep;
    const fz_rect bounds = geometry(pageIndex).bounds;
    if (area.x1 - area.x0 > G || area.y1 - area.y0 > G)
        return nullptr;
    const int column = std::max(0, int(std::floor((area.x0 - bounds.x0) / G)));
    const int row = std::max(0, int(std::floor((area.y0 - bounds.y0) / G)));
    const fz_rect block
        = {bounds.x0 + column * G, bounds.y0 + row * G, bounds.x0 + (column + 2) * G, bounds.y0 + (row + 2) * G};
    const BlockKey key {pageIndex, column, row};

    {
        std::unique_lock<std::mutex> lock(m_blockMutex);
        // Another thread recording the same block: wait for it rather than record it twice.
        m_blockRecorded.wait(lock, [&] { return m_blocksRecording.count(key) == 0; });
        for (auto it = m_blocks.begin(); it != m_blocks.end(); ++it) {
            if (it->first == key) {
                m_blocks.splice(m_blocks.begin(), m_blocks, it);
                return fz_keep_display_list(ctx, it->second);
            }
        }
        m_blocksRecording.insert(key);
    }

    fz_display_list *list = nullptr;
    fz_device *device = nullptr;
    fz_var(list);
    fz_var(device);
    fz_try(ctx)
    {
        list = fz_new_display_list(ctx, block);
        device = fz_new_list_device(ctx, list);
        // Running a list with a scissor passes on only the commands that reach into it.
        fz_run_display_list(ctx, pageList, device, fz_identity, block, nullptr);
        fz_close_device(ctx, device);
    }
    fz_always(ctx)
    {
        fz_drop_device(ctx, device);
    }
    fz_catch(ctx)
    {
        fz_drop_display_list(ctx, list);
        list = nullptr;
    }

    std::lock_guard<std::mutex> lock(m_blockMutex);
    m_blocksRecording.erase(key);
    m_blockRecorded.notify_all();
    if (!list)
        return nullptr;
    m_blocks.emplace_front(key, list);
    while (int(m_blocks.size()) > kBlockCacheSize) {
        fz_drop_display_list(ctx, m_blocks.back().second);
        m_blocks.pop_back();
    }
    return fz_keep_display_list(ctx, list);
}

void PDFDocumentEngine::setDisplayListCacheSize(int pages)
{
    fz_context *ctx = PDFEngineContext::current();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_cacheCapacity = std::max(1, pages);
    if (ctx)
        trimCache(ctx);
}

int PDFDocumentEngine::displayListCacheSize() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_cacheCapacity;
}

void PDFDocumentEngine::trimCache(fz_context *ctx)
{
    while (int(m_cache.size()) > m_cacheCapacity) {
        fz_drop_display_list(ctx, m_cache.back().second);
        m_cache.pop_back();
    }
}

fz_display_list *PDFDocumentEngine::keepCachedDisplayList(fz_context *ctx, int pageIndex)
{
    for (const auto &entry : m_cache) {
        if (entry.first == pageIndex)
            return fz_keep_display_list(ctx, entry.second);
    }
    return nullptr;
}

fz_display_list *PDFDocumentEngine::keepDisplayList(fz_context *ctx, int pageIndex, fz_cookie *, PDFError *error)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_cache.begin(); it != m_cache.end(); ++it) {
        if (it->first == pageIndex) {
            m_cache.splice(m_cache.begin(), m_cache, it);
            return fz_keep_display_list(ctx, it->second);
        }
    }

    fz_page *page = nullptr;
    fz_device *device = nullptr;
    fz_display_list *list = nullptr;
    fz_var(page);
    fz_var(device);
    fz_var(list);
    fz_try(ctx)
    {
        page = fz_load_page(ctx, m_document, pageIndex);
        list = fz_new_display_list(ctx, fz_bound_page(ctx, page));
        device = fz_new_list_device(ctx, list);
        // Recording is not cancellable: a list is worth keeping even when the tile that asked
        // for it is no longer wanted, and the next tile of the page needs it anyway.
        fz_run_page(ctx, page, device, fz_identity, nullptr);
        fz_close_device(ctx, device);
    }
    fz_always(ctx)
    {
        fz_drop_device(ctx, device);
        fz_drop_page(ctx, page);
    }
    fz_catch(ctx)
    {
        fz_drop_display_list(ctx, list);
        setError(error, PDFEngineContext::caughtError(ctx, PDFErrorKind::Damaged));
        return nullptr;
    }
    m_cache.emplace_front(pageIndex, list);
    trimCache(ctx);
    return fz_keep_display_list(ctx, list);
}

bool PDFDocumentEngine::drawPage(fz_context *ctx, fz_document *document, int pageIndex, const fz_matrix &ctm,
    const fz_irect &box, unsigned char *samples, fz_cookie *cookie, PDFError *error)
{
    fz_page *page = nullptr;
    fz_pixmap *pixmap = nullptr;
    fz_device *device = nullptr;
    int failed = 0;
    fz_var(page);
    fz_var(pixmap);
    fz_var(device);
    fz_var(failed);
    fz_try(ctx)
    {
        page = fz_load_page(ctx, document, pageIndex);
        pixmap = fz_new_pixmap_with_bbox_and_data(ctx, fz_device_bgr(ctx), box, nullptr, 1, samples);
        fz_clear_pixmap_with_value(ctx, pixmap, 0xff);
        device = fz_new_draw_device(ctx, fz_identity, pixmap);
        fz_run_page(ctx, page, device, ctm, cookie);
        fz_close_device(ctx, device);
    }
    fz_always(ctx)
    {
        fz_drop_device(ctx, device);
        fz_drop_pixmap(ctx, pixmap);
        fz_drop_page(ctx, page);
    }
    fz_catch(ctx)
    {
        setError(error, PDFEngineContext::caughtError(ctx, PDFErrorKind::Damaged));
        failed = 1;
    }
    if (failed)
        return false;
    if (isAborted(cookie)) {
        setError(error, cancelledError());
        return false;
    }
    setError(error, PDFError {});
    return true;
}

QImage PDFDocumentEngine::renderPageOnce(int pageIndex, int rotation, qreal scale, const QRect &tile, PDFError *error)
{
    if (pageIndex < 0 || pageIndex >= pageCount() || !(scale > 0) || !std::isfinite(scale) || tile.isEmpty()
        || qint64(tile.width()) * tile.height() > kMaxTilePixels) {
        setError(error, PDFErrorKind::Damaged, QStringLiteral("invalid render request"));
        return {};
    }
    fz_context *ctx = PDFEngineContext::current();
    if (!ctx) {
        setError(error, PDFEngineContext::noContextError());
        return {};
    }
    QImage image(tile.size(), QImage::Format_RGB32);
    if (image.isNull()) {
        setError(error, PDFErrorKind::Damaged, QStringLiteral("out of memory for the image"));
        return {};
    }
    const fz_matrix ctm = displayMatrix(geometry(pageIndex), rotation, float(scale));
    const fz_irect box = {tile.left(), tile.top(), tile.left() + tile.width(), tile.top() + tile.height()};
    std::lock_guard<std::mutex> lock(m_mutex);
    return drawPage(ctx, m_document, pageIndex, ctm, box, image.bits(), nullptr, error) ? image : QImage();
}

QImage PDFDocumentEngine::renderTile(
    int pageIndex, int rotation, qreal scale, const QRect &tile, fz_cookie *cookie, PDFError *error)
{
    if (pageIndex < 0 || pageIndex >= pageCount()) {
        setError(error, PDFErrorKind::Damaged, QStringLiteral("no page %1").arg(pageIndex));
        return {};
    }
    if (!(scale > 0) || !std::isfinite(scale) || tile.isEmpty()
        || qint64(tile.width()) * tile.height() > kMaxTilePixels) {
        setError(error, PDFErrorKind::Damaged, QStringLiteral("invalid tile request"));
        return {};
    }
    fz_context *ctx = PDFEngineContext::current();
    if (!ctx) {
        setError(error, PDFEngineContext::noContextError());
        return {};
    }
    fz_cookie ownCookie = {};
    if (!cookie)
        cookie = &ownCookie;
    if (isAborted(cookie)) {
        setError(error, cancelledError());
        return {};
    }

    QImage image(tile.size(), QImage::Format_RGB32);
    if (image.isNull()) {
        setError(error, PDFErrorKind::Damaged, QStringLiteral("out of memory for the tile"));
        return {};
    }
    // The pixmap draws straight into the image: BGRA bytes are Format_RGB32 in memory, and
    // a QImage row of 4-byte pixels has no padding.
    unsigned char *samples = image.bits();
    const fz_matrix ctm = displayMatrix(geometry(pageIndex), rotation, float(scale));
    const fz_irect box = {tile.left(), tile.top(), tile.left() + tile.width(), tile.top() + tile.height()};

    fz_display_list *pageList = keepDisplayList(ctx, pageIndex, cookie, error);
    if (!pageList)
        return {};
    // At high zoom only the block of the page around the tile is walked.
    const fz_rect area = fz_transform_rect(fz_rect_from_irect(box), fz_invert_matrix(ctm));
    fz_display_list *const block = keepBlockList(ctx, pageList, pageIndex, area);
    if (block)
        fz_drop_display_list(ctx, pageList);
    fz_display_list *const list = block ? block : pageList;
    fz_pixmap *pixmap = nullptr;
    fz_device *device = nullptr;
    int failed = 0;
    fz_var(cookie);
    fz_var(failed);
    fz_var(pixmap);
    fz_var(device);
    fz_try(ctx)
    {
        pixmap = fz_new_pixmap_with_bbox_and_data(ctx, fz_device_bgr(ctx), box, nullptr, 1, samples);
        fz_clear_pixmap_with_value(ctx, pixmap, 0xff);
        device = fz_new_draw_device(ctx, fz_identity, pixmap);
        fz_run_display_list(ctx, list, device, ctm, fz_rect_from_irect(box), cookie);
        fz_close_device(ctx, device);
    }
    fz_always(ctx)
    {
        fz_drop_device(ctx, device);
        fz_drop_pixmap(ctx, pixmap);
        fz_drop_display_list(ctx, list);
    }
    fz_catch(ctx)
    {
        setError(error, PDFEngineContext::caughtError(ctx, PDFErrorKind::Damaged));
        failed = 1;
    }
    if (failed)
        return {};
    if (isAborted(cookie)) {
        setError(error, cancelledError());
        return {};
    }
    if (cookie->errors > 0)
        setError(error, PDFErrorKind::Damaged,
            QStringLiteral("%1 errors while drawing page %2").arg(cookie->errors).arg(pageIndex));
    else
        setError(error, PDFError {});
    return image;
}

QVector<PDFLink> PDFDocumentEngine::links(int pageIndex)
{
    QVector<PDFLink> result;
    if (pageIndex < 0 || pageIndex >= pageCount())
        return result;
    fz_context *ctx = PDFEngineContext::current();
    if (!ctx)
        return result;

    std::lock_guard<std::mutex> lock(m_mutex);
    fz_page *page = nullptr;
    fz_link *links = nullptr;
    int failed = 0;
    fz_var(page);
    fz_var(links);
    fz_var(failed);
    fz_try(ctx)
    {
        page = fz_load_page(ctx, m_document, pageIndex);
        links = fz_load_links(ctx, page);
    }
    fz_catch(ctx)
    {
        failed = 1;
    }
    if (!failed) {
        for (const fz_link *link = links; link; link = link->next) {
            if (!link->uri)
                continue;
            int external = 0;
            int destination = -1;
            float x = NAN;
            float y = NAN;
            if (!resolveLink(ctx, m_document, link->uri, &external, &destination, &x, &y)
                || (external && !isWebOrMailURI(link->uri)))
                continue;
            PDFLink item;
            item.rect = toPageSpace(link->rect, geometry(pageIndex));
            if (external) {
                item.uri = QString::fromUtf8(link->uri);
            } else {
                if (destination < 0 || destination >= pageCount())
                    continue;
                const fz_rect &target = geometry(destination).bounds;
                item.destinationPage = destination;
                item.destinationPoint = QPointF(
                    std::isnan(x) ? qQNaN() : qreal(x - target.x0), std::isnan(y) ? qQNaN() : qreal(y - target.y0));
            }
            result.append(item);
        }
    }
    fz_drop_link(ctx, links);
    fz_drop_page(ctx, page);
    return result;
}

std::u32string PDFDocumentEngine::foldedNeedle(const QString &query)
{
    const QList<uint> ucs4 = query.toUcs4();
    std::u32string folded(ucs4.begin(), ucs4.end());
    fz_context *ctx = PDFEngineContext::current();
    if (!ctx)
        return {};
    char32_t *c = folded.data();
    const size_t count = folded.size();
    int ok = 0;
    fz_var(ok);
    fz_try(ctx)
    {
        for (size_t i = 0; i < count; ++i)
            c[i] = char32_t(fz_tolower(int(scalarValue(int(c[i])))));
        ok = 1;
    }
    fz_catch(ctx)
    {
        ok = 0;
    }
    return ok ? PDFTextMatch::needle(folded) : std::u32string();
}

std::vector<PDFTextMatch::Hit> PDFDocumentEngine::find(
    int pageIndex, const std::u32string &needle, fz_cookie *cookie, PDFError *error)
{
    std::vector<PDFTextMatch::Hit> hits;
    if (pageIndex < 0 || pageIndex >= pageCount() || needle.empty())
        return hits;
    fz_context *ctx = PDFEngineContext::current();
    if (!ctx) {
        setError(error, PDFEngineContext::noContextError());
        return hits;
    }

    // Extract the page's text: from its display list when one is cached (outside the lock),
    // else straight from the page under the lock. Searching never fills the cache.
    fz_stext_options options = {};
    fz_stext_page *text = nullptr;
    fz_device *device = nullptr;
    fz_display_list *list = nullptr;
    fz_page *page = nullptr;
    int failed = 0;
    fz_var(failed);
    fz_var(list);
    fz_var(text);
    fz_var(device);
    fz_var(page);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        list = keepCachedDisplayList(ctx, pageIndex);
        if (!list) {
            fz_try(ctx)
            {
                page = fz_load_page(ctx, m_document, pageIndex);
                text = fz_new_stext_page(ctx, fz_bound_page(ctx, page));
                device = fz_new_stext_device(ctx, text, &options);
                fz_run_page(ctx, page, device, fz_identity, cookie);
                fz_close_device(ctx, device);
            }
            fz_always(ctx)
            {
                fz_drop_device(ctx, device);
                fz_drop_page(ctx, page);
            }
            fz_catch(ctx)
            {
                setError(error, PDFEngineContext::caughtError(ctx, PDFErrorKind::Damaged));
                failed = 1;
            }
        }
    }
    if (list) {
        device = nullptr;
        fz_try(ctx)
        {
            text = fz_new_stext_page(ctx, fz_bound_display_list(ctx, list));
            device = fz_new_stext_device(ctx, text, &options);
            fz_run_display_list(ctx, list, device, fz_identity, fz_infinite_rect, cookie);
            fz_close_device(ctx, device);
        }
        fz_always(ctx)
        {
            fz_drop_device(ctx, device);
            fz_drop_display_list(ctx, list);
        }
        fz_catch(ctx)
        {
            setError(error, PDFEngineContext::caughtError(ctx, PDFErrorKind::Damaged));
            failed = 1;
        }
    }
    if (failed || isAborted(cookie)) {
        fz_drop_stext_page(ctx, text);
        if (!failed)
            setError(error, cancelledError());
        return hits;
    }

    std::vector<PDFTextMatch::Glyph> glyphs = collectGlyphs(text, geometry(pageIndex));
    fz_drop_stext_page(ctx, text);
    if (!foldGlyphs(ctx, &glyphs, error))
        return hits;
    hits = PDFTextMatch::find(glyphs, needle);
    setError(error, PDFError {});
    return hits;
}
