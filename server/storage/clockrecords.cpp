#include "clockrecords.h"

#include <QVariant>

#include <algorithm>

namespace {

// The open period of the user: its id and start, or an id of 0.
bool openPeriod(Store &store, qint64 userId, qint64 *id, qint64 *start)
{
    QSqlQuery query = store.prepare(
        QStringLiteral("SELECT id, start_time FROM clock_records WHERE user_id = :user AND end_time IS NULL"));
    query.bindValue(QStringLiteral(":user"), userId);
    if (!Store::execute(query))
        return false;
    *id = 0;
    if (query.next()) {
        *id = query.value(0).toLongLong();
        *start = query.value(1).toLongLong();
    }
    return true;
}

} // namespace

std::optional<ClockRecords::State> ClockRecords::state(qint64 userId) const
{
    QSqlQuery query = store.prepare(
        QStringLiteral("SELECT COUNT(*), COUNT(*) - COUNT(end_time) FROM clock_records WHERE user_id = :user"));
    query.bindValue(QStringLiteral(":user"), userId);
    if (!Store::execute(query) || !query.next())
        return std::nullopt;
    if (query.value(0).toLongLong() == 0)
        return State::NeverClocked;
    return query.value(1).toLongLong() > 0 ? State::In : State::Out;
}

ClockRecords::Change ClockRecords::clockIn(qint64 userId, qint64 now)
{
    Change change = Change::Failed;
    const bool committed = store.transaction([&] {
        qint64 id = 0;
        qint64 start = 0;
        if (!openPeriod(store, userId, &id, &start))
            return false;
        if (id != 0) {
            change = Change::Unchanged;
            return true;
        }
        QSqlQuery insert
            = store.prepare(QStringLiteral("INSERT INTO clock_records (user_id, start_time) VALUES (:user, :now)"));
        insert.bindValue(QStringLiteral(":user"), userId);
        insert.bindValue(QStringLiteral(":now"), now);
        if (!Store::execute(insert))
            return false;
        change = Change::Done;
        return true;
    });
    return committed ? change : Change::Failed;
}

ClockRecords::Change ClockRecords::clockOut(qint64 userId, qint64 now)
{
    Change change = Change::Failed;
    const bool committed = store.transaction([&] {
        qint64 id = 0;
        qint64 start = 0;
        if (!openPeriod(store, userId, &id, &start))
            return false;
        if (id == 0) {
            change = Change::Unchanged;
            return true;
        }
        QSqlQuery update = store.prepare(QStringLiteral("UPDATE clock_records SET end_time = :end WHERE id = :id"));
        update.bindValue(QStringLiteral(":end"), std::max(now, start));
        update.bindValue(QStringLiteral(":id"), id);
        if (!Store::execute(update))
            return false;
        change = Change::Done;
        return true;
    });
    return committed ? change : Change::Failed;
}
