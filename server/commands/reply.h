#pragma once

#include "connectionsession.h"

#include <frame.h>

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

// The answer to one request: exactly one reply frame. A handler sends it at
// once or later (copies of a Reply share one answer), from any thread.
// Should every copy be dropped unsent, an "Error" goes out in its place, so
// that the connection, which answers in order, never waits forever.
class Reply
{
public:
    using Deliver = std::function<void(const QByteArray &frame)>;

    // session: what the commands remember about the connection the request
    // came on; a Reply made without one has a session of its own.
    explicit Reply(Deliver deliver, std::shared_ptr<ConnectionSession> session = {});

    template<typename... Values>
    void send(const QString &tag, const Values &...values) const
    {
        deliver(wire::frame(tag, values...));
    }

    // The reply tag "Error" and one QString saying why.
    void error(const QString &reason) const;

    // An "Error" for a request the database could not serve.
    void storeFailure() const;

    bool sent() const;

    ConnectionSession &session() const;

private:
    void deliver(const QByteArray &frame) const;

    struct State;
    std::shared_ptr<State> state;
};
