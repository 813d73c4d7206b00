#include "clientconnection.h"

#include "commands/commanddispatcher.h"

#include <frame.h>

#include <QDebug>
#include <QHostAddress>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

namespace {

// While this much is still unsent (a client that does not read its
// replies), no further request is taken.
constexpr qint64 MaximumUnsentReplies = 8 << 20;

// How much the socket reads ahead of the request being answered.
constexpr qint64 SocketReadAhead = 256 << 10;

// How long a connection closed for a protocol error may take to hand over
// the replies already written.
constexpr int ClosingGraceMilliseconds = 5000;

} // namespace

ClientConnection::ClientConnection(QTcpSocket *socket, const CommandDispatcher &dispatcher, QObject *parent)
    : QObject(parent)
    , socket(socket)
    , dispatcher(dispatcher)
    , frames(wire::MaximumRequestSize)
    , session(std::make_shared<ConnectionSession>(socket->peerAddress()))
{
    socket->setParent(this);
    socket->setReadBufferSize(SocketReadAhead);
    connect(socket, &QTcpSocket::readyRead, this, &ClientConnection::serve);
    connect(socket, &QTcpSocket::bytesWritten, this, &ClientConnection::serve);
    connect(socket, &QTcpSocket::disconnected, this, [this] {
        closing = true;
        emit closed();
        deleteLater();
    });
}

ClientConnection::~ClientConnection() = default;

// Takes and answers requests until one is pending, the bytes run out, or
// the client falls too far behind in reading.
void ClientConnection::serve()
{
    while (!awaitingReply && !closing && socket->bytesToWrite() < MaximumUnsentReplies) {
        std::optional<QByteArray> frame = frames.next();
        if (!frame) {
            if (frames.failed()) {
                closeForProtocolError();
                return;
            }
            if (socket->bytesAvailable() == 0)
                return;
            frames.append(socket->readAll());
            continue;
        }

        const quint64 request = ++requestsTaken;
        awaitingReply = true;
        QPointer<ClientConnection> self(this);
        dispatching = true;
        dispatcher.dispatch(*frame, Reply(
                                        [self, request](const QByteArray &reply) {
                                            if (self)
                                                self->answer(request, reply);
                                        },
                                        session));
        if (!self)
            return;
        dispatching = false;
    }
}

void ClientConnection::answer(quint64 request, const QByteArray &frame)
{
    if (closing || request != requestsTaken || !awaitingReply)
        return;
    socket->write(frame);
    awaitingReply = false;
    // A reply sent from inside dispatch() returns to the loop in serve();
    // one sent later restarts it from the event loop.
    if (!dispatching)
        QTimer::singleShot(0, this, &ClientConnection::serve);
}

void ClientConnection::closeForProtocolError()
{
    qInfo().noquote() << "closing the connection from" << socket->peerAddress().toString()
                      << "after a frame with an impossible size";
    closing = true;
    socket->disconnectFromHost();
    // A peer that reads nothing could hold the close open for ever.
    QTimer::singleShot(ClosingGraceMilliseconds, socket, &QTcpSocket::abort);
}
