#pragma once

#include "replytable.h"
#include "wire/framereader.h"

#include <QAbstractSocket>
#include <QObject>

#include <functional>

class QTcpSocket;
class QWidget;

// A screen's own connection to the repair server, and all the screen hears
// of it: what to send once connected, the replies it knows, and how a lost
// connection or a socket error is shown. The link is a child of its screen:
// its socket is released with the screen, quietly.
//
// The server answers every request with one reply, in order. A request
// sent again right after itself while its reply is still due is not sent
// twice, so a button pressed twice in a row acts once. It does go out again
// after another request (a screen shows what the latest reply says) or once
// another screen has run (which may have changed what the request reads). Once the screen has closed its link,
// whatever else the server had sent on it is dropped unread: a screen that
// gave way to the next one never acts on a reply again.
class ServerLink : public QObject
{
    Q_OBJECT

public:
    // What a lost connection does once the "Disconnected" box is dismissed.
    enum class AfterLoss { ExitProgram, ReleaseLink, KeepScreen };

    ServerLink(QWidget *screen, AfterLoss afterLoss, QString errorPrefix);
    ~ServerLink() override;

    // Runs each time the connection is up: the screen's first requests.
    void whenConnected(std::function<void()> handler);
    // The screen's replies, tested in the order they are added.
    ReplyTable &replies() { return table; }

    // Opens the connection to the configured server.
    void open();
    // Ends the connection as the screen's own act: no "Disconnected" box,
    // and no reply handled from now on.
    void close();
    // Ends the connection but leaves the hang-up to be reported as a loss.
    void hangUp();
    // Connects again after close(), with the same socket and nothing due.
    void reopen();

    // Sends a request, unless it was the last one sent and still awaits its reply.
    void send(const QByteArray &frame);

private:
    QTcpSocket *createSocket();
    void connectToServer();
    void watchForLoss();
    void startSession();

    // Hands every complete reply to the reply table, until the screen
    // closes the link. A reply of impossible size counts as a lost connection.
    void collect();
    // The "Disconnected" box, then the loss policy.
    void reportLoss();
    // The prefixed error text, except for a server that closed the
    // connection (reportLoss() deals with that).
    void reportError(QAbstractSocket::SocketError error);

    QWidget *screen;
    AfterLoss afterLoss;
    QString errorPrefix;
    std::function<void()> connectedHandler;
    QTcpSocket *socket = nullptr;
    wire::FrameReader reader;
    ReplyTable table;
    // A request whose reply is still due, and when it was sent.
    struct AwaitedReply
    {
        QByteArray request;
        quint64 screensCreated;

        bool operator==(const AwaitedReply &other) const
        {
            return request == other.request && screensCreated == other.screensCreated;
        }
    };
    // Oldest first.
    QList<AwaitedReply> awaited;
    // Counts the link's openings and closings: a reply handler that closed
    // or reopened the link ends the handling of what the old one received.
    quint64 session = 0;
    bool closed = false;
};
