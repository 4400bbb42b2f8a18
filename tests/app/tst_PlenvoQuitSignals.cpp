#include "PlenvoQuitSignals.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>

class tst_PlenvoQuitSignals : public QObject {
    Q_OBJECT

private slots:
    void signalBecomesAnEventAndHandlersComeBack_data();
    void signalBecomesAnEventAndHandlersComeBack();
};

void tst_PlenvoQuitSignals::signalBecomesAnEventAndHandlersComeBack_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
}

// The process survives the signal (it would die without the handler) and hears of it on
// its own thread; once the object is gone, the earlier handler is back.
void tst_PlenvoQuitSignals::signalBecomesAnEventAndHandlersComeBack()
{
    QFETCH(int, signalNumber);
    struct sigaction before { };
    QCOMPARE(::sigaction(signalNumber, nullptr, &before), 0);
    {
        PlenvoQuitSignals quitSignals;
        QVERIFY(quitSignals.isListening());
        QVERIFY(!PlenvoQuitSignals().isListening()); // one per process
        QSignalSpy received(&quitSignals, &PlenvoQuitSignals::received);
        QCOMPARE(std::raise(signalNumber), 0);
        QCOMPARE(std::raise(signalNumber), 0);
        QTRY_COMPARE(received.count(), 2);
        QCOMPARE(received.at(0).at(0).toInt(), signalNumber);
    }
    struct sigaction after { };
    QCOMPARE(::sigaction(signalNumber, nullptr, &after), 0);
    QVERIFY(after.sa_handler == before.sa_handler);
}

QTEST_GUILESS_MAIN(tst_PlenvoQuitSignals)
#include "tst_PlenvoQuitSignals.moc"
