#include "PDFCanvasLayout.h"

#include <algorithm>

void PDFCanvasLayout::setPages(const QVector<QSizeF> &displaySizes)
{
    m_sizes = displaySizes;
    rebuild();
}

void PDFCanvasLayout::setSettings(const Settings &settings)
{
    m_settings = settings;
    rebuild();
}

QMarginsF PDFCanvasLayout::effectiveMargins() const
{
    return m_settings.pageBreaks ? m_settings.margins : QMarginsF();
}

void PDFCanvasLayout::rebuild()
{
    const QMarginsF m = effectiveMargins();
    m_slotTops.resize(m_sizes.size());
    m_width = 0;
    qreal y = 0;
    for (int i = 0; i < m_sizes.size(); ++i) {
        m_slotTops[i] = y;
        y += m.top() + m_sizes[i].height() + m.bottom();
        m_width = std::max(m_width, m.left() + m_sizes[i].width() + m.right());
    }
    m_height = y;
}

QRectF PDFCanvasLayout::pageRect(int index, int shownPage) const
{
    if (index < 0 || index >= m_sizes.size())
        return {};
    const QMarginsF m = effectiveMargins();
    const QSizeF size = m_sizes[index];
    if (!m_settings.continuous) {
        if (index != shownPage)
            return {};
        return QRectF(QPointF(m.left(), m.top()), size);
    }
    const qreal x = (m_width - size.width() - m.left() - m.right()) / 2 + m.left();
    return QRectF(QPointF(x, m_slotTops[index] + m.top()), size);
}

QSizeF PDFCanvasLayout::documentSize(int shownPage) const
{
    if (m_sizes.isEmpty())
        return {};
    if (!m_settings.continuous) {
        if (shownPage < 0 || shownPage >= m_sizes.size())
            return {};
        const QMarginsF m = effectiveMargins();
        const QSizeF s = m_sizes[shownPage];
        return {s.width() + m.left() + m.right(), s.height() + m.top() + m.bottom()};
    }
    return {m_width, m_height};
}

int PDFCanvasLayout::pageAt(qreal y) const
{
    if (m_sizes.isEmpty())
        return -1;
    // Last slot whose top is at or above y.
    auto it = std::upper_bound(m_slotTops.cbegin(), m_slotTops.cend(), y);
    if (it == m_slotTops.cbegin())
        return 0;
    return int(std::distance(m_slotTops.cbegin(), it)) - 1;
}

qreal PDFCanvasLayout::fitScale(int index, QSizeF viewport) const
{
    if (index < 0 || index >= m_sizes.size() || viewport.isEmpty())
        return 1.0;
    const QMarginsF m = effectiveMargins();
    const QSizeF s = m_sizes[index];
    const qreal w = s.width() + m.left() + m.right();
    const qreal h = s.height() + m.top() + m.bottom();
    if (w <= 0 || h <= 0)
        return 1.0;
    return std::min(viewport.width() / w, viewport.height() / h);
}
