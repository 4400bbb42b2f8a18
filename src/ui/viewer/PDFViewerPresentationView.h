#pragma once

#include <QPointer>
#include <QWidget>

#include <optional>

class BlueprintPDFView;
class PDFViewerExitPresentationButton;
class PDFViewerModel;
class PDFViewerShortcutStore;
class QShortcut;

// The presentation layout: the model's canvas filling a black area, and the floating exit
// button 16 pixels from the top right corner. The button and the Escape key (no modifiers)
// end presentation and leave full screen.
//
// The keys presenters and their remotes use turn the pages while the canvas has the focus:
// →, ↓, Page Down, Space and Enter forward; ←, ↑, Page Up, Shift+Space and Backspace back;
// Home and End to the first and last page. None carries Ctrl, Alt or Super, so none can
// collide with a customisable shortcut.
//
// The canvas is lent: setCanvas() reparents it here, and whoever takes it next reparents it
// away. This view never deletes it.
class PDFViewerPresentationView : public QWidget {
    Q_OBJECT

public:
    // `model` and `shortcuts` must outlive the view.
    PDFViewerPresentationView(PDFViewerModel *model, PDFViewerShortcutStore *shortcuts, QWidget *parent = nullptr);

    BlueprintPDFView *canvas() const { return m_canvas; }
    // Shows `canvas` (null shows only black).
    void setCanvas(BlueprintPDFView *canvas);
    PDFViewerExitPresentationButton *exitButton() const { return m_exit; }

    // The page a presenter's key goes to from `current` of `pageCount` pages (clamped), or
    // nullopt when the key is not one of them.
    static std::optional<int> pageForKey(int key, Qt::KeyboardModifiers modifiers, int current, int pageCount);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void exit();
    void refreshToolTip();
    void placeExitButton();

    PDFViewerModel *m_model;
    PDFViewerShortcutStore *m_shortcuts;
    QPointer<BlueprintPDFView> m_canvas;
    PDFViewerExitPresentationButton *m_exit;
    QShortcut *m_escape;
};
