#include "socketpoll.h"

#include <sys/epoll.h>
#include <unistd.h>

namespace {

// Events taken in one go before other events get their turn; the rest stay
// for the next pass.
constexpr int ReadyBatch = 256;

} // namespace

SocketPoll::SocketPoll(QObject *parent)
    : QObject(parent)
    , epoll(::epoll_create1(EPOLL_CLOEXEC))
    , notifier(epoll, QSocketNotifier::Read)
{
    connect(&notifier, &QSocketNotifier::activated, this, &SocketPoll::serveReady);
}

SocketPoll::~SocketPoll()
{
    notifier.setEnabled(false);
    ::close(epoll);
}

bool SocketPoll::watch(int descriptor, Watcher &watcher)
{
    epoll_event event{};
    event.events = EPOLLIN | EPOLLOUT | EPOLLRDHUP | EPOLLET;
    event.data.ptr = &watcher;
    return ::epoll_ctl(epoll, EPOLL_CTL_ADD, descriptor, &event) == 0;
}

void SocketPoll::serveReady()
{
    epoll_event events[ReadyBatch];
    const int count = ::epoll_wait(epoll, events, ReadyBatch, 0);
    for (int i = 0; i < count; ++i)
        static_cast<Watcher *>(events[i].data.ptr)->ready(events[i].events);
}
