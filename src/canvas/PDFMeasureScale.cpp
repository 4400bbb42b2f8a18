#include "PDFMeasureScale.h"

#include <QLineF>
#include <QLocale>

#include <cmath>

PDFMeasureScale PDFMeasureScale::choose(const QVector<PDFMeasureViewport> &viewports,
    const std::optional<PDFMeasureScale> &calibration, const QVector<QPointF> &points)
{
    // A later viewport lies on top of an earlier one.
    for (auto it = viewports.crbegin(); it != viewports.crend(); ++it) {
        const QRectF area = it->area.normalized();
        const bool holdsAll = std::all_of(points.cbegin(), points.cend(), [&area](const QPointF &p) {
            return p.x() >= area.left() && p.x() <= area.right() && p.y() >= area.top() && p.y() <= area.bottom();
        });
        if (holdsAll && !points.isEmpty() && it->unitsPerPoint > 0)
            return {Source::Viewport, it->unitsPerPoint, it->unit, it->ratio};
    }
    return calibration ? *calibration : PDFMeasureScale();
}

std::optional<PDFMeasureScale> PDFMeasureScale::calibrated(qreal pagePoints, double length, const QString &unit)
{
    const double unitsPerPoint = length / pagePoints;
    if (!(pagePoints > 0) || !(length > 0) || !std::isfinite(unitsPerPoint) || unitsPerPoint <= 0)
        return std::nullopt;
    return PDFMeasureScale {Source::Calibration, unitsPerPoint, unit, {}};
}

QString PDFMeasureScale::format(qreal pagePoints) const
{
    const QLocale locale(QLocale::Chinese, QLocale::China);
    // Three significant figures at least, and no more decimals than a drawing states.
    const double value = pagePoints * unitsPerPoint;
    const int decimals = std::abs(value) >= 100 ? 0 : std::abs(value) >= 10 ? 1 : 2;
    QString number = locale.toString(value, 'f', decimals);
    // "1,000.00" reads "1,000"; "2.50" reads "2.5".
    if (number.contains(locale.decimalPoint())) {
        while (number.endsWith(QLatin1Char('0')))
            number.chop(1);
        if (number.endsWith(locale.decimalPoint()))
            number.chop(locale.decimalPoint().size());
    }
    return unit.isEmpty() ? number : number + QLatin1Char(' ') + unit;
}

QString PDFMeasureScale::describe(const QVector<QPointF> &points) const
{
    QStringList notes;
    if (points.size() > 2)
        notes << QStringLiteral("%1 段").arg(points.size() - 1);
    if (source == Source::Viewport && !ratio.isEmpty())
        notes << ratio;
    else if (source == Source::Calibration)
        notes << QStringLiteral("已校准");
    else if (source == Source::Paper)
        notes << QStringLiteral("图面尺寸");
    const QString what = points.size() > 2 ? QStringLiteral("长度") : QStringLiteral("距离");
    const QString value = format(polylineLength(points));
    return notes.isEmpty() ? what + QLatin1Char(' ') + value
                           : QStringLiteral("%1 %2（%3）").arg(what, value, notes.join(QStringLiteral("，")));
}

qreal polylineLength(const QVector<QPointF> &points)
{
    qreal length = 0;
    for (int i = 1; i < points.size(); ++i)
        length += QLineF(points[i - 1], points[i]).length();
    return length;
}
