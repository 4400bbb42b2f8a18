#include "PDFFileBookmark.h"

#include "PDFFileURL.h"

#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {

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
    void followsTheFileUntilItIsGone();
};

// A bookmark through the life of its file: unmoved (damaged copies resolve to nothing), then
// saved the safe way, a new file renamed over it, so the path names another inode and the caller
// falls back to the stored path. A second one through a rename (to a name not UTF-8) and a delete.
void tst_PDFFileBookmark::followsTheFileUntilItIsGone()
{
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    const QByteArray path = folder + "/\xff A-101 #1 100%?.pdf";
    const QByteArray renamed = folder + "/new\xfe.pdf";
    const auto removeNames = qScopeGuard([&] { // Qt can't remove what is not UTF-8
        ::unlink(path.constData());
        ::unlink(renamed.constData());
    });
    QVERIFY(touch(folder + "/neighbour.pdf") && touch(path));
    // Made from an unstandardised URL, it resolves to the standardised one.
    const auto bookmark = PDFFileBookmark::create(PDFFileURL::fromNativePath(folder + "/./\xff A-101 #1 100%?.pdf"));
    QVERIFY(bookmark);
    QCOMPARE(PDFFileBookmark::resolve(*bookmark).value_or(PDFBookmarkResolution()),
        (PDFBookmarkResolution {PDFFileURL::fromNativePath(path), false}));

    // Wrong magic, trailing bytes, a path length beyond the data: nothing.
    for (const QByteArray &bad :
        {QByteArray(*bookmark).replace(0, 1, "X"), *bookmark + '\0', bookmark->left(6) + "\x7f\xff\xff\xf0"})
        QVERIFY(!PDFFileBookmark::resolve(bad));

    QVERIFY(touch(folder + "/new.tmp"));
    QCOMPARE(::rename((folder + "/new.tmp").constData(), path.constData()), 0);
    QVERIFY(!PDFFileBookmark::resolve(*bookmark));

    const auto second = PDFFileBookmark::create(PDFFileURL::fromNativePath(path));
    QVERIFY(second);
    QCOMPARE(::rename(path.constData(), renamed.constData()), 0);
    QCOMPARE(PDFFileBookmark::resolve(*second).value_or(PDFBookmarkResolution()),
        (PDFBookmarkResolution {PDFFileURL::fromNativePath(renamed), true}));
    QVERIFY(!PDFFileBookmark::create(PDFFileURL::fromNativePath(path))); // only a file that is there
    QCOMPARE(::unlink(renamed.constData()), 0);
    QVERIFY(!PDFFileBookmark::resolve(*second));
}

QTEST_GUILESS_MAIN(tst_PDFFileBookmark)
#include "tst_PDFFileBookmark.moc"
