#pragma once

// Internal to the engine boundary.

#include "PDFSelection.h"

#include <QObject>
#include <QString>
#include <QVector>

#include <functional>
#include <memory>
#include <vector>

class PDFDocumentEngine;
class PDFFindWorker;

// A document's text find: the running worker, the cancelled ones not yet joined, and the
// generation that tells the current find's results from those of a find already cancelled.
//
// UI thread only (the thread of `context`). Workers hand their results over as events queued
// on `context`, which owns this session; if it is destroyed first, Qt drops them with it.
class PDFFindSession {
public:
    // Called on the UI thread, only for the current find. A callback may cancel or restart
    // the find; nothing of the old find follows then.
    struct Listener {
        std::function<void()> began;
        std::function<void(const PDFSelection &)> matched;
        std::function<void()> ended;
    };

    // `engine` outlives the session.
    PDFFindSession(QObject *context, PDFDocumentEngine *engine, Listener listener);
    // Cancels and joins every worker.
    ~PDFFindSession();
    PDFFindSession(const PDFFindSession &) = delete;
    PDFFindSession &operator=(const PDFFindSession &) = delete;

    // Cancels a running find, then starts one for `query`; began, matched and ended follow
    // from the event loop, never from inside this call.
    void begin(const QString &query);
    void cancel();
    bool isFinding() const { return m_finding; }

private:
    enum class Event { Begin, Matches, End };
    // Any thread.
    void post(quint64 generation, Event event, QVector<PDFSelection> selections = {});
    void deliver(quint64 generation, Event event, const QVector<PDFSelection> &selections);
    // Joins the cancelled workers that have already stopped.
    void reap();

    QObject *const m_context;
    PDFDocumentEngine *const m_engine;
    const Listener m_listener;
    quint64 m_generation = 0; // bumped by every begin and cancel
    std::unique_ptr<PDFFindWorker> m_worker; // the running find, if any
    std::vector<std::unique_ptr<PDFFindWorker>> m_stopping; // cancelled, not joined
    bool m_finding = false;
};
