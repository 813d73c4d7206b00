#pragma once

#include "wire/fieldreader.h"
#include "wire/framereader.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QQueue>
#include <QTcpServer>

#include <map>

class QTcpSocket;

// A scripted stand-in for the repair server on a loopback port. It records
// every request and answers a command with the replies queued for it;
// AppState is pointed at it on construction.
class FakeServer : public QObject
{
    Q_OBJECT

public:
    struct Request
    {
        QString command;
        QStringList arguments; // all read as strings
        QTcpSocket *connection;
    };

    FakeServer();

    // Queues a reply for the next request with this command.
    void answer(const QString &command, const QByteArray &reply);
    // Sends a frame, or any bytes, on the newest connection.
    void send(const QByteArray &bytes);
    // Closes every connection, as a server that went away.
    void dropConnections();

    const QList<Request> &requests() const { return received; }
    QStringList commands() const;
    // Every request as "Command(argument, argument)".
    QStringList calls() const;
    // The arguments of the latest request with this command; "<not sent>" when none came.
    QStringList lastArguments(const QString &command) const;
    // Waits until a request with this command has arrived; false when none came.
    bool waitForRequest(const QString &command);
    int openConnections() const;

private:
    void accept();
    void read(QTcpSocket *connection);

    QTcpServer listener;
    QList<QTcpSocket *> connections;
    std::map<QTcpSocket *, wire::FrameReader> readers;
    QHash<QString, QQueue<QByteArray>> script;
    QList<Request> received;
};
