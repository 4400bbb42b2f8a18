#include "PDFViewerShortcutHelpCard.h"

#include "PDFHelpArtwork.h"
#include "PDFViewerFixedShortcuts.h"
#include "PDFViewerPalette.h"
#include "PDFViewerShortcutPolicy.h"
#include "PDFViewerStyle.h"
#include "PDFViewerSymbol.h"

#include <QFontMetricsF>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace {

using Action = PDFViewerShortcutAction;

// Logical pixels. The content column's padding, and the widths of the body's columns.
constexpr qreal kLeft = 28;
constexpr qreal kRight = 720 - 28;
constexpr qreal kTop = 25;
constexpr qreal kBottom = 480 - 18;
constexpr qreal kUsageWidth = 224;
constexpr qreal kBodyGap = 20;
constexpr qreal kShortcutsLeft = kLeft + kUsageWidth + kBodyGap + 1 + kBodyGap;
constexpr qreal kColumnGap = 10;
constexpr qreal kColumnWidth = (kRight - kShortcutsLeft - kColumnGap) / 2;
constexpr qreal kRowHeight = 31;

struct Group {
    const char *title;
    QList<Action> actions;
};

// The two shortcut columns, each a list of groups.
const QList<QList<Group>> &shortcutGroupColumns()
{
    static const QList<QList<Group>> columns = {
        {{"翻页", {Action::previousPage, Action::nextPage}},
            {"缩放", {Action::zoomOut, Action::zoomIn, Action::actualSize, Action::fitPage}}},
        {{"方向", {Action::rotateLeft, Action::rotateRight, Action::resetRotation}},
            {"投影", {Action::togglePresentation}}},
    };
    return columns;
}

struct Step {
    const char *number;
    const char *title;
    QString detail;
};

QList<Step> steps()
{
    return {
        {"01", "打开", QStringLiteral("拖入 PDF，或按 ") + PDFViewerFixedShortcuts::openPDF().displayText()},
        {"02", "缩放", QStringLiteral("滚轮直接缩放图纸")},
        {"03", "平移", QStringLiteral("按住图纸，顺手拖动")},
        {"04", "投影", QStringLiteral("铺满屏幕，Esc 退出")},
    };
}

enum class Design { Default, Serif, Monospaced };

// Fonts by pixel size on one paint device: the device's own resolution turns points into
// pixels, so text has the same size in logical pixels on a widget and on any image.
class Fonts {
public:
    explicit Fonts(const QPaintDevice *device)
        : m_device(device)
        , m_dpi(device && device->logicalDpiY() > 0 ? device->logicalDpiY() : 96)
    {
    }

    QFont font(qreal pixels, QFont::Weight weight, Design design = Design::Default) const
    {
        static const QStringList families[] = {
            {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Source Han Sans SC")},
            {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Source Han Serif SC")},
            {QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("DejaVu Sans Mono")},
        };
        QFont font;
        font.setFamilies(families[int(design)]);
        font.setStyleHint(design == Design::Serif ? QFont::Serif
                : design == Design::Monospaced    ? QFont::Monospace
                                                  : QFont::SansSerif);
        font.setPointSizeF(pixels * 72.0 / m_dpi);
        font.setWeight(weight);
        return font;
    }
    QFontMetricsF metrics(const QFont &font) const
    {
        return m_device ? QFontMetricsF(font, m_device) : QFontMetricsF(font);
    }
    qreal height(const QFont &font) const { return metrics(font).height(); }
    qreal width(const QFont &font, const QString &text) const { return metrics(font).horizontalAdvance(text); }

private:
    const QPaintDevice *m_device;
    int m_dpi;
};

// Where everything goes, worked out once per paint from the fonts' real metrics.
struct Layout {
    qreal headerHeight = 0;
    qreal bodyTop = 0; // below the body's top padding
    qreal footerTop = 0; // top of the footer's text
};

Layout layoutFor(const Fonts &fonts)
{
    Layout layout;
    const qreal titles
        = fonts.height(fonts.font(14, QFont::DemiBold)) + 2 + fonts.height(fonts.font(28, QFont::Bold, Design::Serif));
    const qreal trailing = fonts.height(fonts.font(11, QFont::Medium)) + 6 + 25;
    layout.headerHeight = std::max({50.0, titles, trailing});
    layout.bodyTop = kTop + layout.headerHeight + 20;
    layout.footerTop = kBottom - fonts.height(fonts.font(10.5, QFont::Medium));
    return layout;
}

QPainterPath rounded(const QRectF &rect, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

void drawText(
    QPainter &painter, const QFont &font, const QColor &color, const QRectF &rect, int flags, const QString &text)
{
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(rect, flags | Qt::TextSingleLine, text);
}

// One shortcut line: the name (shrinking to 0.82 of its size, then elided) and the key cap.
// A key cap too long for the row shrinks too, so the longest combination still fits.
void paintRow(QPainter &painter, const Fonts &fonts, const PDFViewerShortcutHelpCard::Row &row)
{
    const QRectF &r = row.rect;
    painter.fillPath(rounded(r, 10), PDFViewerStyle::withOpacity(pdfHelpMist, 0.54));
    const qreal inner = r.width() - 2 * 9;
    const qreal fixedGaps = 7 + 3 + 7; // around the spacer, and the spacer's least width

    QFont capFont = fonts.font(11, QFont::Bold, Design::Monospaced);
    const qreal capText = fonts.width(capFont, row.shortcut);
    const qreal capRoom = inner - fixedGaps;
    if (capText + 16 > capRoom && capText > 0)
        capFont = fonts.font(11 * std::max(0.5, (capRoom - 16) / capText), QFont::Bold, Design::Monospaced);
    const qreal capWidth = std::min(capRoom, std::max(43.0, fonts.width(capFont, row.shortcut) + 16));
    const qreal capHeight = std::max(23.0, fonts.height(capFont));
    const QRectF cap(r.right() - 9 - capWidth, r.center().y() - capHeight / 2, capWidth, capHeight);
    painter.fillPath(rounded(cap, 7), PDFViewerStyle::withOpacity(Qt::white, 0.92));
    painter.strokePath(rounded(cap, 7), QPen(PDFViewerStyle::withOpacity(pdfBrandPurple, 0.16), 0.7));
    drawText(painter, capFont, pdfBrandPurple, cap, Qt::AlignCenter, row.shortcut);

    const qreal titleRoom = capRoom - capWidth;
    if (titleRoom <= 0)
        return;
    QFont titleFont = fonts.font(10.5, QFont::Medium);
    const qreal natural = fonts.width(titleFont, row.title);
    if (natural > titleRoom)
        titleFont = fonts.font(10.5 * std::max(0.82, titleRoom / natural), QFont::Medium);
    const QString title = fonts.metrics(titleFont).elidedText(row.title, Qt::ElideRight, titleRoom);
    drawText(painter, titleFont, pdfHelpInk, QRectF(r.left() + 9, r.top(), titleRoom, r.height()),
        Qt::AlignLeft | Qt::AlignVCenter, title);
}

void paintBackground(QPainter &painter)
{
    const QRectF frame(QPointF(0, 0), QSizeF(PDFViewerShortcutHelpCard::size));
    painter.fillRect(frame, pdfHelpPaper);
    // Corner to corner in the card's own unit square, so the bands run parallel to the other
    // diagonal.
    QLinearGradient wash(0, 0, 1, 1);
    wash.setCoordinateMode(QGradient::ObjectMode);
    wash.setColorAt(0, pdfHelpPaper);
    wash.setColorAt(0.5, Qt::white);
    wash.setColorAt(1, pdfHelpGlow);
    painter.fillRect(frame, wash);
    painter.strokePath(
        PDFHelpBlueprintGrid::path(frame), QPen(PDFViewerStyle::withOpacity(pdfBrandPurple, 0.055), 0.7));

    // A soft disc of light behind the top-right corner, its edge blurred over two pixels.
    const QPointF glowCentre = frame.center() + QPointF(310, -205);
    QRadialGradient glow(glowCentre, 132);
    const QColor disc = PDFViewerStyle::withOpacity(pdfBrandPurple, 0.07);
    glow.setColorAt(0, disc);
    glow.setColorAt(128.0 / 132.0, disc);
    glow.setColorAt(1, PDFViewerStyle::withOpacity(pdfBrandPurple, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(glowCentre, 132, 132);

    const QRectF arcFrame(frame.center().x() - 150, frame.center().y() + 230 - 20, 300, 40);
    painter.strokePath(PDFHelpCanonicalSmileArc::path(arcFrame),
        QPen(PDFViewerStyle::withOpacity(pdfHelpArc, 0.28), 12, Qt::SolidLine, Qt::RoundCap));
}

void paintHeader(QPainter &painter, const Fonts &fonts, const Layout &layout)
{
    const qreal middle = kTop + layout.headerHeight / 2;
    PDFHelpProductMark::paint(painter, QRectF(kLeft, middle - 25, 50, 50));

    const QFont brand = fonts.font(14, QFont::DemiBold);
    const QFont motto = fonts.font(28, QFont::Bold, Design::Serif);
    const qreal titlesHeight = fonts.height(brand) + 2 + fonts.height(motto);
    const qreal x = kLeft + 50 + 13;
    qreal y = middle - titlesHeight / 2;
    drawText(painter, brand, pdfBrandPurple, QRectF(x, y, 400, fonts.height(brand)), Qt::AlignLeft,
        QStringLiteral("Plenvo"));
    y += fonts.height(brand) + 2;
    drawText(painter, motto, pdfHelpInk, QRectF(x, y, 400, fonts.height(motto)), Qt::AlignLeft,
        QStringLiteral("大图纸，顺手看。"));

    const QFont note = fonts.font(11, QFont::Medium);
    const QFont badgeFont = fonts.font(11, QFont::DemiBold);
    const QString badgeText = QStringLiteral("窗口底部点「帮助」");
    const qreal iconSize = 12;
    const qreal iconGap = 4;
    const qreal badgeWidth = 10 + iconSize + iconGap + fonts.width(badgeFont, badgeText) + 10;
    const qreal trailingHeight = fonts.height(note) + 6 + 25;
    y = middle - trailingHeight / 2;
    drawText(painter, note, pdfHelpMuted, QRectF(kRight - 300, y, 300, fonts.height(note)), Qt::AlignRight,
        QStringLiteral("免费 · 计划开源 · 纯本地"));
    y += fonts.height(note) + 6;
    const QRectF badge(kRight - badgeWidth, y, badgeWidth, 25);
    painter.fillPath(rounded(badge, 12.5), pdfHelpMist);
    PDFViewerSymbol::paint(painter, QStringLiteral("questionmark.circle"),
        QRectF(badge.left() + 10, badge.center().y() - iconSize / 2, iconSize, iconSize), pdfBrandPurple,
        PDFViewerSymbol::Weight::Semibold);
    drawText(painter, badgeFont, pdfBrandPurple,
        QRectF(badge.left() + 10 + iconSize + iconGap, badge.top(), badge.width(), badge.height()),
        Qt::AlignLeft | Qt::AlignVCenter, badgeText);
}

void paintUsage(QPainter &painter, const Fonts &fonts, const Layout &layout)
{
    const QFont heading = fonts.font(13, QFont::Bold);
    qreal y = layout.bodyTop;
    drawText(painter, heading, pdfBrandPurple, QRectF(kLeft, y, kUsageWidth, fonts.height(heading)), Qt::AlignLeft,
        QStringLiteral("4 步上手"));
    y += fonts.height(heading) + 12;
    const QFont number = fonts.font(10, QFont::Bold, Design::Monospaced);
    const QFont title = fonts.font(12, QFont::DemiBold);
    const QFont detail = fonts.font(10.5, QFont::Normal);
    const qreal texts = fonts.height(title) + 1 + fonts.height(detail);
    const qreal stepHeight = std::max(31.0, texts);
    for (const Step &step : steps()) {
        const qreal middle = y + stepHeight / 2;
        const QRectF badge(kLeft, middle - 15.5, 31, 31);
        painter.fillPath(rounded(badge, 9), pdfHelpMist);
        drawText(painter, number, pdfBrandPurple, badge, Qt::AlignCenter, QString::fromLatin1(step.number));
        const qreal x = kLeft + 31 + 10;
        const qreal top = middle - texts / 2;
        drawText(painter, title, pdfHelpInk, QRectF(x, top, kUsageWidth - 41, fonts.height(title)), Qt::AlignLeft,
            QString::fromUtf8(step.title));
        drawText(painter, detail, pdfHelpMuted,
            QRectF(x, top + fonts.height(title) + 1, kUsageWidth - 41, fonts.height(detail)), Qt::AlignLeft,
            step.detail);
        y += stepHeight + 12;
    }
    painter.fillRect(QRectF(kLeft + kUsageWidth + kBodyGap, layout.bodyTop, 1, layout.footerTop - 12 - layout.bodyTop),
        PDFViewerStyle::withOpacity(pdfBrandPurple, 0.12));
}

void paintFooter(QPainter &painter, const Fonts &fonts, const Layout &layout)
{
    const QFont text = fonts.font(10.5, QFont::Medium);
    const qreal height = fonts.height(text);
    const QStringList items = {
        PDFViewerFixedShortcuts::openPDF().displayText() + QStringLiteral(" 打开"),
        QStringLiteral("·"),
        PDFViewerFixedShortcuts::searchPDF().displayText() + QStringLiteral(" 搜索"),
        QStringLiteral("·"),
        PDFViewerFixedShortcuts::closePDF().displayText() + QStringLiteral(" 关闭"),
    };
    qreal x = kLeft;
    for (const QString &item : items) {
        const qreal width = fonts.width(text, item);
        drawText(painter, text, pdfHelpMuted, QRectF(x, layout.footerTop, width + 1, height), Qt::AlignLeft, item);
        x += width + 9;
    }
    drawText(painter, fonts.font(10.5, QFont::DemiBold), pdfBrandPurple,
        QRectF(kRight - 300, layout.footerTop, 300, height), Qt::AlignRight, QStringLiteral("plenvo.org/pdf"));
}

// The shortcut rows with their rectangles, and the group titles' places.
struct Columns {
    QList<PDFViewerShortcutHelpCard::Row> rows;
    QList<QPair<QString, QPointF>> groupTitles; // text, top-left
};

Columns columnsFor(const Fonts &fonts, const Layout &layout, const PDFViewerShortcutConfiguration &configuration)
{
    Columns columns;
    const qreal headingHeight
        = std::max(fonts.height(fonts.font(13, QFont::Bold)), fonts.height(fonts.font(10, QFont::Medium)));
    const qreal groupTitleHeight = fonts.height(fonts.font(9.5, QFont::Bold));
    const qreal top = layout.bodyTop + headingHeight + 11;
    for (int c = 0; c < shortcutGroupColumns().size(); ++c) {
        const qreal x = kShortcutsLeft + c * (kColumnWidth + kColumnGap);
        qreal y = top;
        for (const Group &group : shortcutGroupColumns()[c]) {
            columns.groupTitles.append({QString::fromUtf8(group.title), QPointF(x, y)});
            y += groupTitleHeight + 4;
            for (Action action : group.actions) {
                columns.rows.append({action, action.displayName(), configuration.shortcut(action).displayText(),
                    QRectF(x, y, kColumnWidth, kRowHeight)});
                y += kRowHeight + 4;
            }
            y += 10 - 4;
        }
    }
    return columns;
}

void paintShortcuts(QPainter &painter, const Fonts &fonts, const Layout &layout, const Columns &columns)
{
    const QFont heading = fonts.font(13, QFont::Bold);
    const QFont aside = fonts.font(10, QFont::Medium);
    const qreal height = std::max(fonts.height(heading), fonts.height(aside));
    const QRectF line(kShortcutsLeft, layout.bodyTop, kRight - kShortcutsLeft, height);
    drawText(painter, heading, pdfBrandPurple, line, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("当前快捷键"));
    drawText(painter, aside, pdfHelpMuted, line, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("都可以自定义"));
    const QFont groupTitle = fonts.font(9.5, QFont::Bold);
    for (const auto &[title, at] : columns.groupTitles)
        drawText(painter, groupTitle, pdfHelpMuted, QRectF(at, QSizeF(kColumnWidth, fonts.height(groupTitle))),
            Qt::AlignLeft, title);
    for (const PDFViewerShortcutHelpCard::Row &row : columns.rows)
        paintRow(painter, fonts, row);
}

} // namespace

PDFViewerShortcutHelpCard::PDFViewerShortcutHelpCard(const PDFViewerShortcutConfiguration &configuration)
    : m_configuration(configuration)
{
}

QString PDFViewerShortcutHelpCard::accessibleName()
{
    return QStringLiteral("Plenvo帮助与当前快捷键");
}

QList<PDFViewerShortcutHelpCard::Row> PDFViewerShortcutHelpCard::rows() const
{
    const QImage reference(1, 1, QImage::Format_ARGB32_Premultiplied);
    const Fonts fonts(&reference);
    return columnsFor(fonts, layoutFor(fonts), m_configuration).rows;
}

void PDFViewerShortcutHelpCard::paint(QPainter &painter) const
{
    const Fonts fonts(painter.device());
    const Layout layout = layoutFor(fonts);
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    painter.setClipRect(QRectF(QPointF(0, 0), QSizeF(size)));
    paintBackground(painter);
    paintHeader(painter, fonts, layout);
    paintUsage(painter, fonts, layout);
    paintShortcuts(painter, fonts, layout, columnsFor(fonts, layout, m_configuration));
    paintFooter(painter, fonts, layout);
    painter.restore();
}
