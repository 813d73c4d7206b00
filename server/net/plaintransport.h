#pragma once

#include "connectiontransport.h"
#include "socketpoll.h"

// A plain TCP connection on its own descriptor, watched by the server's
// SocketPoll. A reply goes out with one system call when the socket takes
// it whole; only a remainder waits for the socket to drain. Reading stops
// asking the system once it said there is nothing more, until it signals
// new bytes.
class PlainTransport
    : public ConnectionTransport
    , private SocketPoll::Watcher
{
public:
    // Takes over descriptor, a connected non-blocking socket.
    PlainTransport(int descriptor, SocketPoll &poll);
    ~PlainTransport() override;

    void start(Events &events) override;
    qint64 read(char *data, qint64 size) override;
    qint64 write(const QByteArray &bytes) override;
    qint64 unsent() const override { return pending.size() - pendingSent; }
    void close() override;
    void abort() override;

private:
    void ready(std::uint32_t events) override;
    // Sends what it can of the pending bytes: how many went, -1 on failure.
    qint64 sendPending();
    void end();

    int descriptor;
    SocketPoll &poll;
    Events *events = nullptr;
    QByteArray pending;
    int pendingSent = 0;
    bool mayRead = true;
    bool closeWhenSent = false;
};
