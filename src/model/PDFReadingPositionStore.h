#pragma once

#include "ReadingPositionLedger.h"

#include <QMap>
#include <QObject>
#include <QString>
#include <QTimer>

class QSettings;

// The reading positions, each document's page and layers: those in the settings store with the
// ones not yet written laid over them. Page turns and layer changes come in runs, so what is
// recorded is written once it has rested for saveDelay() (1 s unless changed), at once on
// save(), and when the application is about to quit. UI thread only.
class PDFReadingPositionStore : public QObject {
    Q_OBJECT

public:
    // `defaults` must outlive the store.
    explicit PDFReadingPositionStore(QSettings *defaults, QObject *parent = nullptr);

    // Read anew on every call; the stored part is empty when unreadable.
    ReadingPositionLedger positions() const;
    // `path` (standardised) is at page `index`; nothing changes when the store says so already.
    void record(const QString &path, int index);
    // `path` (standardised) shows its layers as `layers` says.
    void recordLayers(const QString &path, const QVector<StoredLayerVisibility> &layers);
    // Writes the positions not yet written, if any.
    void save();
    int saveDelay() const { return m_saveTimer.interval(); }
    void setSaveDelay(int milliseconds) { m_saveTimer.setInterval(milliseconds); }

private:
    QSettings *m_defaults;
    // Standardised path → 0-based page, recorded but not yet in the settings store.
    QMap<QString, int> m_unsaved;
    QMap<QString, QVector<StoredLayerVisibility>> m_unsavedLayers;
    // Single-shot; restarted by every record, so a run of page turns is written once.
    QTimer m_saveTimer;
};
