#pragma once

#include "connectiontransport.h"

#include <QObject>

#include <memory>

class QSslSocket;

// A TLS connection, on Qt's socket and its event notifiers (TLS is the
// rarer case, so its connections are not on the server's SocketPoll).
class TlsTransport
    : public QObject
    , public ConnectionTransport
{
    Q_OBJECT

public:
    // socket: connected, its handshake started; readAhead bounds its buffer.
    TlsTransport(std::unique_ptr<QSslSocket> socket, qint64 readAhead);
    ~TlsTransport() override;

    void start(Events &events) override;
    qint64 read(char *data, qint64 size) override;
    qint64 write(const QByteArray &bytes) override;
    qint64 unsent() const override;
    void close() override;
    void abort() override;

private:
    std::unique_ptr<QSslSocket> socket;
};
