#include "PDFFindSession.h"

#include "PDFDocumentEngine.h"
#include "PDFFindWorker.h"
#include "PDFTextSearch.h"
#include "PlenvoThreadHandOver.h"

#include <algorithm>

PDFFindSession::PDFFindSession(QObject *context, PDFDocumentEngine *engine, Listener listener)
    : m_context(context)
    , m_engine(engine)
    , m_listener(std::move(listener))
{
}

PDFFindSession::~PDFFindSession()
{
    ++m_generation;
    m_worker.reset();
    m_stopping.clear();
}

void PDFFindSession::begin(const QString &query)
{
    cancel();
    const quint64 generation = ++m_generation;
    m_finding = true;
    post(generation, Event::Begin);
    std::u32string needle = PDFTextSearch::foldedNeedle(query);
    if (needle.empty() || m_engine->pageCount() == 0) {
        post(generation, Event::End);
        return;
    }
    m_worker = std::make_unique<PDFFindWorker>(
        m_engine, std::move(needle), [this, generation](QVector<PDFSelection> selections, bool last) {
            post(generation, last ? Event::End : Event::Matches, std::move(selections));
        });
}

void PDFFindSession::cancel()
{
    ++m_generation;
    m_finding = false;
    if (m_worker) {
        m_worker->cancel();
        m_stopping.push_back(std::move(m_worker));
    }
    reap();
}

void PDFFindSession::reap()
{
    m_stopping.erase(std::remove_if(m_stopping.begin(), m_stopping.end(),
                         [](const std::unique_ptr<PDFFindWorker> &worker) { return worker->isFinished(); }),
        m_stopping.end());
}

void PDFFindSession::post(quint64 generation, Event event, QVector<PDFSelection> selections)
{
    PlenvoThreadHandOver::post(m_context,
        [this, generation, event, selections = std::move(selections)] { deliver(generation, event, selections); });
}

void PDFFindSession::deliver(quint64 generation, Event event, const QVector<PDFSelection> &selections)
{
    if (generation != m_generation)
        return;
    switch (event) {
    case Event::Begin:
        m_listener.began();
        break;
    case Event::Matches:
        for (const PDFSelection &selection : selections) {
            if (generation != m_generation)
                return;
            m_listener.matched(selection);
        }
        break;
    case Event::End:
        m_finding = false;
        if (m_worker) {
            // The worker posted this as its last act; joining it returns at once.
            m_stopping.push_back(std::move(m_worker));
        }
        reap();
        m_listener.ended();
        break;
    }
}
