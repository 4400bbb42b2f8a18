#include "PDFFindWorker.h"

#include "PDFDocument.h"
#include "PDFDocumentEngine.h"

PDFFindWorker::PDFFindWorker(
    PDFDocument *document, PDFDocumentEngine *engine, const QByteArray &needleUtf8, quint64 generation)
    : m_document(document)
    , m_engine(engine)
    , m_needle(needleUtf8)
    , m_generation(generation)
    , m_thread([this] { run(); })
{
}

PDFFindWorker::~PDFFindWorker()
{
    cancel();
    if (m_thread.joinable())
        m_thread.join();
}

void PDFFindWorker::cancel()
{
    __atomic_store_n(&m_cookie.abort, 1, __ATOMIC_RELAXED);
}

bool PDFFindWorker::isCancelled() const
{
    return __atomic_load_n(&m_cookie.abort, __ATOMIC_RELAXED) || m_document->m_findGeneration.load() != m_generation;
}

void PDFFindWorker::run()
{
    const int pageCount = m_engine->pageCount();
    for (int pageIndex = 0; pageIndex < pageCount && !isCancelled(); ++pageIndex) {
        PDFError error;
        const std::vector<PDFTextHit> hits = m_engine->find(pageIndex, m_needle, &m_cookie, &error);
        // A page that cannot be read has no hits; the find goes on with the next one.
        for (const PDFTextHit &hit : hits) {
            if (isCancelled())
                break;
            PDFSelection selection;
            selection.pageIndex = pageIndex;
            selection.string = hit.text;
            selection.rects = hit.rects;
            m_document->postFindEvent(m_generation, PDFDocument::FindEvent::Match, selection);
        }
    }
    if (!isCancelled())
        m_document->postFindEvent(m_generation, PDFDocument::FindEvent::End);
    m_finished.store(true);
}
