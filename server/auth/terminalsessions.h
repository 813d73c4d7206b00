#pragma once

#include "storage/sessionrecords.h"

#include <QHash>
#include <QHostAddress>
#include <QMutex>

#include <optional>

class Clock;

// Who is logged in at which terminal. The client sends no token, so the
// unit the server trusts is the peer address a login succeeded from: one
// user at a time per address, until another login there or until the
// terminal has been idle for the idle time. Sessions are kept in the
// database, so a restart of the server logs nobody out, and servers that
// share one database share them: there the stored session decides who
// works at a terminal, whichever server the login went to.
//
// The handlers use it on the database threads, the network thread asks
// hasLiveSession(); the sessions kept in memory are guarded by a mutex.
class TerminalSessions
{
public:
    TerminalSessions(Store &store, Clock &clock, qint64 idleMilliseconds);

    // Starts the user's session at the address, ending the one of whoever
    // was logged in there before. False when it could not be stored.
    bool open(const QHostAddress &address, qint64 userId);

    // The account of the user logged in at the address, as it stands now
    // (without its password hash); nothing when no session is live there.
    // Counts as use of the terminal. On a database shared with other
    // servers the stored session decides, read together with its account;
    // memory stands in only when the database fails.
    std::optional<Lookup<UserAccount>> accountAt(const QHostAddress &address);

    // Changes nothing on a thread that reads aside (Store::ReadAside).
    void end(const QHostAddress &address);

    // Whether a request from the address may be answered aside: a session
    // is live there and needs nothing stored for a while. A request that
    // would end the session or store its use runs in the turns.
    bool servesAside(const QHostAddress &address) const;

    bool hasLiveSession(const QHostAddress &address) const;

    // The text an address is known by: an IPv4 peer reached through an
    // IPv6 socket is the same terminal as over IPv4.
    static QString addressKey(const QHostAddress &address);

private:
    struct Session
    {
        qint64 userId = 0;
        qint64 lastUsed = 0; // milliseconds
        qint64 lastStored = 0; // the last use written to the database
    };
    bool isLive(const Session &session, qint64 now) const;
    // The user whose session at the key is live, after following the
    // stored session when there is one; counts as use of the terminal.
    std::optional<qint64> liveUser(const QString &key, const Lookup<SessionWithAccount> &stored);
    // Brings the session kept in memory in line with the stored one.
    void follow(const QString &key, const Lookup<SessionWithAccount> &stored);

    SessionRecords records;
    const bool sharedStore;
    Clock &clock;
    const qint64 idleTime;
    mutable QMutex mutex; // guards live
    QHash<QString, Session> live;
};
