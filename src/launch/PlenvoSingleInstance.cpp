#include "PlenvoSingleInstance.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <QtEndian>

#include <unistd.h>

namespace {

const QByteArray kMagic = QByteArrayLiteral("PLENVO1\n");
constexpr int kHeaderSize = 8 + 4;
// How long a peer has, from connecting, to send its whole message.
constexpr int kReadTimeoutMs = 2000;

// The bytes of a JSON string holding base64 as the encoder writes it: the standard alphabet
// with padding and nothing else, so that every byte string has exactly one accepted form.
// Paths and URLs never hold NUL bytes.
bool decodeBytes(const QJsonValue &value, QByteArray *out)
{
    if (!value.isString())
        return false;
    const QString text = value.toString();
    const auto result = QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!result || QString::fromLatin1(result.decoded.toBase64()) != text || result.decoded.contains('\0'))
        return false;
    *out = result.decoded;
    return true;
}

} // namespace

PlenvoSingleInstance::PlenvoSingleInstance(QString socketPath, QObject *parent)
    : QObject(parent)
    , m_socketPath(std::move(socketPath))
{
}

PlenvoSingleInstance::~PlenvoSingleInstance() = default;

QString PlenvoSingleInstance::defaultSocketPath()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(QString::fromLocal8Bit(runtime)).exists())
        return QString::fromLocal8Bit(runtime) + QStringLiteral("/plenvo.sock");
    return QDir::tempPath() + QStringLiteral("/plenvo-%1.sock").arg(::getuid());
}

QByteArray PlenvoSingleInstance::encodeMessage(const QList<QByteArray> &arguments, const QByteArray &workingDirectory)
{
    QJsonArray args;
    for (const QByteArray &argument : arguments)
        args.append(QString::fromLatin1(argument.toBase64()));
    QJsonObject object;
    object.insert(QStringLiteral("cwd"), QString::fromLatin1(workingDirectory.toBase64()));
    object.insert(QStringLiteral("args"), args);
    const QByteArray body = QJsonDocument(object).toJson(QJsonDocument::Compact);
    QByteArray message = kMagic;
    char length[4];
    qToBigEndian<quint32>(quint32(body.size()), length);
    message.append(length, 4);
    message.append(body);
    return message;
}

bool PlenvoSingleInstance::decodeMessage(
    const QByteArray &message, QList<QByteArray> *arguments, QByteArray *workingDirectory)
{
    if (message.size() < kHeaderSize || message.size() > maximumMessageSize || !message.startsWith(kMagic))
        return false;
    const quint32 length = qFromBigEndian<quint32>(message.constData() + kMagic.size());
    if (qint64(length) != qint64(message.size()) - kHeaderSize)
        return false;
    const QByteArray body = message.mid(kHeaderSize);
    if (!QByteArrayView(body).isValidUtf8())
        return false;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return false;
    const QJsonObject object = document.object();
    const QJsonValue cwd = object.value(QStringLiteral("cwd"));
    const QJsonValue args = object.value(QStringLiteral("args"));
    if (object.size() != 2 || !cwd.isString() || !args.isArray() || args.toArray().size() > maximumArguments)
        return false;
    QByteArray directory;
    if (!decodeBytes(cwd, &directory) || !directory.startsWith('/'))
        return false;
    QList<QByteArray> decoded;
    for (const QJsonValue &value : args.toArray()) {
        QByteArray argument;
        if (!decodeBytes(value, &argument))
            return false;
        decoded.append(argument);
    }
    *arguments = decoded;
    *workingDirectory = directory;
    return true;
}

bool PlenvoSingleInstance::forwardToRunningInstance(
    const QList<QByteArray> &arguments, const QByteArray &workingDirectory, int timeoutMs) const
{
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    const QByteArray message = encodeMessage(arguments, workingDirectory);
    if (message.size() > maximumMessageSize)
        return true; // Too large to hand over; the running instance stays as it is.
    socket.write(message);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(timeoutMs))
            return false;
    }
    // The running instance closes the connection once it has read the message.
    socket.waitForDisconnected(timeoutMs);
    return true;
}

bool PlenvoSingleInstance::listen()
{
    if (m_server)
        return true;
    // With user-only access the server binds a fresh socket and renames it over the path,
    // which would silently take the path from a running instance: ask first.
    {
        QLocalSocket probe;
        probe.connectToServer(m_socketPath);
        if (probe.waitForConnected(500))
            return false;
    }
    // Nobody answers: whatever is at the path was left by an instance that crashed.
    QLocalServer::removeServer(m_socketPath);
    auto *server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(m_socketPath)) {
        delete server;
        return false;
    }
    m_server = server;
    connect(m_server, &QLocalServer::newConnection, this, &PlenvoSingleInstance::acceptConnection);
    return true;
}

void PlenvoSingleInstance::acceptConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        // Qt takes no more from the peer than one message can hold.
        socket->setReadBufferSize(maximumMessageSize + 1);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket]() { readFrom(socket); });
        // A peer that sends nothing, or stops halfway, is dropped.
        QTimer::singleShot(kReadTimeoutMs, socket, [socket]() { socket->abort(); });
        if (socket->bytesAvailable() > 0)
            readFrom(socket);
    }
}

void PlenvoSingleInstance::readFrom(QLocalSocket *socket)
{
    // Bytes stay in the socket until the whole message has arrived.
    const QByteArray header = socket->peek(kHeaderSize);
    if (!kMagic.startsWith(header.left(kMagic.size()))) {
        socket->abort();
        return;
    }
    if (header.size() < kHeaderSize)
        return;
    const quint32 length = qFromBigEndian<quint32>(header.constData() + kMagic.size());
    if (length > quint32(maximumMessageSize - kHeaderSize)) {
        socket->abort();
        return;
    }
    const qint64 size = kHeaderSize + qint64(length);
    if (socket->bytesAvailable() < size)
        return;
    const QByteArray message = socket->read(size);
    const bool trailing = socket->bytesAvailable() > 0;
    QList<QByteArray> arguments;
    QByteArray workingDirectory;
    const bool valid = !trailing && decodeMessage(message, &arguments, &workingDirectory);
    // Nothing more is read from this peer, whatever it still sends.
    disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
    if (trailing)
        socket->abort();
    else
        socket->disconnectFromServer();
    if (valid)
        emit argumentsReceived(arguments, workingDirectory);
}
