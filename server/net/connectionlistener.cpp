#include "connectionlistener.h"

#include <QDebug>
#include <QSslSocket>

void ConnectionListener::incomingConnection(qintptr socketDescriptor)
{
    if (!tls) {
        QTcpServer::incomingConnection(socketDescriptor);
        return;
    }
    auto *socket = new QSslSocket(this);
    if (!socket->setSocketDescriptor(socketDescriptor)) {
        delete socket;
        return;
    }
    socket->setSslConfiguration(*tls);
    connect(socket, &QSslSocket::errorOccurred, socket, [socket](QAbstractSocket::SocketError error) {
        if (error != QAbstractSocket::RemoteHostClosedError && !socket->isEncrypted())
            qInfo().noquote() << "no TLS with" << socket->peerAddress().toString() << "-" << socket->errorString();
    });
    addPendingConnection(socket);
    socket->startServerEncryption();
}
