#pragma once

#include "store.h"
#include "useraccounts.h"

#include <QList>
#include <QString>

// A terminal's session as stored: who logged in at the address, and when
// the terminal was last used (Unix seconds).
struct StoredSession
{
    QString address;
    qint64 userId = 0;
    qint64 lastUsedAt = 0;
};

// A stored session with the account it belongs to, read together; the
// account is missing when its user is gone.
struct SessionWithAccount
{
    StoredSession session;
    std::optional<UserAccount> account;
};

// The terminal_sessions table: at most one session per peer address, kept
// across restarts of the server.
class SessionRecords
{
public:
    explicit SessionRecords(Store &store)
        : store(store)
    { }

    std::optional<QList<StoredSession>> all() const;
    // The session at the address and its account as both stand now (the
    // password hash is not read), in one read.
    Lookup<SessionWithAccount> findWithAccount(const QString &address) const;

    // Starts the user's session at the address, ending any other there.
    bool open(const QString &address, qint64 userId, qint64 now);
    bool touch(const QString &address, qint64 lastUsedAt);
    bool remove(const QString &address);
    // False on a thread that reads aside (Store::ReadAside): its changes
    // wait for a request run in the turns.
    bool mayChange() const { return store.mayWrite(); }

    // The account a session belongs to, as it stands now (the password hash
    // is not read).
    Lookup<UserAccount> account(qint64 userId) const;

private:
    Store &store;
};
