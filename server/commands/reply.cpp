#include "reply.h"

#include <QDebug>

#include <atomic>

namespace {

thread_local Reply::Hold *currentHold = nullptr;

} // namespace

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
    deliver(storeFailureFrame());
}

QByteArray Reply::storeFailureFrame()
{
    return wire::frame(QStringLiteral("Error"),
                       QStringLiteral("the server could not read or write its data; please try again"));
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
    if (currentHold && currentHold->keeper(state->deliver, frame))
        return;
    state->deliver(frame);
}

Reply::Hold::Hold(Keeper keeper)
    : keeper(std::move(keeper))
    , outer(currentHold)
{
    currentHold = this;
}

Reply::Hold::~Hold()
{
    currentHold = outer;
}
