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
    void errorsAreReported();
    void environmentDecides();
};

void tst_PDFViewerStateFile::writtenAtOnceAndOnEveryChange()
{
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
    FakePlatformServices platform;
    PDFViewerModel model(&settings, &platform);
    model.pdfView()->resize(800, 600);
    model.pdfView()->show();
    const QString path = dir.filePath(QStringLiteral("state.json"));
    PDFViewerStateFile stateFile(&model, path);

    const QJsonObject empty = readState(path);
    QCOMPARE(QStringList(empty.keys()),
        (QStringList {QStringLiteral("errorText"), QStringLiteral("isPresentationMode"), QStringLiteral("pageCount"),
            QStringLiteral("pageIndex"), QStringLiteral("searchResultCount"), QStringLiteral("statusText"),
            QStringLiteral("title"), QStringLiteral("zoomPercentage")}));
    QCOMPARE(empty.value(QStringLiteral("title")).toString(), QStringLiteral("Plenvo"));
    QCOMPARE(empty.value(QStringLiteral("errorText")).toString(), QString());

    const QString file = dir.filePath(QStringLiteral("S-201 结构.pdf"));
    QVERIFY(TestPDFs::writePlain(file, 3));
    model.open(QUrl::fromLocalFile(file));
    QJsonObject state = readState(path);
    QCOMPARE(state.value(QStringLiteral("title")).toString(), QStringLiteral("S-201 结构"));
    QCOMPARE(state.value(QStringLiteral("pageCount")).toInt(), 3);
    QCOMPARE(state.value(QStringLiteral("statusText")).toString(), model.statusText());

    model.goToPage(3);
    QTRY_COMPARE(readState(path).value(QStringLiteral("pageIndex")).toInt(), 2);
    model.actualSize();
    QCOMPARE(readState(path).value(QStringLiteral("zoomPercentage")).toInt(), 100);
    model.enterPresentationMode(false);
    QVERIFY(readState(path).value(QStringLiteral("isPresentationMode")).toBool());
    model.exitPresentationMode(false);
    model.setSearchText(QStringLiteral("Page"));
    model.performSearch();
    QTRY_COMPARE(readState(path).value(QStringLiteral("searchResultCount")).toInt(), 3);
}

void tst_PDFViewerStateFile::errorsAreReported()
{
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
    FakePlatformServices platform;
    PDFViewerModel model(&settings, &platform);
    const QString path = dir.filePath(QStringLiteral("state.json"));
    PDFViewerStateFile stateFile(&model, path);
    model.open(QUrl::fromLocalFile(dir.filePath(QStringLiteral("missing.pdf"))));
    QVERIFY(model.hasError());
    const QJsonObject state = readState(path);
    QCOMPARE(state.value(QStringLiteral("errorText")).toString(), model.errorText());
    QCOMPARE(state.value(QStringLiteral("statusText")).toString(), model.errorText());
}

void tst_PDFViewerStateFile::environmentDecides()
{
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
    FakePlatformServices platform;
    PDFViewerModel model(&settings, &platform);
    qunsetenv(PDFViewerStateFile::environmentVariable());
    QVERIFY(!PDFViewerStateFile::fromEnvironment(&model, this));
    const QString path = dir.filePath(QStringLiteral("env.json"));
    qputenv(PDFViewerStateFile::environmentVariable(), QFile::encodeName(path));
    std::unique_ptr<PDFViewerStateFile> stateFile(PDFViewerStateFile::fromEnvironment(&model));
    qunsetenv(PDFViewerStateFile::environmentVariable());
    QVERIFY(stateFile);
    QCOMPARE(readState(path).value(QStringLiteral("pageCount")).toInt(), 0);
}

QTEST_MAIN(tst_PDFViewerStateFile)
#include "tst_PDFViewerStateFile.moc"
