#include "PlenvoSingleInstance.h"

#include <QLocalSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

#include <thread>

class tst_PlenvoSingleInstance : public QObject {
    Q_OBJECT

private slots:
    void messagesRoundTripExactBytes();
    void malformedMessagesAreRejected_data();
    void malformedMessagesAreRejected();
    void secondLaunchHandsItsArgumentsOver();
    void noRunningInstanceMeansForwardingFails();
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

void tst_PlenvoSingleInstance::messagesRoundTripExactBytes()
{
    const QList<QByteArray> args {
        QByteArrayLiteral("plan \xff.pdf"), QByteArrayLiteral("file:///tmp/%E6%80%BB.pdf"), {}};
    const QByteArray cwd = QByteArrayLiteral("/home/\xe5\x9b\xbe");
    QList<QByteArray> decodedArgs;
    QByteArray decodedCwd;
    QVERIFY(
        PlenvoSingleInstance::decodeMessage(PlenvoSingleInstance::encodeMessage(args, cwd), &decodedArgs, &decodedCwd));
    QCOMPARE(decodedArgs, args);
    QCOMPARE(decodedCwd, cwd);
}

void tst_PlenvoSingleInstance::malformedMessagesAreRejected_data()
{
    QTest::addColumn<QByteArray>("message");
    const QByteArray good = PlenvoSingleInstance::encodeMessage({QByteArrayLiteral("a.pdf")}, QByteArrayLiteral("/"));
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("wrong magic") << QByteArray(good).replace(0, 6, "XXXXXX");
    QTest::newRow("length too short") << good.left(good.size() - 1);
    QTest::newRow("trailing bytes") << good + "x";
    QTest::newRow("not json") << withBody("{nope");
    QTest::newRow("array body") << withBody("[]");
    QTest::newRow("args not strings") << withBody(R"({"cwd":"Lw==","args":[1]})");
    QTest::newRow("bad base64") << withBody(R"({"cwd":"Lw==","args":["***"]})");
    QTest::newRow("NUL in argument") << withBody(R"({"cwd":"Lw==","args":["YQBi"]})");
    QTest::newRow("missing cwd") << withBody(R"({"args":[]})");
    QTest::newRow("unknown field") << withBody(R"({"cwd":"Lw==","args":[],"env":"QQ=="})");
    QTest::newRow("invalid UTF-8") << withBody("{\"cwd\":\"Lw==\",\"args\":[],\"\xff\":1}");
    QTest::newRow("relative cwd") << withBody(R"({"cwd":"d29yaw==","args":[]})");
    QTest::newRow("empty cwd") << withBody(R"({"cwd":"","args":[]})");
    QTest::newRow("base64 unpadded") << withBody(R"({"cwd":"Lw==","args":["YQ"]})");
    QTest::newRow("base64 with a space") << withBody(R"({"cwd":"Lw==","args":["Y Q=="]})");
    QTest::newRow("base64 URL alphabet") << withBody(R"({"cwd":"Lw==","args":["-_8="]})");
    QTest::newRow("base64 non-Latin-1") << withBody(R"({"cwd":"Lw==","args":["ＹＱ=="]})");
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

    bool forwarded = false;
    std::thread second([&]() {
        PlenvoSingleInstance launch(socketPath);
        forwarded = launch.forwardToRunningInstance({QByteArrayLiteral("other.pdf")}, QByteArrayLiteral("/work"));
    });
    QTRY_COMPARE(received.count(), 1);
    second.join();
    QVERIFY(forwarded);
    QCOMPARE(received.first().at(0).value<QList<QByteArray>>(), QList<QByteArray> {QByteArrayLiteral("other.pdf")});
    QCOMPARE(received.first().at(1).toByteArray(), QByteArrayLiteral("/work"));

    // A second instance cannot take over a socket someone answers on.
    PlenvoSingleInstance intruder(socketPath);
    QVERIFY(!intruder.listen());
}

void tst_PlenvoSingleInstance::noRunningInstanceMeansForwardingFails()
{
    QTemporaryDir dir;
    PlenvoSingleInstance launch(dir.filePath(QStringLiteral("none.sock")));
    QVERIFY(!launch.forwardToRunningInstance({QByteArrayLiteral("a.pdf")}, QByteArrayLiteral("/"), 300));
}

void tst_PlenvoSingleInstance::staleSocketOfACrashedInstanceIsReplaced()
{
    QTemporaryDir dir;
    const QString socketPath = dir.filePath(QStringLiteral("plenvo.sock"));
    {
        QFile stale(socketPath);
        QVERIFY(stale.open(QIODevice::WriteOnly)); // a leftover file nobody listens on
    }
    PlenvoSingleInstance running(socketPath);
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
