#include "RecentlyUsedRegistry.h"

#include "PDFFileURL.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include <sys/resource.h>

namespace {

const QDateTime firstOpen = QDateTime::fromSecsSinceEpoch(1709280000, Qt::UTC); // 2024-03-01T08:00:00Z
const QString secondStamp = QStringLiteral("2024-03-01T09:00:00Z");

// The bookmark for `href` as other readers of the file see it (with namespace processing):
// added, modified, visited, its MIME types, then each application as name|exec|modified|count.
QStringList bookmark(const QByteArray &xbel, const QString &href)
{
    const auto attribute
        = [](const QDomNode &n, const char *name) { return n.toElement().attribute(QString::fromLatin1(name)); };
    const auto children = [](const QDomElement &e, const char *ns, const char *name) {
        return e.elementsByTagNameNS(
            QStringLiteral("http://www.freedesktop.org/standards/") + QLatin1String(ns), QString::fromLatin1(name));
    };
    QDomDocument document;
    if (!document.setContent(xbel, true) || document.documentElement().tagName() != QLatin1String("xbel"))
        return {QStringLiteral("not XBEL")};
    for (QDomElement b = document.documentElement().firstChildElement(QStringLiteral("bookmark")); !b.isNull();
         b = b.nextSiblingElement(QStringLiteral("bookmark"))) {
        if (attribute(b, "href") != href)
            continue;
        QStringList fields {attribute(b, "added"), attribute(b, "modified"), attribute(b, "visited")};
        const QDomNodeList types = children(b, "shared-mime-info", "mime-type");
        for (int i = 0; i < types.size(); ++i)
            fields.append(attribute(types.at(i), "type"));
        const QDomNodeList apps = children(b, "desktop-bookmarks", "application");
        for (int i = 0; i < apps.size(); ++i)
            fields.append(QStringList {attribute(apps.at(i), "name"), attribute(apps.at(i), "exec"),
                attribute(apps.at(i), "modified"), attribute(apps.at(i), "count")}
                              .join(QLatin1Char('|')));
        return fields;
    }
    return {};
}

// All markup but the bookmark for `href`, written out again without namespace processing: the
// same for two files that say the same, whatever their layout.
QString markupOutside(const QByteArray &xbel, const QString &href)
{
    QDomDocument document;
    if (!document.setContent(xbel))
        return QStringLiteral("not XML");
    QDomElement root = document.documentElement();
    for (QDomElement b = root.firstChildElement(QStringLiteral("bookmark")); !b.isNull();
         b = b.nextSiblingElement(QStringLiteral("bookmark")))
        if (b.attribute(QStringLiteral("href")) == href)
            root.removeChild(b);
    return document.toString(-1);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray fixture(const char *name)
{
    return readFile(QFINDTESTDATA(QStringLiteral("data/") + QLatin1String(name)));
}

bool writeFile(const QString &path, const QByteArray &contents)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly)
        && file.write(contents) == contents.size();
}

} // namespace

class tst_RecentlyUsedRegistry : public QObject {
    Q_OBJECT

private slots:
    void noteAddsOrRefreshesOurEntry_data();
    void noteAddsOrRefreshesOurEntry();
    void unusableFileIsLeftUntouched_data();
    void unusableFileIsLeftUntouched();
};

void tst_RecentlyUsedRegistry::noteAddsOrRefreshesOurEntry_data()
{
    QTest::addColumn<QByteArray>("before"); // null: no file and no folder yet
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QString>("href");
    QTest::addColumn<QStringList>("entry"); // added, MIME type, other applications, our count
    const auto row
        = [](const char *name, const QByteArray &before, const char *path, const char *href, const char *entry) {
              QTest::newRow(name) << before << QByteArray(path) << QString::fromLatin1(href)
                                  << QString::fromUtf8(entry).split(QLatin1Char(';'));
          };
    // data/foreign.xbel is written the way the desktop's own library and a file manager write
    // the file, plus markup no writer is obliged to understand.
    const QByteArray foreign = fixture("foreign.xbel");
    row("new file, name not UTF-8", QByteArray(), "/图纸/\xff A-101 #1.pdf",
        "file:///%E5%9B%BE%E7%BA%B8/%FF%20A-101%20%231.pdf", "2024-03-01T08:00:00Z;application/pdf;2");
    row("among other programs' entries", foreign, "/srv/plans/A-101.pdf", "file:///srv/plans/A-101.pdf",
        "2024-03-01T08:00:00Z;application/pdf;2");
    row("another program's entry for the file", foreign, "/home/u/Pictures/site photo.jpg",
        "file:///home/u/Pictures/site%20photo.jpg",
        "2023-01-02T03:04:05.123456Z;image/jpeg;Image Viewer|'viewer %u'|2023-01-02T03:04:05Z|4;2");
    // Another writer encoded "(" and left nothing else out; it is still the same file.
    row("href encoded differently", fixture("encoded-href.xbel"), "/srv/A(rev) 总.pdf",
        "file:///srv/A%28rev%29%20%E6%80%BB.pdf", "2023-01-01T00:00:00Z;application/pdf;2");
    row("the file's own namespace prefix", fixture("own-prefix.xbel"), "/a.pdf", "file:///a.pdf",
        "2024-03-01T08:00:00Z;9");
    const QByteArray declaration = "<?xml version='1.0' encoding='UTF-8'?>\n";
    const QByteArray bookmarkNamespace = "\"http://www.freedesktop.org/standards/desktop-bookmarks\"";
    // Found by fuzzing: a prefix with a DEL character, which the reader takes in an attribute
    // name, was reused for our elements, where it refuses it; the file written was not XML.
    row("prefix not an XML name", declaration + "<xbel version=\"1.0\" xmlns:b\x7fk=" + bookmarkNamespace + "></xbel>",
        "/a.pdf", "file:///a.pdf", "2024-03-01T08:00:00Z;application/pdf;2");
    row("default namespace", declaration + "<xbel version=\"1.0\" xmlns=" + bookmarkNamespace + "></xbel>", "/a.pdf",
        "file:///a.pdf", "2024-03-01T08:00:00Z;application/pdf;2");
}

void tst_RecentlyUsedRegistry::noteAddsOrRefreshesOurEntry()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, path);
    QFETCH(QString, href);
    QFETCH(QStringList, entry);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("share/recently-used.xbel"));
    if (!before.isNull())
        QVERIFY(writeFile(file, before));
    const RecentlyUsedRegistry registry(file);
    QVERIFY(registry.noteRecentDocument(PDFFileURL::fromNativePath(path), firstOpen));
    // The second time under another spelling of the same path.
    QVERIFY(registry.noteRecentDocument(
        PDFFileURL::fromNativePath(QByteArray(path).insert(path.lastIndexOf('/'), "/old/..")),
        firstOpen.addSecs(3600)));

    const QByteArray written = readFile(file);
    entry.insert(1, secondStamp); // modified
    entry.insert(2, secondStamp); // visited
    entry.last().prepend(QStringLiteral("Plenvo|'plenvo %u'|") + secondStamp + QLatin1Char('|'));
    QCOMPARE(bookmark(written, href), entry);
    if (!before.isNull())
        QCOMPARE(markupOutside(written, href), markupOutside(before, href));
}

void tst_RecentlyUsedRegistry::unusableFileIsLeftUntouched_data()
{
    QTest::addColumn<QByteArray>("contents"); // null: a folder where the file should be
    QTest::addColumn<QUrl>("url");
    QTest::addColumn<bool>("sizeLimited"); // the write is cut off half-way
    const QUrl pdf = PDFFileURL::fromNativePath("/a.pdf");
    const QByteArray foreign = fixture("foreign.xbel");
    QTest::newRow("truncated write") << foreign.left(1000) << pdf << false;
    // Unreadable: a mode-000 file would not do, tests may run as root.
    QTest::newRow("folder in its place") << QByteArray() << pdf << false;
    QTest::newRow("web URL") << QByteArray("<xbel version=\"1.0\"/>")
                             << QUrl(QStringLiteral("https://example.org/a.pdf")) << false;
    // Found by fuzzing: declared UTF-7 but not, so that a namespace prefix decodes to
    // characters no XML name may hold; what was written back had elements without names.
    QTest::newRow("names that cannot be written back") << QByteArray::fromBase64(
        "PD94bWwgdmVyc2lvbj0iMS4wIiBlbmNvZGluZz0iVVRmLTciPz4KPHhiZWwgdmVyc2lvbj0iMS4wIiB4bWxuczp1"
        "dOzs7Ozs7Ozs7Ozs7Ozs7Ozs7Ozs7Ozs7Ozs7Ozs7Ozs7Ozs7Ozs7Ozs7Ozs7Ozs7Ozs7OxYdGYzLW9rbWEt"
        "EwAIAHJrPSJodHRwOi8vd3d3LmZyZWVkZXNrdG9wK29yZy9zdGFuZGFyZHMvZGVza3RvcC1ib29rbWFya3Mi"
        "PgogIHNpdGVkPSIwMDowMDowMFoiL3cKPC94YmVsPgo=") << pdf
                                                       << false;
    // Other programs' entries and all; the file size limit binds root too.
    QTest::newRow("write cut off half-way") << foreign << pdf << true;
}

// Nothing is written, and nothing left beside the file.
void tst_RecentlyUsedRegistry::unusableFileIsLeftUntouched()
{
    QFETCH(QByteArray, contents);
    QFETCH(QUrl, url);
    QFETCH(bool, sizeLimited);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("share/recently-used.xbel"));
    QVERIFY(contents.isNull() ? QDir().mkpath(file) : writeFile(file, contents));

    rlimit saved {};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit limited = saved;
    if (sizeLimited)
        limited.rlim_cur = rlim_t(contents.size() / 2);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN); // a short write instead of death
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool noted = RecentlyUsedRegistry(file).noteRecentDocument(url, firstOpen);
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &saved), 0);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(!noted);
    QCOMPARE(QFileInfo(file).isDir(), contents.isNull());
    QCOMPARE(readFile(file), contents);
    QCOMPARE(QDir(QFileInfo(file).path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList {QStringLiteral("recently-used.xbel")});
}

QTEST_GUILESS_MAIN(tst_RecentlyUsedRegistry)
#include "tst_RecentlyUsedRegistry.moc"
