#pragma once

#include "PDFTileCache.h"
#include "PDFTileKey.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QObject>
#include <QRect>
#include <QSet>
#include <QSizeF>
#include <QVector>

#include <memory>

class PDFDocument;
class PDFPage;
class PDFRenderCookie;

// Renders page images for the canvas and the thumbnail strip on a pool of worker threads and
// keeps the results in a bounded cache. Requests are served by priority class, then by
// distance (nearest the view's centre first); nothing below Visible starts while a visible
// render runs. Tiles of one page and scale that together fill a rectangle and outnumber the
// workers are drawn as a few bands (PDFRenderBands) and cut into tiles afterwards; what a view
// shows of tiles asked for in part is drawn as one strip per worker, which they share. Running
// requests that are no longer wanted are aborted through their cookie. The queue itself lives
// on the UI thread; workers only call PDFDocument::renderTile, invert the image for keys of the
// inverted view, and hand the images back by a queued call.
class PDFRenderQueue : public QObject {
    Q_OBJECT

public:
    enum Priority { Visible = 0, Preview = 1, Background = 2 };

    explicit PDFRenderQueue(QObject *parent = nullptr);
    ~PDFRenderQueue() override;

    // A new document starts a new generation: everything queued or running for the old one
    // is dropped and its images leave the cache.
    void setDocument(std::shared_ptr<PDFDocument> document);
    const std::shared_ptr<PDFDocument> &document() const { return m_document; }
    quint64 generation() const { return m_generation; }

    PDFTileCache &cache() { return m_cache; }

    // A picture drawn ahead of a tile's whole image: one pass over what a view shows of several
    // tiles, which each of them shares.
    struct Part {
        QImage image;
        QRect pixels; // what `image` holds, in the page's pixels at the tile's scale
    };
    // The parts that reach into the tile, until the whole tile arrives or it is no longer wanted.
    QList<Part> parts(const PDFTileKey &key) const { return m_parts.value(key); }

    // Queues `key` unless it is cached, queued (its priority is then updated) or running.
    // `needed`, in the page's pixels at the key's scale, asks for only that part of a tile
    // (what a view shows of it); empty asks for the whole tile. A part comes back in parts(),
    // not into the cache. Renders start once the caller returns to the event loop, or at
    // startRequested(), so that the requests of one frame are planned together.
    void request(const PDFTileKey &key, int priority, double distance, const QRect &needed = QRect());
    // Starts the renders requested so far now, for a frame that asks for its tiles before it
    // spends time drawing.
    void startRequested();
    // Whether a render the view waits for (Visible) is under way.
    bool isRenderingVisible() const;
    // The pictures of `pages` changed (a layer was shown or hidden). Their images stay in the
    // cache, outdated, to stand in until new ones replace them; their renders under way are
    // aborted, and no render that started before this call reaches the cache. Emits
    // imagesOutdated.
    void outdatePages(const QVector<int> &pages);
    // Drops queued requests of `kind` that are not in `wanted` and aborts running ones.
    void retain(const QSet<PDFTileKey> &wanted, PDFTileKey::Kind kind);

    // Most renders handed to the worker pool at once; defaults to twice the core count.
    void setMaximumRunning(int count) { m_maximumRunning = std::max(1, count); }

    // The size in points of `page` shown at `rotation` degrees.
    static QSizeF displaySize(const PDFPage *page, int rotation);
    // Waits for every render still running, for the end of the program: with its queues gone
    // every render is cancelled and returns at once. A render left running would outlive the
    // application and hand its document to an event loop that no longer runs.
    static void finishRenders();

signals:
    void imageReady(const PDFTileKey &key);
    void imagesOutdated();

private:
    friend class PDFCanvasProbe;

    struct Queued {
        int priority;
        double distance;
        QRect needed;
    };
    // Tiles drawn in one pass over `area`, `pixels[i]` the part of keys[i] inside it.
    struct Job {
        QList<PDFTileKey> keys;
        QList<QRect> pixels;
        QRect area;
        QSizeF size; // the page's, as displayed
    };
    struct Result {
        PDFTileKey key;
        QImage image; // the tile's own when whole, else the job's
        QRect pixels; // what `image` holds
        bool whole;
        const PDFRenderCookie *job;
        quint64 started; // m_outdatings when the render started
    };
    struct Running {
        std::shared_ptr<PDFRenderCookie> cookie; // shared by the tiles of one band
        int priority;
    };
    void startJobsSoon();
    void startJobs();
    // Takes `key`, the best queued request, out of the queue as the renders to start now:
    // strips of the view's part it shares with the queued tiles around it, bands of the queued
    // tiles it fills a rectangle with, or `key` alone.
    QList<Job> takeJobs(const PDFTileKey &key);
    void launch(const Job &job, int priority);
    void finished(const QList<Result> &results);

    std::shared_ptr<PDFDocument> m_document;
    quint64 m_generation = 0;
    PDFTileCache m_cache;
    QHash<PDFTileKey, Queued> m_queue;
    QMultiHash<PDFTileKey, Running> m_running; // a tile crossed by two strips is in both
    QHash<PDFTileKey, QList<Part>> m_parts;
    quint64 m_outdatings = 0; // calls of outdatePages for this document
    QHash<int, quint64> m_pageOutdated; // page → m_outdatings when it was last outdated
    int m_runningJobs = 0;
    bool m_startPending = false;
    int m_maximumRunning;
};
