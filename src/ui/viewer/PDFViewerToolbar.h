#pragma once

#include "PDFViewerShortcutAction.h"

#include <QHash>
#include <QList>
#include <QRect>
#include <QWidget>

class PDFToolbarButton;
class PDFViewerModel;
class PDFViewerPageField;
class PDFViewerRecentMenu;
class PDFViewerSearchField;
class PDFViewerShortcutStore;
class QLabel;

// The 58-pixel strip at the top of the normal layout: open and recent files; previous page,
// page number, next page; zoom out, zoom label, zoom in, fit page, actual size; the three
// rotations; the presentation toggle; and, pushed to the right, the search field.
//
// It keeps no state of its own: enabled states and the zoom label follow the model, and the
// tooltips of the customisable commands show the shortcut store's current combinations,
// updated the moment the store publishes a change. Buttons call the model, except previous
// and next page, which move the model's current canvas directly.
class PDFViewerToolbar : public QWidget {
    Q_OBJECT

public:
    // `model` and `shortcuts` must outlive the toolbar.
    PDFViewerToolbar(PDFViewerModel *model, PDFViewerShortcutStore *shortcuts, QWidget *parent = nullptr);

    // The button with automation identifier `identifier` ("pdf-open", …), or null.
    PDFToolbarButton *button(const QString &identifier) const;
    QList<PDFToolbarButton *> buttons() const { return m_buttons; }
    PDFViewerRecentMenu *recentMenu() const { return m_recent; }
    PDFViewerPageField *pageField() const { return m_pageField; }
    PDFViewerSearchField *searchField() const { return m_searchField; }
    QLabel *zoomLabel() const { return m_zoomLabel; }
    // The strip's focusable controls from left to right, for the window's tab order.
    QList<QWidget *> focusOrder() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    // Repaints the shadow area a group or the search field leaves and the one it takes when it
    // moves, resizes, shows or hides: the shadows lie outside the children, so Qt's own
    // repaint of the child's rectangle would leave the old shadow's rim behind.
    bool eventFilter(QObject *watched, QEvent *event) override;
    // A palette change (the desktop turning dark) recolours the zoom label.
    void changeEvent(QEvent *event) override;

private:
    struct ShortcutTip {
        PDFToolbarButton *button;
        QString title;
        PDFViewerShortcutAction action;
    };

    PDFToolbarButton *makeButton(const QString &title, const QString &systemImage, const QString &label,
        const QString &identifier, bool isProminent = false);
    // Makes `button` run `action` and follow its enabled rule, with the tooltip
    // "title（shortcut）" now and after every change of the store.
    void bindAction(PDFToolbarButton *button, const QString &title, PDFViewerShortcutAction action);
    void refreshState();
    void refreshToolTips();
    // The strip area the shadow of `surface` covers when the surface has `geometry`.
    QRect shadowArea(const QWidget *surface, const QRect &geometry) const;

    PDFViewerModel *m_model;
    PDFViewerShortcutStore *m_shortcuts;
    QList<PDFToolbarButton *> m_buttons;
    QList<ShortcutTip> m_shortcutTips;
    QList<QWidget *> m_shadowed; // children whose drop shadows this strip paints
    QHash<const QObject *, QRect> m_shadowedGeometry; // each one's geometry as last seen
    PDFViewerRecentMenu *m_recent = nullptr;
    PDFViewerPageField *m_pageField = nullptr;
    PDFViewerSearchField *m_searchField = nullptr;
    QLabel *m_zoomLabel = nullptr;
};
