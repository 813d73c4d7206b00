#pragma once

#include <framereader.h>

#include <QObject>

#include <memory>

class ConnectionSession;

class CommandDispatcher;
class QTcpSocket;

// One client's connection. Requests are cut from the byte stream and
// answered one at a time, in the order received: while a reply is still
// being worked out (a login), later requests wait, and so does reading
// from the socket. A frame whose size field is out of bounds ends this
// connection only. The object deletes itself once the socket is closed.
class ClientConnection : public QObject
{
    Q_OBJECT

public:
    ClientConnection(QTcpSocket *socket, const CommandDispatcher &dispatcher, QObject *parent = nullptr);
    ~ClientConnection() override;

signals:
    void closed();

private:
    void serve();
    void answer(quint64 request, const QByteArray &frame);
    void closeForProtocolError();

    QTcpSocket *socket;
    const CommandDispatcher &dispatcher;
    wire::FrameReader frames;
    std::shared_ptr<ConnectionSession> session; // what the commands remember about this connection
    quint64 requestsTaken = 0;
    bool awaitingReply = false;
    bool dispatching = false;
    bool closing = false;
};
