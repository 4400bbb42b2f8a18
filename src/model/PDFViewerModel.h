#pragma once

#include "BlueprintPDFView.h"
#include "PDFSelection.h"
#include "ReadingPositionLedger.h"
#include "RecentPDFDocument.h"

#include <QList>
#include <QMap>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <memory>

class PDFDocument;
class PDFViewerPlatformServices;
class QSettings;

Q_DECLARE_METATYPE(RecentPDFDocument)

// The one model behind the viewer window: the open document, its canvas and all viewer
// state, and every viewer command. UI thread only.
//
// Failures never raise dialogs: a failed command sets errorText and statusText to the same
// Chinese message and beeps; a successful one sets a short confirmation in statusText.
// Persistence is written the moment something changes, never at exit.
class PDFViewerModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(QUrl fileURL READ fileURL NOTIFY fileURLChanged)
    Q_PROPERTY(int pageIndex READ pageIndex NOTIFY pageIndexChanged)
    Q_PROPERTY(int pageCount READ pageCount NOTIFY pageCountChanged)
    Q_PROPERTY(QList<RecentPDFDocument> recentDocuments READ recentDocuments NOTIFY recentDocumentsChanged)
    Q_PROPERTY(int searchResultCount READ searchResultCount NOTIFY searchResultCountChanged)
    Q_PROPERTY(int selectedSearchResult READ selectedSearchResult NOTIFY selectedSearchResultChanged)
    Q_PROPERTY(int zoomPercentage READ zoomPercentage NOTIFY zoomPercentageChanged)
    Q_PROPERTY(bool isPresentationMode READ isPresentationMode NOTIFY isPresentationModeChanged)
    Q_PROPERTY(bool isSearching READ isSearching NOTIFY isSearchingChanged)
    Q_PROPERTY(QString searchText READ searchText WRITE setSearchText NOTIFY searchTextChanged)
    Q_PROPERTY(QString statusText READ statusText NOTIFY statusTextChanged)
    Q_PROPERTY(QString errorText READ errorText NOTIFY errorTextChanged)
    Q_PROPERTY(BlueprintPDFView *pdfView READ pdfView NOTIFY pdfViewChanged)
    Q_PROPERTY(QString documentTitle READ documentTitle NOTIFY fileURLChanged)

public:
    static const QString emptyStatusText;

    // `defaults` and `platform` must outlive the model.
    PDFViewerModel(QSettings *defaults, PDFViewerPlatformServices *platform, QObject *parent = nullptr);
    ~PDFViewerModel() override;

    // A new canvas with the viewer's reading settings.
    static BlueprintPDFView *makePDFView();

    QUrl fileURL() const { return m_fileURL; }
    int pageIndex() const { return m_pageIndex; }
    int pageCount() const { return m_pageCount; }
    QList<RecentPDFDocument> recentDocuments() const { return m_recentDocuments; }
    int searchResultCount() const { return m_searchResultCount; }
    int selectedSearchResult() const { return m_selectedSearchResult; }
    int zoomPercentage() const { return m_zoomPercentage; }
    bool isPresentationMode() const { return m_isPresentationMode; }
    bool isSearching() const { return m_isSearching; }
    QString searchText() const { return m_searchText; }
    void setSearchText(const QString &text);
    QString statusText() const { return m_statusText; }
    // A null string when there is no error.
    QString errorText() const { return m_errorText; }
    bool hasError() const { return !m_errorText.isNull(); }
    BlueprintPDFView *pdfView() const { return m_pdfView; }
    std::shared_ptr<PDFDocument> document() const;

    // The file name without extension, or "Plenvo" when nothing is open.
    QString documentTitle() const;

    // Opens `url`. Never throws; a failure leaves everything as it was except errorText,
    // statusText and (for a vanished file) the recent list.
    void open(const QUrl &url);
    // Asks for a file with the open dialog and opens it; cancelling changes nothing.
    void choosePDF();
    // Reopens a recent entry: through its bookmark when that still resolves, else its path.
    void openRecentDocument(const RecentPDFDocument &entry);
    // Shows the empty state with a fresh canvas. errorText, searchText and the recent list stay.
    void closeDocument();

    // The stored reading positions (read anew on every call; empty when unreadable).
    ReadingPositionLedger readingPositions() const;
    // Each page's rotation as found when the document was opened.
    QMap<int, int> originalPageRotations() const { return m_originalPageRotations; }
    QUrl securityScopedURL() const { return m_securityScopedURL; }
    bool isAccessingSecurityScopedURL() const { return m_isAccessingSecurityScopedURL; }

    void clearSearch();

signals:
    void fileURLChanged();
    void pageIndexChanged();
    void pageCountChanged();
    void recentDocumentsChanged();
    void searchResultCountChanged();
    void selectedSearchResultChanged();
    void zoomPercentageChanged();
    void isPresentationModeChanged();
    void isSearchingChanged();
    void searchTextChanged();
    void statusTextChanged();
    void errorTextChanged();
    void pdfViewChanged();

private:
    void fail(const QString &message);
    void loadPersistence();
    void saveRecentDocuments();
    void recordCurrentPage();
    void releaseSecurityScopedResource();
    void observePageChanges();
    void removePageChangeObserver();
    void refreshZoomPercentage();

    void setFileURL(const QUrl &url);
    void setPageIndex(int index);
    void setPageCount(int count);
    void setRecentDocuments(const QList<RecentPDFDocument> &documents);
    void setZoomPercentage(int percentage);
    void setPresentationMode(bool on);
    void setSearching(bool on);
    void setSearchResultCount(int count);
    void setSelectedSearchResult(int index);
    void setStatusText(const QString &text);
    void setErrorText(const QString &text);

    // Published state.
    QUrl m_fileURL;
    int m_pageIndex = 0;
    int m_pageCount = 0;
    QList<RecentPDFDocument> m_recentDocuments;
    int m_searchResultCount = 0;
    int m_selectedSearchResult = 0;
    int m_zoomPercentage = 100;
    bool m_isPresentationMode = false;
    bool m_isSearching = false;
    QString m_searchText;
    QString m_statusText;
    QString m_errorText;
    QPointer<BlueprintPDFView> m_pdfView;

    // Internal state.
    QSettings *m_defaults;
    PDFViewerPlatformServices *m_platform;
    const QString m_recentDocumentsKey = QStringLiteral("recentDocumentsV1");
    const QString m_readingPositionsKey = QStringLiteral("readingPositionsV1");
    QList<PDFSelection> m_searchSelections;
    std::shared_ptr<PDFDocument> m_activeSearchDocument;
    QString m_activeSearchQuery;
    QMap<int, int> m_originalPageRotations;
    QMetaObject::Connection m_pageChangeObserver;
    QMetaObject::Connection m_scaleChangeObserver;
    QUrl m_securityScopedURL;
    bool m_isAccessingSecurityScopedURL = false;
};
