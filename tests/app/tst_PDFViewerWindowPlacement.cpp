#include "PDFViewerWindowPlacement.h"

#include <QtTest>

class tst_PDFViewerWindowPlacement : public QObject {
    Q_OBJECT

private slots:
    void initialGeometry_data();
    void initialGeometry();
};

void tst_PDFViewerWindowPlacement::initialGeometry_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QList<QRect>>("screens");
    QTest::addColumn<QRect>("expected");

    // A primary screen with a panel along its top, and a second screen to its right.
    const QRect primary(0, 32, 1920, 1048);
    const QRect second(1920, 0, 1280, 1024);
    const QList<QRect> both {primary, second};
    const QRect centred(420, 176, 1080, 760);
    const QRect inside(200, 100, 1200, 800);
    const QRect onSecond(2000, 50, 1000, 700);
    const QRect mostlyOff(-900, 500, 1000, 700); // 100 pixels shown
    const QRect sliver(-990, 500, 1000, 700); // 10 pixels shown

    QTest::newRow("nothing stored") << QVariant() << both << centred;
    QTest::newRow("empty rectangle") << QVariant(QRect(200, 100, 0, 800)) << both << centred;
    QTest::newRow("on the second screen") << QVariant(onSecond) << both << onSecond;
    QTest::newRow("mostly off, enough shown") << QVariant(mostlyOff) << both << mostlyOff;
    QTest::newRow("a sliver shown") << QVariant(sliver) << both << centred;
    QTest::newRow("on a screen since unplugged") << QVariant(onSecond) << QList<QRect> {primary} << centred;
    QTest::newRow("no screen") << QVariant(inside) << QList<QRect> {} << QRect(0, 0, 1080, 760);
}

void tst_PDFViewerWindowPlacement::initialGeometry()
{
    QFETCH(QVariant, stored);
    QFETCH(QList<QRect>, screens);
    QFETCH(QRect, expected);
    QCOMPARE(PDFViewerWindowPlacement::initialGeometry(stored, screens), expected);
}

QTEST_GUILESS_MAIN(tst_PDFViewerWindowPlacement)
#include "tst_PDFViewerWindowPlacement.moc"
