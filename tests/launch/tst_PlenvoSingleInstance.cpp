#include "PlenvoSingleInstance.h"

#include <QLocalSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

#include <memory>
#include <thread>

class tst_PlenvoSingleInstance : public QObject {
    Q_OBJECT

private slots:
    void malformedMessagesAreRejected_data();
    void malformedMessagesAreRejected();
    void launchesAreServedPastBadPeers();
};

namespace {

QByteArray withBody(const QByteArray &body)
{
    QByteArray m = QByteArrayLiteral("PLENVO1\n");
    const quint32 n = quint32(body.size());
    m.append(char(n >> 24)).append(char(n >> 16)).append(char(n >> 8)).append(char(n));
    return m + body;
}

QByteArray good()
{
    return PlenvoSingleInstance::encodeMessage({QByteArrayLiteral("a.pdf")}, QByteArrayLiteral("/"));
}

// A launch on another thread, as a second process would make it; true once it handed over.
bool launch(const QString &socketPath, const QList<QByteArray> &args, const QByteArray &cwd, QSignalSpy &received)
{
    bool forwarded = false;
    std::thread second([&] { forwarded = PlenvoSingleInstance(socketPath).forwardToRunningInstance(args, cwd); });
    const bool arrived = QTest::qWaitFor([&] { return received.count() > 0; });
    second.join();
    return arrived && forwarded;
}

} // namespace

// One message per decoding step it could slip through.
void tst_PlenvoSingleInstance::malformedMessagesAreRejected_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("wrong magic") << QByteArray(good()).replace(0, 6, "XXXXXX");
    QTest::newRow("trailing bytes") << good() + "x";
    QTest::newRow("args not strings") << withBody(R"({"cwd":"Lw==","args":[1]})");
    QTest::newRow("bad base64") << withBody(R"({"cwd":"Lw==","args":["***"]})");
    QTest::newRow("base64 unpadded") << withBody(R"({"cwd":"Lw==","args":["YQ"]})");
    QTest::newRow("NUL in argument") << withBody(R"({"cwd":"Lw==","args":["YQBi"]})");
    QTest::newRow("unknown field") << withBody(R"({"cwd":"Lw==","args":[],"env":"QQ=="})");
    QTest::newRow("relative cwd") << withBody(R"({"cwd":"d29yaw==","args":[]})");
    QTest::newRow("too many arguments") << withBody(R"({"cwd":"Lw==","args":[)"
        + QByteArray("\"YQ==\",").repeated(PlenvoSingleInstance::maximumArguments) + "\"YQ==\"]}");
    QTest::newRow("oversized") << withBody(QByteArray(PlenvoSingleInstance::maximumMessageSize, ' '));
}

void tst_PlenvoSingleInstance::malformedMessagesAreRejected()
{
    QFETCH(QByteArray, message);
    QList<QByteArray> args {QByteArrayLiteral("untouched")};
    QByteArray cwd = QByteArrayLiteral("untouched");
    QVERIFY(!PlenvoSingleInstance::decodeMessage(message, &args, &cwd));
    QCOMPARE(args, QList<QByteArray> {QByteArrayLiteral("untouched")});
    QCOMPARE(cwd, QByteArrayLiteral("untouched"));
}

// A crashed instance leaves its socket file behind: the next launch finds no one to hand over
// to and takes the socket over. Peers that send garbage are dropped well before the read
// timeout (regression guard); peers that send nothing, or stop halfway, do not keep it from
// serving a later launch, which hands its arguments over byte for byte, and are dropped in the
// end. None of them hands anything over.
void tst_PlenvoSingleInstance::launchesAreServedPastBadPeers()
{
    QTemporaryDir dir;
    const QString socketPath = dir.filePath(QStringLiteral("plenvo.sock"));
    {
        QFile stale(socketPath);
        QVERIFY(stale.open(QIODevice::WriteOnly));
    }
    PlenvoSingleInstance running(socketPath);
    QVERIFY(!running.forwardToRunningInstance({QByteArrayLiteral("a.pdf")}, QByteArrayLiteral("/"), 300));
    QVERIFY(running.listen());
    struct stat info;
    QCOMPARE(::stat(QFile::encodeName(socketPath).constData(), &info), 0);
    QCOMPARE(info.st_mode & 077, 0u); // no one but this user reaches it
    QSignalSpy received(&running, &PlenvoSingleInstance::argumentsReceived);

    const QList<QByteArray> garbage {QByteArrayLiteral("GET / HTTP/1.1\r\n\r\n"),
        // Only the header: the announced length alone is refused.
        withBody(QByteArray(PlenvoSingleInstance::maximumMessageSize - 12 + 1, ' ')).left(12), good().repeated(2)};
    const QList<QByteArray> slow {QByteArray(), good().left(15)};
    std::vector<std::unique_ptr<QLocalSocket>> peers;
    for (const QByteArray &sent : garbage + slow) {
        peers.push_back(std::make_unique<QLocalSocket>());
        peers.back()->connectToServer(socketPath);
        QVERIFY(peers.back()->waitForConnected(1000));
        peers.back()->write(sent);
        peers.back()->flush();
    }
    for (qsizetype i = 0; i < garbage.size(); ++i)
        QTRY_COMPARE_WITH_TIMEOUT(peers[i]->state(), QLocalSocket::UnconnectedState, 1000);

    // Exact bytes: names that are not UTF-8, and empty ones.
    const QList<QByteArray> args {
        QByteArrayLiteral("plan \xff.pdf"), QByteArrayLiteral("file:///tmp/%E6%80%BB.pdf"), {}};
    const QByteArray cwd = QByteArrayLiteral("/home/\xe5\x9b\xbe");
    QVERIFY(launch(socketPath, args, cwd, received));
    QCOMPARE(received.first().at(0).value<QList<QByteArray>>(), args);
    QCOMPARE(received.first().at(1).toByteArray(), cwd);
    // Served while the slow peers were still connected.
    for (qsizetype i = garbage.size(); i < qsizetype(peers.size()); ++i)
        QCOMPARE(peers[i]->state(), QLocalSocket::ConnectedState);
    // A second instance cannot take over a socket someone answers on.
    QVERIFY(!PlenvoSingleInstance(socketPath).listen());

    for (qsizetype i = garbage.size(); i < qsizetype(peers.size()); ++i)
        QTRY_COMPARE_WITH_TIMEOUT(peers[i]->state(), QLocalSocket::UnconnectedState, 10000);
    QCOMPARE(received.count(), 1);
}

QTEST_MAIN(tst_PlenvoSingleInstance)
#include "tst_PlenvoSingleInstance.moc"
