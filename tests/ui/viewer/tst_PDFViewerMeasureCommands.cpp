#include "PDFMeasureTool.h"
#include "PDFViewerMeasureCommands.h"
#include "ViewerModelFixture.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QtTest>

class tst_PDFViewerMeasureCommands : public QObject {
    Q_OBJECT

private slots:
    void calibrationIsKeptPerDocument();
};

void tst_PDFViewerMeasureCommands::calibrationIsKeptPerDocument()
{
    ViewerModelFixture fixture;
    QWidget window;
    QMenu menu;
    PDFViewerMeasureCommands commands(fixture.model.get(), &fixture.settings, &menu, &window);
    // The user says every measured stretch is 3 m long.
    int asked = 0;
    commands.setLengthPrompt([&asked](QWidget *, double) {
        ++asked;
        return std::make_optional(std::make_pair(3.0, QStringLiteral("m")));
    });
    PDFMeasureTool *tool = fixture.model->pdfView()->measureTool();
    QVERIFY(!commands.measureAction()->isEnabled() && !commands.copyAction()->isEnabled());

    const auto measure = [&]() {
        PDFViewport *view = fixture.model->viewport();
        const QPointF origin = view->pageRectInViewport(0).topLeft();
        const qreal scale = view->scaleFactor();
        tool->click(origin + QPointF(100, 200) * scale);
        tool->click(origin + QPointF(100, 300) * scale);
        tool->finish();
        return tool->lastMeasurement();
    };
    QVERIFY(fixture.openPDF(QStringLiteral("first.pdf"), 1));
    commands.calibrateAction()->trigger();
    measure();
    QCOMPARE(asked, 1);
    // Calibrated, the tool goes on measuring in the new scale.
    QVERIFY(commands.measureAction()->isChecked());
    QCOMPARE(measure(), QStringLiteral("距离 3 m（已校准）"));
    commands.copyAction()->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("距离 3 m（已校准）"));

    // Another document has no calibration; the first has it again when reopened.
    QVERIFY(fixture.openPDF(QStringLiteral("second.pdf"), 1));
    QVERIFY(!commands.measureAction()->isChecked());
    commands.measureAction()->trigger();
    QCOMPARE(measure(), QStringLiteral("距离 35.3 mm（图面尺寸）"));
    QVERIFY(fixture.openPDF(QStringLiteral("first.pdf"), 1));
    commands.measureAction()->trigger();
    QCOMPARE(measure(), QStringLiteral("距离 3 m（已校准）"));
    QCOMPARE(asked, 1);
}

QTEST_MAIN(tst_PDFViewerMeasureCommands)
#include "tst_PDFViewerMeasureCommands.moc"
