#include "PDFViewerShortcutHelpCardView.h"

#include "PDFViewerShortcutHelpCard.h"
#include "PDFViewerShortcutStore.h"

#include <QPainter>

PDFViewerShortcutHelpCardView::PDFViewerShortcutHelpCardView(PDFViewerShortcutStore *shortcuts, QWidget *parent)
    : QWidget(parent)
    , m_shortcuts(shortcuts)
{
    setObjectName(QStringLiteral("pdf-help-card"));
    setAccessibleName(PDFViewerShortcutHelpCard::accessibleName());
    setFixedSize(PDFViewerShortcutHelpCard::size);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // One element per shortcut row, over the place the card draws it, for assistive
    // technologies; they draw nothing and let the pointer through.
    for (int i = 0; i < 10; ++i) {
        auto *element = new QWidget(this);
        element->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_rowElements.append(element);
    }
    connect(shortcuts, &PDFViewerShortcutStore::configurationChanged, this, &PDFViewerShortcutHelpCardView::refresh);
    refresh();
}

void PDFViewerShortcutHelpCardView::refresh()
{
    const QList<PDFViewerShortcutHelpCard::Row> rows = PDFViewerShortcutHelpCard(m_shortcuts->configuration()).rows();
    for (int i = 0; i < m_rowElements.size() && i < rows.size(); ++i) {
        m_rowElements[i]->setObjectName(QStringLiteral("pdf-help-row-") + rows[i].action.rawValue());
        m_rowElements[i]->setAccessibleName(rows[i].accessibleName());
        m_rowElements[i]->setGeometry(rows[i].rect.toAlignedRect());
    }
    update();
}

void PDFViewerShortcutHelpCardView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    PDFViewerShortcutHelpCard(m_shortcuts->configuration()).paint(painter);
}
