#pragma once

#include <QWidget>

#include <optional>

class PDFViewerModel;
class PDFViewerShortcutStore;

// The content of the viewer window. It shows the normal layout (toolbar, document area,
// status bar) or, while presenting a document, the presentation layout (the same canvas on
// black with a floating exit button). It owns no document state: everything it shows comes
// from the model and the shortcut store, and every control calls a model operation.
//
// Files dropped anywhere on it are handed to the model's open(). UI thread only.
class PDFViewerRootView : public QWidget {
    Q_OBJECT

public:
    // `model` and `shortcuts` must outlive the view.
    PDFViewerRootView(PDFViewerModel *model, PDFViewerShortcutStore *shortcuts, QWidget *parent = nullptr);
    ~PDFViewerRootView() override;

    // Puts the keyboard focus in the search field (the "search this PDF" command).
    void focusSearchField();

    // The page-number field's rule: an optional single leading "+" or "-", then one or more
    // ASCII digits and nothing else, within the signed 64-bit range.
    static std::optional<qint64> parsePageNumber(const QString &text);

signals:
    // The status bar's help button was clicked.
    void helpRequested();
};
