#include "PDFFileBookmark.h"

#include "PDFFileURL.h"

#include <QDataStream>
#include <QIODevice>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Raw bytes, so names that are not UTF-8 can be made too.
bool writeFile(const QByteArray &path, const QByteArray &contents)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, contents.constData(), size_t(contents.size())) == contents.size();
    return ::close(fd) == 0 && written;
}

} // namespace

class tst_PDFFileBookmark : public QObject {
    Q_OBJECT

private slots:
    void init();
    void unmovedFileResolvesToItsPathNotStale();
    void renamedFileResolvesToNewNameStale_data();
    void renamedFileResolvesToNewNameStale();
    void deletedFileResolvesToNothing();
    void fileReplacedAtSamePathResolvesToNothing();
    void fileMovedToAnotherFolderResolvesToNothing();
    void missingFileCannotBeBookmarked();
    void malformedDataResolvesToNothing_data();
    void malformedDataResolvesToNothing();

private:
    QByteArray pathIn(const QByteArray &name) const { return m_folder + '/' + name; }

    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_folder;
};

void tst_PDFFileBookmark::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_folder = QFile::encodeName(m_dir->path());
}

void tst_PDFFileBookmark::unmovedFileResolvesToItsPathNotStale()
{
    const QByteArray path = pathIn("A-101 #1 100%?.pdf");
    QVERIFY(writeFile(path, "%PDF"));
    // Made from an unstandardised URL, it resolves to the standardised one.
    const auto bookmark = PDFFileBookmark::create(PDFFileURL::fromNativePath(m_folder + "/./A-101 #1 100%?.pdf"));
    QVERIFY(bookmark);
    const auto resolution = PDFFileBookmark::resolve(*bookmark);
    QVERIFY(resolution);
    QCOMPARE(*resolution, (PDFBookmarkResolution {PDFFileURL::fromNativePath(path), false}));
}

void tst_PDFFileBookmark::renamedFileResolvesToNewNameStale_data()
{
    QTest::addColumn<QByteArray>("oldName");
    QTest::addColumn<QByteArray>("newName");
    QTest::newRow("plain") << QByteArray("A-101.pdf") << QByteArray("A-101 rev B.pdf");
    QTest::newRow("Chinese") << QByteArray("总平面.pdf") << QByteArray("总平面 (修订).pdf");
    QTest::newRow("not UTF-8") << QByteArray("\xff"
                                             "old.pdf")
                               << QByteArray("new\xfe.pdf");
}

void tst_PDFFileBookmark::renamedFileResolvesToNewNameStale()
{
    QFETCH(QByteArray, oldName);
    QFETCH(QByteArray, newName);
    QVERIFY(writeFile(pathIn("neighbour.pdf"), "%PDF"));
    QVERIFY(writeFile(pathIn(oldName), "%PDF"));
    const auto bookmark = PDFFileBookmark::create(PDFFileURL::fromNativePath(pathIn(oldName)));
    QVERIFY(bookmark);

    QCOMPARE(::rename(pathIn(oldName).constData(), pathIn(newName).constData()), 0);
    const auto resolution = PDFFileBookmark::resolve(*bookmark);
    QVERIFY(resolution);
    QVERIFY(resolution->isStale);
    QCOMPARE(PDFFileURL::nativePath(resolution->url), pathIn(newName));
}

void tst_PDFFileBookmark::deletedFileResolvesToNothing()
{
    QVERIFY(writeFile(pathIn("gone.pdf"), "%PDF"));
    const auto bookmark = PDFFileBookmark::create(PDFFileURL::fromNativePath(pathIn("gone.pdf")));
    QVERIFY(bookmark);
    QCOMPARE(::unlink(pathIn("gone.pdf").constData()), 0);
    QVERIFY(!PDFFileBookmark::resolve(*bookmark));
}

void tst_PDFFileBookmark::fileReplacedAtSamePathResolvesToNothing()
{
    // Saved the safe way: a new file written beside the old one and renamed over it, so the
    // path names a different inode. The caller then falls back to the stored path.
    QVERIFY(writeFile(pathIn("plan.pdf"), "%PDF old"));
    const auto bookmark = PDFFileBookmark::create(PDFFileURL::fromNativePath(pathIn("plan.pdf")));
    QVERIFY(bookmark);
    QVERIFY(writeFile(pathIn("plan.pdf.tmp"), "%PDF new"));
    QCOMPARE(::rename(pathIn("plan.pdf.tmp").constData(), pathIn("plan.pdf").constData()), 0);
    QVERIFY(!PDFFileBookmark::resolve(*bookmark));
}

void tst_PDFFileBookmark::fileMovedToAnotherFolderResolvesToNothing()
{
    QVERIFY(writeFile(pathIn("plan.pdf"), "%PDF"));
    const auto bookmark = PDFFileBookmark::create(PDFFileURL::fromNativePath(pathIn("plan.pdf")));
    QVERIFY(bookmark);
    QCOMPARE(::mkdir(pathIn("archive").constData(), 0755), 0);
    QCOMPARE(::rename(pathIn("plan.pdf").constData(), pathIn("archive/plan.pdf").constData()), 0);
    QVERIFY(!PDFFileBookmark::resolve(*bookmark));
}

void tst_PDFFileBookmark::missingFileCannotBeBookmarked()
{
    QVERIFY(!PDFFileBookmark::create(PDFFileURL::fromNativePath(pathIn("missing.pdf"))));
    QVERIFY(!PDFFileBookmark::create(QUrl(QStringLiteral("https://example.org/a.pdf"))));
    QVERIFY(!PDFFileBookmark::create(QUrl()));
}

void tst_PDFFileBookmark::malformedDataResolvesToNothing_data()
{
    QTest::addColumn<QByteArray>("data");

    const auto record = [](quint32 magic, quint16 version, const QByteArray &path, bool trailing) {
        QByteArray data;
        QDataStream stream(&data, QIODevice::WriteOnly);
        stream.setVersion(QDataStream::Qt_6_0);
        stream << magic << version << path << quint64(1) << quint64(2);
        if (trailing)
            stream << quint8(0);
        return data;
    };
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("text") << QByteArray("/tmp/a.pdf");
    QTest::newRow("wrong magic") << record(0x12345678, 1, "/tmp/a.pdf", false);
    QTest::newRow("unknown version") << record(0x504C424D, 2, "/tmp/a.pdf", false);
    QTest::newRow("relative path") << record(0x504C424D, 1, "a.pdf", false);
    QTest::newRow("trailing bytes") << record(0x504C424D, 1, "/tmp/a.pdf", true);
    QTest::newRow("truncated") << record(0x504C424D, 1, "/tmp/a.pdf", false).chopped(3);
    QByteArray hugeLength = record(0x504C424D, 1, "/tmp/a.pdf", false).left(6);
    hugeLength.append("\x7f\xff\xff\xf0", 4);
    QTest::newRow("path length beyond data") << hugeLength;
}

void tst_PDFFileBookmark::malformedDataResolvesToNothing()
{
    QFETCH(QByteArray, data);
    QVERIFY(!PDFFileBookmark::resolve(data));
}

QTEST_GUILESS_MAIN(tst_PDFFileBookmark)
#include "tst_PDFFileBookmark.moc"
