#include "PDFViewerShortcutConfiguration.h"

#include "PDFViewerShortcutPolicy.h"

#include <QJsonDocument>
#include <QJsonObject>

PDFViewerShortcut PDFViewerShortcutConfiguration::shortcut(PDFViewerShortcutAction action) const
{
    const auto entry = m_overrides.constFind(action.rawValue());
    return entry != m_overrides.cend() ? *entry : PDFViewerShortcutPolicy::shortcut(action).shortcut;
}

std::variant<PDFViewerShortcutConfiguration, PDFViewerShortcutValidationError> PDFViewerShortcutConfiguration::setting(
    const PDFViewerShortcut &shortcut, PDFViewerShortcutAction action) const
{
    if (const auto error = PDFViewerShortcutPolicy::validationError(shortcut, action, *this))
        return *error;
    PDFViewerShortcutConfiguration result = *this;
    if (shortcut == PDFViewerShortcutPolicy::shortcut(action).shortcut)
        result.m_overrides.remove(action.rawValue());
    else
        result.m_overrides.insert(action.rawValue(), shortcut);
    return result;
}

PDFViewerShortcutConfiguration PDFViewerShortcutConfiguration::sanitized() const
{
    PDFViewerShortcutConfiguration result;
    for (PDFViewerShortcutAction action : PDFViewerShortcutAction::allCases()) {
        const auto entry = m_overrides.constFind(action.rawValue());
        if (entry == m_overrides.cend() || *entry == PDFViewerShortcutPolicy::shortcut(action).shortcut
            || PDFViewerShortcutPolicy::basicValidationError(*entry))
            continue;
        result.m_overrides.insert(action.rawValue(), *entry);
    }

    // Conflict pass, restarted after every removal; each restart removes at least one entry.
    const auto &actions = PDFViewerShortcutAction::allCases();
    for (bool restart = true; restart;) {
        restart = false;
        for (PDFViewerShortcutAction action : actions) {
            const PDFViewerShortcut shared = result.shortcut(action);
            QList<PDFViewerShortcutAction> group;
            for (PDFViewerShortcutAction member : actions) {
                if (result.shortcut(member) == shared)
                    group.append(member);
            }
            if (group.size() < 2)
                continue;
            PDFViewerShortcutAction keeper = group.front();
            for (PDFViewerShortcutAction member : group) {
                if (PDFViewerShortcutPolicy::shortcut(member).shortcut == shared) {
                    keeper = member;
                    break;
                }
            }
            bool removed = false;
            for (PDFViewerShortcutAction member : group) {
                if (member != keeper)
                    removed |= result.m_overrides.remove(member.rawValue()) > 0;
            }
            if (!removed)
                return PDFViewerShortcutConfiguration();
            restart = true;
            break;
        }
    }
    return result;
}

QByteArray PDFViewerShortcutConfiguration::encoded() const
{
    QJsonObject overrides;
    for (auto entry = m_overrides.cbegin(); entry != m_overrides.cend(); ++entry)
        overrides.insert(entry.key(), entry.value().toJSON());
    const QJsonObject record {{QStringLiteral("overrides"), overrides}};
    return QJsonDocument(record).toJson(QJsonDocument::Compact);
}

std::optional<PDFViewerShortcutConfiguration> PDFViewerShortcutConfiguration::decoded(const QByteArray &data)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonValue overrides = document.object().value(QLatin1String("overrides"));
    if (!overrides.isObject())
        return std::nullopt;
    PDFViewerShortcutConfiguration configuration;
    const QJsonObject entries = overrides.toObject();
    for (auto entry = entries.constBegin(); entry != entries.constEnd(); ++entry) {
        const std::optional<PDFViewerShortcut> shortcut = PDFViewerShortcut::fromJSON(entry.value());
        if (!shortcut)
            return std::nullopt;
        configuration.m_overrides.insert(entry.key(), *shortcut);
    }
    return configuration;
}
