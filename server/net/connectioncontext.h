#pragma once

#include "bytebudget.h"
#include "eventlog.h"
#include "replyinbox.h"
#include "serverlimits.h"

#include <QElapsedTimer>
#include <QHostAddress>

#include <functional>
#include <memory>

class Reply;

// What every connection of one server shares: the limits, the room for
// requests and replies, the event log, the clock of the deadlines, where
// requests go and how their replies come back.
struct ConnectionContext
{
    using RequestHandler = std::function<void(const QByteArray &frame, const Reply &reply)>;
    using SessionCheck = std::function<bool(const QHostAddress &peer)>;

    // Replies are handed over on networkThreadObject's thread.
    ConnectionContext(const ServerLimits &limits, RequestHandler handler, QObject *networkThreadObject)
        : limits(limits)
        , requestRoom(limits.bufferedRequestBytes)
        , replyRoom(limits.unsentReplyBytes)
        , log(limits.logSummaryPeriodMs)
        , handleRequest(std::move(handler))
        , replies(std::make_shared<ReplyInbox>(networkThreadObject))
    {
        clock.start();
        readBuffer.reserve(int(limits.socketReadAhead));
    }

    // Milliseconds on a monotonic clock.
    qint64 now() const { return clock.elapsed(); }

    const ServerLimits limits;
    ByteBudget requestRoom;
    ByteBudget replyRoom;
    EventLog log;
    // Answers a request; the reply may come from another thread.
    const RequestHandler handleRequest;
    // Shared with the replies under way, which may outlive the server.
    const std::shared_ptr<ReplyInbox> replies;
    // Where a connection reads into before the bytes go to its frames.
    QByteArray readBuffer;
    // Whether a logged-in terminal works at this address; its connections
    // may stay silent. Asked on the network thread.
    SessionCheck hasSession = [](const QHostAddress &) { return false; };

private:
    QElapsedTimer clock;
};
