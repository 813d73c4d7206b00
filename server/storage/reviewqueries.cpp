#include "reviewqueries.h"

#include <QStringList>
#include <QVariant>

namespace {

// Owners in name order, each owner's orders at the status read oldest first
// from bin_orders_by_status (CROSS JOIN keeps the users as the outer loop).
const QString BinOrderColumns
    = QStringLiteral("SELECT o.id, u.user_name, b.bin_id, o.work_type, o.code_list, o.repair_id, o.created_at"
                     " FROM users u CROSS JOIN bin_orders o JOIN bins b ON b.id = o.bin_ref"
                     " WHERE o.owner_id = u.id AND o.status = :status AND o.removed_at IS NULL");

const QString CustomJobColumns
    = QStringLiteral("SELECT o.id, u.user_name, o.order_date, o.worker, o.job_type, o.customer, o.customer_ref,"
                     " o.contact_name, o.phone, o.email, o.created_at"
                     " FROM custom_orders o JOIN users u ON u.id = o.owner_id"
                     " WHERE o.removed_at IS NULL AND o.status IN (%1)");

// Each user's oldest order at the status, when there is one: a seek on
// bin_orders_by_status, which keeps each owner's orders in the order they
// were started. Two probes per user rather than a join on the order found,
// which PostgreSQL would make by reading every order.
const QString OldestAtStatus
    = QStringLiteral("(SELECT x.%1 FROM bin_orders x WHERE x.owner_id = u.id AND x.status = :status"
                     " AND x.removed_at IS NULL ORDER BY x.created_at, x.id LIMIT 1)");
const QString BinOwnersWithOldest
    = QStringLiteral("SELECT u.user_name, %1, %2 FROM users u ORDER BY u.user_name")
          .arg(OldestAtStatus.arg(QStringLiteral("created_at")), OldestAtStatus.arg(QStringLiteral("id")));

const QString OldestFirst = QStringLiteral(" ORDER BY u.user_name, o.created_at, o.id");

ReviewBinOrder binOrderAt(const QSqlQuery &query)
{
    ReviewBinOrder order;
    order.orderId = query.value(0).toLongLong();
    order.userName = query.value(1).toString();
    order.binId = query.value(2).toString();
    order.workType = query.value(3).toString();
    order.codeList = query.value(4).toString();
    order.repairId = query.value(5).toInt();
    order.createdAt = query.value(6).toLongLong();
    return order;
}

ReviewOwner ownerAt(const QSqlQuery &query)
{
    ReviewOwner owner;
    owner.userName = query.value(0).toString();
    owner.oldestCreatedAt = query.value(1).toLongLong();
    owner.oldestOrderId = query.value(2).toLongLong();
    return owner;
}

ReviewCustomJob customJobAt(const QSqlQuery &query)
{
    ReviewCustomJob job;
    job.orderId = query.value(0).toLongLong();
    job.userName = query.value(1).toString();
    job.date = query.value(2).toString();
    job.worker = query.value(3).toString();
    job.jobType = query.value(4).toString();
    job.customer = query.value(5).toString();
    job.customerRef = query.value(6).toString();
    job.contactName = query.value(7).toString();
    job.phone = query.value(8).toString();
    job.email = query.value(9).toString();
    job.createdAt = query.value(10).toLongLong();
    return job;
}

// Placeholders ":status0, :status1, ..." for an IN list of statuses.
QString statusPlaceholders(const QList<int> &statuses)
{
    QStringList names;
    for (int i = 0; i < statuses.size(); ++i)
        names.append(QStringLiteral(":status%1").arg(i));
    return names.join(QStringLiteral(", "));
}

void bindStatuses(QSqlQuery &query, const QList<int> &statuses)
{
    for (int i = 0; i < statuses.size(); ++i)
        query.bindValue(QStringLiteral(":status%1").arg(i), statuses.at(i));
}

template<typename Row>
std::optional<QList<Row>> allRows(QSqlQuery &query, Row (*read)(const QSqlQuery &))
{
    if (!Store::execute(query))
        return std::nullopt;
    QList<Row> rows;
    while (query.next())
        rows.append(read(query));
    return rows;
}

template<typename Row>
Lookup<Row> firstRow(QSqlQuery &query, Row (*read)(const QSqlQuery &))
{
    if (!Store::execute(query))
        return Lookup<Row>::failure();
    if (!query.next())
        return Lookup<Row>::missing();
    return Lookup<Row>::of(read(query));
}

} // namespace

std::optional<qint64> ReviewQueries::countBinOrders(int status) const
{
    QSqlQuery query = store.prepare(
        QStringLiteral("SELECT COUNT(*) FROM bin_orders WHERE status = :status AND removed_at IS NULL"));
    query.bindValue(QStringLiteral(":status"), status);
    if (!Store::execute(query) || !query.next())
        return std::nullopt;
    return query.value(0).toLongLong();
}

std::optional<qint64> ReviewQueries::countCustomJobs(const QList<int> &statuses) const
{
    QSqlQuery query
        = store.prepare(QStringLiteral("SELECT COUNT(*) FROM custom_orders WHERE removed_at IS NULL AND status IN (%1)")
                            .arg(statusPlaceholders(statuses)));
    bindStatuses(query, statuses);
    if (!Store::execute(query) || !query.next())
        return std::nullopt;
    return query.value(0).toLongLong();
}

std::optional<QList<ReviewBinOrder>> ReviewQueries::binOrders(int status, std::optional<qint64> ownerId) const
{
    // One owner's orders at the status are a seek on bin_orders_by_status.
    const QString owner = ownerId ? QStringLiteral(" AND o.owner_id = :owner") : QString();
    QSqlQuery query = store.prepare(BinOrderColumns + owner + OldestFirst);
    query.bindValue(QStringLiteral(":status"), status);
    if (ownerId)
        query.bindValue(QStringLiteral(":owner"), *ownerId);
    return allRows(query, &binOrderAt);
}

std::optional<QList<ReviewOwner>> ReviewQueries::binOwners(int status) const
{
    QSqlQuery query = store.prepare(BinOwnersWithOldest);
    query.bindValue(QStringLiteral(":status"), status);
    if (!Store::execute(query))
        return std::nullopt;
    QList<ReviewOwner> owners;
    while (query.next()) {
        if (!query.isNull(2))
            owners.append(ownerAt(query));
    }
    return owners;
}

// Few custom jobs wait at these statuses, and their index gives no owner's
// oldest: they are read whole, and each owner's first is its oldest.
std::optional<QList<ReviewOwner>> ReviewQueries::customOwners(const QList<int> &statuses) const
{
    const std::optional<QList<ReviewCustomJob>> jobs = customJobs(statuses);
    if (!jobs)
        return std::nullopt;
    QList<ReviewOwner> owners;
    for (const ReviewCustomJob &job : *jobs) {
        if (owners.isEmpty() || owners.last().userName != job.userName)
            owners.append({job.userName, job.createdAt, job.orderId});
    }
    return owners;
}

std::optional<QList<ReviewCustomJob>> ReviewQueries::customJobs(const QList<int> &statuses,
                                                                std::optional<qint64> ownerId) const
{
    // Jobs waiting at a status are few, an owner's jobs are thousands: the
    // unary plus keeps SQLite from reading every job of the owner (through
    // custom_orders_by_owner) to find them, rather than the few by status.
    const QString owner = ownerId ? QStringLiteral(" AND +o.owner_id = :owner") : QString();
    QSqlQuery query = store.prepare(CustomJobColumns.arg(statusPlaceholders(statuses)) + owner + OldestFirst);
    bindStatuses(query, statuses);
    if (ownerId)
        query.bindValue(QStringLiteral(":owner"), *ownerId);
    return allRows(query, &customJobAt);
}

Lookup<ReviewBinOrder> ReviewQueries::binOrder(qint64 ownerId, const QString &binId, int status) const
{
    QSqlQuery query = store.prepare(BinOrderColumns + QStringLiteral(" AND o.owner_id = :owner AND b.bin_id = :bin")
                                    + OldestFirst + QStringLiteral(" LIMIT 1"));
    query.bindValue(QStringLiteral(":status"), status);
    query.bindValue(QStringLiteral(":owner"), ownerId);
    query.bindValue(QStringLiteral(":bin"), textValue(binId));
    return firstRow(query, &binOrderAt);
}

Lookup<ReviewCustomJob> ReviewQueries::customJob(qint64 ownerId, qint64 orderId, const QList<int> &statuses) const
{
    QSqlQuery query = store.prepare(CustomJobColumns.arg(statusPlaceholders(statuses))
                                    + QStringLiteral(" AND o.owner_id = :owner AND o.id = :id"));
    bindStatuses(query, statuses);
    query.bindValue(QStringLiteral(":owner"), ownerId);
    query.bindValue(QStringLiteral(":id"), orderId);
    return firstRow(query, &customJobAt);
}
