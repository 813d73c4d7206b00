#include "repairserver.h"

#include "clientconnection.h"

#include <QTcpSocket>

RepairServer::RepairServer(const ServerLimits &limits, ConnectionContext::RequestHandler handler, QObject *parent)
    : QObject(parent)
    , context(limits, std::move(handler))
{
    acceptRest.setSingleShot(true);
    acceptRest.setInterval(limits.acceptPauseMs);
    connect(&acceptRest, &QTimer::timeout, this, &RepairServer::resumeAccepting);
    connect(&listener, &QTcpServer::newConnection, this, &RepairServer::acceptConnections);
    connect(&listener, &QTcpServer::acceptError, this, &RepairServer::acceptFailed);
}

// Connections go before the context they share.
RepairServer::~RepairServer()
{
    qDeleteAll(findChildren<ClientConnection *>(QString(), Qt::FindDirectChildrenOnly));
}

bool RepairServer::listen(const QHostAddress &address, quint16 port)
{
    return listener.listen(address, port);
}

void RepairServer::acceptConnections()
{
    while (QTcpSocket *socket = listener.nextPendingConnection())
        accepted(socket);
    if (connectionCount >= context.limits.connections)
        listener.pauseAccepting();
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
}

// Out of descriptors (or another resource), the listener stops; it tries
// again after a rest, by which time connections may have closed.
void RepairServer::acceptFailed(QAbstractSocket::SocketError)
{
    ++acceptFailures;
    context.log.note(QStringLiteral("server"),
                     QStringLiteral("could not accept a connection: %1").arg(listener.errorString()));
    listener.pauseAccepting();
    acceptRest.start();
}

void RepairServer::resumeAccepting()
{
    if (connectionCount < context.limits.connections)
        listener.resumeAccepting();
}
