#include "PDFReadingPositionStore.h"

#include <QCoreApplication>
#include <QSettings>

namespace {

const QString kReadingPositionsKey = QStringLiteral("readingPositionsV1");
constexpr int kDefaultSaveDelayMilliseconds = 1000;

} // namespace

PDFReadingPositionStore::PDFReadingPositionStore(QSettings *defaults, QObject *parent)
    : QObject(parent)
    , m_defaults(defaults)
{
    m_saveTimer.setSingleShot(true);
    m_saveTimer.setInterval(kDefaultSaveDelayMilliseconds);
    connect(&m_saveTimer, &QTimer::timeout, this, &PDFReadingPositionStore::save);
    if (const QCoreApplication *application = QCoreApplication::instance())
        connect(application, &QCoreApplication::aboutToQuit, this, &PDFReadingPositionStore::save);
}

ReadingPositionLedger PDFReadingPositionStore::positions() const
{
    const QByteArray data = m_defaults->value(kReadingPositionsKey).toByteArray();
    ReadingPositionLedger ledger = data.isEmpty()
        ? ReadingPositionLedger {}
        : ReadingPositionLedger::decode(data).value_or(ReadingPositionLedger {});
    for (auto it = m_unsaved.cbegin(); it != m_unsaved.cend(); ++it)
        ledger.pageIndexByPath.insert(it.key(), it.value());
    for (auto it = m_unsavedLayers.cbegin(); it != m_unsavedLayers.cend(); ++it)
        ledger.layersByPath.insert(it.key(), it.value());
    return ledger;
}

void PDFReadingPositionStore::record(const QString &path, int index)
{
    const ReadingPositionLedger known = positions();
    if (known.pageIndexByPath.contains(path) && known.pageIndexByPath.value(path) == index)
        return;
    m_unsaved.insert(path, index);
    m_saveTimer.start();
}

void PDFReadingPositionStore::recordLayers(const QString &path, const QVector<StoredLayerVisibility> &layers)
{
    m_unsavedLayers.insert(path, layers);
    m_saveTimer.start();
}

void PDFReadingPositionStore::save()
{
    m_saveTimer.stop();
    if (m_unsaved.isEmpty() && m_unsavedLayers.isEmpty())
        return;
    const ReadingPositionLedger ledger = positions();
    m_unsaved.clear();
    m_unsavedLayers.clear();
    m_defaults->setValue(kReadingPositionsKey, ledger.encode());
    m_defaults->sync();
}
