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
    // Two index probes, however many periods the user has.
    QSqlQuery query = store.prepare(
        QStringLiteral("SELECT EXISTS (SELECT 1 FROM clock_records WHERE user_id = :user),"
                       " EXISTS (SELECT 1 FROM clock_records WHERE user_id = :user AND end_time IS NULL)"));
    query.bindValue(QStringLiteral(":user"), userId);
    if (!Store::execute(query) || !query.next())
        return std::nullopt;
    if (!query.value(0).toBool())
        return State::NeverClocked;
    return query.value(1).toBool() ? State::In : State::Out;
}

ClockRecords::Change ClockRecords::clockIn(qint64 userId, const ClockActor &actor)
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
        insert.bindValue(QStringLiteral(":now"), actor.at);
        if (!Store::execute(insert)
            || !ClockAudit::record(store, actor, ClockAudit::Action::ClockIn, userId, std::nullopt,
                                   ClockPeriod{actor.at, std::nullopt}))
            return false;
        change = Change::Done;
        return true;
    });
    return committed ? change : Change::Failed;
}

ClockRecords::Change ClockRecords::clockOut(qint64 userId, const ClockActor &actor)
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
        const qint64 end = std::max(actor.at, start);
        QSqlQuery update = store.prepare(QStringLiteral("UPDATE clock_records SET end_time = :end WHERE id = :id"));
        update.bindValue(QStringLiteral(":end"), end);
        update.bindValue(QStringLiteral(":id"), id);
        if (!Store::execute(update)
            || !ClockAudit::record(store, actor, ClockAudit::Action::ClockOut, userId, ClockPeriod{start, std::nullopt},
                                   ClockPeriod{start, end}))
            return false;
        change = Change::Done;
        return true;
    });
    return committed ? change : Change::Failed;
}
