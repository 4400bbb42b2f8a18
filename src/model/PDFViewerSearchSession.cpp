#include "PDFViewerSearchSession.h"

#include "PDFDocument.h"

PDFViewerSearchSession::PDFViewerSearchSession(QObject *parent)
    : QObject(parent)
{
}

PDFViewerSearchSession::~PDFViewerSearchSession()
{
    // Nothing of the find reaches a listener that is going away with this session.
    if (m_document) {
        m_document->disconnect(this);
        m_document->cancelFindString();
    }
}

void PDFViewerSearchSession::start(std::shared_ptr<PDFDocument> document, const QString &query)
{
    cancel();
    m_document = std::move(document);
    m_query = query;
    // Direct connections: the document emits on this thread and drops every event of a
    // cancelled or replaced find before emitting, so a handler never sees a stale match. A
    // queued hop here would let a match of the previous find of the same document through.
    PDFDocument *source = m_document.get();
    connect(source, &PDFDocument::didBeginFind, this, [this](PDFDocument *from) {
        if (isCurrent(from))
            emit begun();
    });
    connect(source, &PDFDocument::didFindMatch, this, [this](PDFDocument *from, const PDFSelection &selection) {
        if (!isCurrent(from) || selection.isEmpty())
            return;
        m_matches.append(selection);
        emit matchFound(int(m_matches.size()));
    });
    connect(source, &PDFDocument::didEndFind, this, [this](PDFDocument *from) {
        if (isCurrent(from))
            emit ended();
    });
    source->beginFindString(m_query);
}

void PDFViewerSearchSession::cancel()
{
    if (m_document) {
        m_document->cancelFindString();
        m_document->disconnect(this);
    }
    m_document.reset();
    m_query.clear();
    m_matches.clear();
}

bool PDFViewerSearchSession::isCurrent(const PDFDocument *document) const
{
    return document && document == m_document.get();
}
