#include "clientconnection.h"

#include "connectioncontext.h"

#include "commands/reply.h"

#include <frame.h>

#include <QMutex>
#include <QTcpSocket>

namespace {

// How long a connection closed for a protocol error may take to hand over
// the replies already written.
constexpr int ClosingGraceMilliseconds = 5000;

} // namespace

// Carries a reply from whichever thread made it to the connection, on the
// network thread. Once the connection is gone, replies are dropped.
class ClientConnection::ReplyRoute
{
public:
    explicit ReplyRoute(ClientConnection *connection)
        : connection(connection)
    { }

    void deliver(quint64 request, const QByteArray &frame)
    {
        QMutexLocker lock(&mutex);
        if (!connection)
            return;
        ClientConnection *target = connection;
        QMetaObject::invokeMethod(
            target, [target, request, frame] { target->answer(request, frame); }, Qt::QueuedConnection);
    }

    void close()
    {
        QMutexLocker lock(&mutex);
        connection = nullptr;
    }

private:
    QMutex mutex;
    ClientConnection *connection;
};

ClientConnection::ClientConnection(QTcpSocket *socket, ConnectionContext &context, QObject *parent)
    : QObject(parent)
    , socket(socket)
    , context(context)
    , peerAddress(socket->peerAddress())
    , peerText(peerAddress.toString())
    , frames(wire::MaximumRequestSize)
    , route(std::make_shared<ReplyRoute>(this))
    , session(std::make_shared<ConnectionSession>(socket->peerAddress()))
{
    const ServerLimits &limits = context.limits;
    socket->setParent(this);
    socket->setReadBufferSize(limits.socketReadAhead);
    for (QTimer *deadline : {&frameDeadline, &idleDeadline, &replyDeadline})
        deadline->setSingleShot(true);
    frameDeadline.setInterval(limits.frameTimeoutMs);
    idleDeadline.setInterval(limits.idleTimeoutMs);
    replyDeadline.setInterval(limits.replyTimeoutMs);
    connect(&frameDeadline, &QTimer::timeout, this,
            [this] { closeFor(QStringLiteral("did not complete a request in time")); });
    connect(&idleDeadline, &QTimer::timeout, this, &ClientConnection::idleTimedOut);
    connect(&replyDeadline, &QTimer::timeout, this, [this] {
        closeFor(QStringLiteral("did not take its reply in time"));
        this->socket->abort();
    });

    connect(socket, &QTcpSocket::readyRead, this, &ClientConnection::serve);
    connect(socket, &QTcpSocket::bytesWritten, this, &ClientConnection::replyMoved);
    connect(&context.requestRoom, &ByteBudget::roomFreed, this, &ClientConnection::serve);
    connect(&context.replyRoom, &ByteBudget::roomFreed, this, &ClientConnection::serve);
    connect(socket, &QTcpSocket::disconnected, this, [this] {
        closing = true;
        emit closed();
        deleteLater();
    });
    idleDeadline.start();
}

ClientConnection::~ClientConnection()
{
    route->close();
    context.requestRoom.giveBack(requestRoomHeld);
    context.replyRoom.giveBack(replyRoomHeld);
}

// Takes the next request once the last reply is sent, reading only as many
// bytes as the shared room allows.
void ClientConnection::serve()
{
    while (!closing && !awaitingReply && socket->bytesToWrite() == 0 && context.replyRoom.admits()) {
        std::optional<QByteArray> frame = frames.next();
        if (frame) {
            settleRequestRoom();
            frameDeadline.stop();
            idleDeadline.start();
            awaitingReply = true;
            const quint64 request = ++requestsTaken;
            std::shared_ptr<ReplyRoute> way = route;
            context.handleRequest(
                *frame, Reply([way, request](const QByteArray &reply) { way->deliver(request, reply); }, session));
            return;
        }
        if (frames.failed()) {
            closeFor(QStringLiteral("sent a frame with an impossible size"));
            return;
        }
        if (!readMore())
            break;
    }
    // Only an unfinished frame that waits on its sender is timed.
    if (closing || awaitingReply || frames.buffered() == 0)
        frameDeadline.stop();
    else if (!frameDeadline.isActive())
        frameDeadline.start();
}

// Moves bytes from the socket to the frame reader; false when none could
// be moved.
bool ClientConnection::readMore()
{
    const qint64 available = socket->bytesAvailable();
    if (available == 0)
        return false;
    const qint64 free = qMax<qint64>(0, context.limits.requestAllowance - frames.buffered());
    qint64 wanted = available;
    if (available > free) {
        const qint64 extra = available - free;
        const qint64 granted = context.requestRoom.take(extra);
        requestRoomHeld += granted;
        wanted = free + granted;
    }
    if (wanted == 0)
        return false;
    frames.append(socket->read(wanted));
    return true;
}

// Gives back the shared room that the frames already taken out held.
void ClientConnection::settleRequestRoom()
{
    const qint64 needed = qMax<qint64>(0, frames.buffered() - context.limits.requestAllowance);
    if (needed < requestRoomHeld) {
        context.requestRoom.giveBack(requestRoomHeld - needed);
        requestRoomHeld = needed;
    }
}

void ClientConnection::answer(quint64 request, const QByteArray &frame)
{
    if (closing || request != requestsTaken || !awaitingReply)
        return;
    awaitingReply = false;
    context.replyRoom.charge(frame.size());
    replyRoomHeld += frame.size();
    socket->write(frame);
    replyDeadline.start();
    idleDeadline.start();
}

void ClientConnection::replyMoved(qint64 bytes)
{
    const qint64 released = qMin(bytes, replyRoomHeld);
    replyRoomHeld -= released;
    context.replyRoom.giveBack(released);
    if (socket->bytesToWrite() > 0) {
        replyDeadline.start();
        return;
    }
    replyDeadline.stop();
    serve();
}

// A silent connection may stay while its terminal has a session, or while
// the server itself still owes it something.
void ClientConnection::idleTimedOut()
{
    if (awaitingReply || socket->bytesToWrite() > 0 || context.hasSession(peerAddress)) {
        idleDeadline.start();
        return;
    }
    closeFor(QStringLiteral("sent no request in time"));
}

void ClientConnection::closeFor(const QString &reason)
{
    if (closing)
        return;
    context.log.note(peerText, reason);
    closing = true;
    for (QTimer *deadline : {&frameDeadline, &idleDeadline, &replyDeadline})
        deadline->stop();
    frames = wire::FrameReader(0);
    context.requestRoom.giveBack(requestRoomHeld);
    requestRoomHeld = 0;
    socket->disconnectFromHost();
    // A peer that reads nothing could hold the close open for ever.
    if (socket->state() != QAbstractSocket::UnconnectedState)
        QTimer::singleShot(ClosingGraceMilliseconds, socket, &QTcpSocket::abort);
}
