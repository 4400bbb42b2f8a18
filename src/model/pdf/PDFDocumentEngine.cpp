#include "PDFDocumentEngine.h"

#include "PDFDocument.h"
#include "PDFEngineContext.h"

#include <mupdf/pdf.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// Opens `nativePath` for reading, refusing anything but a regular file before a byte is read:
// a FIFO named x.pdf would otherwise block until some writer came, and a device would never
// end. The descriptor is opened without blocking and checked, so the file checked is the file
// read. Null (error set) on failure.
FILE *openRegularFile(const QByteArray &nativePath, PDFError *error)
{
    const int fd = ::open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        PDFError::set(error, PDFErrorKind::CannotOpen, QString::fromLocal8Bit(std::strerror(errno)));
        return nullptr;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        PDFError::set(error, PDFErrorKind::CannotOpen, QStringLiteral("not a regular file"));
        return nullptr;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FILE *file = ::fdopen(fd, "rb");
    if (!file) {
        ::close(fd);
        PDFError::set(error, PDFErrorKind::CannotOpen, QString::fromLocal8Bit(std::strerror(errno)));
    }
    return file;
}

// A stream over a descriptor read with pread: it keeps its own position, so any number of
// them, and the engine's FILE, read one file side by side.
struct PositionalReader {
    int fd;
    unsigned char buffer[16384];
};

int readChunk(fz_context *ctx, fz_stream *stream, size_t)
{
    auto *reader = static_cast<PositionalReader *>(stream->state);
    ssize_t n;
    do
        n = ::pread(reader->fd, reader->buffer, sizeof reader->buffer, off_t(stream->pos));
    while (n < 0 && errno == EINTR);
    if (n < 0)
        fz_throw(ctx, FZ_ERROR_GENERIC, "read error: %s", std::strerror(errno));
    stream->rp = reader->buffer;
    stream->wp = reader->buffer + n;
    stream->pos += n;
    return n == 0 ? EOF : *stream->rp++;
}

// MuPDF turns SEEK_CUR into SEEK_SET before calling this. A seek within the bytes read last
// keeps them: objects near each other are read with one call.
void seekTo(fz_context *ctx, fz_stream *stream, int64_t offset, int whence)
{
    auto *reader = static_cast<PositionalReader *>(stream->state);
    if (whence == SEEK_END) {
        struct stat info;
        if (::fstat(reader->fd, &info) != 0)
            fz_throw(ctx, FZ_ERROR_GENERIC, "cannot seek: %s", std::strerror(errno));
        offset += info.st_size;
    }
    if (offset < 0)
        fz_throw(ctx, FZ_ERROR_GENERIC, "cannot seek before the start of the file");
    const int64_t bufferStart = stream->pos - (stream->wp - reader->buffer);
    if (offset >= bufferStart && offset <= stream->pos) {
        stream->rp = reader->buffer + (offset - bufferStart);
        return;
    }
    stream->pos = offset;
    stream->rp = stream->wp = reader->buffer;
}

void dropReader(fz_context *ctx, void *state)
{
    fz_free(ctx, state);
}

// Opens `stream` as a PDF with scripts off, trying the empty password; throws as MuPDF does.
// `*pageCount` stays 0 when the file is locked.
pdf_document *openPDF(fz_context *ctx, fz_stream *stream, int *locked, int *pageCount)
{
    pdf_document *pdf = pdf_open_document_with_stream(ctx, stream);
    // Scripts never run: a document's scripts, open action and field events stay inert.
    // Opening leaves them off already; this keeps them off whatever the library's default.
    pdf_disable_js(ctx, pdf);
    fz_try(ctx)
    {
        if (pdf_needs_password(ctx, pdf) && !pdf_authenticate_password(ctx, pdf, ""))
            *locked = 1;
        else
            *pageCount = std::clamp(pdf_count_pages(ctx, pdf), 0, PDFDocument::maximumPageCount);
    }
    fz_catch(ctx)
    {
        pdf_drop_document(ctx, pdf);
        fz_rethrow(ctx);
    }
    return pdf;
}

} // namespace

PDFDocumentEngine::PDFDocumentEngine()
    : m_displayLists(*this)
{
}

std::unique_ptr<PDFDocumentEngine> PDFDocumentEngine::open(const QByteArray &nativePath, PDFError *error)
{
    fz_context *ctx = PDFEngineContext::current();
    if (!ctx) {
        PDFError e = PDFEngineContext::noContextError();
        e.kind = PDFErrorKind::CannotOpen;
        PDFError::set(error, e);
        return nullptr;
    }
    if (nativePath.isEmpty() || nativePath.contains('\0')) {
        PDFError::set(error, PDFErrorKind::CannotOpen, QStringLiteral("invalid file name"));
        return nullptr;
    }

    FILE *file = openRegularFile(nativePath, error);
    if (!file)
        return nullptr;
    pdf_document *pdf = nullptr;
    fz_stream *stream = nullptr;
    int locked = 0;
    int repaired = 0;
    int pageCount = 0;
    fz_var(pdf);
    fz_var(stream);
    fz_try(ctx)
    {
        stream = fz_open_file_ptr_no_close(ctx, file);
        pdf = openPDF(ctx, stream, &locked, &pageCount);
        repaired = pdf_was_repaired(ctx, pdf);
    }
    fz_always(ctx)
    {
        fz_drop_stream(ctx, stream); // the document keeps its own reference
    }
    fz_catch(ctx)
    {
        pdf_drop_document(ctx, pdf);
        std::fclose(file);
        PDFError::set(error, PDFEngineContext::caughtError(ctx, PDFErrorKind::CannotOpen));
        return nullptr;
    }

    std::unique_ptr<PDFDocumentEngine> engine(new PDFDocumentEngine);
    engine->m_document = &pdf->super;
    engine->m_file = file;
    engine->m_locked = locked;
    engine->m_repaired = repaired;
    if (!PDFPageTree::read(ctx, pdf, pageCount, &engine->m_geometry, &engine->m_pages)) {
        PDFError::set(error, PDFErrorKind::CannotOpen, QStringLiteral("damaged page tree"));
        return nullptr;
    }
    if (!locked)
        engine->m_layers.read(ctx, pdf, engine->m_pages);
    PDFError::set(error, PDFError {});
    return engine;
}

PDFDocumentEngine::~PDFDocumentEngine()
{
    fz_context *ctx = PDFEngineContext::current();
    if (!ctx)
        return; // nothing can be released without a context; the process is out of memory
    m_displayLists.clear(ctx);
    fz_drop_document(ctx, m_document);
    if (m_file)
        std::fclose(m_file);
}

fz_document *PDFDocumentEngine::openPrivateDocument(fz_context *ctx, PDFError *error) const
{
    if (m_repaired) {
        PDFError::set(error, PDFErrorKind::Damaged, QStringLiteral("the file would be scanned whole again"));
        return nullptr;
    }
    pdf_document *pdf = nullptr;
    fz_stream *stream = nullptr;
    int locked = 0;
    int pageCount = 0;
    fz_var(pdf);
    fz_var(stream);
    fz_try(ctx)
    {
        auto *reader = fz_malloc_struct(ctx, PositionalReader);
        reader->fd = ::fileno(m_file);
        stream = fz_new_stream(ctx, reader, readChunk, dropReader);
        stream->seek = seekTo;
        pdf = openPDF(ctx, stream, &locked, &pageCount);
    }
    fz_always(ctx)
    {
        fz_drop_stream(ctx, stream);
    }
    fz_catch(ctx)
    {
        PDFError::set(error, PDFEngineContext::caughtError(ctx, PDFErrorKind::Damaged));
        return nullptr;
    }
    // The same file reads the same: its pages are the engine's, found through an index. (The
    // page table MuPDF can build keeps a reference to each page it finds, which is never let go.)
    if (locked || pageCount != this->pageCount() || !PDFPageTree::index(ctx, pdf, m_pages)) {
        pdf_drop_document(ctx, pdf);
        PDFError::set(error, PDFErrorKind::Damaged, QStringLiteral("the file reads differently a second time"));
        return nullptr;
    }
    m_layers.applyTo(ctx, pdf);
    return &pdf->super;
}

void PDFDocumentEngine::closePrivateDocument(fz_context *ctx, fz_document *document)
{
    if (!document)
        return;
    fz_drop_document(ctx, document);
}

PDFDocumentEngine::LockedPage::LockedPage(const PDFDocumentEngine &engine, int pageIndex)
    : m_lock(engine.mutex(), std::defer_lock)
    , m_ctx(engine.hasPage(pageIndex) ? PDFEngineContext::current() : nullptr)
{
    if (!m_ctx)
        return;
    m_lock.lock();
    m_page = engine.loadPage(m_ctx, pageIndex, nullptr);
}

PDFDocumentEngine::LockedPage::~LockedPage()
{
    if (m_page)
        fz_drop_page(m_ctx, m_page);
}

fz_page *PDFDocumentEngine::loadPage(fz_context *ctx, fz_document *document, int pageIndex, PDFError *error)
{
    fz_page *page = nullptr;
    fz_var(page);
    fz_try(ctx)
    {
        page = fz_load_page(ctx, document, pageIndex);
    }
    fz_catch(ctx)
    {
        PDFError::set(error, PDFEngineContext::caughtError(ctx, PDFErrorKind::Damaged));
    }
    return page;
}
