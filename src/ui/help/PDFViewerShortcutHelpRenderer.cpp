#include "PDFViewerShortcutHelpRenderer.h"

#include "PDFViewerShortcutHelpCard.h"

#include <QBuffer>
#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QMimeData>
#include <QPainter>

#include <cmath>
#include <limits>

namespace PDFViewerShortcutHelpRenderer {

bool copyToPasteboard(const PDFViewerShortcutConfiguration &configuration, qreal scale)
{
    const QSize logical = PDFViewerShortcutHelpCard::size;
    const qreal width = std::ceil(logical.width() * scale);
    const qreal height = std::ceil(logical.height() * scale);
    // QImage takes int sides; past that, or for no scale at all, there is no image to make.
    constexpr qreal largest = std::numeric_limits<int>::max();
    if (!std::isfinite(scale) || scale <= 0 || width > largest || height > largest)
        return false;
    QImage image(int(width), int(height), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return false;
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
        PDFViewerShortcutHelpCard(configuration).paint(painter);
    }

    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly))
        return false;
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image) || png.isEmpty())
        return false;

    auto *mime = new QMimeData;
    mime->setData(QStringLiteral("image/png"), png);
    QGuiApplication::clipboard()->setMimeData(mime);
    return true;
}

} // namespace PDFViewerShortcutHelpRenderer
