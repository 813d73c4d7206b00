#pragma once

#include "actinguser.h"
#include "reply.h"

#include "storage/clockaudit.h"

#include <QDateTime>
#include <QHostAddress>
#include <QString>

// A terminal's address as people write it: an IPv4 terminal reached through
// a listener on every interface reads "10.0.0.7", not "::ffff:10.0.0.7".
inline QString terminalAddress(const QHostAddress &peer)
{
    bool isIpv4 = false;
    const quint32 ipv4 = peer.toIPv4Address(&isIpv4);
    return isIpv4 ? QHostAddress(ipv4).toString() : peer.toString();
}

// The one changing clock records for this request, now: the terminal and
// the user logged in there.
inline ClockActor clockActor(const Reply &reply)
{
    return ClockActor{terminalAddress(reply.session().peerAddress()), actingUserName(reply),
                      QDateTime::currentSecsSinceEpoch()};
}
