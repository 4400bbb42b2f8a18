#pragma once

// Internal to the engine boundary (includes MuPDF).

#include "PDFEngineContext.h"

#include <string>

#include <atomic>
#include <thread>

class PDFDocument;
struct PDFDocumentEngine;

// One find, run page by page on its own thread. Each page's hits reach the document as one
// queued event tagged with the find's generation; the document drops those of a cancelled
// find.
//
// Owned by the document on the UI thread, which outlives the thread: the destructor
// cancels and joins.
class PDFFindWorker {
public:
    // `needle` comes from PDFDocumentEngine::foldedNeedle and is not empty.
    PDFFindWorker(PDFDocument *document, PDFDocumentEngine *engine, std::u32string needle, quint64 generation);
    ~PDFFindWorker();
    PDFFindWorker(const PDFFindWorker &) = delete;
    PDFFindWorker &operator=(const PDFFindWorker &) = delete;

    // Any thread. Interrupts the page being searched; no further events are posted.
    void cancel();
    // True once the thread has posted its last event; joining is then immediate.
    bool isFinished() const { return m_finished.load(); }

private:
    void run();
    bool isCancelled() const;

    PDFDocument *const m_document;
    PDFDocumentEngine *const m_engine;
    const std::u32string m_needle;
    const quint64 m_generation;
    fz_cookie m_cookie = {}; // abort is written by cancel(), read by MuPDF on the worker
    std::atomic<bool> m_finished {false};
    std::thread m_thread; // last: starts once everything above is set
};
