#include "PlenvoSingleInstance.h"

#include <QLocalSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

#include <thread>

class tst_PlenvoSingleInstance : public QObject {
    Q_OBJECT

private slots:
    void malformedMessagesAreRejected_data();
    void malformedMessagesAreRejected();
    void secondLaunchHandsItsArgumentsOver();
    void staleSocketOfACrashedInstanceIsReplaced();
    void badPeersAreDroppedAtOnce_data();
    void badPeersAreDroppedAtOnce();
    void silentPeersDoNotHoldUpOthers();
};

namespace {

QByteArray withBody(const QByteArray &body)
{
    QByteArray m = QByteArrayLiteral("PLENVO1\n");
    const quint32 n = quint32(body.size());
    m.append(char(n >> 24)).append(char(n >> 16)).append(char(n >> 8)).append(char(n));
    return m + body;
}

} // namespace

void tst_PlenvoSingleInstance::malformedMessagesAreRejected_data()
{
    QTest::addColumn<QByteArray>("message");
    const QByteArray good = PlenvoSingleInstance::encodeMessage({QByteArrayLiteral("a.pdf")}, QByteArrayLiteral("/"));
    QTest::newRow("wrong magic") << QByteArray(good).replace(0, 6, "XXXXXX");
    QTest::newRow("trailing bytes") << good + "x";
    QTest::newRow("not json") << withBody("{nope");
    QTest::newRow("args not strings") << withBody(R"({"cwd":"Lw==","args":[1]})");
    QTest::newRow("bad base64") << withBody(R"({"cwd":"Lw==","args":["***"]})");
    QTest::newRow("NUL in argument") << withBody(R"({"cwd":"Lw==","args":["YQBi"]})");
    QTest::newRow("unknown field") << withBody(R"({"cwd":"Lw==","args":[],"env":"QQ=="})");
    QTest::newRow("invalid UTF-8") << withBody("{\"cwd\":\"Lw==\",\"args\":[],\"\xff\":1}");
    QTest::newRow("relative cwd") << withBody(R"({"cwd":"d29yaw==","args":[]})");
    QTest::newRow("base64 unpadded") << withBody(R"({"cwd":"Lw==","args":["YQ"]})");
    QByteArray many = R"({"cwd":"Lw==","args":[)";
    for (int i = 0; i <= PlenvoSingleInstance::maximumArguments; ++i)
        many += i ? ",\"YQ==\"" : "\"YQ==\"";
    QTest::newRow("too many arguments") << withBody(many + "]}");
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

void tst_PlenvoSingleInstance::secondLaunchHandsItsArgumentsOver()
{
    QTemporaryDir dir;
    const QString socketPath = dir.filePath(QStringLiteral("plenvo.sock"));
    PlenvoSingleInstance running(socketPath);
    QVERIFY(running.listen());
    struct stat info;
    QCOMPARE(::stat(QFile::encodeName(socketPath).constData(), &info), 0);
    QCOMPARE(info.st_mode & 077, 0u); // no one but this user reaches it
    QSignalSpy received(&running, &PlenvoSingleInstance::argumentsReceived);

    // Exact bytes: names that are not UTF-8, and empty ones.
    const QList<QByteArray> args {
        QByteArrayLiteral("plan \xff.pdf"), QByteArrayLiteral("file:///tmp/%E6%80%BB.pdf"), {}};
    const QByteArray cwd = QByteArrayLiteral("/home/\xe5\x9b\xbe");
    bool forwarded = false;
    std::thread second([&]() { forwarded = PlenvoSingleInstance(socketPath).forwardToRunningInstance(args, cwd); });
    QTRY_COMPARE(received.count(), 1);
    second.join();
    QVERIFY(forwarded);
    QCOMPARE(received.first().at(0).value<QList<QByteArray>>(), args);
    QCOMPARE(received.first().at(1).toByteArray(), cwd);

    // A second instance cannot take over a socket someone answers on.
    PlenvoSingleInstance intruder(socketPath);
    QVERIFY(!intruder.listen());
}

// A crashed instance leaves its socket file behind: the next launch finds no one to hand over
// to and takes the socket over.
void tst_PlenvoSingleInstance::staleSocketOfACrashedInstanceIsReplaced()
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
}

void tst_PlenvoSingleInstance::badPeersAreDroppedAtOnce_data()
{
    QTest::addColumn<QByteArray>("sent");
    const int limit = PlenvoSingleInstance::maximumMessageSize;
    QTest::newRow("garbage") << QByteArrayLiteral("GET / HTTP/1.1\r\n\r\n");
    // Only the header is sent: the announced length alone is refused.
    QTest::newRow("length over the limit") << withBody(QByteArray(limit - 12 + 1, ' ')).left(12);
    QTest::newRow("length of 2 GiB") << QByteArrayLiteral("PLENVO1\n\x7f\xff\xff\xff");
    QTest::newRow("a second message")
        << PlenvoSingleInstance::encodeMessage({QByteArrayLiteral("a.pdf")}, QByteArrayLiteral("/")).repeated(2);
}

// Each bad peer is dropped well before the read timeout, and nothing is handed over.
void tst_PlenvoSingleInstance::badPeersAreDroppedAtOnce()
{
    QFETCH(QByteArray, sent);
    QTemporaryDir dir;
    const QString socketPath = dir.filePath(QStringLiteral("plenvo.sock"));
    PlenvoSingleInstance running(socketPath);
    QVERIFY(running.listen());
    QSignalSpy received(&running, &PlenvoSingleInstance::argumentsReceived);

    QLocalSocket peer;
    peer.connectToServer(socketPath);
    QVERIFY(peer.waitForConnected(1000));
    peer.write(sent);
    peer.flush();
    QTRY_COMPARE_WITH_TIMEOUT(peer.state(), QLocalSocket::UnconnectedState, 1000);
    QCOMPARE(received.count(), 0);
}

// Regression guard: a peer that connects and sends nothing, or stops halfway, must not keep
// the running window from serving a later launch, and is dropped in the end.
void tst_PlenvoSingleInstance::silentPeersDoNotHoldUpOthers()
{
    QTemporaryDir dir;
    const QString socketPath = dir.filePath(QStringLiteral("plenvo.sock"));
    PlenvoSingleInstance running(socketPath);
    QVERIFY(running.listen());
    QSignalSpy received(&running, &PlenvoSingleInstance::argumentsReceived);

    QLocalSocket silent;
    silent.connectToServer(socketPath);
    QVERIFY(silent.waitForConnected(1000));
    QLocalSocket halfway;
    halfway.connectToServer(socketPath);
    QVERIFY(halfway.waitForConnected(1000));
    halfway.write(PlenvoSingleInstance::encodeMessage({QByteArrayLiteral("a.pdf")}, QByteArrayLiteral("/")).left(15));
    halfway.flush();

    bool forwarded = false;
    std::thread second([&]() {
        PlenvoSingleInstance launch(socketPath);
        forwarded = launch.forwardToRunningInstance({QByteArrayLiteral("good.pdf")}, QByteArrayLiteral("/work"));
    });
    QTRY_COMPARE(received.count(), 1);
    second.join();
    QVERIFY(forwarded);
    QCOMPARE(received.first().at(0).value<QList<QByteArray>>(), QList<QByteArray> {QByteArrayLiteral("good.pdf")});
    // Served while both bad peers were still connected.
    QCOMPARE(silent.state(), QLocalSocket::ConnectedState);
    QCOMPARE(halfway.state(), QLocalSocket::ConnectedState);

    QTRY_COMPARE_WITH_TIMEOUT(silent.state(), QLocalSocket::UnconnectedState, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(halfway.state(), QLocalSocket::UnconnectedState, 10000);
    QCOMPARE(received.count(), 1);
}

QTEST_MAIN(tst_PlenvoSingleInstance)
#include "tst_PlenvoSingleInstance.moc"
