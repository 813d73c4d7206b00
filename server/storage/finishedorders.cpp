#include "finishedorders.h"

#include "useraccounts.h"

#include "wire/customjobstatus.h"
#include "wire/orderstatus.h"

#include <QVariant>

namespace {

// Written as the condition of the index bin_orders_finished, so that the
// lists can use it (statuses stop at 6).
const QString FinishedBin = QStringLiteral("o.removed_at IS NULL AND o.status >= %1").arg(OrderStatus::WaitingForCheck);

// Every work type a bin order may have (as the table's check lists them).
// An owner's finished orders are found by seeking each in
// bin_orders_finished, which begins with the work type: asked by owner
// alone, PostgreSQL reads the whole table for an owner who has none.
const QString AnyBinWorkType = QStringLiteral("o.work_type IN ('Front End Repair', 'Roll Off Repair')");

const QString FinishedCustomStatuses = QStringLiteral("(%1, %2, %3)")
                                           .arg(CustomJobStatus::ChangedWhileChecked)
                                           .arg(CustomJobStatus::Submitted)
                                           .arg(CustomJobStatus::Confirmed);

const QString FinishedCustom = QStringLiteral("o.removed_at IS NULL AND o.status IN ") + FinishedCustomStatuses;

// The same for the lists, read in order from custom_orders_finished: the
// unary plus keeps SQLite from finding them through custom_orders_by_status
// instead, nearly every job, and sorting them.
const QString FinishedCustomInOrder = QStringLiteral("o.removed_at IS NULL AND +o.status IN ") + FinishedCustomStatuses;

// Each owner's orders in the order they were finished, owner by owner, as
// the finished-order indexes (owner, time finished, id) hold them: the
// index is read once, with nothing to sort. The owners are put in name
// order afterwards (UserAccounts::nameOwnersInNameOrder).
QString ordering(FinishedOrders::Sequence sequence)
{
    return sequence == FinishedOrders::Sequence::NewestFirst
               ? QStringLiteral(" ORDER BY o.owner_id DESC, o.completed_at DESC, o.id DESC")
               : QStringLiteral(" ORDER BY o.owner_id, o.completed_at, o.id");
}

QString ownerCondition(std::optional<qint64> ownerId)
{
    return ownerId ? QStringLiteral(" AND o.owner_id = :owner") : QString();
}

void bindOwner(QSqlQuery &query, std::optional<qint64> ownerId)
{
    if (ownerId)
        query.bindValue(QStringLiteral(":owner"), *ownerId);
}

QVariant optionalId(std::optional<qint64> id)
{
    return id ? QVariant(*id) : QVariant(QVariant::LongLong);
}

} // namespace

std::optional<QStringList> FinishedOrders::owners() const
{
    QSqlQuery query
        = store.prepare(QStringLiteral("SELECT u.user_name FROM users u WHERE"
                                       " EXISTS (SELECT 1 FROM bin_orders o WHERE %1 AND o.owner_id = u.id AND %2)"
                                       " OR EXISTS (SELECT 1 FROM custom_orders o WHERE o.owner_id = u.id AND %3)"
                                       " ORDER BY u.user_name")
                            .arg(AnyBinWorkType, FinishedBin, FinishedCustom));
    if (!Store::execute(query))
        return std::nullopt;
    QStringList names;
    while (query.next())
        names.append(query.value(0).toString());
    return names;
}

std::optional<QVector<FinishedBinOrder>> FinishedOrders::binOrders(const QString &workType,
                                                                   std::optional<qint64> ownerId,
                                                                   Sequence sequence) const
{
    QSqlQuery query = store.prepare(QStringLiteral("SELECT o.owner_id, o.bin_id, o.repair_id, o.completed_at"
                                                   " FROM bin_orders o WHERE o.work_type = :type AND ")
                                    + FinishedBin + ownerCondition(ownerId) + ordering(sequence));
    query.setForwardOnly(true);
    query.bindValue(QStringLiteral(":type"), textValue(workType));
    bindOwner(query, ownerId);
    if (!Store::execute(query))
        return std::nullopt;
    QVector<FinishedBinOrder> orders;
    while (query.next()) {
        FinishedBinOrder order;
        order.ownerId = query.value(0).toLongLong();
        order.binId = query.value(1).toString();
        order.repairId = query.value(2).toInt();
        order.completedAt = query.value(3).toLongLong();
        orders.append(order);
    }
    if (!UserAccounts(store).nameOwnersInNameOrder(orders))
        return std::nullopt;
    return orders;
}

std::optional<QVector<FinishedCustomJob>> FinishedOrders::customJobs(std::optional<qint64> ownerId,
                                                                     Sequence sequence) const
{
    QSqlQuery query
        = store.prepare(QStringLiteral("SELECT o.owner_id, o.id, o.job_type, o.customer, o.customer_ref, o.completed_at"
                                       " FROM custom_orders o WHERE ")
                        + FinishedCustomInOrder + ownerCondition(ownerId) + ordering(sequence));
    query.setForwardOnly(true);
    bindOwner(query, ownerId);
    if (!Store::execute(query))
        return std::nullopt;
    QVector<FinishedCustomJob> jobs;
    while (query.next()) {
        FinishedCustomJob job;
        job.ownerId = query.value(0).toLongLong();
        job.orderId = query.value(1).toLongLong();
        job.jobType = query.value(2).toString();
        job.customer = query.value(3).toString();
        job.customerRef = query.value(4).toString();
        job.completedAt = query.value(5).toLongLong();
        jobs.append(job);
    }
    if (!UserAccounts(store).nameOwnersInNameOrder(jobs))
        return std::nullopt;
    return jobs;
}

FinishedOrders::Removal FinishedOrders::removeBinOrder(qint64 ownerId, const QString &binId, int repairId,
                                                       std::optional<qint64> removedBy, qint64 now)
{
    QSqlQuery update
        = store.prepare(QStringLiteral("UPDATE bin_orders SET removed_at = :now, removed_by = :by WHERE id IN ("
                                       "SELECT o.id FROM bin_orders o JOIN bins b ON b.id = o.bin_ref"
                                       " WHERE b.bin_id = :bin AND o.repair_id = :repair AND o.owner_id = :owner AND ")
                        + FinishedBin + QStringLiteral(")"));
    update.bindValue(QStringLiteral(":bin"), textValue(binId));
    update.bindValue(QStringLiteral(":repair"), repairId);
    update.bindValue(QStringLiteral(":owner"), ownerId);
    return remove(update, removedBy, now);
}

FinishedOrders::Removal FinishedOrders::removeCustomJob(qint64 ownerId, const CustomJobKey &key,
                                                        std::optional<qint64> removedBy, qint64 now)
{
    QSqlQuery update
        = store.prepare(QStringLiteral("UPDATE custom_orders SET removed_at = :now, removed_by = :by WHERE id IN ("
                                       "SELECT o.id FROM custom_orders o WHERE o.id = :id AND o.owner_id = :owner"
                                       " AND o.job_type = :type AND o.customer = :customer AND ")
                        + FinishedCustom + QStringLiteral(")"));
    update.bindValue(QStringLiteral(":id"), key.id);
    update.bindValue(QStringLiteral(":owner"), ownerId);
    update.bindValue(QStringLiteral(":type"), textValue(key.jobType));
    update.bindValue(QStringLiteral(":customer"), textValue(key.customer));
    return remove(update, removedBy, now);
}

FinishedOrders::Removal FinishedOrders::remove(QSqlQuery &update, std::optional<qint64> removedBy, qint64 now)
{
    update.bindValue(QStringLiteral(":now"), now);
    update.bindValue(QStringLiteral(":by"), optionalId(removedBy));
    Removal removal = Removal::Failed;
    const bool committed = store.transaction([&] {
        if (!Store::execute(update))
            return false;
        removal = update.numRowsAffected() == 1 ? Removal::Removed : Removal::NotFound;
        return true;
    });
    return committed ? removal : Removal::Failed;
}
