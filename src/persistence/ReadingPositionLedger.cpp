#include "ReadingPositionLedger.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <limits>

namespace {

const QString pageIndexByPathKey = QStringLiteral("pageIndexByPath");

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

} // namespace

QByteArray ReadingPositionLedger::encode() const
{
    QJsonObject pages;
    for (auto it = pageIndexByPath.cbegin(); it != pageIndexByPath.cend(); ++it)
        pages.insert(it.key(), it.value());
    const QJsonObject root {{pageIndexByPathKey, pages}};
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
    return ledger;
}
