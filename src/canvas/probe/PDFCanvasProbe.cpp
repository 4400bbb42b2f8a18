#include "PDFCanvasProbe.h"

#include "BlueprintPDFView.h"
#include "PDFRenderQueue.h"

PDFCanvasProbe::PDFCanvasProbe(BlueprintPDFView &canvas)
    : m_canvas(canvas)
{
}

bool PDFCanvasProbe::isViewSharp() const
{
    return m_canvas.m_tiles->isViewSharp(m_canvas.devicePixelRatioF());
}

bool PDFCanvasProbe::isIdle(const PDFRenderQueue &queue)
{
    return queue.m_queue.isEmpty() && queue.m_running.isEmpty();
}

PDFRenderQueue &PDFCanvasProbe::renderQueue() const
{
    return *m_canvas.m_renderQueue;
}

void PDFCanvasProbe::forgetImages()
{
    // Generation 0 is never a document's: the queue counts from 1.
    renderQueue().cache().keepOnlyDocument(0);
}

PDFTilePainter::FrameStats PDFCanvasProbe::frameStats() const
{
    return m_canvas.m_tiles->m_frameStats;
}

void PDFCanvasProbe::resetFrameStats()
{
    m_canvas.m_tiles->m_frameStats = {};
}
