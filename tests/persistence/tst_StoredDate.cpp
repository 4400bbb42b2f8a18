#include "StoredDate.h"

#include <QTest>

#include <limits>

class tst_StoredDate : public QObject {
    Q_OBJECT

private slots:
    void referenceEpoch_data();
    void referenceEpoch();
    void roundTripKeepsMilliseconds();
};

void tst_StoredDate::referenceEpoch_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QDateTime>("dateTime");

    const auto utc = [](const char *iso) { return QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODateWithMs); };
    QTest::newRow("epoch") << 0.0 << utc("2001-01-01T00:00:00Z");
    QTest::newRow("Unix epoch") << -978307200.0 << utc("1970-01-01T00:00:00Z");
    QTest::newRow("one day and a half second") << 86400.5 << utc("2001-01-02T00:00:00.500Z");
    QTest::newRow("before the epoch") << -0.25 << utc("2000-12-31T23:59:59.750Z");
    QTest::newRow("2024") << 725760000.0 << utc("2024-01-01T00:00:00Z");
}

void tst_StoredDate::referenceEpoch()
{
    QFETCH(double, seconds);
    QFETCH(QDateTime, dateTime);

    QCOMPARE(StoredDate::fromReferenceSeconds(seconds), dateTime);
    QCOMPARE(StoredDate::fromReferenceSeconds(seconds).timeSpec(), Qt::UTC);
    QCOMPARE(StoredDate::toReferenceSeconds(dateTime), seconds);
    // Unix time 978307200 is the reference date.
    QCOMPARE(StoredDate::toReferenceSeconds(QDateTime::fromSecsSinceEpoch(978307200, Qt::UTC)), 0.0);
}

void tst_StoredDate::roundTripKeepsMilliseconds()
{
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(1733480001234, Qt::LocalTime);
    const QDateTime back = StoredDate::fromReferenceSeconds(StoredDate::toReferenceSeconds(local));
    QCOMPARE(back, local);
    QCOMPARE(back.toMSecsSinceEpoch(), 1733480001234);
    // Stored garbage must not become a date.
    QVERIFY(!StoredDate::fromReferenceSeconds(std::numeric_limits<double>::quiet_NaN()).isValid());
    QVERIFY(!StoredDate::fromReferenceSeconds(1.0e300).isValid());
}

QTEST_GUILESS_MAIN(tst_StoredDate)
#include "tst_StoredDate.moc"
