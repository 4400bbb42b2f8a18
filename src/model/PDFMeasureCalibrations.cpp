#include "PDFMeasureCalibrations.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>

#include <cmath>

namespace {

const QString kCalibrationsKey = QStringLiteral("measureCalibrations");
const QString kPath = QStringLiteral("path");
const QString kUnitsPerPoint = QStringLiteral("unitsPerPoint");
const QString kUnit = QStringLiteral("unit");

QJsonArray storedEntries(const QSettings &defaults)
{
    const QJsonDocument document = QJsonDocument::fromJson(defaults.value(kCalibrationsKey).toByteArray());
    return document.isArray() ? document.array() : QJsonArray();
}

} // namespace

PDFMeasureCalibrations::PDFMeasureCalibrations(QSettings *defaults)
    : m_defaults(defaults)
{
}

std::optional<PDFMeasureScale> PDFMeasureCalibrations::calibration(const QString &path) const
{
    for (const QJsonValue &value : storedEntries(*m_defaults)) {
        const QJsonObject entry = value.toObject();
        if (entry.value(kPath).toString() != path)
            continue;
        const double unitsPerPoint = entry.value(kUnitsPerPoint).toDouble();
        if (!std::isfinite(unitsPerPoint) || unitsPerPoint <= 0 || !entry.value(kUnit).isString())
            return std::nullopt;
        return PDFMeasureScale {PDFMeasureScale::Source::Calibration, unitsPerPoint, entry.value(kUnit).toString(), {}};
    }
    return std::nullopt;
}

void PDFMeasureCalibrations::setCalibration(const QString &path, const PDFMeasureScale &scale)
{
    QJsonArray entries;
    for (const QJsonValue &value : storedEntries(*m_defaults)) {
        if (value.toObject().value(kPath).toString() != path)
            entries.append(value);
    }
    entries.append(QJsonObject {{kPath, path}, {kUnitsPerPoint, scale.unitsPerPoint}, {kUnit, scale.unit}});
    while (entries.size() > maximumCount)
        entries.removeFirst();
    m_defaults->setValue(kCalibrationsKey, QJsonDocument(entries).toJson(QJsonDocument::Compact));
}
