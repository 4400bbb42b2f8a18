#pragma once

#include "PDFSelection.h"

#include <QList>
#include <QObject>
#include <QString>

#include <memory>

class PDFDocument;

// One find of a query over a document, and the matches it has delivered so far. Starting
// another find or cancelling stops the running one and forgets its matches; no event of a
// stopped find reaches the signals. UI thread only.
class PDFViewerSearchSession : public QObject {
    Q_OBJECT

public:
    explicit PDFViewerSearchSession(QObject *parent = nullptr);
    ~PDFViewerSearchSession() override;

    void start(std::shared_ptr<PDFDocument> document, const QString &query);
    void cancel();
    bool isActive() const { return m_document != nullptr; }
    const QString &query() const { return m_query; }
    const QList<PDFSelection> &matches() const { return m_matches; }

signals:
    void begun();
    // The `count`th match arrived (1-based).
    void matchFound(int count);
    void ended();

private:
    bool isCurrent(const PDFDocument *document) const;

    std::shared_ptr<PDFDocument> m_document;
    QString m_query;
    QList<PDFSelection> m_matches;
};
