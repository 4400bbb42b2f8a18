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
// length, then that many bytes of JSON {"cwd": base64, "args": [base64, …]} holding the
// exact bytes of the working directory and of each argument. Anything else, or anything
// larger than maximumMessageSize, is dropped without reply.
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
    bool forwardToRunningInstance(const QList<QByteArray> &arguments, const QByteArray &workingDirectory,
                                  int timeoutMs = 3000) const;
    // Starts answering later launches. A stale socket left by a crashed instance is replaced.
    bool listen();

    static QByteArray encodeMessage(const QList<QByteArray> &arguments, const QByteArray &workingDirectory);
    // False for anything malformed or over the limits.
    static bool decodeMessage(const QByteArray &message, QList<QByteArray> *arguments, QByteArray *workingDirectory);

signals:
    void argumentsReceived(const QList<QByteArray> &arguments, const QByteArray &workingDirectory);

private:
    void acceptConnection();
    void readFrom(QLocalSocket *socket);

    QString m_socketPath;
    QLocalServer *m_server = nullptr;
};
