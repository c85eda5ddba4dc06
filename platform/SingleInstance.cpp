#include "SingleInstance.h"

#include "Trace.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>

#include <unistd.h>

namespace {
constexpr char kActivate[] = "activate\n";
constexpr int kConnectMs = 1000;
} // namespace

CSingleInstance::CSingleInstance(const QString& instanceName, QObject* parent)
    : QObject(parent), m_strName(instanceName) {}

CSingleInstance::~CSingleInstance() {
    if (m_server)
        m_server->close();
}

QString CSingleInstance::SocketName(const QString& instanceName) {
    // Model names hold blanks and the name must be a valid file name: hash it.
    const QByteArray hash =
        QCryptographicHash::hash(instanceName.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("nsw-module-%1-%2").arg(getuid()).arg(QString::fromLatin1(hash));
}

bool CSingleInstance::Acquire() {
    const QString socketName = SocketName(m_strName);
    m_lock = std::make_unique<QLockFile>(QDir::tempPath() + QLatin1Char('/') + socketName +
                                         QStringLiteral(".lock"));
    // Never stale by age: only a dead owner frees the name.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        if (m_lock->error() == QLockFile::LockFailedError) {
            Trace(QStringLiteral("instance %1 already runs").arg(m_strName));
            SignalRunningInstance();
            m_lock.reset();
            return false;
        }
        // Temp folder not writable: go on without the lock, as the socket still decides.
        Trace(QStringLiteral("instance lock unavailable, error %1").arg(m_lock->error()));
        if (SignalRunningInstance())
            return false;
    }
    // A socket file left by a crashed instance would make listen() fail.
    QLocalServer::removeServer(socketName);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server.get(), &QLocalServer::newConnection, this, &CSingleInstance::OnNewConnection);
    if (!m_server->listen(socketName))
        Trace(QStringLiteral("instance socket: %1").arg(m_server->errorString()));
    return true;
}

bool CSingleInstance::SignalRunningInstance() const {
    QLocalSocket socket;
    socket.connectToServer(SocketName(m_strName));
    if (!socket.waitForConnected(kConnectMs))
        return false;
    socket.write(kActivate);
    socket.waitForBytesWritten(kConnectMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(kConnectMs);
    return true;
}

void CSingleInstance::OnNewConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            // Only the one known request is honoured; anything else is dropped.
            if (socket->readAll().startsWith("activate"))
                emit ActivateRequested();
            socket->disconnectFromServer();
        });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    }
}
