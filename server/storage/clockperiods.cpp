#include "clockperiods.h"

#include "useraccounts.h"

#include <QVariant>

namespace {

ClockPeriod periodAt(const QSqlQuery &query, int firstColumn)
{
    ClockPeriod period;
    period.start = query.value(firstColumn).toLongLong();
    const QVariant end = query.value(firstColumn + 1);
    if (!end.isNull())
        period.end = end.toLongLong();
    return period;
}

QString direction(ClockPeriods::Order order)
{
    return order == ClockPeriods::Order::NewestFirst ? QStringLiteral("DESC") : QStringLiteral("ASC");
}

// A refusal has written nothing; a change counts once it is committed.
ClockPeriods::Change settled(bool committed, ClockPeriods::Change change)
{
    if (change == ClockPeriods::Change::Done && !committed)
        return ClockPeriods::Change::Failed;
    return change;
}

} // namespace

std::optional<QList<ClockOverviewRow>> ClockPeriods::overview(const std::optional<QString> &department) const
{
    // The open period, when there is one, else the one that started last.
    QString sql = QStringLiteral(
        "SELECT u.user_name, c.start_time, c.end_time FROM users u"
        " LEFT JOIN departments d ON d.id = u.department_id"
        " LEFT JOIN clock_records c ON c.id = COALESCE("
        "  (SELECT o.id FROM clock_records o WHERE o.user_id = u.id AND o.end_time IS NULL),"
        "  (SELECT l.id FROM clock_records l WHERE l.user_id = u.id ORDER BY l.start_time DESC, l.id DESC LIMIT 1))"
        " WHERE u.active = 1");
    if (department)
        sql += QStringLiteral(" AND d.name = :department");
    sql += QStringLiteral(" ORDER BY u.user_name");
    QSqlQuery query = store.prepare(sql);
    if (department)
        query.bindValue(QStringLiteral(":department"), textValue(*department));
    if (!Store::execute(query))
        return std::nullopt;
    QList<ClockOverviewRow> rows;
    while (query.next()) {
        ClockOverviewRow row;
        row.userName = query.value(0).toString();
        if (!query.value(1).isNull())
            row.latest = periodAt(query, 1);
        rows.append(row);
    }
    return rows;
}

std::optional<QStringList> ClockPeriods::userNames() const
{
    QSqlQuery query = store.prepare(
        QStringLiteral("SELECT u.user_name FROM users u WHERE u.active = 1"
                       " OR EXISTS (SELECT 1 FROM clock_records c WHERE c.user_id = u.id) ORDER BY u.user_name"));
    if (!Store::execute(query))
        return std::nullopt;
    QStringList names;
    while (query.next())
        names.append(query.value(0).toString());
    return names;
}

Lookup<qint64> ClockPeriods::earliestStart(qint64 userId) const
{
    QSqlQuery query = store.prepare(QStringLiteral("SELECT MIN(start_time) FROM clock_records WHERE user_id = :user"));
    query.bindValue(QStringLiteral(":user"), userId);
    if (!Store::execute(query) || !query.next())
        return Lookup<qint64>::failure();
    if (query.value(0).isNull())
        return Lookup<qint64>::missing();
    return Lookup<qint64>::of(query.value(0).toLongLong());
}

std::optional<QList<ClockPeriod>> ClockPeriods::periods(qint64 userId, qint64 from, qint64 to, Order order) const
{
    QSqlQuery query = store.prepare(
        QStringLiteral("SELECT start_time, end_time FROM clock_records"
                       " WHERE user_id = :user AND start_time BETWEEN :from AND :to ORDER BY start_time %1, id %1")
            .arg(direction(order)));
    query.bindValue(QStringLiteral(":user"), userId);
    query.bindValue(QStringLiteral(":from"), from);
    query.bindValue(QStringLiteral(":to"), to);
    if (!Store::execute(query))
        return std::nullopt;
    QList<ClockPeriod> found;
    while (query.next())
        found.append(periodAt(query, 0));
    return found;
}

std::optional<QList<UserClockPeriod>> ClockPeriods::allPeriods(qint64 from, qint64 to, Order order) const
{
    // Users in name order, each user's periods read in order from
    // clock_records_by_user (CROSS JOIN keeps the users as the outer loop).
    QSqlQuery query = store.prepare(QStringLiteral("SELECT c.user_id, c.start_time, c.end_time"
                                                   " FROM users u CROSS JOIN clock_records c"
                                                   " WHERE c.user_id = u.id AND c.start_time BETWEEN :from AND :to"
                                                   " ORDER BY u.user_name, c.start_time %1, c.id %1")
                                        .arg(direction(order)));
    query.bindValue(QStringLiteral(":from"), from);
    query.bindValue(QStringLiteral(":to"), to);
    if (!Store::execute(query))
        return std::nullopt;
    QList<UserClockPeriod> found;
    while (query.next())
        found.append(UserClockPeriod{query.value(0).toLongLong(), QString(), periodAt(query, 1)});
    if (!UserAccounts(store).nameOwners(found))
        return std::nullopt;
    return found;
}

ClockPeriods::Change ClockPeriods::add(qint64 userId, const ClockPeriod &period, const ClockActor &actor)
{
    Change change = Change::Failed;
    const bool committed = store.transaction([&] {
        const std::optional<bool> overlaps = overlapsAnother(userId, period, 0);
        if (!overlaps)
            return false;
        if (*overlaps) {
            change = Change::Overlaps;
            return false;
        }
        QSqlQuery insert = store.prepare(
            QStringLiteral("INSERT INTO clock_records (user_id, start_time, end_time) VALUES (:user, :start, :end)"));
        insert.bindValue(QStringLiteral(":user"), userId);
        insert.bindValue(QStringLiteral(":start"), period.start);
        insert.bindValue(QStringLiteral(":end"), *period.end);
        if (!Store::execute(insert)
            || !ClockAudit::record(store, actor, ClockAudit::Action::Add, userId, std::nullopt, period))
            return false;
        change = Change::Done;
        return true;
    });
    return settled(committed, change);
}

ClockPeriods::Change ClockPeriods::replace(qint64 userId, const ClockPeriod &old, const ClockPeriod &updated,
                                           const ClockActor &actor)
{
    Change change = Change::Failed;
    const bool committed = store.transaction([&] {
        const Lookup<qint64> id = exactPeriod(userId, old);
        if (id.failed())
            return false;
        if (!id.found()) {
            change = Change::NotFound;
            return false;
        }
        const std::optional<bool> overlaps = overlapsAnother(userId, updated, *id);
        if (!overlaps)
            return false;
        if (*overlaps) {
            change = Change::Overlaps;
            return false;
        }
        QSqlQuery update = store.prepare(
            QStringLiteral("UPDATE clock_records SET start_time = :start, end_time = :end WHERE id = :id"));
        update.bindValue(QStringLiteral(":start"), updated.start);
        update.bindValue(QStringLiteral(":end"), *updated.end);
        update.bindValue(QStringLiteral(":id"), *id);
        if (!Store::execute(update)
            || !ClockAudit::record(store, actor, ClockAudit::Action::Edit, userId, old, updated))
            return false;
        change = Change::Done;
        return true;
    });
    return settled(committed, change);
}

ClockPeriods::Change ClockPeriods::remove(qint64 userId, const ClockPeriod &period, const ClockActor &actor)
{
    Change change = Change::Failed;
    const bool committed = store.transaction([&] {
        const Lookup<qint64> id = exactPeriod(userId, period);
        if (id.failed())
            return false;
        if (!id.found()) {
            change = Change::NotFound;
            return false;
        }
        QSqlQuery erase = store.prepare(QStringLiteral("DELETE FROM clock_records WHERE id = :id"));
        erase.bindValue(QStringLiteral(":id"), *id);
        if (!Store::execute(erase)
            || !ClockAudit::record(store, actor, ClockAudit::Action::Remove, userId, period, std::nullopt))
            return false;
        change = Change::Done;
        return true;
    });
    return settled(committed, change);
}

// Of two periods recorded twice alike, the first recorded is meant.
Lookup<qint64> ClockPeriods::exactPeriod(qint64 userId, const ClockPeriod &period) const
{
    QSqlQuery query = store.prepare(
        QStringLiteral("SELECT id FROM clock_records WHERE user_id = :user AND start_time = :start AND %1"
                       " ORDER BY id LIMIT 1")
            .arg(period.isOpen() ? QStringLiteral("end_time IS NULL") : QStringLiteral("end_time = :end")));
    query.bindValue(QStringLiteral(":user"), userId);
    query.bindValue(QStringLiteral(":start"), period.start);
    if (!period.isOpen())
        query.bindValue(QStringLiteral(":end"), *period.end);
    if (!Store::execute(query))
        return Lookup<qint64>::failure();
    if (!query.next())
        return Lookup<qint64>::missing();
    const qint64 id = query.value(0).toLongLong();
    query.finish();
    return Lookup<qint64>::of(id);
}

// Whether the closed period shares a moment with another of the user's
// periods; periods that only touch (one ends when the next starts) do not.
std::optional<bool> ClockPeriods::overlapsAnother(qint64 userId, const ClockPeriod &period, qint64 exceptId) const
{
    QSqlQuery query
        = store.prepare(QStringLiteral("SELECT COUNT(*) FROM clock_records WHERE user_id = :user AND id <> :except"
                                       " AND start_time < :end AND (end_time IS NULL OR end_time > :start)"));
    query.bindValue(QStringLiteral(":user"), userId);
    query.bindValue(QStringLiteral(":except"), exceptId);
    query.bindValue(QStringLiteral(":start"), period.start);
    query.bindValue(QStringLiteral(":end"), *period.end);
    if (!Store::execute(query) || !query.next())
        return std::nullopt;
    const bool overlaps = query.value(0).toLongLong() > 0;
    query.finish();
    return overlaps;
}
