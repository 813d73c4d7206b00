#include "clientconnection.h"

#include "connectioncontext.h"
#include "replyinbox.h"

#include "commands/reply.h"

#include <frame.h>

namespace {

// How long a connection closed for a protocol error may take to hand over
// the replies already written.
constexpr qint64 ClosingGraceMilliseconds = 5000;

} // namespace

ClientConnection::ClientConnection(std::unique_ptr<ConnectionTransport> transport, const QHostAddress &peer, quint64 id,
                                   ConnectionContext &context, QObject *parent)
    : QObject(parent)
    , transport(std::move(transport))
    , context(context)
    , peerAddress(peer)
    , id(id)
    , frames(wire::MaximumRequestSize)
    , session(std::make_shared<ConnectionSession>(peer))
    , idleSince(context.now())
{
    connect(&context.requestRoom, &ByteBudget::roomFreed, this, &ClientConnection::serve);
    connect(&context.replyRoom, &ByteBudget::roomFreed, this, &ClientConnection::serve);
    context.replies->add(id, this);
}

void ClientConnection::start()
{
    transport->start(*this);
}

ClientConnection::~ClientConnection()
{
    context.replies->remove(id);
    context.requestRoom.giveBack(requestRoomHeld);
    context.replyRoom.giveBack(replyRoomHeld);
}

// Takes the next request once the last reply is sent, reading only as many
// bytes as the shared room allows.
void ClientConnection::serve()
{
    while (!closing && !awaitingReply && transport->unsent() == 0 && context.replyRoom.admits()) {
        std::optional<QByteArray> frame = frames.next();
        if (frame) {
            settleRequestRoom();
            frameStarted = NotRunning;
            idleSince = context.now();
            awaitingReply = true;
            context.handleRequest(*frame, Reply(replyRoute(++requestsTaken), session));
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
        frameStarted = NotRunning;
    else if (frameStarted == NotRunning)
        frameStarted = context.now();
}

// Where the reply to the request-th request goes, from whichever thread
// makes it.
std::function<void(const QByteArray &)> ClientConnection::replyRoute(quint64 request) const
{
    return [inbox = context.replies, connection = id, request](const QByteArray &frame) {
        inbox->post(connection, request, frame);
    };
}

// Moves bytes from the transport to the frame reader, at most the read-ahead
// at a time; false when none could be moved. Past its own allowance the
// connection reads into shared room, and waits for more when the room ran
// short of what the transport had.
bool ClientConnection::readMore()
{
    const qint64 readAhead = context.limits.socketReadAhead;
    const qint64 free = qMax<qint64>(0, context.limits.requestAllowance - frames.buffered());
    const qint64 granted = readAhead > free ? context.requestRoom.take(readAhead - free) : 0;
    const qint64 wanted = free + granted;
    QByteArray &buffer = context.readBuffer;
    buffer.resize(int(wanted));
    const qint64 received = wanted > 0 ? transport->read(buffer.data(), wanted) : 0;
    const qint64 used = qBound<qint64>(0, received - free, granted);
    context.requestRoom.giveBack(granted - used);
    requestRoomHeld += used;
    if (received == wanted && wanted < readAhead)
        context.requestRoom.awaitRoom();
    if (received <= 0)
        return false;
    frames.append(QByteArray(buffer.constData(), int(received)));
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
    idleSince = replyMovedLast = context.now();
    const qint64 sent = transport->write(frame);
    if (sent > 0)
        moved(sent);
}

void ClientConnection::moved(qint64 bytes)
{
    const qint64 released = qMin(bytes, replyRoomHeld);
    replyRoomHeld -= released;
    context.replyRoom.giveBack(released);
    if (transport->unsent() > 0) {
        replyMovedLast = context.now();
        return;
    }
    replyMovedLast = NotRunning;
    serve();
}

void ClientConnection::checkDeadlines(qint64 now)
{
    if (gone)
        return;
    if (closing) {
        if (closingSince != NotRunning && now - closingSince >= ClosingGraceMilliseconds)
            transport->abort();
        return;
    }
    const ServerLimits &limits = context.limits;
    if (frameStarted != NotRunning && now - frameStarted >= limits.frameTimeoutMs) {
        closeFor(QStringLiteral("did not complete a request in time"));
    } else if (replyMovedLast != NotRunning && now - replyMovedLast >= limits.replyTimeoutMs) {
        closeFor(QStringLiteral("did not take its reply in time"));
        transport->abort();
    } else if (now - idleSince >= limits.idleTimeoutMs) {
        // A silent connection may stay while its terminal has a session, or
        // while the server itself still owes it something.
        if (awaitingReply || transport->unsent() > 0 || context.hasSession(peerAddress))
            idleSince = now;
        else
            closeFor(QStringLiteral("sent no request in time"));
    }
}

void ClientConnection::closeFor(const QString &reason)
{
    if (closing)
        return;
    context.log.note(peerAddress.toString(), reason);
    closing = true;
    closingSince = context.now();
    frames = wire::FrameReader(0);
    context.requestRoom.giveBack(requestRoomHeld);
    requestRoomHeld = 0;
    transport->close();
}

void ClientConnection::ended()
{
    if (gone)
        return;
    gone = closing = true;
    emit closed();
    deleteLater();
}
