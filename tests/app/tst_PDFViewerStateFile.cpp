#include "FakePlatformServices.h"
#include "PDFViewerModel.h"
#include "PDFViewerStateFile.h"
#include "TestPDFs.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

#include <sys/resource.h>

namespace {

QJsonObject readState(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    return error.error == QJsonParseError::NoError ? document.object() : QJsonObject();
}

} // namespace

class tst_PDFViewerStateFile : public QObject {
    Q_OBJECT

private slots:
    void writtenAtOnceAndOnEveryChange();
    void writeCutShortKeepsTheLastState();
};

void tst_PDFViewerStateFile::writtenAtOnceAndOnEveryChange()
{
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
    FakePlatformServices platform;
    PDFViewerModel model(&settings, &platform);
    const QString path = dir.filePath(QStringLiteral("state.json"));
    PDFViewerStateFile stateFile(&model, path);
    QCOMPARE(readState(path).keys().size(), 8);
    QCOMPARE(readState(path).value(QStringLiteral("title")).toString(), QStringLiteral("Plenvo"));

    const QString file = dir.filePath(QStringLiteral("S-201 结构.pdf"));
    QVERIFY(TestPDFs::writePlain(file, 3));
    model.open(QUrl::fromLocalFile(file));
    QCOMPARE(readState(path).value(QStringLiteral("title")).toString(), QStringLiteral("S-201 结构"));
    QCOMPARE(readState(path).value(QStringLiteral("pageCount")).toInt(), 3);
    model.enterPresentationMode(false);
    QVERIFY(readState(path).value(QStringLiteral("isPresentationMode")).toBool());

    model.open(QUrl::fromLocalFile(dir.filePath(QStringLiteral("missing.pdf"))));
    QVERIFY(model.hasError());
    QCOMPARE(readState(path).value(QStringLiteral("errorText")).toString(), model.errorText());
}

// Regression: a write cut short at the end (a full disk; here the file size limit, which
// binds root too) replaced the file with its first part.
void tst_PDFViewerStateFile::writeCutShortKeepsTheLastState()
{
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
    FakePlatformServices platform;
    PDFViewerModel model(&settings, &platform);
    const QString path = dir.filePath(QStringLiteral("state.json"));
    PDFViewerStateFile stateFile(&model, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    rlimit saved {};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit limited = saved;
    limited.rlim_cur = rlim_t(before.size() / 2);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN); // a short write instead of death
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool written = stateFile.write();
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &saved), 0);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(!written);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
    QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("state.json*")}, QDir::Files | QDir::Hidden),
        QStringList {QStringLiteral("state.json")});
}

QTEST_MAIN(tst_PDFViewerStateFile)
#include "tst_PDFViewerStateFile.moc"
