#pragma once

#include <QObject>
#include <QUrl>

// One document waiting to be opened, handed over by the desktop or a second launch. The
// main window takes it (opens it and clears the request) as soon as it is set, or when the
// window subscribes if it was set earlier. UI thread only.
class PDFViewerOpenRequest : public QObject {
    Q_OBJECT
    Q_PROPERTY(QUrl url READ url WRITE setUrl NOTIFY urlChanged)

public:
    explicit PDFViewerOpenRequest(QObject *parent = nullptr);

    static PDFViewerOpenRequest &shared();

    QUrl url() const { return m_url; }
    // Emits urlChanged on every set of a present URL, even an equal one, so handing the
    // same file over twice opens it twice.
    void setUrl(const QUrl &url);

signals:
    void urlChanged(const QUrl &url);

private:
    QUrl m_url;
};
