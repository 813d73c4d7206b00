#include "reply.h"

#include <QDebug>

#include <atomic>

struct Reply::State
{
    Deliver deliver;
    std::shared_ptr<ConnectionSession> session;
    std::atomic<bool> sent{false};

    ~State()
    {
        if (!sent && deliver)
            deliver(wire::frame(QStringLiteral("Error"), QStringLiteral("the server could not answer this request")));
    }
};

Reply::Reply(Deliver deliver, std::shared_ptr<ConnectionSession> session)
    : state(std::make_shared<State>())
{
    state->deliver = std::move(deliver);
    state->session = session ? std::move(session) : std::make_shared<ConnectionSession>();
}

void Reply::error(const QString &reason) const
{
    send(QStringLiteral("Error"), reason);
}

void Reply::storeFailure() const
{
    error(QStringLiteral("the server could not read or write its data; please try again"));
}

bool Reply::sent() const
{
    return state->sent;
}

ConnectionSession &Reply::session() const
{
    return *state->session;
}

void Reply::deliver(const QByteArray &frame) const
{
    if (state->sent.exchange(true)) {
        qWarning() << "a second reply to one request was dropped";
        return;
    }
    state->deliver(frame);
}
