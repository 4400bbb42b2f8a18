#pragma once

#include "PDFViewerShortcutConfiguration.h"

#include <QObject>

#include <optional>

class QSettings;

// The live owner of the user's shortcut configuration. Loads and cleans the stored value on
// construction, publishes every change through configurationChanged(), and writes each
// accepted change to the settings store at once: the value under the storage key is the
// compact JSON record as a byte array, present only while there is at least one override.
// Changes made by other processes after loading are not picked up.
//
// UI thread only. The settings store is not owned, must not be null and must outlive the store.
class PDFViewerShortcutStore : public QObject {
    Q_OBJECT
    Q_PROPERTY(PDFViewerShortcutConfiguration configuration READ configuration NOTIFY configurationChanged)

public:
    // Loads: no entry, or an entry that is not a byte array, gives an empty configuration and
    // touches nothing; an unreadable record gives an empty configuration and is removed; a
    // readable one is cleaned, and written back (or removed, if nothing is left) only when
    // cleaning changed it, so an already clean value keeps its bytes.
    PDFViewerShortcutStore(QSettings *defaults, const QString &storageKey, QObject *parent = nullptr);

    // The process-wide store over the application's settings file and defaultStorageKey(),
    // created on first use and kept until exit.
    static PDFViewerShortcutStore &shared();
    // "pdfViewerShortcutConfigurationV1".
    static QString defaultStorageKey();

    const PDFViewerShortcutConfiguration &configuration() const { return m_configuration; }
    // The effective combination of `action`.
    PDFViewerShortcut shortcut(PDFViewerShortcutAction action) const { return m_configuration.shortcut(action); }

    // Validates `shortcut` for `action` against the current configuration. On success the
    // configuration changes, observers are notified, the value is written, and nullopt comes
    // back; otherwise nothing changes and the reason comes back.
    std::optional<PDFViewerShortcutValidationError> update(
        const PDFViewerShortcut &shortcut, PDFViewerShortcutAction action);
    // update() with the action's default, so it fails with `duplicate` while another action
    // has been moved onto that default.
    std::optional<PDFViewerShortcutValidationError> reset(PDFViewerShortcutAction action);
    // Drops every override and the stored entry; always notifies, even when nothing changed.
    void resetAll();

signals:
    void configurationChanged(const PDFViewerShortcutConfiguration &configuration);

private:
    void persist();

    PDFViewerShortcutConfiguration m_configuration;
    QSettings *m_defaults;
    QString m_storageKey;
};
