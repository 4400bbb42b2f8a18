#pragma once

#include <QByteArray>
#include <QSizeF>
#include <QString>
#include <QStringList>

// Writes the PDF files (good and bad) that the tests open. Every function writes into
// `path` and returns it, failing the calling test through QVERIFY-style return values.
namespace TestPDFs {

// `pageCount` pages of `size` points; page i shows "Page i+1" (24 pt, baseline 100 pt from
// the top, x = 90) and, when given, pageTexts[i] (18 pt, baseline 150 pt from the top) in
// /F1, or wholly in /F2 when it holds any non-Latin-1 character.
bool writePlain(const QString &path, int pageCount, QSizeF size = QSizeF(595, 842), const QStringList &pageTexts = {});
// One page per entry of `pageLines`, each line on its own baseline (18 pt, the first 150 pt
// from the top, then every 24 pt, x = 90), in /F1 or, when it holds any non-Latin-1
// character, wholly in /F2. No "Page n" heading.
bool writeLines(const QString &path, const QList<QStringList> &pageLines, QSizeF size = QSizeF(595, 842));
// One page per entry of `sizes` (points), each with its "Page n" heading: documents that mix
// portrait and landscape sheets.
bool writeSheets(const QString &path, const QList<QSizeF> &sizes);
// Pages whose /Rotate entries are `rotations` (one page each, written as given).
bool writeRotated(const QString &path, const QList<int> &rotations);
// An encrypted file that needs the password "secret".
bool writeLocked(const QString &path);
// A syntactically valid PDF with an empty page tree.
bool writeNoPages(const QString &path);
// A valid PDF cut to its first `keepBytes` bytes.
bool writeTruncated(const QString &path, int keepBytes = 200);
// A small but real PNG image.
bool writePNG(const QString &path);
// Three pages; the first holds a text field "note" showing ORIGINAL. The document's own
// script and its open action are JavaScript that set the field to CHANGED, go to page 3 and
// raise an alert: none of it shows unless scripts run.
bool writeScripted(const QString &path);
// Four pages, each with one link over its top-left inch: https://example.org/plan,
// javascript:alert(1), and an internal link to the last page; the last page has none.
bool writeLinks(const QString &path);
// Two 300x200 pages drawn in five layers named `names` (in that order): a check box shown,
// one shown, one hidden, then a radio group of one shown and one hidden. Page 1 has a black
// 40-point square for layer k with its centre at (30 + 55k, 100) from the top-left, and
// under it the text "L<k>"; page 2
// only layer 0's. Layer `throughMembership`, when in range, is marked through a membership
// dictionary rather than by itself.
bool writeLayered(const QString &path, const QStringList &names, int throughMembership = -1);
// The same, for a path given as raw bytes (non-UTF-8 file names).
bool writePlainNative(const QByteArray &nativePath, int pageCount);

} // namespace TestPDFs
