#pragma once

// Internal to the engine boundary (includes MuPDF).

#include "PDFGlyphIdTables.h"
#include "PDFSelection.h"

#include <mupdf/fitz.h>

#include <QVector>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class PDFDocumentEngine;

// One find, run on threads of its own (one a core, at most kMaxLanes), each taking the next
// page no thread has taken yet and reading it through a private document of its own
// (PDFDocumentEngine::openPrivateDocument): pages are interpreted side by side, and the
// engine's mutex, which renders wait for, is held only to look for a page's recorded list.
// A file whose private documents would each scan it whole (a rebuilt cross-reference table)
// is searched on one thread through the engine's document.
// Owned by a PDFFindSession on the UI thread, which outlives the threads: the destructor
// cancels and joins.
//
// Results leave in page order, whichever thread finished first. No thread starts a page more
// than kWindow pages past the first page not yet reported, so the hits held back while a slow
// page is searched stay bounded.
class PDFFindWorker {
public:
    // Called on one of the worker's threads, never two at once: once per page with hits
    // (`last` false) in page order, then once with `last` true and no selections when every
    // page was searched. Nothing after cancel().
    using Report = std::function<void(QVector<PDFSelection> selections, bool last)>;

    static constexpr int kMaxLanes = 2;
    static constexpr int kWindow = 16;

    // `needle` comes from PDFTextSearch::foldedNeedle and is not empty; `engine` outlives
    // the worker.
    PDFFindWorker(PDFDocumentEngine *engine, std::u32string needle, Report report);
    ~PDFFindWorker();
    PDFFindWorker(const PDFFindWorker &) = delete;
    PDFFindWorker &operator=(const PDFFindWorker &) = delete;

    // Any thread. Interrupts the pages being searched.
    void cancel();
    // True once every thread has reported for the last time; joining is then immediate.
    bool isFinished() const { return m_finished.load(); }

private:
    // One thread's share; its cookie is its own because MuPDF counts progress in it.
    struct Lane {
        fz_cookie cookie = {}; // abort is written by cancel(), read by MuPDF on the lane
        std::thread thread;
    };

    void run(int lane);
    // The next page for a lane to search, or -1 when there is none or the find is cancelled.
    int takePage();
    // Files the page's selections and reports every page now next in order. Returns false
    // when the find was cancelled.
    bool finishPage(int pageIndex, QVector<PDFSelection> selections);

    PDFDocumentEngine *const m_engine;
    const std::u32string m_needle;
    const Report m_report;
    const int m_pageCount;
    PDFGlyphIdTables m_glyphIds; // shared by the lanes
    std::mutex m_mutex; // guards the members below it
    std::condition_variable m_reported; // a page was reported, or the find cancelled
    int m_nextPage = 0; // the first page no lane has taken
    int m_nextReport = 0; // the first page not yet reported
    std::map<int, QVector<PDFSelection>> m_waiting; // searched, waiting for an earlier page
    int m_running = 0; // lanes not yet done
    bool m_cancelled = false;
    std::atomic<bool> m_finished {false};
    std::vector<Lane> m_lanes; // last: threads start once everything above is set
};
