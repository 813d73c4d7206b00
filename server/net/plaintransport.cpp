#include "plaintransport.h"

#include <cerrno>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

PlainTransport::PlainTransport(int descriptor, SocketPoll &poll)
    : descriptor(descriptor)
    , poll(poll)
{ }

PlainTransport::~PlainTransport()
{
    if (descriptor >= 0)
        ::close(descriptor);
}

void PlainTransport::start(Events &owner)
{
    events = &owner;
    if (!poll.watch(descriptor, *this))
        end();
}

qint64 PlainTransport::read(char *data, qint64 size)
{
    if (descriptor < 0 || !mayRead || size <= 0)
        return 0;
    const ssize_t received = ::recv(descriptor, data, size_t(size), 0);
    if (received > 0) {
        // A short read emptied the socket; new bytes raise a new edge.
        mayRead = received == size;
        return received;
    }
    if (received < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
        mayRead = errno == EINTR;
        return 0;
    }
    end();
    return 0;
}

qint64 PlainTransport::write(const QByteArray &bytes)
{
    if (descriptor < 0 || bytes.isEmpty())
        return 0;
    if (unsent() > 0) {
        pending.append(bytes);
        return 0;
    }
    pending = bytes;
    pendingSent = 0;
    const qint64 sent = sendPending();
    return qMax<qint64>(0, sent);
}

qint64 PlainTransport::sendPending()
{
    qint64 total = 0;
    while (unsent() > 0) {
        const ssize_t sent = ::send(descriptor, pending.constData() + pendingSent, size_t(unsent()), MSG_NOSIGNAL);
        if (sent < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                break;
            end();
            return -1;
        }
        pendingSent += int(sent);
        total += sent;
    }
    if (unsent() == 0) {
        pending = QByteArray();
        pendingSent = 0;
        if (closeWhenSent)
            end();
    }
    return total;
}

void PlainTransport::close()
{
    closeWhenSent = true;
    if (unsent() == 0)
        end();
}

void PlainTransport::abort()
{
    end();
}

void PlainTransport::ready(std::uint32_t happened)
{
    if (descriptor < 0)
        return;
    if (happened & (EPOLLERR | EPOLLHUP)) {
        end();
        return;
    }
    if (happened & EPOLLOUT && unsent() > 0) {
        const qint64 sent = sendPending();
        if (sent < 0 || descriptor < 0)
            return;
        if (sent > 0)
            events->moved(sent);
    }
    if (happened & (EPOLLIN | EPOLLRDHUP) && descriptor >= 0) {
        mayRead = true;
        events->readable();
    }
    // A peer that stopped sending is leaving: what it sent last is taken,
    // but it waits for no reply.
    if (happened & EPOLLRDHUP)
        end();
}

void PlainTransport::end()
{
    if (descriptor < 0)
        return;
    ::close(descriptor);
    descriptor = -1;
    pending = QByteArray();
    pendingSent = 0;
    events->ended();
}
