#include "PDFToolbarGroup.h"

#include "PDFViewerStyle.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>

namespace {

// The vertical rule between neighbouring controls of a group.
class ToolbarDivider : public QWidget {
public:
    explicit ToolbarDivider(QWidget *parent = nullptr)
        : QWidget(parent)
    {
        setFixedSize(3, 18);
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(
            QRectF(1, 0, 1, height()), PDFViewerStyle::withOpacity(PDFViewerStyle::primary(palette()), 0.1));
    }
};

} // namespace

PDFToolbarGroup::PDFToolbarGroup(QWidget *parent)
    : QWidget(parent)
    , m_layout(new QHBoxLayout(this))
{
    m_layout->setContentsMargins(3, 3, 3, 3);
    m_layout->setSpacing(1);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void PDFToolbarGroup::addWidget(QWidget *widget)
{
    m_layout->addWidget(widget, 0, Qt::AlignVCenter);
}

void PDFToolbarGroup::addDivider()
{
    m_layout->addWidget(new ToolbarDivider(this), 0, Qt::AlignVCenter);
}

void PDFToolbarGroup::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()).adjusted(0.375, 0.375, -0.375, -0.375), kCornerRadius, kCornerRadius);
    painter.fillPath(shape, PDFViewerStyle::thinMaterial(palette()));
    painter.strokePath(shape, QPen(PDFViewerStyle::withOpacity(PDFViewerStyle::primary(palette()), 0.09), 0.75));
}
