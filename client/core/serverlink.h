#pragma once

#include "replytable.h"
#include "wire/framereader.h"

#include <QAbstractSocket>
#include <QObject>
#include <QPointer>

class QTcpSocket;
class QWidget;

// A screen's own connection to the repair server. The socket's signals go
// to the screen's slots readyRead(), connected() (where the screen has
// one), disconnected() and displayError(QAbstractSocket::SocketError); the
// screen's slots hand them back here. The link is a child of its screen:
// its socket is released with the screen, quietly.
class ServerLink : public QObject
{
    Q_OBJECT

public:
    // What a lost connection does once the "Disconnected" box is dismissed.
    enum class AfterLoss { ExitProgram, ReleaseLink, KeepScreen };

    ServerLink(QWidget *screen, AfterLoss afterLoss, QString errorPrefix);
    ~ServerLink() override;

    // The screen's replies, tested in the order they are added.
    ReplyTable &replies() { return table; }

    // Opens the connection to the configured server.
    void open();
    // Ends the connection as the screen's own act: no "Disconnected" box.
    void close();
    // Ends the connection but leaves the hang-up to be reported as a loss.
    void hangUp();
    // Connects again after close(), with the same socket and slots.
    void reopen();

    void send(const QByteArray &frame);

    // The screen's readyRead(): hands every complete reply to the reply
    // table. A reply of impossible size counts as a lost connection.
    void collect();
    // The screen's disconnected(): the "Disconnected" box, then the loss policy.
    void reportLoss();
    // The screen's displayError(): the prefixed error text, except for a
    // server that closed the connection (reportLoss() deals with that).
    void reportError(QAbstractSocket::SocketError error);

    // The link whose socket sent the signal a screen's slot is handling.
    static ServerLink *ofSocket(QObject *socket);

private:
    void connectToServer();
    void attachDisconnected();

    QWidget *screen;
    AfterLoss afterLoss;
    QString errorPrefix;
    QTcpSocket *socket = nullptr;
    wire::FrameReader reader;
    ReplyTable table;
};
