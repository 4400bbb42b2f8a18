#include "PDFFindWorker.h"

#include "PDFCancelCookie.h"
#include "PDFDocumentEngine.h"
#include "PDFEngineContext.h"
#include "PDFGlyphCollector.h"
#include "PDFTextSearch.h"

#include <algorithm>

namespace {

// One thread a core, at most PDFFindWorker::kMaxLanes and no more than there are pages; one
// when every thread's private document would scan the whole file.
int laneCount(const PDFDocumentEngine &engine)
{
    if (!engine.opensPrivateDocumentsCheaply())
        return 1;
    const int most = std::max(1, std::min(PDFFindWorker::kMaxLanes, engine.pageCount()));
    return std::clamp(int(std::thread::hardware_concurrency()), 1, most);
}

} // namespace

PDFFindWorker::PDFFindWorker(PDFDocumentEngine *engine, std::u32string needle, Report report)
    : m_engine(engine)
    , m_needle(std::move(needle))
    , m_report(std::move(report))
    , m_pageCount(engine->pageCount())
    , m_lanes(size_t(laneCount(*engine)))
{
    m_running = int(m_lanes.size());
    for (size_t lane = 0; lane < m_lanes.size(); ++lane)
        m_lanes[lane].thread = std::thread([this, lane] { run(int(lane)); });
}

PDFFindWorker::~PDFFindWorker()
{
    cancel();
    for (Lane &lane : m_lanes) {
        if (lane.thread.joinable())
            lane.thread.join();
    }
}

void PDFFindWorker::cancel()
{
    for (Lane &lane : m_lanes)
        PDFCancelCookie::cancel(&lane.cookie);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_cancelled = true;
    m_reported.notify_all();
}

void PDFFindWorker::run(int lane)
{
    // A thread whose private document cannot be opened reads through the engine's instead.
    fz_context *ctx = PDFEngineContext::current();
    fz_document *own = ctx ? m_engine->openPrivateDocument(ctx, nullptr) : nullptr;
    fz_cookie *cookie = &m_lanes[size_t(lane)].cookie;
    PDFGlyphCollector collector;
    for (int pageIndex = takePage(); pageIndex >= 0; pageIndex = takePage()) {
        PDFError error;
        // A page that cannot be read has no hits; the find goes on with the next one.
        const std::vector<PDFTextMatch::Hit> hits
            = PDFTextSearch::find(*m_engine, own, collector, m_glyphIds, pageIndex, m_needle, cookie, &error);
        QVector<PDFSelection> selections;
        selections.reserve(qsizetype(hits.size()));
        for (const PDFTextMatch::Hit &hit : hits)
            selections.append(PDFSelection {pageIndex, hit.text, hit.rects});
        if (!finishPage(pageIndex, std::move(selections)))
            break;
    }
    if (ctx)
        collector.clear(ctx);
    PDFDocumentEngine::closePrivateDocument(ctx, own);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (--m_running > 0)
        return;
    if (!m_cancelled)
        m_report({}, true);
    m_finished.store(true);
}

int PDFFindWorker::takePage()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_reported.wait(lock, [this] { return m_cancelled || m_nextPage < m_nextReport + kWindow; });
    if (m_cancelled || m_nextPage >= m_pageCount)
        return -1;
    return m_nextPage++;
}

bool PDFFindWorker::finishPage(int pageIndex, QVector<PDFSelection> selections)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_cancelled)
        return false;
    m_waiting.emplace(pageIndex, std::move(selections));
    for (auto next = m_waiting.begin(); next != m_waiting.end() && next->first == m_nextReport;
         next = m_waiting.erase(next), ++m_nextReport) {
        if (!next->second.isEmpty())
            m_report(std::move(next->second), false);
    }
    m_reported.notify_all();
    return true;
}
