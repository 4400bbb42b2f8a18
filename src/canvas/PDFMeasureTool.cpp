#include "PDFMeasureTool.h"

#include "PDFDocument.h"
#include "PDFPage.h"
#include "PDFViewport.h"
#include "PlenvoThreadHandOver.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QThreadPool>
#include <QWidget>

namespace {

const QColor kInk(0xe0, 0x5a, 0x0c); // reads on white paper and on the inverted view
const QColor kHalo(255, 255, 255, 220);
constexpr qreal kTick = 6; // half the length of the end ticks, logical pixels

void drawHaloLine(QPainter &painter, const QLineF &line)
{
    painter.setPen(QPen(kHalo, 4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(line);
    painter.setPen(QPen(kInk, 1.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(line);
}

// A tick across `line` at its point `at`.
void drawTick(QPainter &painter, const QLineF &line, const QPointF &at)
{
    if (line.length() <= 0)
        return;
    const QPointF normal = QPointF(-line.dy(), line.dx()) / line.length() * kTick;
    drawHaloLine(painter, QLineF(at - normal, at + normal));
}

// A label in a rounded box centred on `centre`.
void drawLabel(QPainter &painter, const QString &text, QPointF centre)
{
    const QFontMetricsF metrics(painter.font());
    QRectF box = metrics.boundingRect(text).adjusted(-8, -4, 8, 4);
    box.moveCenter(centre);
    painter.setPen(QPen(kInk, 1));
    painter.setBrush(kHalo);
    painter.drawRoundedRect(box, 4, 4);
    painter.drawText(box, Qt::AlignCenter, text);
}

} // namespace

PDFMeasureTool::PDFMeasureTool(PDFViewport *viewport, QWidget *target)
    : QObject(target)
    , m_viewport(viewport)
    , m_target(target)
{
    connect(viewport, &PDFViewport::documentChanged, this, [this] {
        reset();
        m_lastText.clear();
    });
}

PDFMeasureTool::~PDFMeasureTool()
{
    if (m_loading)
        m_loading->cancel();
}

void PDFMeasureTool::setMode(Mode mode)
{
    if (mode == m_mode)
        return;
    m_mode = mode;
    m_points.clear();
    m_finished = false;
    m_hover.reset();
    m_target->setCursor(mode == Mode::Off ? Qt::OpenHandCursor : Qt::CrossCursor);
    m_target->setMouseTracking(mode != Mode::Off);
    m_target->update();
    emit modeChanged(mode);
}

void PDFMeasureTool::setCalibration(const std::optional<PDFMeasureScale> &calibration)
{
    m_calibration = calibration;
    if (m_points.size() >= 2 && m_mode != Mode::Calibrate)
        publish();
    m_target->update();
}

void PDFMeasureTool::reset()
{
    if (m_loading)
        m_loading->cancel();
    m_loading.reset();
    m_dataPage = -1;
    m_snaps.reset();
    m_viewports.clear();
    m_page = m_hoverPage = -1;
    m_points.clear();
    m_finished = false;
    m_hover.reset();
    m_target->update();
}

std::optional<QPointF> PDFMeasureTool::pagePointAt(const QPointF &position, int *pageIndex, bool *snapped) const
{
    if (snapped)
        *snapped = false;
    const int index = m_viewport->pageAt(position);
    const std::optional<QTransform> toViewport = m_viewport->pageToViewport(index);
    if (pageIndex)
        *pageIndex = index;
    if (!toViewport)
        return std::nullopt;
    const qreal scale = m_viewport->scaleFactor();
    const QPointF point = toViewport->inverted().map(position);
    if (m_dataPage == index && m_snaps) {
        if (const auto snap = m_snaps->snap(point, snapRadius / scale)) {
            if (snapped)
                *snapped = true;
            return snap;
        }
    }
    return point;
}

QPointF PDFMeasureTool::toViewport(int pageIndex, const QPointF &pagePoint) const
{
    const std::optional<QTransform> toViewport = m_viewport->pageToViewport(pageIndex);
    return toViewport ? toViewport->map(pagePoint) : QPointF();
}

bool PDFMeasureTool::hover(const QPointF &position)
{
    if (m_mode == Mode::Off)
        return false;
    int index = -1;
    m_hover = pagePointAt(position, &index, &m_hoverSnapped);
    m_hoverPage = index;
    if (index >= 0 && index != m_dataPage)
        loadPageData(index);
    m_target->update();
    return true;
}

bool PDFMeasureTool::click(const QPointF &position)
{
    if (m_mode == Mode::Off)
        return false;
    int index = -1;
    const std::optional<QPointF> point = pagePointAt(position, &index);
    if (!point)
        return true;
    if (index != m_dataPage)
        loadPageData(index);
    // A finished measurement, or one on another page, makes way for a new one.
    if (m_finished || index != m_page) {
        m_points.clear();
        m_finished = false;
        m_page = index;
    }
    m_points.append(*point);
    if (m_mode == Mode::Calibrate && m_points.size() == 2) {
        m_finished = true;
        m_target->update();
        emit calibrationMeasured(polylineLength(m_points));
        return true;
    }
    if (m_points.size() >= 2)
        publish();
    m_target->update();
    return true;
}

bool PDFMeasureTool::finish()
{
    if (m_mode == Mode::Off)
        return false;
    if (m_points.size() < 2)
        m_points.clear();
    else
        m_finished = true;
    m_target->update();
    return true;
}

bool PDFMeasureTool::undoPoint()
{
    if (m_mode == Mode::Off || m_finished || m_points.isEmpty())
        return false;
    m_points.removeLast();
    if (m_points.size() >= 2)
        publish();
    m_target->update();
    return true;
}

PDFMeasureScale PDFMeasureTool::scaleFor(const QVector<QPointF> &points) const
{
    return PDFMeasureScale::choose(
        m_dataPage == m_page ? m_viewports : QVector<PDFMeasureViewport>(), m_calibration, points);
}

void PDFMeasureTool::publish()
{
    m_lastText = scaleFor(m_points).describe(m_points);
    emit measurementChanged(m_lastText);
}

void PDFMeasureTool::loadPageData(int pageIndex)
{
    if (m_loading)
        m_loading->cancel();
    m_dataPage = pageIndex;
    m_snaps.reset();
    m_viewports.clear();
    std::shared_ptr<PDFDocument> document = m_viewport->document();
    if (!document)
        return;
    auto cookie = std::make_shared<PDFRenderCookie>();
    m_loading = cookie;
    QPointer<PDFMeasureTool> self(this);
    PlenvoThreadHandOver::start(QThreadPool::globalInstance(), [document, cookie, pageIndex, self]() mutable {
        std::shared_ptr<const PDFSnapIndex> snaps = document->snapIndex(pageIndex, cookie.get());
        QVector<PDFMeasureViewport> viewports = document->measureViewports(pageIndex);
        // Back on the UI thread, which also lets go of the document there.
        PlenvoThreadHandOver::post(QCoreApplication::instance(),
            [document = std::move(document), cookie, pageIndex, self, snaps = std::move(snaps),
                viewports = std::move(viewports)]() {
                if (!self || self->m_loading != cookie || cookie->isCancelled())
                    return;
                self->m_loading.reset();
                self->m_snaps = snaps;
                self->m_viewports = viewports;
                if (self->m_points.size() >= 2 && self->m_page == pageIndex && self->m_mode == Mode::Measure)
                    self->publish();
                self->m_target->update();
                emit self->pageDataReady(pageIndex);
            });
    });
}

void PDFMeasureTool::paint(QPainter &painter) const
{
    if (m_mode == Mode::Off && m_page < 0)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_mode != Mode::Off) {
        const QString hint = m_mode == Mode::Measure ? QStringLiteral("测量：单击放点，双击或按 Enter 结束，Esc 退出")
                                                     : QStringLiteral("校准：点出一段已知长度的两端，Esc 退出");
        drawLabel(painter, hint, QPointF(m_target->width() / 2.0, 24));
    }
    QVector<QPointF> shown;
    for (const QPointF &point : m_points)
        shown.append(toViewport(m_page, point));
    QVector<QPointF> pagePoints = m_points;
    // The segment from the last point to the pointer follows it until the next click.
    if (m_mode != Mode::Off && !m_finished && !m_points.isEmpty() && m_hover && m_hoverPage == m_page) {
        shown.append(toViewport(m_page, *m_hover));
        pagePoints.append(*m_hover);
    }
    for (int i = 1; i < shown.size(); ++i)
        drawHaloLine(painter, QLineF(shown[i - 1], shown[i]));
    for (int i = 0; i < shown.size(); ++i) {
        const QLineF along = i > 0 ? QLineF(shown[i - 1], shown[i]) : QLineF(shown[0], shown.value(1, shown[0]));
        drawTick(painter, along, shown[i]);
    }
    if (shown.size() >= 2 && m_mode != Mode::Calibrate) {
        const QPointF middle = (shown[shown.size() - 2] + shown.last()) / 2;
        drawLabel(painter, scaleFor(pagePoints).describe(pagePoints), middle - QPointF(0, 18));
    }
    // A snapped pointer shows a small square on the point it will put down.
    if (m_mode != Mode::Off && m_hover && m_hoverSnapped) {
        const QPointF at = toViewport(m_hoverPage, *m_hover);
        painter.setPen(QPen(kInk, 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(at - QPointF(4, 4), QSizeF(8, 8)));
    }
    painter.restore();
}
