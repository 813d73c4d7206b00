#include "tlstransport.h"

#include <QSslSocket>

TlsTransport::TlsTransport(std::unique_ptr<QSslSocket> socket, qint64 readAhead)
    : socket(std::move(socket))
{
    this->socket->setReadBufferSize(readAhead);
}

TlsTransport::~TlsTransport()
{
    socket->disconnect(this);
}

void TlsTransport::start(Events &events)
{
    connect(socket.get(), &QSslSocket::readyRead, this, [&events] { events.readable(); });
    connect(socket.get(), &QSslSocket::bytesWritten, this, [&events](qint64 bytes) { events.moved(bytes); });
    connect(socket.get(), &QSslSocket::disconnected, this, [&events] { events.ended(); });
}

qint64 TlsTransport::read(char *data, qint64 size)
{
    return qMax<qint64>(0, socket->read(data, size));
}

qint64 TlsTransport::write(const QByteArray &bytes)
{
    socket->write(bytes);
    return 0;
}

qint64 TlsTransport::unsent() const
{
    return socket->bytesToWrite();
}

void TlsTransport::close()
{
    socket->disconnectFromHost();
}

void TlsTransport::abort()
{
    socket->abort();
}
