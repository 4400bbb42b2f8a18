#include "ReadingPositionLedger.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <limits>

namespace {

const QString pageIndexByPathKey = QStringLiteral("pageIndexByPath");
const QString layersByPathKey = QStringLiteral("layersByPath");
const QString rowKey = QStringLiteral("row");
const QString nameKey = QStringLiteral("name");
const QString visibleKey = QStringLiteral("visible");

// Whole numbers only ("3" and 3.5 are rejected, 3.0 is the number 3), inside the int range.
std::optional<int> integerValue(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || std::trunc(number) != number
        || number < static_cast<double>(std::numeric_limits<int>::min())
        || number > static_cast<double>(std::numeric_limits<int>::max()))
        return std::nullopt;
    return static_cast<int>(number);
}

// One document's layers; nullopt when any entry is not as encode() writes it.
std::optional<QVector<StoredLayerVisibility>> layersValue(const QJsonValue &value)
{
    if (!value.isArray())
        return std::nullopt;
    QVector<StoredLayerVisibility> layers;
    for (const QJsonValue &entry : value.toArray()) {
        const QJsonObject object = entry.toObject();
        const auto row = integerValue(object.value(rowKey));
        if (!row || *row < 0 || !object.value(nameKey).isString() || !object.value(visibleKey).isBool())
            return std::nullopt;
        layers.append({*row, object.value(nameKey).toString(), object.value(visibleKey).toBool()});
    }
    return layers;
}

} // namespace

QByteArray ReadingPositionLedger::encode() const
{
    QJsonObject pages;
    for (auto it = pageIndexByPath.cbegin(); it != pageIndexByPath.cend(); ++it)
        pages.insert(it.key(), it.value());
    QJsonObject layers;
    for (auto it = layersByPath.cbegin(); it != layersByPath.cend(); ++it) {
        QJsonArray entries;
        for (const StoredLayerVisibility &layer : it.value())
            entries.append(QJsonObject {{rowKey, layer.row}, {nameKey, layer.name}, {visibleKey, layer.visible}});
        layers.insert(it.key(), entries);
    }
    QJsonObject root {{pageIndexByPathKey, pages}};
    if (!layers.isEmpty())
        root.insert(layersByPathKey, layers);
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

std::optional<ReadingPositionLedger> ReadingPositionLedger::decode(const QByteArray &data)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonValue pages = document.object().value(pageIndexByPathKey);
    if (!pages.isObject())
        return std::nullopt;

    ReadingPositionLedger ledger;
    const QJsonObject object = pages.toObject();
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        const auto pageIndex = integerValue(it.value());
        if (!pageIndex)
            return std::nullopt;
        ledger.pageIndexByPath.insert(it.key(), *pageIndex);
    }
    const QJsonObject layers = document.object().value(layersByPathKey).toObject();
    for (auto it = layers.constBegin(); it != layers.constEnd(); ++it) {
        if (const auto entries = layersValue(it.value()))
            ledger.layersByPath.insert(it.key(), *entries);
    }
    return ledger;
}
