#include "PDFFileBookmark.h"

#include "PDFFileURL.h"

#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {

enum Change { Unmoved, Renamed, Deleted, Replaced };

// Raw bytes, so names that are not UTF-8 can be made too.
bool touch(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    return fd >= 0 && ::write(fd, "%PDF", 4) == 4 && ::close(fd) == 0;
}

} // namespace

class tst_PDFFileBookmark : public QObject {
    Q_OBJECT

private slots:
    void resolvesAfterChange_data();
    void resolvesAfterChange();
    void malformedDataResolvesToNothing_data();
    void malformedDataResolvesToNothing();
};

void tst_PDFFileBookmark::resolvesAfterChange_data()
{
    QTest::addColumn<int>("change");
    QTest::addColumn<QByteArray>("expected"); // the name the bookmark leads to; empty: none
    QTest::newRow("unmoved") << int(Unmoved) << QByteArray("\xff A-101 #1 100%?.pdf");
    QTest::newRow("renamed to a name not UTF-8") << int(Renamed) << QByteArray("new\xfe.pdf");
    QTest::newRow("deleted") << int(Deleted) << QByteArray();
    // Saved the safe way: a new file renamed over the old one, so the path names another
    // inode. The caller then falls back to the stored path.
    QTest::newRow("replaced at the same path") << int(Replaced) << QByteArray();
}

void tst_PDFFileBookmark::resolvesAfterChange()
{
    QFETCH(int, change);
    QFETCH(QByteArray, expected);
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    const QByteArray path = folder + "/\xff A-101 #1 100%?.pdf";
    const auto removeNames = qScopeGuard([&] { // Qt can't remove what is not UTF-8
        ::unlink(path.constData());
        ::unlink((folder + '/' + expected).constData());
    });
    QVERIFY(touch(folder + "/neighbour.pdf") && touch(path));
    // Made from an unstandardised URL, it resolves to the standardised one.
    const auto bookmark = PDFFileBookmark::create(PDFFileURL::fromNativePath(folder + "/./\xff A-101 #1 100%?.pdf"));
    QVERIFY(bookmark);

    switch (change) {
    case Renamed:
        QCOMPARE(::rename(path.constData(), (folder + '/' + expected).constData()), 0);
        break;
    case Deleted:
        QCOMPARE(::unlink(path.constData()), 0);
        break;
    case Replaced:
        QVERIFY(touch(folder + "/new.tmp"));
        QCOMPARE(::rename((folder + "/new.tmp").constData(), path.constData()), 0);
        break;
    }
    // Only a file that is there can be bookmarked.
    QCOMPARE(
        PDFFileBookmark::create(PDFFileURL::fromNativePath(path)).has_value(), change == Unmoved || change == Replaced);
    const auto resolution = PDFFileBookmark::resolve(*bookmark);
    QCOMPARE(resolution.has_value(), !expected.isEmpty());
    if (resolution)
        QCOMPARE(*resolution,
            (PDFBookmarkResolution {PDFFileURL::fromNativePath(folder + '/' + expected), change == Renamed}));
}

void tst_PDFFileBookmark::malformedDataResolvesToNothing_data()
{
    QTest::addColumn<QByteArray>("data");

    const QByteArray good = PDFFileBookmark::create(PDFFileURL::fromNativePath("/tmp")).value_or(QByteArray());
    QVERIFY(PDFFileBookmark::resolve(good));
    QTest::newRow("wrong magic") << QByteArray(good).replace(0, 1, "X");
    QTest::newRow("trailing bytes") << good + '\0';
    QTest::newRow("path length beyond data") << good.left(6) + "\x7f\xff\xff\xf0";
}

void tst_PDFFileBookmark::malformedDataResolvesToNothing()
{
    QFETCH(QByteArray, data);
    QVERIFY(!PDFFileBookmark::resolve(data));
}

QTEST_GUILESS_MAIN(tst_PDFFileBookmark)
#include "tst_PDFFileBookmark.moc"
