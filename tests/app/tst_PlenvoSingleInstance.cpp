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
    void oversizedOrGarbageClientsAreDropped();
};

void tst_PlenvoSingleInstance::messagesRoundTripExactBytes()
{
    const QList<QByteArray> args{QByteArrayLiteral("plan \xff.pdf"), QByteArrayLiteral("file:///tmp/%E6%80%BB.pdf"), {}};
    const QByteArray cwd = QByteArrayLiteral("/home/\xe5\x9b\xbe");
    QList<QByteArray> decodedArgs;
    QByteArray decodedCwd;
    QVERIFY(PlenvoSingleInstance::decodeMessage(PlenvoSingleInstance::encodeMessage(args, cwd), &decodedArgs, &decodedCwd));
    QCOMPARE(decodedArgs, args);
    QCOMPARE(decodedCwd, cwd);
}

void tst_PlenvoSingleInstance::malformedMessagesAreRejected_data()
{
    QTest::addColumn<QByteArray>("message");
    const QByteArray good = PlenvoSingleInstance::encodeMessage({QByteArrayLiteral("a.pdf")}, QByteArrayLiteral("/"));
    auto withBody = [](const QByteArray &body) {
        QByteArray m = QByteArrayLiteral("PLENVO1\n");
        const quint32 n = quint32(body.size());
        m.append(char(n >> 24)).append(char(n >> 16)).append(char(n >> 8)).append(char(n));
        return m + body;
    };
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
    QByteArray many = R"({"cwd":"Lw==","args":[)";
    for (int i = 0; i <= PlenvoSingleInstance::maximumArguments; ++i)
        many += i ? ",\"YQ==\"" : "\"YQ==\"";
    QTest::newRow("too many arguments") << withBody(many + "]}");
    QTest::newRow("oversized") << withBody(QByteArray(PlenvoSingleInstance::maximumMessageSize, ' '));
}

void tst_PlenvoSingleInstance::malformedMessagesAreRejected()
{
    QFETCH(QByteArray, message);
    QList<QByteArray> args{QByteArrayLiteral("untouched")};
    QByteArray cwd = QByteArrayLiteral("untouched");
    QVERIFY(!PlenvoSingleInstance::decodeMessage(message, &args, &cwd));
    QCOMPARE(args, QList<QByteArray>{QByteArrayLiteral("untouched")});
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
    QCOMPARE(received.first().at(0).value<QList<QByteArray>>(), QList<QByteArray>{QByteArrayLiteral("other.pdf")});
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

void tst_PlenvoSingleInstance::oversizedOrGarbageClientsAreDropped()
{
    QTemporaryDir dir;
    const QString socketPath = dir.filePath(QStringLiteral("plenvo.sock"));
    PlenvoSingleInstance running(socketPath);
    QVERIFY(running.listen());
    QSignalSpy received(&running, &PlenvoSingleInstance::argumentsReceived);

    QLocalSocket garbage;
    garbage.connectToServer(socketPath);
    QVERIFY(garbage.waitForConnected(1000));
    garbage.write("GET / HTTP/1.1\r\n\r\n");
    garbage.flush();
    QTRY_COMPARE(garbage.state(), QLocalSocket::UnconnectedState);

    QLocalSocket huge;
    huge.connectToServer(socketPath);
    QVERIFY(huge.waitForConnected(1000));
    huge.write(QByteArrayLiteral("PLENVO1\n\x7f\xff\xff\xff"));
    huge.flush();
    QTRY_COMPARE(huge.state(), QLocalSocket::UnconnectedState);
    QCOMPARE(received.count(), 0);
}

QTEST_MAIN(tst_PlenvoSingleInstance)
#include "tst_PlenvoSingleInstance.moc"
