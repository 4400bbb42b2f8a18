#pragma once

#include "PDFTilePainter.h"

class BlueprintPDFView;
class PDFRenderQueue;

// What tests and the benchmark read of a canvas beyond its public interface: whether the view
// is sharp, whether rendering has stopped, the frame counts, and a way to forget every image.
// Linked by tests and the benchmark only.
class PDFCanvasProbe {
public:
    explicit PDFCanvasProbe(BlueprintPDFView &canvas);

    // True when every visible tile is rendered at the current scale.
    bool isViewSharp() const;
    // Nothing is queued or running in the canvas's render queue.
    bool isRenderIdle() const { return isIdle(renderQueue()); }
    static bool isIdle(const PDFRenderQueue &queue);
    PDFRenderQueue &renderQueue() const;
    // Drops every cached image; renders already queued or running go on.
    void forgetImages();
    PDFTilePainter::FrameStats frameStats() const;
    void resetFrameStats();

private:
    BlueprintPDFView &m_canvas;
};
