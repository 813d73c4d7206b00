#pragma once

#include "connectionlistener.h"

#include <QHostAddress>
#include <QObject>

class CommandDispatcher;

// Listens for clients and serves each connection on its own, all on the
// thread that runs the event loop.
class RepairServer : public QObject
{
    Q_OBJECT

public:
    explicit RepairServer(const CommandDispatcher &dispatcher, QObject *parent = nullptr);

    // Serves TLS only from now on: call before listen().
    void useTls(const QSslConfiguration &configuration) { listener.useTls(configuration); }
    bool listen(const QHostAddress &address, quint16 port);
    QString errorString() const { return listener.errorString(); }
    QHostAddress address() const { return listener.serverAddress(); }
    quint16 port() const { return listener.serverPort(); }

    int openConnections() const { return connectionCount; }

private:
    void acceptConnections();

    const CommandDispatcher &dispatcher;
    ConnectionListener listener;
    int connectionCount = 0;
};
