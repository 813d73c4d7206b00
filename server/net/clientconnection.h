#pragma once

#include "connectiontransport.h"

#include <framereader.h>

#include <QHostAddress>
#include <QObject>

#include <functional>
#include <memory>

class ConnectionSession;
struct ConnectionContext;

// One client's connection, on either transport. Requests are cut from the
// byte stream and answered one at a time, in the order received: while a
// reply is worked out or still unsent, later requests wait, and so does
// reading, so a connection holds at most one reply. What it may hold and
// how long it may take stands in the context's limits; a peer that breaks
// them is closed. Its deadlines are stamps, which the server checks now and
// then (checkDeadlines()), so that an idle connection costs no timer. The
// object deletes itself once the connection is closed.
class ClientConnection
    : public QObject
    , private ConnectionTransport::Events
{
    Q_OBJECT

public:
    // id: unique among the server's connections, for the replies to find it.
    ClientConnection(std::unique_ptr<ConnectionTransport> transport, const QHostAddress &peer, quint64 id,
                     ConnectionContext &context, QObject *parent = nullptr);
    ~ClientConnection() override;

    // Begins serving; closed() may come from here on.
    void start();

    // Closes the connection if one of its deadlines has passed at now (on
    // the context's clock).
    void checkDeadlines(qint64 now);
    // Sends the reply to the request-th request, the one awaited.
    void answer(quint64 request, const QByteArray &frame);

signals:
    void closed();

private:
    static constexpr qint64 NotRunning = -1;

    void readable() override { serve(); }
    void moved(qint64 bytes) override;
    void ended() override;

    void serve();
    std::function<void(const QByteArray &)> replyRoute(quint64 request) const;
    bool readMore();
    void settleRequestRoom();
    void closeFor(const QString &reason);

    std::unique_ptr<ConnectionTransport> transport;
    ConnectionContext &context;
    const QHostAddress peerAddress;
    const quint64 id;
    wire::FrameReader frames;
    std::shared_ptr<ConnectionSession> session; // what the commands remember about this connection
    // When each deadline's time began, on the context's clock.
    qint64 frameStarted = NotRunning;
    qint64 idleSince;
    qint64 replyMovedLast = NotRunning;
    qint64 closingSince = NotRunning;
    qint64 requestRoomHeld = 0;
    qint64 replyRoomHeld = 0;
    quint64 requestsTaken = 0;
    bool awaitingReply = false;
    bool closing = false;
    bool gone = false;
};
