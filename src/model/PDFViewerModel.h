#pragma once

#include "PDFReadingPositionStore.h"
#include "PDFRecentDocumentList.h"
#include "PDFSelection.h"
#include "PDFViewerLayers.h"
#include "PDFViewerSearchSession.h"
#include "PDFViewport.h"
#include "ReadingPositionLedger.h"
#include "RecentPDFDocument.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <memory>
#include <optional>

class BlueprintPDFView;
class PDFDocument;
class PDFPage;
class PDFViewerPlatformServices;
class QSettings;

Q_DECLARE_METATYPE(RecentPDFDocument)

// The one model behind the viewer window: the open document, its canvas and all viewer
// state, and every viewer command. The canvas lives as long as the model; its viewport owns
// the scale and the current page, which the model reads from there. UI thread only.
//
// Failures never raise dialogs: a failed command sets errorText and statusText to the same
// Chinese message and beeps; a successful one sets a short confirmation in statusText.
// Persistence: the recent list is written the moment it changes. Reading positions change
// with every page turn, so they are kept in memory and written once the pages have rested
// for readingPositionSaveDelay(), and at once when the document is closed or replaced, when
// the model is destroyed and when the application is about to quit.
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
    Q_PROPERTY(QString documentTitle READ documentTitle NOTIFY fileURLChanged)
    Q_PROPERTY(QString searchResultLabel READ searchResultLabel NOTIFY searchResultLabelChanged)

public:
    static const QString emptyStatusText;

    // `defaults` and `platform` must outlive the model.
    PDFViewerModel(QSettings *defaults, PDFViewerPlatformServices *platform, QObject *parent = nullptr);
    ~PDFViewerModel() override;

    QUrl fileURL() const { return m_fileURL; }
    // The viewport's current page, 0 without a document.
    int pageIndex() const;
    int pageCount() const { return m_pageCount; }
    QList<RecentPDFDocument> recentDocuments() const { return m_recentDocuments.entries(); }
    int searchResultCount() const { return m_searchResultCount; }
    int selectedSearchResult() const { return m_selectedSearchResult; }
    // The viewport's scale in percent.
    int zoomPercentage() const;
    bool isPresentationMode() const { return m_isPresentationMode; }
    bool isSearching() const { return m_isSearching; }
    QString searchText() const { return m_searchText; }
    void setSearchText(const QString &text);
    QString statusText() const { return m_statusText; }
    // A null string when there is no error.
    QString errorText() const { return m_errorText; }
    bool hasError() const { return !m_errorText.isNull(); }
    // The canvas, lent to the window that shows it; null once a widget tree deleted it.
    BlueprintPDFView *pdfView() const;
    PDFViewport *viewport() const;
    std::shared_ptr<PDFDocument> document() const;

    // The file name without extension, or "Plenvo" when nothing is open.
    QString documentTitle() const;

    // Opens `url`; true when it is now the open document. Never throws; a failure leaves
    // everything as it was except errorText, statusText and (for a vanished file) the recent list.
    bool open(const QUrl &url);
    // Asks for a file with the open dialog and opens it; cancelling changes nothing. The dialog
    // starts in the open document's folder, else in the folder of the most recent entry whose
    // folder still exists, else in the home folder.
    void choosePDF();
    // Reopens a recent entry: through its bookmark when that still resolves, else its path.
    // When the bookmark finds the file under a new name and it opens, the entry under the old
    // name leaves the list.
    void openRecentDocument(const RecentPDFDocument &entry);
    // Shows the empty state: the canvas without a document, at 100 % and fitting, in the reading
    // layout. errorText, searchText and the recent list stay.
    void closeDocument();

    // The reading positions: the stored ones (read anew on every call; none when unreadable)
    // with those not yet written laid over them, so a page turn shows here at once.
    ReadingPositionLedger readingPositions() const { return m_readingPositions.positions(); }
    // How long the pages must rest before their positions are written; 1 s unless changed.
    int readingPositionSaveDelay() const { return m_readingPositions.saveDelay(); }
    void setReadingPositionSaveDelay(int milliseconds) { m_readingPositions.setSaveDelay(milliseconds); }
    // The open document's layers and the commands that show and hide them.
    PDFViewerLayers *layers() { return &m_layers; }
    QUrl securityScopedURL() const { return m_securityScopedURL; }
    bool isAccessingSecurityScopedURL() const { return m_isAccessingSecurityScopedURL; }

    // Navigation, zoom and rotation. Zoom and rotation act on the canvas whether or not a
    // document is open; rotations need a current page.

    // Moves the canvas to the 1-based `pageNumber`, clamped to the document's pages; any
    // value is safe. Does nothing without a document.
    void goToPage(qint64 pageNumber);
    // One manual zoom step: the scale times e^0.12 (in) or e^-0.12 (out), within the viewport's
    // limits.
    void zoomIn();
    void zoomOut();
    void actualSize();
    void fitPage();
    // Turn the current page a quarter in memory (never written to the file).
    void rotateCurrentPageLeft();
    void rotateCurrentPageRight();
    // Back to the rotation the page had when the document was opened.
    void resetCurrentPageRotation();

    // Search. Matches arrive one by one while the find runs; the first one is highlighted and
    // scrolled to as soon as it arrives, and stepping works over those received so far.

    // Searches the canvas's document for the trimmed searchText, ignoring case. A blank
    // query clears the search and leaves statusText alone; without a document nothing happens.
    void performSearch();
    // Step through the matches with wrap-around; nothing without matches.
    void selectNextSearchResult();
    void selectPreviousSearchResult();
    // Cancels the running find, forgets the matches and removes the highlight. searchText and
    // statusText stay.
    void clearSearch();
    // "0" without matches, else "selected / count" (1-based), e.g. "3 / 17".
    QString searchResultLabel() const;

    // Presentation: one page at a time, no page breaks, fitted. The current page is kept
    // across entry and exit.

    // Needs a document and does nothing while presenting. With `toggleSystemFullScreen`, the
    // canvas's window changes full-screen state one event later, and only when the
    // application is active and that window is the key window.
    void enterPresentationMode(bool toggleSystemFullScreen);
    // Does nothing unless presenting. With `toggleSystemFullScreen`, a full-screen window
    // leaves full screen at once.
    void exitPresentationMode(bool toggleSystemFullScreen);
    // Ends presentation without touching full screen: the reading layout, fitted.
    void restoreReadingLayout();

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
    void searchResultLabelChanged();
    // A search ran to its end (a cancelled one does not); statusText says what it found.
    void searchEnded();

private:
    void fail(const QString &message);
    PDFPage *currentPage() const;
    // Drops every entry with the standardised path `path` and saves the list.
    void forgetRecentDocument(const QString &path);
    void recordCurrentPage();
    void releaseSecurityScopedResource();
    void observeViewport();
    void setCurrentPageRotation(int degrees, const QString &status);
    // Switches the canvas layout (automatic scaling on) and keeps the current page.
    void applyLayout(PDFViewport::DisplayMode mode, bool pageBreaks, const QColor &background);
    // Around the pages while reading: none of its own, so the canvas paints its palette's window
    // colour and follows the desktop's light or dark scheme. Presenting shows them on black.
    static QColor readingBackground();
    void observeSearch();
    void showSelectedSearchResult();

    void setFileURL(const QUrl &url);
    void setPageCount(int count);
    void setPresentationMode(bool on);
    void setSearching(bool on);
    void setSearchResultCount(int count);
    void setSelectedSearchResult(int index);
    void setStatusText(const QString &text);
    void setErrorText(const QString &text);

    // Published state.
    QUrl m_fileURL;
    int m_pageCount = 0;
    int m_searchResultCount = 0;
    int m_selectedSearchResult = 0;
    bool m_isPresentationMode = false;
    bool m_isSearching = false;
    QString m_searchText;
    QString m_statusText;
    QString m_errorText;
    QPointer<BlueprintPDFView> m_canvas;

    // Internal state.
    PDFViewerPlatformServices *m_platform;
    PDFRecentDocumentList m_recentDocuments;
    PDFReadingPositionStore m_readingPositions;
    PDFViewerLayers m_layers {&m_readingPositions};
    PDFViewerSearchSession m_search;
    QMap<int, int> m_originalPageRotations;
    QUrl m_securityScopedURL;
    bool m_isAccessingSecurityScopedURL = false;
};
