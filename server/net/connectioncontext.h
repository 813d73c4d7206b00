#pragma once

#include "bytebudget.h"
#include "eventlog.h"
#include "serverlimits.h"

#include <QHostAddress>

#include <functional>

class Reply;

// What every connection of one server shares: the limits, the room for
// requests and replies, the event log, and where requests go.
struct ConnectionContext
{
    using RequestHandler = std::function<void(const QByteArray &frame, const Reply &reply)>;
    using SessionCheck = std::function<bool(const QHostAddress &peer)>;

    ConnectionContext(const ServerLimits &limits, RequestHandler handler)
        : limits(limits)
        , requestRoom(limits.bufferedRequestBytes)
        , replyRoom(limits.unsentReplyBytes)
        , log(limits.logSummaryPeriodMs)
        , handleRequest(std::move(handler))
    { }

    const ServerLimits limits;
    ByteBudget requestRoom;
    ByteBudget replyRoom;
    EventLog log;
    // Answers a request; the reply may come from another thread.
    const RequestHandler handleRequest;
    // Whether a logged-in terminal works at this address; its connections
    // may stay silent. Asked on the network thread.
    SessionCheck hasSession = [](const QHostAddress &) { return false; };
};
