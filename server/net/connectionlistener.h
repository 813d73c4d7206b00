#pragma once

#include <QSslConfiguration>
#include <QTcpServer>

#include <optional>

// Accepts client connections: plain TCP, or TLS only once useTls() was
// called. A TLS socket is handed out at once and encrypts as soon as the
// handshake is done; a client that does not complete the handshake is
// disconnected.
class ConnectionListener : public QTcpServer
{
    Q_OBJECT

public:
    using QTcpServer::QTcpServer;

    void useTls(const QSslConfiguration &configuration) { tls = configuration; }

protected:
    void incomingConnection(qintptr socketDescriptor) override;

private:
    std::optional<QSslConfiguration> tls;
};
