#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <cstdint>

// Watches many sockets through one epoll set, whose own descriptor is the
// only one the Qt event loop polls: with thousands of connections open, a
// pass of the event loop costs the same as with one. Sockets are watched
// edge-triggered for reading, writing and hang-up, registered once for
// their lifetime. Network thread only.
class SocketPoll : public QObject
{
    Q_OBJECT

public:
    class Watcher
    {
    public:
        // events: the epoll bits that came (EPOLLIN, EPOLLOUT, ...).
        virtual void ready(std::uint32_t events) = 0;

    protected:
        ~Watcher() = default;
    };

    explicit SocketPoll(QObject *parent = nullptr);
    ~SocketPoll() override;

    // False when the system refuses; closing the descriptor stops watching it.
    bool watch(int descriptor, Watcher &watcher);

private:
    void serveReady();

    const int epoll;
    QSocketNotifier notifier;
};
