#include "PDFViewerRecentMenu.h"

#include "PDFFileURL.h"
#include "PDFViewerModel.h"
#include "PDFViewerPalette.h"
#include "PDFViewerStyle.h"
#include "PDFViewerSymbol.h"

#include <QCursor>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr qreal kCornerRadius = 7;

QPainterPath faceShape(const QRectF &bounds)
{
    // The 28 × 28 face centred in the 30-pixel-wide button.
    const QRectF face(bounds.center().x() - 14, bounds.center().y() - 14, 28, 28);
    QPainterPath shape;
    shape.addRoundedRect(face, kCornerRadius, kCornerRadius);
    return shape;
}

} // namespace

PDFViewerRecentMenu::PDFViewerRecentMenu(PDFViewerModel *model, QWidget *parent)
    : QToolButton(parent)
    , m_model(model)
{
    setObjectName(QStringLiteral("pdf-recent"));
    setToolTip(QStringLiteral("最近打开"));
    setAccessibleName(QStringLiteral("最近打开"));
    setPopupMode(QToolButton::InstantPopup);
    setAutoRaise(true);
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
    setFixedSize(sizeHint());

    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("pdf-recent-menu"));
    menu->setToolTipsVisible(true);
    setMenu(menu);
    connect(menu, &QMenu::aboutToHide, this, [this] { setHovered(rect().contains(mapFromGlobal(QCursor::pos()))); });
    connect(model, &PDFViewerModel::recentDocumentsChanged, this, &PDFViewerRecentMenu::rebuild);
    rebuild();
}

void PDFViewerRecentMenu::rebuild()
{
    QMenu *items = menu();
    items->clear();
    const QList<RecentPDFDocument> documents = m_model->recentDocuments();
    if (documents.isEmpty()) {
        items->addAction(QStringLiteral("暂无最近文件"))->setEnabled(false);
        return;
    }
    for (const RecentPDFDocument &entry : documents) {
        // A display name is plain text: "&" must not turn into a mnemonic.
        QString title = entry.displayName;
        title.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction *action = items->addAction(title);
        action->setData(entry.path);
        // Names alike in different folders tell apart by their folder (a stored path may be a
        // file URL; the folder is shown as text either way).
        const QString path = QFile::decodeName(PDFFileURL::nativePathOfStoredPath(entry.path));
        action->setToolTip(QDir::toNativeSeparators(QFileInfo(path).path()));
        connect(action, &QAction::triggered, m_model, [model = m_model, entry] { model->openRecentDocument(entry); });
    }
}

bool PDFViewerRecentMenu::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Enter:
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
        // A move counts too: Qt, still taking the pointer to be here, announces no return.
        setHovered(true);
        break;
    case QEvent::Leave:
    case QEvent::HoverLeave:
        setHovered(false);
        break;
    default:
        break;
    }
    return QToolButton::event(event);
}

void PDFViewerRecentMenu::setHovered(bool hovered)
{
    if (hovered == m_isHovered)
        return;
    m_isHovered = hovered;
    update();
}

void PDFViewerRecentMenu::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath shape = faceShape(QRectF(rect()));
    const bool highlighted = isEnabled() && (m_isHovered || isDown());
    if (highlighted) {
        painter.fillPath(shape, PDFViewerStyle::withOpacity(pdfBrandPurple, 0.1));
        painter.strokePath(shape, QPen(PDFViewerStyle::withOpacity(pdfBrandPurple, 0.18), 0.65));
    }
    if (hasFocus())
        painter.strokePath(shape, QPen(PDFViewerStyle::accent(palette()), 1.5));
    const QRectF icon(QRectF(rect()).center() - QPointF(7, 7), QSizeF(14, 14));
    PDFViewerSymbol::paint(
        painter, QStringLiteral("clock"), icon, PDFViewerStyle::primary(palette()), PDFViewerSymbol::Weight::Medium);
}

bool PDFViewerRecentMenu::hitButton(const QPoint &pos) const
{
    return faceShape(QRectF(rect())).contains(pos);
}
