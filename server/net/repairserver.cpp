#include "repairserver.h"

#include "clientconnection.h"

#include <QTcpSocket>

RepairServer::RepairServer(const CommandDispatcher &dispatcher, QObject *parent)
    : QObject(parent)
    , dispatcher(dispatcher)
{
    connect(&listener, &QTcpServer::newConnection, this, &RepairServer::acceptConnections);
}

bool RepairServer::listen(const QHostAddress &address, quint16 port)
{
    return listener.listen(address, port);
}

void RepairServer::acceptConnections()
{
    while (QTcpSocket *socket = listener.nextPendingConnection()) {
        auto *connection = new ClientConnection(socket, dispatcher, this);
        ++connectionCount;
        connect(connection, &ClientConnection::closed, this, [this] { --connectionCount; });
    }
}
