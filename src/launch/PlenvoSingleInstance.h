#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

// Keeps one running viewer per user. A second launch hands its command-line arguments to
// the running instance over a local socket that only the same user can reach, then exits.
//
// Wire format, one message per connection: the 8 bytes "PLENVO1\n", a 4-byte big-endian
// length, then that many bytes of UTF-8 JSON: an object with exactly two members, "cwd", a
// string, and "args", an array of at most maximumArguments strings. Each string is standard
// base64 with padding (as QByteArray::toBase64 writes it) of bytes without NUL: the exact
// bytes of the working directory, an absolute path, and of each argument. Anything else,
// anything larger than maximumMessageSize, or a message that arrives with more bytes behind
// it, is dropped without reply; nothing is read after a whole message has been taken.
//
// The running instance never waits on a peer: it reads as bytes arrive, takes the body only
// once its announced length is within the limit, and drops a peer that has not sent its
// whole message within a few seconds, serving other peers meanwhile.
class PlenvoSingleInstance : public QObject {
    Q_OBJECT

public:
    static constexpr int maximumMessageSize = 256 * 1024;
    static constexpr int maximumArguments = 256;

    explicit PlenvoSingleInstance(QString socketPath = defaultSocketPath(), QObject *parent = nullptr);
    ~PlenvoSingleInstance() override;

    // $XDG_RUNTIME_DIR/plenvo.sock, or a per-user name in the temporary folder.
    static QString defaultSocketPath();

    // Delivers the arguments to a running instance; false when none answers (so this process
    // should become the running one). Blocks for at most `timeoutMs`.
    bool forwardToRunningInstance(
        const QList<QByteArray> &arguments, const QByteArray &workingDirectory, int timeoutMs = 3000) const;
    // Starts answering later launches. A stale socket left by a crashed instance is replaced.
    bool listen();

    static QByteArray encodeMessage(const QList<QByteArray> &arguments, const QByteArray &workingDirectory);
    // False, leaving the outputs alone, for anything but a message as described above.
    static bool decodeMessage(const QByteArray &message, QList<QByteArray> *arguments, QByteArray *workingDirectory);

signals:
    void argumentsReceived(const QList<QByteArray> &arguments, const QByteArray &workingDirectory);

private:
    void acceptConnection();
    // UI thread, on each arrival of bytes; never blocks.
    void readFrom(QLocalSocket *socket);

    QString m_socketPath;
    QLocalServer *m_server = nullptr;
};
