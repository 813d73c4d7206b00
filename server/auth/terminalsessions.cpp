#include "terminalsessions.h"

#include "clock.h"

#include <QDebug>
#include <QMutexLocker>

#include <algorithm>

namespace {

// A terminal in use is written back at most this often; idle times are
// hours, so the stored time may lag behind by this much.
constexpr qint64 StoreUseEveryMilliseconds = 60 * 1000;
// How long a session answered aside must stay as it is, at least.
constexpr qint64 AsideMarginMilliseconds = 1000;

qint64 toSeconds(qint64 milliseconds)
{
    return milliseconds / 1000;
}

} // namespace

TerminalSessions::TerminalSessions(Store &store, Clock &clock, qint64 idleMilliseconds)
    : records(store)
    , sharedStore(store.sharedByServers())
    , clock(clock)
    , idleTime(idleMilliseconds)
{
    const std::optional<QList<StoredSession>> stored = records.all();
    if (!stored) {
        qWarning() << "the terminal sessions could not be read; every terminal has to log in again";
        return;
    }
    for (const StoredSession &session : *stored) {
        const qint64 lastUsed = session.lastUsedAt * 1000;
        live.insert(session.address, {session.userId, lastUsed, lastUsed});
    }
}

QString TerminalSessions::addressKey(const QHostAddress &address)
{
    bool isIPv4 = false;
    const quint32 ipv4 = address.toIPv4Address(&isIPv4);
    return isIPv4 ? QHostAddress(ipv4).toString() : address.toString();
}

bool TerminalSessions::isLive(const Session &session, qint64 now) const
{
    return now - session.lastUsed < idleTime;
}

bool TerminalSessions::open(const QHostAddress &address, qint64 userId)
{
    const QString key = addressKey(address);
    const qint64 now = clock.now();
    if (!records.open(key, userId, toSeconds(now)))
        return false;
    const QMutexLocker lock(&mutex);
    live.insert(key, {userId, now, now});
    return true;
}

std::optional<Lookup<UserAccount>> TerminalSessions::accountAt(const QHostAddress &address)
{
    const QString key = addressKey(address);
    // Another server may have logged a user in or out here; a database of
    // this server alone changes only through it, so memory is up to date
    // and decides, as it does when the database cannot be read.
    const Lookup<SessionWithAccount> stored
        = sharedStore ? records.findWithAccount(key) : Lookup<SessionWithAccount>::failure();
    const std::optional<qint64> user = liveUser(key, stored);
    if (!user)
        return std::nullopt;
    if (stored.found() && stored->session.userId == *user)
        return stored->account ? Lookup<UserAccount>::of(*stored->account) : Lookup<UserAccount>::missing();
    return records.account(*user);
}

std::optional<qint64> TerminalSessions::liveUser(const QString &key, const Lookup<SessionWithAccount> &stored)
{
    const qint64 now = clock.now();
    const bool mayStore = records.mayChange();
    std::optional<qint64> user;
    bool storeUse = false;
    {
        const QMutexLocker lock(&mutex);
        if (!stored.failed())
            follow(key, stored);
        const auto found = live.find(key);
        if (found == live.end())
            return std::nullopt;
        if (isLive(*found, now)) {
            user = found->userId;
            found->lastUsed = now;
            storeUse = mayStore && now - found->lastStored >= StoreUseEveryMilliseconds;
            if (storeUse)
                found->lastStored = now;
        } else if (mayStore) {
            live.erase(found);
        }
    }
    if (!user) {
        if (mayStore)
            records.remove(key);
        return std::nullopt;
    }
    if (storeUse)
        records.touch(key, toSeconds(now));
    return user;
}

void TerminalSessions::follow(const QString &key, const Lookup<SessionWithAccount> &stored)
{
    if (!stored.found()) {
        live.remove(key);
        return;
    }
    const StoredSession &session = stored->session;
    const qint64 storedUse = session.lastUsedAt * 1000;
    const auto found = live.find(key);
    if (found == live.end() || found->userId != session.userId)
        live.insert(key, {session.userId, storedUse, storedUse});
    else
        found->lastUsed = std::max(found->lastUsed, storedUse);
}

void TerminalSessions::end(const QHostAddress &address)
{
    if (!records.mayChange())
        return;
    const QString key = addressKey(address);
    {
        const QMutexLocker lock(&mutex);
        live.remove(key);
    }
    records.remove(key);
}

bool TerminalSessions::servesAside(const QHostAddress &address) const
{
    if (sharedStore)
        return false;
    const QString key = addressKey(address);
    const qint64 soon = clock.now() + AsideMarginMilliseconds;
    const QMutexLocker lock(&mutex);
    const auto found = live.constFind(key);
    return found != live.constEnd() && isLive(*found, soon) && soon - found->lastStored < StoreUseEveryMilliseconds;
}

bool TerminalSessions::hasLiveSession(const QHostAddress &address) const
{
    const QString key = addressKey(address);
    const qint64 now = clock.now();
    const QMutexLocker lock(&mutex);
    const auto found = live.constFind(key);
    return found != live.constEnd() && isLive(*found, now);
}
