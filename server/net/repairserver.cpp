#include "repairserver.h"

#include "clientconnection.h"

#include <QDebug>
#include <QSslSocket>
#include <QTcpSocket>

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

// Connections taken in one go before other events get their turn.
constexpr int AcceptBatch = 64;

// How long after a connection closes its memory is handed back, so that
// many closing together cost one hand-back.
constexpr int MemoryReturnDelayMs = 1000;

} // namespace

RepairServer::RepairServer(const ServerLimits &limits, ConnectionContext::RequestHandler handler, QObject *parent)
    : QObject(parent)
    , context(limits, std::move(handler))
{
    acceptRest.setSingleShot(true);
    acceptRest.setInterval(limits.acceptPauseMs);
    connect(&acceptRest, &QTimer::timeout, this, &RepairServer::resumeAccepting);
    memoryReturn.setSingleShot(true);
    memoryReturn.setInterval(MemoryReturnDelayMs);
    connect(&memoryReturn, &QTimer::timeout, this, &RepairServer::returnFreedMemory);
}

// Connections go before the context they share.
RepairServer::~RepairServer()
{
    qDeleteAll(findChildren<ClientConnection *>(QString(), Qt::FindDirectChildrenOnly));
}

bool RepairServer::listen(const QHostAddress &address, quint16 port)
{
    if (!listener.listen(address, port))
        return false;
    // QTcpServer queues 50 connections; a burst beyond that (terminals
    // reconnecting after a restart) would be dropped and retried a second
    // later. Listening again only lengthens the queue.
    ::listen(int(listener.socketDescriptor()), SOMAXCONN);
    listener.pauseAccepting();
    incoming = std::make_unique<QSocketNotifier>(listener.socketDescriptor(), QSocketNotifier::Read);
    connect(incoming.get(), &QSocketNotifier::activated, this, &RepairServer::acceptConnections);
    return true;
}

void RepairServer::acceptConnections()
{
    for (int i = 0; i < AcceptBatch && connectionCount < context.limits.connections; ++i) {
        const int descriptor = ::accept4(int(listener.socketDescriptor()), nullptr, nullptr, SOCK_CLOEXEC);
        if (descriptor < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                acceptFailed(errno);
            return;
        }
        if (QTcpSocket *socket = socketFor(descriptor))
            accepted(socket);
        else
            ::close(descriptor);
    }
    if (connectionCount >= context.limits.connections)
        incoming->setEnabled(false);
}

// A socket on the accepted descriptor, encrypting from the start when the
// server serves TLS; nothing when the descriptor cannot be taken.
QTcpSocket *RepairServer::socketFor(int descriptor)
{
    if (!tls) {
        auto *socket = new QTcpSocket(this);
        if (socket->setSocketDescriptor(descriptor))
            return socket;
        delete socket;
        return nullptr;
    }
    auto *socket = new QSslSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return nullptr;
    }
    socket->setSslConfiguration(*tls);
    connect(socket, &QSslSocket::errorOccurred, socket, [this, socket](QAbstractSocket::SocketError error) {
        if (error != QAbstractSocket::RemoteHostClosedError && !socket->isEncrypted())
            context.log.note(socket->peerAddress().toString(), QStringLiteral("no TLS: %1").arg(socket->errorString()));
    });
    socket->startServerEncryption();
    return socket;
}

void RepairServer::accepted(QTcpSocket *socket)
{
    const QString address = socket->peerAddress().toString();
    int &fromAddress = connectionsByAddress[address];
    if (connectionCount >= context.limits.connections || fromAddress >= context.limits.connectionsPerAddress) {
        context.log.note(address, QStringLiteral("was turned away: too many connections"));
        if (fromAddress == 0)
            connectionsByAddress.remove(address);
        socket->abort();
        socket->deleteLater();
        return;
    }
    ++fromAddress;
    ++connectionCount;
    auto *connection = new ClientConnection(socket, context, this);
    connect(connection, &ClientConnection::closed, this, [this, address] { connectionClosed(address); });
}

void RepairServer::connectionClosed(const QString &address)
{
    --connectionCount;
    const auto fromAddress = connectionsByAddress.find(address);
    if (fromAddress != connectionsByAddress.end() && --*fromAddress == 0)
        connectionsByAddress.erase(fromAddress);
    if (!acceptRest.isActive())
        resumeAccepting();
    if (!memoryReturn.isActive())
        memoryReturn.start();
}

// The allocator keeps freed memory for the process; what thousands of
// connections held would stay with the server for good.
void RepairServer::returnFreedMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

// Out of descriptors (or another resource), accepting stops; it tries
// again after a rest, by which time connections may have closed.
void RepairServer::acceptFailed(int error)
{
    ++acceptFailures;
    context.log.note(QStringLiteral("server"),
                     QStringLiteral("could not accept a connection: %1").arg(QString::fromLocal8Bit(strerror(error))));
    incoming->setEnabled(false);
    acceptRest.start();
}

void RepairServer::resumeAccepting()
{
    if (incoming && connectionCount < context.limits.connections)
        incoming->setEnabled(true);
}
