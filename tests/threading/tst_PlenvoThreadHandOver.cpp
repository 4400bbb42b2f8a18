#include "PlenvoThreadHandOver.h"

#include <QThread>
#include <QThreadPool>
#include <QtTest>

#include <algorithm>
#include <memory>
#include <thread>

// Run under ThreadSanitizer as well: there, a hand-over the sanitizer cannot follow is
// reported as a race on the data handed over and fails the run.
class tst_PlenvoThreadHandOver : public QObject {
    Q_OBJECT

private slots:
    void workersResultsReachTheContextThread_data();
    void workersResultsReachTheContextThread();
};

void tst_PlenvoThreadHandOver::workersResultsReachTheContextThread_data()
{
    QTest::addColumn<bool>("fromPool");
    QTest::addColumn<int>("jobs");
    // More jobs than pool threads: a worker takes its next job without waking up.
    QTest::newRow("pool") << true << 64;
    QTest::newRow("own thread") << false << 1;
}

void tst_PlenvoThreadHandOver::workersResultsReachTheContextThread()
{
    QFETCH(bool, fromPool);
    QFETCH(int, jobs);
    QThreadPool pool;
    pool.setMaxThreadCount(2);
    QObject context;
    QList<int> results;
    QThread *const mainThread = QThread::currentThread();
    bool everyCallOnTheContextThread = true;
    for (int job = 0; job < jobs; ++job) {
        // Written here, read and freed by the worker.
        auto input = std::make_shared<QList<int>>(QList<int> {job, job});
        auto work = [&, input] {
            // Written by the worker, read and freed on the context's thread.
            QList<int> output {input->at(0) + input->at(1)};
            PlenvoThreadHandOver::post(&context, [&, output = std::move(output)] {
                everyCallOnTheContextThread &= QThread::currentThread() == mainThread;
                results += output;
            });
        };
        if (fromPool)
            PlenvoThreadHandOver::start(&pool, std::move(work));
        else
            std::thread(std::move(work)).join();
    }
    QTRY_COMPARE(results.size(), jobs);
    QVERIFY(everyCallOnTheContextThread);
    std::sort(results.begin(), results.end());
    for (int job = 0; job < jobs; ++job)
        QCOMPARE(results.at(job), 2 * job);

    // A call to a context destroyed before it ran is dropped, and its captures freed with it.
    auto captured = std::make_shared<int>(0);
    {
        QObject gone;
        std::thread([&, captured] { PlenvoThreadHandOver::post(&gone, [&, captured] { results += -1; }); }).join();
        QCOMPARE(captured.use_count(), 2);
    }
    QCOMPARE(captured.use_count(), 1);
    QCoreApplication::processEvents();
    QCOMPARE(results.size(), jobs);
}

QTEST_GUILESS_MAIN(tst_PlenvoThreadHandOver)
#include "tst_PlenvoThreadHandOver.moc"
