#include "reply.h"

#include <QDebug>

struct Reply::State
{
    Deliver deliver;
    bool sent = false;

    ~State()
    {
        if (!sent && deliver)
            deliver(wire::frame(QStringLiteral("Error"), QStringLiteral("the server could not answer this request")));
    }
};

Reply::Reply(Deliver deliver)
    : state(std::make_shared<State>())
{
    state->deliver = std::move(deliver);
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

void Reply::deliver(const QByteArray &frame) const
{
    if (state->sent) {
        qWarning() << "a second reply to one request was dropped";
        return;
    }
    state->sent = true;
    state->deliver(frame);
}
