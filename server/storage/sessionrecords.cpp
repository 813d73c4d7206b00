#include "sessionrecords.h"

#include <QVariant>

namespace {

// The account's name, level and state from the query's columns from the first on.
UserAccount accountFrom(qint64 userId, const QSqlQuery &query, int first)
{
    UserAccount account;
    account.id = userId;
    account.userName = query.value(first).toString();
    account.permissionLevel = query.value(first + 1).toInt();
    account.active = query.value(first + 2).toInt() != 0;
    return account;
}

} // namespace

std::optional<QList<StoredSession>> SessionRecords::all() const
{
    QSqlQuery query
        = store.prepare(QStringLiteral("SELECT peer_address, user_id, last_used_at FROM terminal_sessions"));
    if (!Store::execute(query))
        return std::nullopt;
    QList<StoredSession> sessions;
    while (query.next())
        sessions.append({query.value(0).toString(), query.value(1).toLongLong(), query.value(2).toLongLong()});
    return sessions;
}

Lookup<SessionWithAccount> SessionRecords::findWithAccount(const QString &address) const
{
    QSqlQuery query
        = store.prepare(QStringLiteral("SELECT s.user_id, s.last_used_at, u.user_name, u.permission_level, u.active"
                                       " FROM terminal_sessions s LEFT JOIN users u ON u.id = s.user_id"
                                       " WHERE s.peer_address = :address"));
    query.bindValue(QStringLiteral(":address"), address);
    if (!Store::execute(query))
        return Lookup<SessionWithAccount>::failure();
    if (!query.next())
        return Lookup<SessionWithAccount>::missing();
    SessionWithAccount found;
    found.session = {address, query.value(0).toLongLong(), query.value(1).toLongLong()};
    if (!query.isNull(2))
        found.account = accountFrom(found.session.userId, query, 2);
    return Lookup<SessionWithAccount>::of(found);
}

bool SessionRecords::open(const QString &address, qint64 userId, qint64 now)
{
    return store.transaction([&] {
        if (!remove(address))
            return false;
        QSqlQuery insert = store.prepare(
            QStringLiteral("INSERT INTO terminal_sessions (peer_address, user_id, started_at, last_used_at)"
                           " VALUES (:address, :user, :now, :now)"));
        insert.bindValue(QStringLiteral(":address"), address);
        insert.bindValue(QStringLiteral(":user"), userId);
        insert.bindValue(QStringLiteral(":now"), now);
        return Store::execute(insert);
    });
}

bool SessionRecords::touch(const QString &address, qint64 lastUsedAt)
{
    return store.transaction([&] {
        QSqlQuery update = store.prepare(
            QStringLiteral("UPDATE terminal_sessions SET last_used_at = :time WHERE peer_address = :address"));
        update.bindValue(QStringLiteral(":time"), lastUsedAt);
        update.bindValue(QStringLiteral(":address"), address);
        return Store::execute(update);
    });
}

bool SessionRecords::remove(const QString &address)
{
    return store.transaction([&] {
        QSqlQuery removal
            = store.prepare(QStringLiteral("DELETE FROM terminal_sessions WHERE peer_address = :address"));
        removal.bindValue(QStringLiteral(":address"), address);
        return Store::execute(removal);
    });
}

Lookup<UserAccount> SessionRecords::account(qint64 userId) const
{
    QSqlQuery query
        = store.prepare(QStringLiteral("SELECT user_name, permission_level, active FROM users WHERE id = :id"));
    query.bindValue(QStringLiteral(":id"), userId);
    if (!Store::execute(query))
        return Lookup<UserAccount>::failure();
    if (!query.next())
        return Lookup<UserAccount>::missing();
    return Lookup<UserAccount>::of(accountFrom(userId, query, 0));
}
