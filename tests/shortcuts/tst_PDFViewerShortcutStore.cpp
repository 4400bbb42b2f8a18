#include "PDFViewerShortcutStore.h"
#include "ShortcutNotation.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using Action = PDFViewerShortcutAction;
using Error = PDFViewerShortcutValidationError;

class tst_PDFViewerShortcutStore : public QObject {
    Q_OBJECT

private slots:
    void init();
    void loading_data();
    void loading();
    void everyChangeIsOnDiskWhenItReturns();

private:
    QByteArray stored() const { return m_settings->value(m_key).toByteArray(); }
    // The settings file as another process would read it now: a copy, since settings objects of
    // one process share what they have read.
    std::unique_ptr<QSettings> readFromDisk() const;

    const QString m_key = PDFViewerShortcutStore::defaultStorageKey();
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QSettings> m_settings;
};

void tst_PDFViewerShortcutStore::init()
{
    m_settings.reset();
    m_dir = std::make_unique<QTemporaryDir>();
    m_settings = std::make_unique<QSettings>(m_dir->filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
}

std::unique_ptr<QSettings> tst_PDFViewerShortcutStore::readFromDisk() const
{
    const QString copy = m_dir->filePath(QStringLiteral("copy.ini"));
    QFile::remove(copy);
    QFile::copy(m_settings->fileName(), copy);
    return std::make_unique<QSettings>(copy, QSettings::IniFormat);
}

// One row per way the store treats what it finds: the rules that clean a record are
// tst_PDFViewerShortcut's.
void tst_PDFViewerShortcutStore::loading_data()
{
    QTest::addColumn<QByteArray>("before"); // null: no entry
    QTest::addColumn<QByteArray>("after"); // null: no entry
    QTest::addColumn<QString>("zoomIn");
    const auto row = [](const char *name, const char *before, const char *after, const char *zoomIn) {
        QTest::newRow(name) << QByteArray(before) << QByteArray(after) << QString::fromUtf8(zoomIn);
    };
    // As the build that named keys by symbol wrote it: only the text naming a key changed since,
    // so it reads in the new notation and is not rewritten.
    const char *clean = "{ \"overrides\" : { \"zoomIn\": {\"modifiers\": 8, \"key\": \"P\"},"
                        " \"togglePresentation\": {\"key\": \"\xef\x9c\x88\", \"modifiers\": 5} } }";
    row("no entry", nullptr, nullptr, "Alt+=");
    row("not JSON: removed", "{overrides", nullptr, "Alt+=");
    row("only entry equals its default: removed", R"({"overrides":{"zoomIn":{"key":"=","modifiers":2}}})", nullptr,
        "Alt+=");
    row("unknown key: rewritten without it",
        R"({"overrides":{"zoomIn":{"key":"=","modifiers":8},"zoom":{"key":"1","modifiers":8}}})",
        R"({"overrides":{"zoomIn":{"key":"=","modifiers":8}}})", "Ctrl+=");
    row("already clean: bytes identical", clean, clean, "Ctrl+P");
}

void tst_PDFViewerShortcutStore::loading()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QFETCH(QString, zoomIn);
    if (!before.isNull())
        m_settings->setValue(m_key, before);
    const PDFViewerShortcutStore store(m_settings.get(), m_key);
    QCOMPARE(store.shortcut(Action::zoomIn).displayText(), zoomIn);
    QCOMPARE(store.shortcut(Action::togglePresentation), sc(before.contains("togglePresentation") ? "⌃⇧F5" : "⌥F"));
    QCOMPARE(m_settings->contains(m_key), !after.isNull());
    QCOMPARE(stored(), after);

    if (before.isNull()) { // a text entry is not ours to read or remove
        m_settings->setValue(m_key, QStringLiteral(R"({"overrides":{"zoomIn":{"key":"p","modifiers":8}}})"));
        QCOMPARE(PDFViewerShortcutStore(m_settings.get(), m_key).shortcut(Action::zoomIn), sc("⌥="));
        QCOMPARE(m_settings->value(m_key).typeId(), QMetaType::QString);
    }
}

// Listeners hear of a change with the store already changed. Nothing waits for the event loop
// or for the store's end: a kill right after a change the user saw loses nothing, and the next
// start reads back what the user saw. A refused change is neither heard of nor written.
void tst_PDFViewerShortcutStore::everyChangeIsOnDiskWhenItReturns()
{
    PDFViewerShortcutStore store(m_settings.get(), m_key);
    QList<PDFViewerShortcutConfiguration> heard; // the store as each listener found it
    connect(&store, &PDFViewerShortcutStore::configurationChanged, this, [&] { heard.append(store.configuration()); });
    const auto onDisk = [&] {
        const std::unique_ptr<QSettings> disk = readFromDisk();
        if (PDFViewerShortcutStore(disk.get(), m_key).configuration() != store.configuration())
            return QByteArray("read back as another configuration");
        return disk->value(m_key).toByteArray();
    };

    QCOMPARE(store.update(sc("⌘1"), Action::previousPage), std::nullopt);
    QCOMPARE(store.update(sc("⌥["), Action::zoomIn), std::nullopt); // previousPage's default, now free
    // A function key is stored as its private-use character.
    QCOMPARE(store.update(sc("⌃⌘F5"), Action::togglePresentation), std::nullopt);
    QCOMPARE(heard.size(), 3);
    QCOMPARE(heard.last(), store.configuration());
    const QByteArray written = "{\"overrides\":{\"previousPage\":{\"key\":\"1\",\"modifiers\":8},"
                               "\"togglePresentation\":{\"key\":\"\xef\x9c\x88\",\"modifiers\":9},"
                               "\"zoomIn\":{\"key\":\"[\",\"modifiers\":2}}}";
    QCOMPARE(onDisk(), written);

    QCOMPARE(store.update(sc("⌘1"), Action::zoomOut), Error::duplicate(Action::previousPage));
    QCOMPARE(store.reset(Action::previousPage), Error::duplicate(Action::zoomIn));
    QCOMPARE(heard.size(), 3);
    QCOMPARE(store.shortcut(Action::previousPage), sc("⌘1"));
    QCOMPARE(onDisk(), written);

    // No overrides, no entry.
    for (Action action : {Action::zoomIn, Action::previousPage, Action::togglePresentation})
        QCOMPARE(store.reset(action), std::nullopt);
    QCOMPARE(onDisk(), QByteArray());
    QCOMPARE(store.update(sc("⌘2"), Action::zoomOut), std::nullopt);
    store.resetAll();
    QCOMPARE(heard.size(), 8);
    QCOMPARE(heard.last(), store.configuration());
    QCOMPARE(onDisk(), QByteArray());
}

QTEST_GUILESS_MAIN(tst_PDFViewerShortcutStore)
#include "tst_PDFViewerShortcutStore.moc"
