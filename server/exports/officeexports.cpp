#include "officeexports.h"

#include "csvwriter.h"

#include "storage/store.h"
#include "wire/customjobstatus.h"
#include "wire/orderstatus.h"

#include <QDateTime>
#include <QHash>
#include <QMap>
#include <QSqlError>

#include <optional>

namespace {

qint64 startOf(const QDate &day)
{
    return QDateTime(day.startOfDay()).toSecsSinceEpoch();
}

QDate dayOf(qint64 unixTime)
{
    return QDateTime::fromSecsSinceEpoch(unixTime).date();
}
QString dayText(qint64 unixTime)
{
    return dayOf(unixTime).toString(Qt::ISODate);
}
QString timeText(qint64 unixTime)
{
    return QDateTime::fromSecsSinceEpoch(unixTime).time().toString(Qt::ISODate);
}
QString hoursText(qint64 seconds)
{
    return QString::number(double(seconds) / 3600.0, 'f', 2);
}

QSqlQuery rangeQuery(Store &store, const QString &sql, const OfficeExports::DayRange &range)
{
    QSqlQuery query = store.prepare(sql);
    query.bindValue(QStringLiteral(":from"), startOf(range.first));
    query.bindValue(QStringLiteral(":to"), startOf(range.last.addDays(1)));
    return query;
}

bool run(QSqlQuery &query, QString *error)
{
    if (Store::execute(query))
        return true;
    *error = QStringLiteral("the database could not be read: %1").arg(query.lastError().text());
    return false;
}

// Seconds per user and day.
using DayTotals = QHash<qint64, QMap<QDate, qint64>>;

struct Period
{
    qint64 userId = 0;
    QStringList person; // user name, first name, last name, department
    qint64 start = 0;
    std::optional<qint64> end;
};

bool writeHoursRows(const QVector<Period> &periods, const DayTotals &booked, CsvWriter &csv)
{
    DayTotals clocked;
    for (const Period &period : periods) {
        if (period.end)
            clocked[period.userId][dayOf(period.start)] += *period.end - period.start;
    }
    csv.writeRow({"User", "First Name", "Last Name", "Department", "Date", "Start", "End", "Hours", "Open",
                  "Day Clocked Hours", "Day Booked Hours", "Day Unbooked Hours"});
    for (const Period &period : periods) {
        const QDate day = dayOf(period.start);
        const qint64 dayClocked = clocked.value(period.userId).value(day);
        const qint64 dayBooked = booked.value(period.userId).value(day);
        csv.writeRow(period.person
                     + QStringList{dayText(period.start), timeText(period.start),
                                   period.end ? timeText(*period.end) : QString(),
                                   period.end ? hoursText(*period.end - period.start) : QString(),
                                   period.end ? QString() : QStringLiteral("open"), hoursText(dayClocked),
                                   hoursText(dayBooked), hoursText(dayClocked - dayBooked)});
    }
    return csv.ok();
}

// What the order rows gather from the lines and time stamps of each order.
struct OrderDetails
{
    int lines = 0;
    QStringList repairs;
    QStringList materials;
    qint64 timedSeconds = 0;
};

} // namespace

namespace OfficeExports {

bool writeHours(Store &store, const DayRange &range, const QString &department, QIODevice &output, QString *error)
{
    QSqlQuery periodQuery
        = rangeQuery(store,
                     QStringLiteral("SELECT c.user_id, u.user_name, u.first_name, u.last_name, COALESCE(d.name, ''),"
                                    " c.start_time, c.end_time"
                                    " FROM clock_records c JOIN users u ON u.id = c.user_id"
                                    " LEFT JOIN departments d ON d.id = u.department_id"
                                    " WHERE c.start_time >= :from AND c.start_time < :to"
                                    " AND (:allDepartments = 1 OR d.name = :department)"
                                    " ORDER BY u.user_name, c.start_time"),
                     range);
    periodQuery.bindValue(QStringLiteral(":allDepartments"), department.isEmpty() ? 1 : 0);
    periodQuery.bindValue(QStringLiteral(":department"), textValue(department));
    if (!run(periodQuery, error))
        return false;
    QVector<Period> periods;
    while (periodQuery.next()) {
        Period period;
        period.userId = periodQuery.value(0).toLongLong();
        for (int column = 1; column <= 4; ++column)
            period.person << periodQuery.value(column).toString();
        period.start = periodQuery.value(5).toLongLong();
        if (!periodQuery.value(6).isNull())
            period.end = periodQuery.value(6).toLongLong();
        periods << period;
    }

    QSqlQuery bookedQuery = rangeQuery(store,
                                       QStringLiteral("SELECT user_id, start_time, end_time FROM order_time_stamps"
                                                      " WHERE start_time >= :from AND start_time < :to"
                                                      " AND end_time IS NOT NULL"),
                                       range);
    if (!run(bookedQuery, error))
        return false;
    DayTotals booked;
    while (bookedQuery.next()) {
        const qint64 start = bookedQuery.value(1).toLongLong();
        booked[bookedQuery.value(0).toLongLong()][dayOf(start)] += bookedQuery.value(2).toLongLong() - start;
    }

    CsvWriter csv(output);
    if (!writeHoursRows(periods, booked, csv)) {
        *error = QStringLiteral("the file could not be written");
        return false;
    }
    return true;
}

bool writeOrders(Store &store, const DayRange &range, QIODevice &output, QString *error)
{
    // Bin orders are finished once their final checks are saved; custom
    // jobs once submitted.
    const QString finishedBins
        = QStringLiteral("o.status >= %1 AND o.removed_at IS NULL AND o.finished_at >= :from AND o.finished_at < :to")
              .arg(OrderStatus::WaitingForCheck);
    const QString finishedJobs = QStringLiteral("o.status IN (%1, %2, %3) AND o.removed_at IS NULL"
                                                " AND o.finished_at >= :from AND o.finished_at < :to")
                                     .arg(CustomJobStatus::ChangedWhileChecked)
                                     .arg(CustomJobStatus::Submitted)
                                     .arg(CustomJobStatus::Confirmed);

    QHash<QString, OrderDetails> details; // by "bin:<id>" or "custom:<id>"
    const auto gatherLines = [&](const QString &kind, const QString &sql) {
        QSqlQuery query = rangeQuery(store, sql, range);
        if (!run(query, error))
            return false;
        while (query.next()) {
            OrderDetails &order = details[kind + query.value(0).toString()];
            ++order.lines;
            order.repairs << query.value(1).toString();
            if (!query.value(2).toString().isEmpty())
                order.materials << query.value(2).toString();
        }
        return true;
    };
    const auto gatherTime = [&](const QString &kind, const QString &sql) {
        QSqlQuery query = rangeQuery(store, sql, range);
        if (!run(query, error))
            return false;
        while (query.next())
            details[kind + query.value(0).toString()].timedSeconds = query.value(1).toLongLong();
        return true;
    };
    const QString bin = QStringLiteral("bin:");
    const QString custom = QStringLiteral("custom:");
    if (!gatherLines(bin, QStringLiteral("SELECT l.order_id, l.repair_code, l.materials FROM bin_repair_lines l"
                                         " JOIN bin_orders o ON o.id = l.order_id WHERE %1 ORDER BY l.order_id, l.id")
                              .arg(finishedBins))
        || !gatherLines(custom,
                        QStringLiteral("SELECT l.order_id, l.description, l.materials FROM custom_repair_lines l"
                                       " JOIN custom_orders o ON o.id = l.order_id WHERE %1 ORDER BY l.order_id, l.id")
                            .arg(finishedJobs))
        || !gatherTime(bin,
                       QStringLiteral("SELECT t.bin_order_id, SUM(t.end_time - t.start_time) FROM order_time_stamps t"
                                      " JOIN bin_orders o ON o.id = t.bin_order_id"
                                      " WHERE t.end_time IS NOT NULL AND %1 GROUP BY t.bin_order_id")
                           .arg(finishedBins))
        || !gatherTime(custom,
                       QStringLiteral("SELECT t.custom_order_id, SUM(t.end_time - t.start_time)"
                                      " FROM order_time_stamps t JOIN custom_orders o ON o.id = t.custom_order_id"
                                      " WHERE t.end_time IS NOT NULL AND %1 GROUP BY t.custom_order_id")
                           .arg(finishedJobs)))
        return false;

    QSqlQuery orders = rangeQuery(
        store,
        QStringLiteral("SELECT 'bin:', o.id, b.bin_id, o.repair_id, '', o.work_type, u.user_name, o.status,"
                       " o.finished_at FROM bin_orders o JOIN bins b ON b.id = o.bin_ref"
                       " JOIN users u ON u.id = o.owner_id WHERE %1"
                       " UNION ALL"
                       " SELECT 'custom:', o.id, '', NULL, o.customer, 'Custom', u.user_name, o.status, o.finished_at"
                       " FROM custom_orders o JOIN users u ON u.id = o.owner_id WHERE %2"
                       " ORDER BY 9, 2")
            .arg(finishedBins, finishedJobs),
        range);
    if (!run(orders, error))
        return false;

    CsvWriter csv(output);
    csv.writeRow({"Finished", "Work Type", "Bin ID", "Repair ID", "Custom Order", "Customer", "Worker", "Status",
                  "Lines", "Repairs", "Materials", "Hours"});
    while (orders.next()) {
        const QString kind = orders.value(0).toString();
        const OrderDetails order = details.value(kind + orders.value(1).toString());
        const bool isCustom = kind == custom;
        csv.writeRow({dayText(orders.value(8).toLongLong()), orders.value(5).toString(), orders.value(2).toString(),
                      isCustom ? QString() : orders.value(3).toString(),
                      isCustom ? orders.value(1).toString() : QString(), orders.value(4).toString(),
                      orders.value(6).toString(), orders.value(7).toString(), QString::number(order.lines),
                      order.repairs.join(QStringLiteral("; ")), order.materials.join(QStringLiteral("; ")),
                      hoursText(order.timedSeconds)});
    }
    if (!csv.ok()) {
        *error = QStringLiteral("the file could not be written");
        return false;
    }
    return true;
}

} // namespace OfficeExports
