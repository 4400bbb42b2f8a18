#include "PDFFindWorker.h"

#include "PDFCancelCookie.h"
#include "PDFDocumentEngine.h"
#include "PDFTextSearch.h"

PDFFindWorker::PDFFindWorker(PDFDocumentEngine *engine, std::u32string needle, Report report)
    : m_engine(engine)
    , m_needle(std::move(needle))
    , m_report(std::move(report))
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
    PDFCancelCookie::cancel(&m_cookie);
}

void PDFFindWorker::run()
{
    const int pageCount = m_engine->pageCount();
    for (int pageIndex = 0; pageIndex < pageCount && !PDFCancelCookie::isCancelled(&m_cookie); ++pageIndex) {
        PDFError error;
        const std::vector<PDFTextMatch::Hit> hits
            = PDFTextSearch::find(*m_engine, pageIndex, m_needle, &m_cookie, &error);
        // A page that cannot be read has no hits; the find goes on with the next one.
        if (hits.empty() || PDFCancelCookie::isCancelled(&m_cookie))
            continue;
        QVector<PDFSelection> selections;
        selections.reserve(qsizetype(hits.size()));
        for (const PDFTextMatch::Hit &hit : hits)
            selections.append(PDFSelection {pageIndex, hit.text, hit.rects});
        m_report(std::move(selections), false);
    }
    if (!PDFCancelCookie::isCancelled(&m_cookie))
        m_report({}, true);
    m_finished.store(true);
}
