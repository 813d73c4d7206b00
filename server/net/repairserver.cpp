#include "repairserver.h"

#include "clientconnection.h"
#include "plaintransport.h"
#include "tlstransport.h"

#include <QDebug>
#include <QSslSocket>

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

#include <jemalloc/jemalloc.h>

namespace {

// Connections taken in one go before other events get their turn.
constexpr int AcceptBatch = 64;

// How long after a connection closes its memory is handed back, so that
// many closing together cost one hand-back.
constexpr int MemoryReturnDelayMs = 1000;

// Deadlines are checked a few times within the shortest of them, and at
// least once a second.
int deadlineCheckInterval(const ServerLimits &limits)
{
    const int shortest = qMin(limits.frameTimeoutMs, qMin(limits.idleTimeoutMs, limits.replyTimeoutMs));
    return qBound(10, shortest / 4, 1000);
}

} // namespace

RepairServer::RepairServer(const ServerLimits &limits, ConnectionContext::RequestHandler handler, QObject *parent)
    : QObject(parent)
    , context(limits, std::move(handler), this)
{
    acceptRest.setSingleShot(true);
    acceptRest.setInterval(limits.acceptPauseMs);
    connect(&acceptRest, &QTimer::timeout, this, &RepairServer::resumeAccepting);
    memoryReturn.setSingleShot(true);
    memoryReturn.setInterval(MemoryReturnDelayMs);
    connect(&memoryReturn, &QTimer::timeout, this, &RepairServer::returnFreedMemory);
    deadlineCheck.setInterval(deadlineCheckInterval(limits));
    connect(&deadlineCheck, &QTimer::timeout, this, &RepairServer::checkDeadlines);
}

// Connections go before the context and the poll they share.
RepairServer::~RepairServer()
{
    context.replies->close();
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
    for (int i = 0; i < AcceptBatch && openConnections() < context.limits.connections; ++i) {
        sockaddr_storage peer{};
        socklen_t peerSize = sizeof peer;
        const int descriptor = ::accept4(int(listener.socketDescriptor()), reinterpret_cast<sockaddr *>(&peer),
                                         &peerSize, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (descriptor < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                acceptFailed(errno);
            return;
        }
        accepted(descriptor, QHostAddress(reinterpret_cast<const sockaddr *>(&peer)));
    }
    if (openConnections() >= context.limits.connections)
        incoming->setEnabled(false);
}

void RepairServer::accepted(int descriptor, const QHostAddress &peer)
{
    const QString address = peer.toString();
    if (!admits(address)) {
        context.log.note(address, QStringLiteral("was turned away: too many connections"));
        ::close(descriptor);
        return;
    }
    std::unique_ptr<ConnectionTransport> transport = transportFor(descriptor, peer);
    if (!transport)
        return;
    ++connectionsByAddress[address];
    if (connections.isEmpty())
        deadlineCheck.start();
    auto *connection = new ClientConnection(std::move(transport), peer, ++connectionsAccepted, context, this);
    connections.insert(connection);
    connect(connection, &ClientConnection::closed, this,
            [this, connection, address] { connectionClosed(connection, address); });
    connection->start();
}

bool RepairServer::admits(const QString &address)
{
    return openConnections() < context.limits.connections
           && connectionsByAddress.value(address) < context.limits.connectionsPerAddress;
}

// The transport on the accepted descriptor, encrypting from the start when
// the server serves TLS; nothing when the descriptor cannot be taken.
std::unique_ptr<ConnectionTransport> RepairServer::transportFor(int descriptor, const QHostAddress &peer)
{
    if (!tls)
        return std::make_unique<PlainTransport>(descriptor, poll);
    auto socket = std::make_unique<QSslSocket>();
    if (!socket->setSocketDescriptor(descriptor)) {
        ::close(descriptor);
        return nullptr;
    }
    socket->setSslConfiguration(*tls);
    QSslSocket *watched = socket.get();
    connect(watched, &QSslSocket::errorOccurred, watched, [this, watched, peer](QAbstractSocket::SocketError error) {
        if (error != QAbstractSocket::RemoteHostClosedError && !watched->isEncrypted())
            context.log.note(peer.toString(), QStringLiteral("no TLS: %1").arg(watched->errorString()));
    });
    socket->startServerEncryption();
    return std::make_unique<TlsTransport>(std::move(socket), context.limits.socketReadAhead);
}

void RepairServer::connectionClosed(ClientConnection *connection, const QString &address)
{
    connections.remove(connection);
    if (connections.isEmpty())
        deadlineCheck.stop();
    const auto fromAddress = connectionsByAddress.find(address);
    if (fromAddress != connectionsByAddress.end() && --*fromAddress == 0)
        connectionsByAddress.erase(fromAddress);
    if (!acceptRest.isActive())
        resumeAccepting();
    if (!memoryReturn.isActive())
        memoryReturn.start();
}

void RepairServer::checkDeadlines()
{
    const qint64 now = context.now();
    // A connection closed on the way leaves the set, not this copy of it.
    const QSet<ClientConnection *> open = connections;
    for (ClientConnection *connection : open)
        connection->checkDeadlines(now);
}

// The allocator hands freed memory back only as later allocations pass
// by; what thousands of connections held would stay with an idle server.
void RepairServer::returnFreedMemory()
{
    const QByteArray everyArena = "arena." + QByteArray::number(MALLCTL_ARENAS_ALL) + ".purge";
    mallctl(everyArena.constData(), nullptr, nullptr, nullptr, 0);
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
    if (incoming && openConnections() < context.limits.connections)
        incoming->setEnabled(true);
}
