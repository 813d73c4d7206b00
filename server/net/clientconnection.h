#pragma once

#include <framereader.h>

#include <QHostAddress>
#include <QObject>
#include <QTimer>

#include <memory>

class ConnectionSession;
struct ConnectionContext;
class QTcpSocket;

// One client's connection. Requests are cut from the byte stream and
// answered one at a time, in the order received: while a reply is worked
// out or still unsent, later requests wait, and so does reading from the
// socket, so a connection holds at most one reply. What it may hold and
// how long it may take stands in the context's limits; a peer that breaks
// them is closed. The object deletes itself once the socket is closed.
class ClientConnection : public QObject
{
    Q_OBJECT

public:
    ClientConnection(QTcpSocket *socket, ConnectionContext &context, QObject *parent = nullptr);
    ~ClientConnection() override;

    QHostAddress peer() const { return peerAddress; }

signals:
    void closed();

private:
    class ReplyRoute;

    void serve();
    bool readMore();
    void settleRequestRoom();
    void answer(quint64 request, const QByteArray &frame);
    void replyMoved(qint64 bytes);
    void idleTimedOut();
    void closeFor(const QString &reason);

    QTcpSocket *socket;
    ConnectionContext &context;
    const QHostAddress peerAddress;
    const QString peerText;
    wire::FrameReader frames;
    std::shared_ptr<ReplyRoute> route;
    std::shared_ptr<ConnectionSession> session; // what the commands remember about this connection
    QTimer frameDeadline;
    QTimer idleDeadline;
    QTimer replyDeadline;
    qint64 requestRoomHeld = 0;
    qint64 replyRoomHeld = 0;
    quint64 requestsTaken = 0;
    bool awaitingReply = false;
    bool closing = false;
};
