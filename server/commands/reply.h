#pragma once

#include "connectionsession.h"

#include "storage/store.h"

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
    static QByteArray storeFailureFrame();

    // For what a read of the store gave back: true, once that "Error" is
    // sent, when the store failed ("not found" is no failure), so that the
    // handler returns.
    template<typename T>
    bool storeFailed(const Lookup<T> &result) const
    {
        return answerFailure(result.failed());
    }
    template<typename T>
    bool storeFailed(const std::optional<T> &result) const
    {
        return answerFailure(!result.has_value());
    }
    // The same for a write that tells whether it was stored.
    bool storeFailed(bool stored) const { return answerFailure(!stored); }

    bool sent() const;

    ConnectionSession &session() const;

    // While a Hold lives, the replies sent on its thread go to its keeper,
    // which may keep one (returning true) to deliver it later, e.g. once
    // what the reply reports is on disk.
    class Hold
    {
    public:
        using Keeper = std::function<bool(const Deliver &deliver, const QByteArray &frame)>;
        explicit Hold(Keeper keeper);
        ~Hold();
        Hold(const Hold &) = delete;
        Hold &operator=(const Hold &) = delete;

    private:
        friend class Reply;
        Keeper keeper;
        Hold *outer;
    };

private:
    bool answerFailure(bool failed) const
    {
        if (failed)
            storeFailure();
        return failed;
    }
    void deliver(const QByteArray &frame) const;

    struct State;
    std::shared_ptr<State> state;
};
