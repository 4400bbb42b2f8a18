#pragma once

#include "PDFViewerShortcutConfiguration.h"

#include <QList>
#include <QRectF>
#include <QSize>
#include <QString>

class QPainter;

// The help card: four steps to get going and the current key of each of the ten drawing
// actions, on its own light paper with its own drawn artwork. Built from a snapshot of the
// shortcut configuration and nothing else, so the window and the copied image show the same
// card, and it looks the same whatever the desktop's theme.
//
// Always 720 × 480 logical pixels. paint() draws onto any device (a widget, or an image at any
// device pixel ratio) with the card's top-left corner at the painter's origin.
class PDFViewerShortcutHelpCard {
public:
    static constexpr QSize size {720, 480};

    // One line of the shortcut columns, and where the card draws it (logical pixels).
    struct Row {
        PDFViewerShortcutAction action;
        QString title;
        QString shortcut;
        QRectF rect;
        // As assistive technologies read it: the name, a full-width comma, the shortcut.
        QString accessibleName() const { return title + QStringLiteral("，") + shortcut; }
    };

    explicit PDFViewerShortcutHelpCard(const PDFViewerShortcutConfiguration &configuration);

    // "Plenvo帮助与当前快捷键", the card as one element for assistive technologies.
    static QString accessibleName();

    // The ten rows, column by column, group by group.
    QList<Row> rows() const;
    void paint(QPainter &painter) const;

private:
    PDFViewerShortcutConfiguration m_configuration;
};
