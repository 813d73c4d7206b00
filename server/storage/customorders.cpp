#include "customorders.h"

#include "wire/customjobstatus.h"

#include <QDateTime>
#include <QStringList>
#include <QVariant>

namespace {

const QString jobColumns = QStringLiteral(
    "id, owner_id, status, order_date, worker, job_type, customer, customer_ref, contact_name, phone, email");

CustomJob readJob(const QSqlQuery &query)
{
    CustomJob job;
    job.id = query.value(0).toLongLong();
    job.ownerId = query.value(1).toLongLong();
    job.status = query.value(2).toInt();
    job.details.date = query.value(3).toString();
    job.details.worker = query.value(4).toString();
    job.details.jobType = query.value(5).toString();
    job.details.customer = query.value(6).toString();
    job.details.customerRef = query.value(7).toString();
    job.details.contactName = query.value(8).toString();
    job.details.phone = query.value(9).toString();
    job.details.email = query.value(10).toString();
    return job;
}

void bindLine(QSqlQuery &query, const QString &prefix, const CustomLine &line)
{
    query.bindValue(prefix + QStringLiteral("description"), textValue(line.description));
    query.bindValue(prefix + QStringLiteral("materials"), textValue(line.materials));
    query.bindValue(prefix + QStringLiteral("hours"), line.hours);
    query.bindValue(prefix + QStringLiteral("minutes"), line.minutes);
}

// A change the work decided on counts only once it is committed.
CustomOrders::Change outcome(CustomOrders::Change change, bool committed)
{
    return change == CustomOrders::Change::Done && !committed ? CustomOrders::Change::Failed : change;
}

} // namespace

QString CustomLine::timeText() const
{
    return QStringLiteral("%1:%2").arg(hours).arg(minutes);
}

std::optional<qint64> CustomOrders::start(const NewCustomJob &job, qint64 ownerId, qint64 now)
{
    std::optional<qint64> id;
    const bool committed = store.transaction([&] {
        QSqlQuery insert
            = store.prepare(QStringLiteral("INSERT INTO custom_orders (owner_id, order_date, worker, job_type, "
                                           "customer, customer_ref, contact_name, phone, email, status, created_at)"
                                           " VALUES (:owner, :date, :worker, :jobType, :customer, :customerRef, "
                                           ":contactName, :phone, :email, 1, :now) RETURNING id"));
        insert.bindValue(QStringLiteral(":owner"), ownerId);
        insert.bindValue(QStringLiteral(":date"), textValue(job.date));
        insert.bindValue(QStringLiteral(":worker"), textValue(job.worker));
        insert.bindValue(QStringLiteral(":jobType"), textValue(job.jobType));
        insert.bindValue(QStringLiteral(":customer"), textValue(job.customer));
        insert.bindValue(QStringLiteral(":customerRef"), textValue(job.customerRef));
        insert.bindValue(QStringLiteral(":contactName"), textValue(job.contactName));
        insert.bindValue(QStringLiteral(":phone"), textValue(job.phone));
        insert.bindValue(QStringLiteral(":email"), textValue(job.email));
        insert.bindValue(QStringLiteral(":now"), now);
        id = Store::insertReturningId(insert);
        return id.has_value();
    });
    return committed ? id : std::nullopt;
}

Lookup<CustomJob> CustomOrders::find(const CustomJobKey &key) const
{
    QSqlQuery query = store.prepare(QStringLiteral("SELECT ") + jobColumns
                                    + QStringLiteral(" FROM custom_orders WHERE id = :id AND job_type = :jobType AND "
                                                     "customer = :customer AND removed_at IS NULL"));
    query.bindValue(QStringLiteral(":id"), key.id);
    query.bindValue(QStringLiteral(":jobType"), textValue(key.jobType));
    query.bindValue(QStringLiteral(":customer"), textValue(key.customer));
    if (!Store::execute(query))
        return Lookup<CustomJob>::failure();
    if (!query.next())
        return Lookup<CustomJob>::missing();
    return Lookup<CustomJob>::of(readJob(query));
}

std::optional<QList<CustomJob>> CustomOrders::withStatus(const QList<int> &statuses) const
{
    QList<CustomJob> jobs;
    if (statuses.isEmpty())
        return jobs;
    QStringList placeholders;
    for (int i = 0; i < statuses.size(); ++i)
        placeholders << QStringLiteral(":status%1").arg(i);
    QSqlQuery query = store.prepare(
        QStringLiteral("SELECT ") + jobColumns + QStringLiteral(" FROM custom_orders WHERE status IN (")
        + placeholders.join(QStringLiteral(", ")) + QStringLiteral(") AND removed_at IS NULL ORDER BY id"));
    for (int i = 0; i < statuses.size(); ++i)
        query.bindValue(placeholders.at(i), statuses.at(i));
    if (!Store::execute(query))
        return std::nullopt;
    while (query.next())
        jobs.append(readJob(query));
    return jobs;
}

std::optional<QList<CustomLine>> CustomOrders::lines(qint64 id) const
{
    QSqlQuery query = store.prepare(QStringLiteral(
        "SELECT description, materials, hours, minutes FROM custom_repair_lines WHERE order_id = :id ORDER BY id"));
    query.bindValue(QStringLiteral(":id"), id);
    if (!Store::execute(query))
        return std::nullopt;
    QList<CustomLine> found;
    while (query.next())
        found.append(
            {query.value(0).toString(), query.value(1).toString(), query.value(2).toInt(), query.value(3).toInt()});
    return found;
}

std::optional<bool> CustomOrders::statusIsOneOf(qint64 id, const QList<int> &allowed) const
{
    QSqlQuery query
        = store.prepare(QStringLiteral("SELECT status FROM custom_orders WHERE id = :id AND removed_at IS NULL"));
    query.bindValue(QStringLiteral(":id"), id);
    if (!Store::execute(query))
        return std::nullopt;
    const bool allowedNow = query.next() && allowed.contains(query.value(0).toInt());
    query.finish();
    return allowedNow;
}

std::optional<qint64> CustomOrders::findLine(qint64 id, const CustomLine &line) const
{
    QSqlQuery query = store.prepare(
        QStringLiteral("SELECT MIN(id) FROM custom_repair_lines WHERE order_id = :order AND description = :description"
                       " AND materials = :materials AND hours = :hours AND minutes = :minutes"));
    query.bindValue(QStringLiteral(":order"), id);
    bindLine(query, QStringLiteral(":"), line);
    if (!Store::execute(query) || !query.next())
        return std::nullopt;
    const qint64 lineId = query.value(0).isNull() ? 0 : query.value(0).toLongLong();
    query.finish();
    return lineId;
}

CustomOrders::Change CustomOrders::addLine(qint64 id, const CustomLine &line, qint64 userId, int newStatus,
                                           const QList<int> &allowedFrom, qint64 now)
{
    Change change = Change::Failed;
    const bool committed = store.transaction([&] {
        const std::optional<bool> allowed = statusIsOneOf(id, allowedFrom);
        if (!allowed)
            return false;
        if (!*allowed) {
            change = Change::Refused;
            return false;
        }
        QSqlQuery insert = store.prepare(QStringLiteral(
            "INSERT INTO custom_repair_lines (order_id, description, materials, hours, minutes, user_id, created_at)"
            " VALUES (:order, :description, :materials, :hours, :minutes, :user, :now)"));
        insert.bindValue(QStringLiteral(":order"), id);
        bindLine(insert, QStringLiteral(":"), line);
        insert.bindValue(QStringLiteral(":user"), userId);
        insert.bindValue(QStringLiteral(":now"), now);
        QSqlQuery update = store.prepare(QStringLiteral("UPDATE custom_orders SET status = :status WHERE id = :id"));
        update.bindValue(QStringLiteral(":status"), newStatus);
        update.bindValue(QStringLiteral(":id"), id);
        if (!Store::execute(insert) || !Store::execute(update))
            return false;
        change = Change::Done;
        return true;
    });
    return outcome(change, committed);
}

CustomOrders::Change CustomOrders::replaceLine(qint64 id, const CustomLine &old, const CustomLine &replacement,
                                               const QList<int> &allowedFrom)
{
    return changeLine(id, old, allowedFrom, [&](qint64 lineId) {
        QSqlQuery update = store.prepare(QStringLiteral("UPDATE custom_repair_lines SET description = :description, "
                                                        "materials = :materials, hours = :hours, minutes = :minutes"
                                                        " WHERE id = :line"));
        bindLine(update, QStringLiteral(":"), replacement);
        update.bindValue(QStringLiteral(":line"), lineId);
        return Store::execute(update);
    });
}

CustomOrders::Change CustomOrders::removeLine(qint64 id, const CustomLine &old, const QList<int> &allowedFrom)
{
    return changeLine(id, old, allowedFrom, [&](qint64 lineId) {
        QSqlQuery remove = store.prepare(QStringLiteral("DELETE FROM custom_repair_lines WHERE id = :line"));
        remove.bindValue(QStringLiteral(":line"), lineId);
        return Store::execute(remove);
    });
}

// Finds the job's line by its old values and, while the job's status allows
// it, writes to it, all in one transaction.
CustomOrders::Change CustomOrders::changeLine(qint64 id, const CustomLine &old, const QList<int> &allowedFrom,
                                              const std::function<bool(qint64 lineId)> &write)
{
    Change change = Change::Failed;
    const bool committed = store.transaction([&] {
        const std::optional<bool> allowed = statusIsOneOf(id, allowedFrom);
        if (!allowed)
            return false;
        if (!*allowed) {
            change = Change::Refused;
            return false;
        }
        const std::optional<qint64> lineId = findLine(id, old);
        if (!lineId)
            return false;
        if (*lineId == 0) {
            change = Change::NoSuchLine;
            return false;
        }
        if (!write(*lineId))
            return false;
        change = Change::Done;
        return true;
    });
    return outcome(change, committed);
}

CustomOrders::Change CustomOrders::setStatus(qint64 id, int newStatus, const QList<int> &allowedFrom,
                                             std::optional<qint64> finishedAt)
{
    Change change = Change::Failed;
    const bool committed = store.transaction([&] {
        const std::optional<bool> allowed = statusIsOneOf(id, allowedFrom);
        if (!allowed)
            return false;
        if (!*allowed) {
            change = Change::Refused;
            return false;
        }
        QSqlQuery update = store.prepare(
            QStringLiteral("UPDATE custom_orders SET status = :status, finished_at = COALESCE(:finished, finished_at),"
                           " completed_at = CASE WHEN :open = 1 THEN NULL ELSE COALESCE(completed_at, :now) END"
                           " WHERE id = :id"));
        update.bindValue(QStringLiteral(":status"), newStatus);
        update.bindValue(QStringLiteral(":finished"),
                         finishedAt ? QVariant(*finishedAt) : QVariant(QVariant::LongLong));
        update.bindValue(QStringLiteral(":open"), CustomJobStatus::isOpen(newStatus) ? 1 : 0);
        update.bindValue(QStringLiteral(":now"), finishedAt.value_or(QDateTime::currentSecsSinceEpoch()));
        update.bindValue(QStringLiteral(":id"), id);
        if (!Store::execute(update))
            return false;
        change = Change::Done;
        return true;
    });
    return outcome(change, committed);
}
