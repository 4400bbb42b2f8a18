#include "PDFFindWorker.h"

#include "PDFDocument.h"
#include "PDFDocumentEngine.h"

PDFFindWorker::PDFFindWorker(
    PDFDocument *document, PDFDocumentEngine *engine, std::u32string needle, quint64 generation)
    : m_document(document)
    , m_engine(engine)
    , m_needle(std::move(needle))
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
        const std::vector<PDFTextMatch::Hit> hits = m_engine->find(pageIndex, m_needle, &m_cookie, &error);
        // A page that cannot be read has no hits; the find goes on with the next one.
        if (hits.empty() || isCancelled())
            continue;
        QVector<PDFSelection> selections;
        selections.reserve(qsizetype(hits.size()));
        for (const PDFTextMatch::Hit &hit : hits)
            selections.append(PDFSelection {pageIndex, hit.text, hit.rects});
        m_document->postFindEvent(m_generation, PDFDocument::FindEvent::Matches, std::move(selections));
    }
    if (!isCancelled())
        m_document->postFindEvent(m_generation, PDFDocument::FindEvent::End);
    m_finished.store(true);
}
