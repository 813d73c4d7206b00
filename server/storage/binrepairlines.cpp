#include "binrepairlines.h"

#include <QVariant>

namespace {

// The minutes of a time "hours:minutes" (checked before it gets here).
int minutesOf(const QString &time)
{
    return time.section(QLatin1Char(':'), 0, 0).toInt() * 60 + time.section(QLatin1Char(':'), 1, 1).toInt();
}

} // namespace

std::optional<QList<BinRepairLine>> BinRepairLines::of(qint64 orderId) const
{
    QSqlQuery query = store.prepare(QStringLiteral("SELECT l.repair_code, l.materials, l.time_text, u.user_name FROM "
                                                   "bin_repair_lines l JOIN users u ON u.id = l.user_id"
                                                   " WHERE l.order_id = :order ORDER BY l.id"));
    query.bindValue(QStringLiteral(":order"), orderId);
    if (!Store::execute(query))
        return std::nullopt;
    QList<BinRepairLine> lines;
    while (query.next())
        lines.append({query.value(0).toString(), query.value(1).toString(), query.value(2).toString(),
                      query.value(3).toString()});
    return lines;
}

bool BinRepairLines::add(qint64 orderId, const BinRepairEntry &entry, qint64 userId, qint64 now)
{
    return store.transaction([&] {
        QSqlQuery insert = store.prepare(QStringLiteral(
            "INSERT INTO bin_repair_lines (order_id, repair_code, materials, time_text, minutes, user_id, created_at)"
            " VALUES (:order, :code, :materials, :time, :minutes, :user, :now)"));
        insert.bindValue(QStringLiteral(":order"), orderId);
        insert.bindValue(QStringLiteral(":code"), textValue(entry.repairCode));
        insert.bindValue(QStringLiteral(":materials"), textValue(entry.materials));
        insert.bindValue(QStringLiteral(":time"), textValue(entry.time));
        insert.bindValue(QStringLiteral(":minutes"), minutesOf(entry.time));
        insert.bindValue(QStringLiteral(":user"), userId);
        insert.bindValue(QStringLiteral(":now"), now);
        return Store::execute(insert);
    });
}

std::optional<qint64> BinRepairLines::lineId(qint64 orderId, const QString &repairCode, const QString &materials) const
{
    QSqlQuery query = store.prepare(QStringLiteral("SELECT MIN(id) FROM bin_repair_lines WHERE order_id = :order AND "
                                                   "repair_code = :code AND materials = :materials"));
    query.bindValue(QStringLiteral(":order"), orderId);
    query.bindValue(QStringLiteral(":code"), textValue(repairCode));
    query.bindValue(QStringLiteral(":materials"), textValue(materials));
    if (!Store::execute(query) || !query.next())
        return std::nullopt;
    return query.value(0).isNull() ? 0 : query.value(0).toLongLong();
}

BinRepairLines::Change BinRepairLines::replace(qint64 orderId, const QString &repairCode, const QString &materials,
                                               const BinRepairEntry &entry)
{
    Change change = Change::Failed;
    const bool committed = store.transaction([&] {
        const std::optional<qint64> id = lineId(orderId, repairCode, materials);
        if (!id)
            return false;
        if (*id == 0) {
            change = Change::NotFound;
            return true;
        }
        QSqlQuery update = store.prepare(QStringLiteral("UPDATE bin_repair_lines SET repair_code = :code, materials = "
                                                        ":materials, time_text = :time, minutes = :minutes"
                                                        " WHERE id = :id"));
        update.bindValue(QStringLiteral(":code"), textValue(entry.repairCode));
        update.bindValue(QStringLiteral(":materials"), textValue(entry.materials));
        update.bindValue(QStringLiteral(":time"), textValue(entry.time));
        update.bindValue(QStringLiteral(":minutes"), minutesOf(entry.time));
        update.bindValue(QStringLiteral(":id"), *id);
        if (!Store::execute(update))
            return false;
        change = Change::Done;
        return true;
    });
    return committed ? change : Change::Failed;
}

BinRepairLines::Change BinRepairLines::remove(qint64 orderId, const QString &repairCode, const QString &materials)
{
    Change change = Change::Failed;
    const bool committed = store.transaction([&] {
        const std::optional<qint64> id = lineId(orderId, repairCode, materials);
        if (!id)
            return false;
        if (*id == 0) {
            change = Change::NotFound;
            return true;
        }
        QSqlQuery remove = store.prepare(QStringLiteral("DELETE FROM bin_repair_lines WHERE id = :id"));
        remove.bindValue(QStringLiteral(":id"), *id);
        if (!Store::execute(remove))
            return false;
        change = Change::Done;
        return true;
    });
    return committed ? change : Change::Failed;
}
