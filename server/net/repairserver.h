#pragma once

#include "connectioncontext.h"
#include "socketpoll.h"

#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QSet>
#include <QSocketNotifier>
#include <QSslConfiguration>
#include <QTcpServer>
#include <QTimer>

#include <memory>
#include <optional>

class ClientConnection;
class ConnectionTransport;

// Listens for clients and serves each connection on its own, on the thread
// that runs the event loop; requests go to the context's handler. Plain
// connections are watched together through one SocketPoll, and the
// deadlines of all connections are checked by one timer. It keeps
// to the connection limits: one address past its share is turned away, and
// at the overall limit, or when the system runs out of descriptors,
// accepting rests instead of spinning. (QTcpServer retries a refused accept
// at once, for ever, so the server accepts by itself.) It serves plain TCP,
// or TLS only once useTls() was called: a TLS connection encrypts as soon as
// its handshake is done, and one that does not complete it is disconnected.
class RepairServer : public QObject
{
    Q_OBJECT

public:
    RepairServer(const ServerLimits &limits, ConnectionContext::RequestHandler handler, QObject *parent = nullptr);
    ~RepairServer() override;

    // Tells whether a logged-in terminal works at an address (see
    // ConnectionContext); without it no address has a session.
    void setSessionCheck(ConnectionContext::SessionCheck check) { context.hasSession = std::move(check); }

    // Serves TLS only from now on: call before listen().
    void useTls(const QSslConfiguration &configuration) { tls = configuration; }
    bool listen(const QHostAddress &address, quint16 port);
    QString errorString() const { return listener.errorString(); }
    QHostAddress address() const { return listener.serverAddress(); }
    quint16 port() const { return listener.serverPort(); }

    int openConnections() const { return int(connections.size()); }
    int refusedAccepts() const { return acceptFailures; }
    // Bytes of requests and replies held beyond each connection's allowance.
    qint64 heldRequestBytes() const { return context.requestRoom.inUse(); }
    qint64 heldReplyBytes() const { return context.replyRoom.inUse(); }
    EventLog &log() { return context.log; }

private:
    void acceptConnections();
    bool admits(const QString &address);
    std::unique_ptr<ConnectionTransport> transportFor(int descriptor, const QHostAddress &peer);
    void accepted(int descriptor, const QHostAddress &peer);
    void connectionClosed(ClientConnection *connection, const QString &address);
    void checkDeadlines();
    void acceptFailed(int error);
    void resumeAccepting();
    static void returnFreedMemory();

    ConnectionContext context;
    QTcpServer listener; // only binds and listens
    std::optional<QSslConfiguration> tls;
    std::unique_ptr<QSocketNotifier> incoming;
    SocketPoll poll;
    QTimer acceptRest;
    QTimer memoryReturn;
    QTimer deadlineCheck;
    QSet<ClientConnection *> connections;
    QHash<QString, int> connectionsByAddress;
    quint64 connectionsAccepted = 0;
    int acceptFailures = 0;
};
