#pragma once

#include "reply.h"

#include "storage/clockaudit.h"

#include <QDateTime>
#include <QHostAddress>
#include <QString>

// Where the requests of a connection come from: the address of the
// terminal, noted when the connection opens.
struct RequestOrigin
{
    QString terminal;
};

// A terminal's address as people write it: an IPv4 terminal reached through
// a listener on every interface reads "10.0.0.7", not "::ffff:10.0.0.7".
inline QString terminalAddress(const QHostAddress &peer)
{
    bool isIpv4 = false;
    const quint32 ipv4 = peer.toIPv4Address(&isIpv4);
    return isIpv4 ? QHostAddress(ipv4).toString() : peer.toString();
}

// The one changing clock records for this request, now.
inline ClockActor clockActor(const Reply &reply)
{
    return ClockActor{reply.session().get<RequestOrigin>().terminal, QDateTime::currentSecsSinceEpoch()};
}
