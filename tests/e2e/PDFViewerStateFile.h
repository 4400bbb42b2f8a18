#pragma once

#include <QObject>
#include <QString>

class PDFViewerModel;

// A read-out of the model's visible state for end-to-end tests: one JSON object
// {"title", "pageIndex", "pageCount", "zoomPercentage", "isPresentationMode", "statusText",
// "errorText", "searchResultCount"} rewritten whole, through a save file (never seen half
// written), at construction and after every change of any of those properties. errorText is
// "" when there is no error. A write that fails is dropped; the next change tries again.
//
// The model must outlive this object. UI thread only.
class PDFViewerStateFile : public QObject {
    Q_OBJECT

public:
    PDFViewerStateFile(PDFViewerModel *model, const QString &path, QObject *parent = nullptr);

    // A writer for the path PLENVO_TEST_STATE_FILE names, or null when it is unset or empty.
    static PDFViewerStateFile *fromEnvironment(PDFViewerModel *model, QObject *parent = nullptr);

    // The object as written: compact JSON.
    QByteArray snapshot() const;
    bool write() const;

private:
    PDFViewerModel *m_model;
    QString m_path;
};
