#include "PDFViewerShortcutStore.h"

#include "PDFViewerShortcutPolicy.h"

#include <QSettings>

PDFViewerShortcutStore::PDFViewerShortcutStore(QSettings *defaults, const QString &storageKey, QObject *parent)
    : QObject(parent)
    , m_defaults(defaults)
    , m_storageKey(storageKey)
{
    const QVariant stored = m_defaults->value(m_storageKey);
    if (stored.typeId() != QMetaType::QByteArray)
        return;
    const std::optional<PDFViewerShortcutConfiguration> decoded
        = PDFViewerShortcutConfiguration::decoded(stored.toByteArray());
    if (!decoded) {
        m_defaults->remove(m_storageKey);
        return;
    }
    m_configuration = decoded->sanitized();
    if (m_configuration != *decoded)
        persist();
}

PDFViewerShortcutStore &PDFViewerShortcutStore::shared()
{
    // The same file the application's other settings live in.
    static QSettings settings(
        QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Plenvo"), QStringLiteral("Plenvo"));
    static PDFViewerShortcutStore store(&settings, defaultStorageKey());
    return store;
}

QString PDFViewerShortcutStore::defaultStorageKey()
{
    return QStringLiteral("pdfViewerShortcutConfigurationV1");
}

std::optional<PDFViewerShortcutValidationError> PDFViewerShortcutStore::update(
    const PDFViewerShortcut &shortcut, PDFViewerShortcutAction action)
{
    auto result = m_configuration.setting(shortcut, action);
    if (const auto *error = std::get_if<PDFViewerShortcutValidationError>(&result))
        return *error;
    m_configuration = std::get<PDFViewerShortcutConfiguration>(std::move(result));
    emit configurationChanged(m_configuration);
    persist();
    return std::nullopt;
}

std::optional<PDFViewerShortcutValidationError> PDFViewerShortcutStore::reset(PDFViewerShortcutAction action)
{
    return update(PDFViewerShortcutPolicy::shortcut(action).shortcut, action);
}

void PDFViewerShortcutStore::resetAll()
{
    m_configuration = PDFViewerShortcutConfiguration();
    emit configurationChanged(m_configuration);
    m_defaults->remove(m_storageKey);
    m_defaults->sync();
}

void PDFViewerShortcutStore::persist()
{
    if (m_configuration.overrides().isEmpty())
        m_defaults->remove(m_storageKey);
    else
        m_defaults->setValue(m_storageKey, m_configuration.encoded());
    // On disk before the change returns: a change the user saw is never lost, even to a kill.
    m_defaults->sync();
}
