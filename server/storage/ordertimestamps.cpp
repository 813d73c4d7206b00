#include "ordertimestamps.h"

#include <QVariant>

#include <algorithm>

namespace {

constexpr double SecondsPerHour = 3600.0;

// The column that links a stamp to an order of this kind.
QString orderColumn(TimedOrder::Kind kind)
{
    return kind == TimedOrder::Kind::Bin ? QStringLiteral("bin_order_id") : QStringLiteral("custom_order_id");
}

std::optional<qint64> bookedSeconds(const Store &store, const TimedOrder &order)
{
    QSqlQuery query
        = store.prepare(QStringLiteral("SELECT COALESCE(SUM(end_time - start_time), 0) FROM order_time_stamps"
                                       " WHERE %1 = :order AND end_time IS NOT NULL")
                            .arg(orderColumn(order.kind)));
    query.bindValue(QStringLiteral(":order"), order.id);
    if (!Store::execute(query) || !query.next())
        return std::nullopt;
    return query.value(0).toLongLong();
}

} // namespace

std::optional<OrderTimeStamps::Opened> OrderTimeStamps::open(const TimedOrder &order, qint64 userId, qint64 now)
{
    Opened opened;
    const bool committed = store.transaction([&] {
        const std::optional<qint64> booked = bookedSeconds(store, order);
        if (!booked)
            return false;
        opened.bookedHours = double(*booked) / SecondsPerHour;
        QSqlQuery insert = store.prepare(QStringLiteral("INSERT INTO order_time_stamps (%1, user_id, start_time)"
                                                        " VALUES (:order, :user, :now) RETURNING id")
                                             .arg(orderColumn(order.kind)));
        insert.bindValue(QStringLiteral(":order"), order.id);
        insert.bindValue(QStringLiteral(":user"), userId);
        insert.bindValue(QStringLiteral(":now"), now);
        const std::optional<qint64> id = Store::insertReturningId(insert);
        if (!id)
            return false;
        opened.stampId = *id;
        return true;
    });
    if (!committed)
        return std::nullopt;
    return opened;
}

Lookup<OrderTimeStamp> OrderTimeStamps::find(qint64 stampId) const
{
    QSqlQuery query = store.prepare(QStringLiteral(
        "SELECT bin_order_id, custom_order_id, user_id, start_time, end_time FROM order_time_stamps WHERE id = :id"));
    query.bindValue(QStringLiteral(":id"), stampId);
    if (!Store::execute(query))
        return Lookup<OrderTimeStamp>::failure();
    if (!query.next())
        return Lookup<OrderTimeStamp>::missing();
    OrderTimeStamp stamp;
    stamp.id = stampId;
    stamp.order = query.value(0).isNull() ? TimedOrder::custom(query.value(1).toLongLong())
                                          : TimedOrder::bin(query.value(0).toLongLong());
    stamp.userId = query.value(2).toLongLong();
    stamp.start = query.value(3).toLongLong();
    if (!query.value(4).isNull())
        stamp.end = query.value(4).toLongLong();
    return Lookup<OrderTimeStamp>::of(stamp);
}

OrderTimeStamps::Close OrderTimeStamps::close(qint64 stampId, qint64 now)
{
    Close result = Close::Failed;
    const bool committed = store.transaction([&] {
        const Lookup<OrderTimeStamp> stamp = find(stampId);
        if (stamp.failed())
            return false;
        if (!stamp.found()) {
            result = Close::NotFound;
            return true;
        }
        if (stamp->end) {
            result = Close::AlreadyClosed;
            return true;
        }
        QSqlQuery update = store.prepare(QStringLiteral("UPDATE order_time_stamps SET end_time = :end WHERE id = :id"));
        update.bindValue(QStringLiteral(":end"), std::max(now, stamp->start));
        update.bindValue(QStringLiteral(":id"), stampId);
        if (!Store::execute(update))
            return false;
        result = Close::Closed;
        return true;
    });
    return committed ? result : Close::Failed;
}

std::optional<double> OrderTimeStamps::totalHours(const TimedOrder &order) const
{
    const std::optional<qint64> booked = bookedSeconds(store, order);
    if (!booked)
        return std::nullopt;
    return double(*booked) / SecondsPerHour;
}

QString OrderTimeStamps::hoursText(double hours)
{
    return QString::number(hours, 'f', 2);
}
