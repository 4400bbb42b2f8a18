#pragma once

// Internal to the engine boundary (includes MuPDF).

#include "PDFSelection.h"

#include <mupdf/fitz.h>

#include <QVector>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

class PDFDocumentEngine;

// One find, run page by page on a thread of its own. Owned by a PDFFindSession on the UI
// thread, which outlives the thread: the destructor cancels and joins.
class PDFFindWorker {
public:
    // Called on the worker thread: once per page with hits (`last` false), then once with
    // `last` true and no selections when every page was searched. Nothing after cancel().
    using Report = std::function<void(QVector<PDFSelection> selections, bool last)>;

    // `needle` comes from PDFTextSearch::foldedNeedle and is not empty; `engine` outlives
    // the worker.
    PDFFindWorker(PDFDocumentEngine *engine, std::u32string needle, Report report);
    ~PDFFindWorker();
    PDFFindWorker(const PDFFindWorker &) = delete;
    PDFFindWorker &operator=(const PDFFindWorker &) = delete;

    // Any thread. Interrupts the page being searched.
    void cancel();
    // True once the thread has reported for the last time; joining is then immediate.
    bool isFinished() const { return m_finished.load(); }

private:
    void run();

    PDFDocumentEngine *const m_engine;
    const std::u32string m_needle;
    const Report m_report;
    fz_cookie m_cookie = {}; // abort is written by cancel(), read by MuPDF on the worker
    std::atomic<bool> m_finished {false};
    std::thread m_thread; // last: starts once everything above is set
};
