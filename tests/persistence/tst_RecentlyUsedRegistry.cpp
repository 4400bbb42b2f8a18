#include "RecentlyUsedRegistry.h"

#include "PDFFileURL.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {

const QString bookmarkNS = QStringLiteral("http://www.freedesktop.org/standards/desktop-bookmarks");
const QString mimeNS = QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info");

const QDateTime firstOpen = QDateTime::fromSecsSinceEpoch(1709280000, Qt::UTC); // 2024-03-01T08:00:00Z
const QDateTime secondOpen = firstOpen.addSecs(3600);

struct Application {
    QString exec;
    QString modified;
    QString count;
};

struct Entry {
    QString href;
    QString added, modified, visited;
    QStringList mimeTypes;
    QMap<QString, Application> applications; // by name
};

// Parsed with namespace processing, as other readers of the file do.
QList<Entry> entries(const QByteArray &xbel)
{
    QDomDocument document;
    if (!document.setContent(xbel, true))
        return {};
    QList<Entry> result;
    for (QDomElement b = document.documentElement().firstChildElement(QStringLiteral("bookmark")); !b.isNull();
         b = b.nextSiblingElement(QStringLiteral("bookmark"))) {
        Entry entry {b.attribute(QStringLiteral("href")), b.attribute(QStringLiteral("added")),
            b.attribute(QStringLiteral("modified")), b.attribute(QStringLiteral("visited")), {}, {}};
        const QDomNodeList types = b.elementsByTagNameNS(mimeNS, QStringLiteral("mime-type"));
        for (int i = 0; i < types.size(); ++i)
            entry.mimeTypes.append(types.at(i).toElement().attribute(QStringLiteral("type")));
        const QDomNodeList apps = b.elementsByTagNameNS(bookmarkNS, QStringLiteral("application"));
        for (int i = 0; i < apps.size(); ++i) {
            const QDomElement app = apps.at(i).toElement();
            entry.applications.insert(app.attribute(QStringLiteral("name")),
                {app.attribute(QStringLiteral("exec")), app.attribute(QStringLiteral("modified")),
                    app.attribute(QStringLiteral("count"))});
        }
        result.append(entry);
    }
    return result;
}

// Every token except layout whitespace, attributes sorted, with the subtree of the bookmark
// for `skippedHref` left out: two files with equal streams carry the same markup.
QStringList markupOutside(const QByteArray &xbel, const QString &skippedHref)
{
    QStringList tokens;
    QXmlStreamReader reader(xbel);
    reader.setNamespaceProcessing(false);
    int skipping = 0;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && !skipping && reader.qualifiedName() == QLatin1String("bookmark")
            && reader.attributes().value(QLatin1String("href")) == skippedHref)
            skipping = 1;
        else if (skipping && reader.isStartElement())
            ++skipping;
        if (skipping) {
            if (reader.isEndElement())
                --skipping;
            continue;
        }
        if (reader.isWhitespace() || reader.isStartDocument() || reader.isEndDocument())
            continue;
        const QString token
            = QStringList {reader.tokenString(), reader.qualifiedName().toString(), reader.text().toString(),
                reader.processingInstructionTarget().toString(), reader.processingInstructionData().toString()}
                  .join(QLatin1Char(' '));
        QStringList attributes;
        for (const QXmlStreamAttribute &a : reader.attributes())
            attributes.append(a.qualifiedName().toString() + QLatin1Char('=') + a.value().toString());
        attributes.sort();
        tokens.append(token + QLatin1Char(' ') + attributes.join(QLatin1Char(' ')));
    }
    if (reader.hasError())
        tokens.append(QStringLiteral("error: ") + reader.errorString());
    return tokens;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &contents)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

QString iso(const QDateTime &t)
{
    return t.toString(Qt::ISODate);
}

// data/foreign.xbel is written the way the desktop's own library and a file manager write
// the file, plus markup no writer is obliged to understand.
QByteArray fixture(const char *name)
{
    return readFile(QFINDTESTDATA(QStringLiteral("data/") + QLatin1String(name)));
}

} // namespace

class tst_RecentlyUsedRegistry : public QObject {
    Q_OBJECT

private slots:
    void init();
    void absentFileIsCreatedWithFolder();
    void foreignEntriesSurviveExactly();
    void refreshDoesNotDuplicate();
    void refreshMatchesDifferentlyEncodedHref();
    void refreshKeepsOtherApplicationsOfTheSameEntry();
    void refreshCompletesEntryWithoutOurMetadata();
    void refreshUsesTheFilesOwnNamespacePrefix();
    void nonUTF8PathIsPercentEncoded();
    void unparseableFileIsLeftUntouched_data();
    void unparseableFileIsLeftUntouched();
    void unreadableFileIsLeftUntouched();
    void nonFileURLIsRefused();
    void defaultPathFollowsXDGDataHome();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

void tst_RecentlyUsedRegistry::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_path = m_dir->filePath(QStringLiteral("recently-used.xbel"));
}

void tst_RecentlyUsedRegistry::absentFileIsCreatedWithFolder()
{
    const QString path = m_dir->filePath(QStringLiteral("data/home/recently-used.xbel"));
    const RecentlyUsedRegistry registry(path);
    QVERIFY(registry.noteRecentDocument(PDFFileURL::fromNativePath("/图纸/A-101 #1.pdf"), firstOpen));

    const QByteArray written = readFile(path);
    QDomDocument document;
    QVERIFY(document.setContent(written, true));
    const QDomElement root = document.documentElement();
    QCOMPARE(root.tagName(), QStringLiteral("xbel"));
    QCOMPARE(root.attribute(QStringLiteral("version")), QStringLiteral("1.0"));

    const auto list = entries(written);
    QCOMPARE(list.size(), 1);
    QCOMPARE(list[0].href, QStringLiteral("file:///%E5%9B%BE%E7%BA%B8/A-101%20%231.pdf"));
    QCOMPARE(list[0].added, QStringLiteral("2024-03-01T08:00:00Z"));
    QCOMPARE(list[0].modified, iso(firstOpen));
    QCOMPARE(list[0].visited, iso(firstOpen));
    QCOMPARE(list[0].mimeTypes, QStringList {QStringLiteral("application/pdf")});
    QCOMPARE(list[0].applications.keys(), QStringList {QStringLiteral("Plenvo")});
    const Application app = list[0].applications.value(QStringLiteral("Plenvo"));
    QCOMPARE(app.exec, QStringLiteral("'plenvo %u'"));
    QCOMPARE(app.modified, iso(firstOpen));
    QCOMPARE(app.count, QStringLiteral("1"));
    // The metadata owner is what other readers look for.
    QVERIFY(written.contains("<metadata owner=\"http://freedesktop.org\">"));
}

void tst_RecentlyUsedRegistry::foreignEntriesSurviveExactly()
{
    const QByteArray foreignFile = fixture("foreign.xbel");
    QVERIFY(writeFile(m_path, foreignFile));
    const QUrl url = PDFFileURL::fromNativePath("/srv/plans/A-101.pdf");
    QVERIFY(RecentlyUsedRegistry(m_path).noteRecentDocument(url, firstOpen));

    const QByteArray written = readFile(m_path);
    QCOMPARE(markupOutside(written, url.toString(QUrl::FullyEncoded)), markupOutside(foreignFile, QString()));
    // Layout and attribute order of others' entries are kept too, not only their meaning.
    const qsizetype from = foreignFile.indexOf("  <bookmark href=\"file:///home/u/Documents");
    QByteArray lastForeign = foreignFile.mid(from, foreignFile.indexOf("</xbel>") - from);
    QVERIFY(written.contains(lastForeign.replace("&apos;", "'")));
    QVERIFY(written.contains("<desc>North &amp; east &lt;elevations&gt;</desc>"));
    QVERIFY(written.contains("<![CDATA[raw <text>]]>"));

    const auto list = entries(written);
    QCOMPARE(list.size(), 3);
    QCOMPARE(list.last().href, QStringLiteral("file:///srv/plans/A-101.pdf"));
}

void tst_RecentlyUsedRegistry::refreshDoesNotDuplicate()
{
    const QByteArray foreignFile = fixture("foreign.xbel");
    QVERIFY(writeFile(m_path, foreignFile));
    const RecentlyUsedRegistry registry(m_path);
    const QUrl url = PDFFileURL::fromNativePath("/srv/plans/A-101.pdf");
    QVERIFY(registry.noteRecentDocument(url, firstOpen));
    QVERIFY(registry.noteRecentDocument(PDFFileURL::fromNativePath("/srv/plans/old/../A-101.pdf"), secondOpen));

    const QByteArray written = readFile(m_path);
    const auto list = entries(written);
    QCOMPARE(list.size(), 3);
    const Entry ours = list.last();
    QCOMPARE(ours.added, iso(firstOpen));
    QCOMPARE(ours.modified, iso(secondOpen));
    QCOMPARE(ours.visited, iso(secondOpen));
    QCOMPARE(ours.applications.size(), 1);
    QCOMPARE(ours.applications.value(QStringLiteral("Plenvo")).count, QStringLiteral("2"));
    QCOMPARE(ours.applications.value(QStringLiteral("Plenvo")).modified, iso(secondOpen));
    QCOMPARE(markupOutside(written, url.toString(QUrl::FullyEncoded)), markupOutside(foreignFile, QString()));
}

void tst_RecentlyUsedRegistry::refreshMatchesDifferentlyEncodedHref()
{
    // Another writer encoded "(" and left nothing else out; it is still the same file.
    QVERIFY(writeFile(m_path, fixture("encoded-href.xbel")));
    QVERIFY(
        RecentlyUsedRegistry(m_path).noteRecentDocument(PDFFileURL::fromNativePath("/srv/A(rev) 总.pdf"), firstOpen));
    const auto list = entries(readFile(m_path));
    QCOMPARE(list.size(), 1);
    QCOMPARE(list[0].href, QStringLiteral("file:///srv/A%28rev%29%20%E6%80%BB.pdf"));
    QCOMPARE(list[0].added, QStringLiteral("2023-01-01T00:00:00Z"));
    QCOMPARE(list[0].modified, iso(firstOpen));
}

void tst_RecentlyUsedRegistry::refreshKeepsOtherApplicationsOfTheSameEntry()
{
    const QByteArray foreignFile = fixture("foreign.xbel");
    QVERIFY(writeFile(m_path, foreignFile));
    const QUrl photo = QUrl::fromEncoded("file:///home/u/Pictures/site%20photo.jpg");
    QVERIFY(RecentlyUsedRegistry(m_path).noteRecentDocument(photo, firstOpen));
    const auto list = entries(readFile(m_path));
    QCOMPARE(list.size(), 2);
    const Entry entry = list.first();
    QCOMPARE(entry.modified, iso(firstOpen));
    QCOMPARE(entry.added, QStringLiteral("2023-01-02T03:04:05.123456Z"));
    QCOMPARE(entry.mimeTypes, QStringList {QStringLiteral("image/jpeg")});
    QCOMPARE(entry.applications.value(QStringLiteral("Image Viewer")).count, QStringLiteral("4"));
    QCOMPARE(entry.applications.value(QStringLiteral("Image Viewer")).modified, QStringLiteral("2023-01-02T03:04:05Z"));
    QCOMPARE(entry.applications.value(QStringLiteral("Plenvo")).count, QStringLiteral("1"));
}

void tst_RecentlyUsedRegistry::refreshCompletesEntryWithoutOurMetadata()
{
    QVERIFY(writeFile(m_path, fixture("without-metadata.xbel")));
    QVERIFY(RecentlyUsedRegistry(m_path).noteRecentDocument(PDFFileURL::fromNativePath("/a.pdf"), firstOpen));
    const QByteArray written = readFile(m_path);
    const auto list = entries(written);
    QCOMPARE(list.size(), 1);
    QCOMPARE(list[0].added, iso(firstOpen));
    QCOMPARE(list[0].mimeTypes, QStringList {QStringLiteral("application/pdf")});
    QCOMPARE(list[0].applications.value(QStringLiteral("Plenvo")).count, QStringLiteral("1"));
    QVERIFY(written.contains("<title>A</title>"));
}

void tst_RecentlyUsedRegistry::refreshUsesTheFilesOwnNamespacePrefix()
{
    QVERIFY(writeFile(m_path, fixture("own-prefix.xbel")));
    QVERIFY(RecentlyUsedRegistry(m_path).noteRecentDocument(PDFFileURL::fromNativePath("/a.pdf"), firstOpen));
    const QByteArray written = readFile(m_path);
    const auto list = entries(written);
    QCOMPARE(list.size(), 1);
    QCOMPARE(list[0].applications.size(), 1);
    QCOMPARE(list[0].applications.value(QStringLiteral("Plenvo")).count, QStringLiteral("8"));
    QVERIFY(!written.contains("bookmark:"));
}

void tst_RecentlyUsedRegistry::nonUTF8PathIsPercentEncoded()
{
    const RecentlyUsedRegistry registry(m_path);
    const QUrl url = PDFFileURL::fromNativePath("/d/\xff plan.pdf");
    QVERIFY(registry.noteRecentDocument(url, firstOpen));
    QVERIFY(registry.noteRecentDocument(url, secondOpen));
    const auto list = entries(readFile(m_path));
    QCOMPARE(list.size(), 1);
    QCOMPARE(list[0].href, QStringLiteral("file:///d/%FF%20plan.pdf"));
    QCOMPARE(list[0].applications.value(QStringLiteral("Plenvo")).count, QStringLiteral("2"));
}

void tst_RecentlyUsedRegistry::unparseableFileIsLeftUntouched_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("plain text") << QByteArray("recent files\n");
    QTest::newRow("unclosed element") << QByteArray("<xbel version=\"1.0\"><bookmark href=\"file:///a.pdf\"></xbel>");
    QTest::newRow("truncated write") << fixture("foreign.xbel").left(1000);
    QTest::newRow("undefined entity") << QByteArray("<xbel><title>&nbsp;</title></xbel>");
    QTest::newRow("other root") << QByteArray("<html><body/></html>");
    QTest::newRow("binary") << QByteArray("\x00\x01\xff\xfe<xbel", 9);
}

void tst_RecentlyUsedRegistry::unparseableFileIsLeftUntouched()
{
    QFETCH(QByteArray, contents);
    QVERIFY(writeFile(m_path, contents));
    QVERIFY(!RecentlyUsedRegistry(m_path).noteRecentDocument(PDFFileURL::fromNativePath("/a.pdf"), firstOpen));
    QCOMPARE(readFile(m_path), contents);
    QCOMPARE(
        QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList {QStringLiteral("recently-used.xbel")});
}

void tst_RecentlyUsedRegistry::unreadableFileIsLeftUntouched()
{
    // A folder where the file should be: it exists but cannot be read as a file (a mode-000
    // file would not do, tests may run as root).
    QVERIFY(QDir().mkpath(m_path));
    QVERIFY(!RecentlyUsedRegistry(m_path).noteRecentDocument(PDFFileURL::fromNativePath("/a.pdf"), firstOpen));
    QVERIFY(QFileInfo(m_path).isDir());
}

void tst_RecentlyUsedRegistry::nonFileURLIsRefused()
{
    QVERIFY(
        !RecentlyUsedRegistry(m_path).noteRecentDocument(QUrl(QStringLiteral("https://example.org/a.pdf")), firstOpen));
    QVERIFY(!QFileInfo::exists(m_path));
}

void tst_RecentlyUsedRegistry::defaultPathFollowsXDGDataHome()
{
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", "/xdg/data");
    QCOMPARE(RecentlyUsedRegistry::defaultPath(), QStringLiteral("/xdg/data/recently-used.xbel"));
    qputenv("XDG_DATA_HOME", "relative/data");
    QCOMPARE(
        RecentlyUsedRegistry::defaultPath(), QDir::homePath() + QStringLiteral("/.local/share/recently-used.xbel"));
    qunsetenv("XDG_DATA_HOME");
    QCOMPARE(
        RecentlyUsedRegistry::defaultPath(), QDir::homePath() + QStringLiteral("/.local/share/recently-used.xbel"));
    if (!saved.isNull())
        qputenv("XDG_DATA_HOME", saved);
}

QTEST_GUILESS_MAIN(tst_RecentlyUsedRegistry)
#include "tst_RecentlyUsedRegistry.moc"
