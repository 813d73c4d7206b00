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
    // Ends the connection as the screen's own act: no "Disconnected" box.
    void close();
    // Ends the connection but leaves the hang-up to be reported as a loss.
    void hangUp();
    // Connects again after close(), with the same socket.
    void reopen();

    void send(const QByteArray &frame);

private:
    QTcpSocket *createSocket();
    void connectToServer();
    void watchForLoss();

    // Hands every complete reply to the reply table. A reply of impossible
    // size counts as a lost connection.
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
};
