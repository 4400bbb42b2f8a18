#pragma once

#include "PDFDocumentBuilder.h"

#include <QByteArray>
#include <QSizeF>
#include <QString>
#include <QVector>
#include <QtGlobal>

// The sample drawing set: raw PDF content streams that look like an architectural CAD
// export, and the files made of them. All output is deterministic for a given seed, so
// benchmarks over the same arguments compare like with like.
//
// Streams use the fonts of PDFDocumentBuilder pages: /F1 (Latin) and /F2 (CJK).
// Coordinates are PDF user space in points, origin bottom-left, at most two decimals.
class BlueprintSheet {
public:
    // Page sizes in points, landscape A0 and A1, portrait A3.
    static QSizeF a0Size() { return QSizeF(3370, 2384); }
    static QSizeF a1Size() { return QSizeF(2384, 1684); }
    static QSizeF a3Size() { return QSizeF(842, 1191); }
    // The /Rotate the A3 schedule sheet is stored with; its content is drawn so that it
    // reads upright once the viewer applies this rotation (a landscape sheet).
    static constexpr int a3Rotation = 90;

    // A dense floor plan for an A0 page: `rooms` hatched rooms with walls, doors and labels
    // (clamped to 0..200000), axis grid, dimension chains, border and title block, each in
    // the layer (planLayers(), marked /L0 … /L3) a CAD program would put it on.
    // About 25 path segments per room. `pathSegments`, when given, receives the number of
    // straight and curved segments in the stream (a rectangle counts four).
    static QByteArray a0Plan(int rooms = 10000, quint32 seed = 1, qint64 *pathSegments = nullptr);
    // The plan's layers in the order its marks number them: 轴网, 墙体, 标注, 图框.
    static QVector<PDFDocumentBuilder::Layer> planLayers();
    // A lighter A1 sheet: a building section, enlarged details and notes (a few hundred
    // elements).
    static QByteArray a1Detail(quint32 seed = 1, qint64 *pathSegments = nullptr);
    // A room schedule table of `rows` rows (clamped to 1..30) for the A3 page stored with
    // /Rotate a3Rotation.
    static QByteArray a3Schedule(int rows = 24, quint32 seed = 1, qint64 *pathSegments = nullptr);

    // A sparse A0 site plan: frame, title block, an axis grid, four building outlines,
    // parking rows and trees; a few hundred paths, a small fraction of a0Plan()'s.
    static QByteArray a0Light(quint32 seed = 1, qint64 *pathSegments = nullptr);

    // Writes the three-page set (A0 plan, A1 detail, rotated A3 schedule) to `path`,
    // creating its folder when missing. On failure returns false and sets `error`.
    static bool writeSample(const QString &path, QString *error = nullptr);
    // Writes a one-page file holding only a0Plan(rooms, seed).
    static bool writeA0Only(const QString &path, QString *error = nullptr, int rooms = 10000, quint32 seed = 1);
    // Writes a one-page file holding only a0Light().
    static bool writeLight(const QString &path, QString *error = nullptr);
    // Writes `pages` with `layers` to `path`, creating its folder when missing.
    static bool writePages(const QString &path, const QVector<PDFDocumentBuilder::Page> &pages, QString *error,
        const QVector<PDFDocumentBuilder::Layer> &layers = {});
};
