#pragma once

#include <QByteArray>
#include <QHash>
#include <QMutex>

#include <vector>

class ClientConnection;
class QObject;

// Carries replies from the threads that make them to their connections on
// the network thread. Replies that come while the network thread is busy
// are handed over together, for one queued call; a reply whose connection
// is gone is dropped.
class ReplyInbox
{
public:
    // Hand-overs run as queued calls on receiver, until close().
    explicit ReplyInbox(QObject *receiver)
        : receiver(receiver)
    { }

    // Any thread.
    void post(quint64 connection, quint64 request, const QByteArray &frame);
    // The rest: network thread only.
    void add(quint64 id, ClientConnection *connection) { connections.insert(id, connection); }
    void remove(quint64 id) { connections.remove(id); }
    // Replies posted from now on are dropped; call before the receiver goes.
    void close();

private:
    struct Letter
    {
        quint64 connection;
        quint64 request;
        QByteArray frame;
    };

    void handOver();

    QMutex mutex;
    QObject *receiver;
    std::vector<Letter> waiting; // guarded by mutex
    std::vector<Letter> delivering; // kept to reuse its memory
    QHash<quint64, ClientConnection *> connections;
};
