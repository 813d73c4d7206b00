#include "binorders.h"

#include "wire/orderstatus.h"

#include <QVariant>

namespace {

constexpr qint64 FirstProposedNumber = 1000;

const QString OrderColumns = QStringLiteral(
    "SELECT o.id, b.bin_id, o.repair_id, o.owner_id, u.user_name, o.work_type, o.code_list, o.bin_size,"
    " o.additional_info, o.status"
    " FROM bin_orders o JOIN bins b ON b.id = o.bin_ref JOIN users u ON u.id = o.owner_id"
    " WHERE o.removed_at IS NULL");

// Orders still with their worker: started, lines recorded, sheet submitted.
const QString OpenStatuses
    = QStringLiteral("o.status BETWEEN %1 AND %2").arg(OrderStatus::Started).arg(OrderStatus::FrontEndSheetSubmitted);

BinOrder orderFrom(const QSqlQuery &query)
{
    BinOrder order;
    order.id = query.value(0).toLongLong();
    order.binId = query.value(1).toString();
    order.repairId = query.value(2).toInt();
    order.ownerId = query.value(3).toLongLong();
    order.ownerName = query.value(4).toString();
    order.workType = query.value(5).toString();
    order.codeList = query.value(6).toString();
    order.binSize = query.value(7).toString();
    order.additionalInfo = query.value(8).toString();
    order.status = query.value(9).toInt();
    return order;
}

std::optional<bool> binExists(const Store &store, const QString &binId)
{
    QSqlQuery query = store.prepare(QStringLiteral("SELECT 1 FROM bins WHERE bin_id = :bin"));
    query.bindValue(QStringLiteral(":bin"), textValue(binId));
    if (!Store::execute(query))
        return std::nullopt;
    return query.next();
}

} // namespace

std::optional<qint64> BinOrders::countWithStatus(int status) const
{
    QSqlQuery query = store.prepare(
        QStringLiteral("SELECT COUNT(*) FROM bin_orders WHERE status = :status AND removed_at IS NULL"));
    query.bindValue(QStringLiteral(":status"), status);
    if (!Store::execute(query) || !query.next())
        return std::nullopt;
    return query.value(0).toLongLong();
}

// The counter remembers the last number proposed, so a proposal never
// repeats, even when its bin is never recorded; numbers that bins entered
// by hand already have are skipped.
std::optional<QString> BinOrders::proposeBinId(const QString &prefix)
{
    QString proposal;
    const bool committed = store.transaction([&] {
        QSqlQuery read
            = store.prepare(QStringLiteral("SELECT last_number FROM bin_id_counters WHERE prefix = :prefix"));
        read.bindValue(QStringLiteral(":prefix"), textValue(prefix));
        if (!Store::execute(read))
            return false;
        const bool counted = read.next();
        qint64 number = counted ? read.value(0).toLongLong() + 1 : FirstProposedNumber;
        read.finish();
        for (;;) {
            const std::optional<bool> taken = binExists(store, prefix + QString::number(number));
            if (!taken)
                return false;
            if (!*taken)
                break;
            ++number;
        }
        QSqlQuery write = store.prepare(
            counted ? QStringLiteral("UPDATE bin_id_counters SET last_number = :number WHERE prefix = :prefix")
                    : QStringLiteral("INSERT INTO bin_id_counters (prefix, last_number) VALUES (:prefix, :number)"));
        write.bindValue(QStringLiteral(":prefix"), textValue(prefix));
        write.bindValue(QStringLiteral(":number"), number);
        if (!Store::execute(write))
            return false;
        proposal = prefix + QString::number(number);
        return true;
    });
    if (!committed)
        return std::nullopt;
    return proposal;
}

Lookup<Bin> BinOrders::findBin(const QString &binId) const
{
    QSqlQuery query = store.prepare(QStringLiteral("SELECT id, work_type, bin_size FROM bins WHERE bin_id = :bin"));
    query.bindValue(QStringLiteral(":bin"), textValue(binId));
    if (!Store::execute(query))
        return Lookup<Bin>::failure();
    if (!query.next())
        return Lookup<Bin>::missing();
    Bin bin;
    bin.id = query.value(0).toLongLong();
    bin.binId = binId;
    bin.workType = query.value(1).toString();
    bin.size = query.value(2).toString();
    return Lookup<Bin>::of(bin);
}

Lookup<BinOrder> BinOrders::firstOf(QSqlQuery &query)
{
    if (!Store::execute(query))
        return Lookup<BinOrder>::failure();
    if (!query.next())
        return Lookup<BinOrder>::missing();
    return Lookup<BinOrder>::of(orderFrom(query));
}

// A bin's repair ids are unique: there is no order to sort by, which
// would cost the lookup a sort of its one row.
Lookup<BinOrder> BinOrders::find(const QString &binId, int repairId) const
{
    QSqlQuery query = store.prepare(OrderColumns + QStringLiteral(" AND b.bin_id = :bin AND o.repair_id = :repair"));
    query.bindValue(QStringLiteral(":bin"), textValue(binId));
    query.bindValue(QStringLiteral(":repair"), repairId);
    return firstOf(query);
}

Lookup<BinOrder> BinOrders::openOrderOf(const QString &binId) const
{
    QSqlQuery query = store.prepare(OrderColumns + QStringLiteral(" AND b.bin_id = :bin AND ") + OpenStatuses
                                    + QStringLiteral(" ORDER BY o.repair_id DESC"));
    query.bindValue(QStringLiteral(":bin"), textValue(binId));
    return firstOf(query);
}

Lookup<BinOrder> BinOrders::openOrderOf(const QString &binId, const QString &ownerName) const
{
    QSqlQuery query = store.prepare(OrderColumns + QStringLiteral(" AND b.bin_id = :bin AND u.user_name = :owner AND ")
                                    + OpenStatuses + QStringLiteral(" ORDER BY o.repair_id"));
    query.bindValue(QStringLiteral(":bin"), textValue(binId));
    query.bindValue(QStringLiteral(":owner"), textValue(ownerName));
    return firstOf(query);
}

std::optional<int> BinOrders::nextRepairId(const QString &binId) const
{
    // Removed orders keep their repair ids.
    QSqlQuery query = store.prepare(QStringLiteral("SELECT COALESCE(MAX(o.repair_id), 0) + 1 FROM bin_orders o JOIN "
                                                   "bins b ON b.id = o.bin_ref WHERE b.bin_id = :bin"));
    query.bindValue(QStringLiteral(":bin"), textValue(binId));
    if (!Store::execute(query) || !query.next())
        return std::nullopt;
    return query.value(0).toInt();
}

std::optional<QList<BinOrder>> BinOrders::openOrders() const
{
    QSqlQuery query = store.prepare(OrderColumns + QStringLiteral(" AND ") + OpenStatuses
                                    + QStringLiteral(" ORDER BY u.user_name, o.created_at, o.id"));
    if (!Store::execute(query))
        return std::nullopt;
    QList<BinOrder> orders;
    while (query.next())
        orders.append(orderFrom(query));
    return orders;
}

BinOrders::StartResult BinOrders::start(const NewBinOrder &order, qint64 now)
{
    StartResult result = StartResult::Failed;
    const bool committed = store.transaction([&] {
        const Lookup<Bin> bin = findBin(order.binId);
        if (bin.failed())
            return false;
        qint64 binRef = 0;
        if (bin.found()) {
            const Lookup<BinOrder> open = openOrderOf(order.binId);
            if (open.failed())
                return false;
            if (open.found()) {
                result = StartResult::BinInProgress;
                return false;
            }
            const std::optional<int> next = nextRepairId(order.binId);
            if (!next)
                return false;
            if (order.repairId != *next) {
                result = StartResult::NotNextRepairId;
                return false;
            }
            binRef = bin->id;
            QSqlQuery size = store.prepare(QStringLiteral("UPDATE bins SET bin_size = :size WHERE id = :id"));
            size.bindValue(QStringLiteral(":size"), textValue(order.binSize));
            size.bindValue(QStringLiteral(":id"), binRef);
            if (!order.binSize.isEmpty() && !Store::execute(size))
                return false;
        } else {
            if (order.repairId != 1) {
                result = StartResult::NotNextRepairId;
                return false;
            }
            QSqlQuery insert
                = store.prepare(QStringLiteral("INSERT INTO bins (bin_id, work_type, bin_size, created_at) VALUES "
                                               "(:bin, :type, :size, :now) RETURNING id"));
            insert.bindValue(QStringLiteral(":bin"), textValue(order.binId));
            insert.bindValue(QStringLiteral(":type"), textValue(order.workType));
            insert.bindValue(QStringLiteral(":size"), textValue(order.binSize));
            insert.bindValue(QStringLiteral(":now"), now);
            const std::optional<qint64> id = Store::insertReturningId(insert);
            if (!id)
                return false;
            binRef = *id;
        }
        QSqlQuery insert = store.prepare(QStringLiteral(
            "INSERT INTO bin_orders (bin_ref, bin_id, repair_id, owner_id, work_type, code_list, bin_size, "
            "additional_info, status, created_at)"
            " VALUES (:bin, :binId, :repair, :owner, :type, :list, :size, :info, :status, :now)"));
        insert.bindValue(QStringLiteral(":bin"), binRef);
        insert.bindValue(QStringLiteral(":binId"), textValue(order.binId));
        insert.bindValue(QStringLiteral(":repair"), order.repairId);
        insert.bindValue(QStringLiteral(":owner"), order.ownerId);
        insert.bindValue(QStringLiteral(":type"), textValue(order.workType));
        insert.bindValue(QStringLiteral(":list"), textValue(order.codeList));
        insert.bindValue(QStringLiteral(":size"), textValue(order.binSize));
        insert.bindValue(QStringLiteral(":info"), textValue(order.additionalInfo));
        insert.bindValue(QStringLiteral(":status"), OrderStatus::Started);
        insert.bindValue(QStringLiteral(":now"), now);
        if (!Store::execute(insert))
            return false;
        result = StartResult::Started;
        return true;
    });
    if (result == StartResult::Started && !committed)
        return StartResult::Failed;
    return result;
}

std::optional<bool> BinOrders::statusIsOneOf(qint64 orderId, const QList<int> &allowed) const
{
    QSqlQuery query
        = store.prepare(QStringLiteral("SELECT status FROM bin_orders WHERE id = :id AND removed_at IS NULL"));
    query.bindValue(QStringLiteral(":id"), orderId);
    if (!Store::execute(query))
        return std::nullopt;
    const bool allowedNow = query.next() && allowed.contains(query.value(0).toInt());
    query.finish();
    return allowedNow;
}

BinOrders::Move BinOrders::setStatus(qint64 orderId, int status, const QList<int> &allowedFrom, qint64 now)
{
    Move move = Move::Failed;
    const bool committed = store.transaction([&] {
        const std::optional<bool> allowed = statusIsOneOf(orderId, allowedFrom);
        if (!allowed)
            return false;
        if (!*allowed) {
            move = Move::Refused;
            return false;
        }
        QSqlQuery update = store.prepare(QStringLiteral(
            "UPDATE bin_orders SET status = :status,"
            " finished_at = CASE WHEN :finished = 1 THEN COALESCE(finished_at, :now) ELSE NULL END,"
            " completed_at = CASE WHEN :completed = 1 THEN COALESCE(completed_at, :completedAt) ELSE NULL END"
            " WHERE id = :id"));
        update.bindValue(QStringLiteral(":status"), status);
        update.bindValue(QStringLiteral(":finished"), status == OrderStatus::Confirmed ? 1 : 0);
        update.bindValue(QStringLiteral(":completed"), status >= OrderStatus::WaitingForCheck ? 1 : 0);
        update.bindValue(QStringLiteral(":completedAt"), now);
        update.bindValue(QStringLiteral(":now"), now);
        update.bindValue(QStringLiteral(":id"), orderId);
        if (!Store::execute(update))
            return false;
        move = Move::Done;
        return true;
    });
    return move == Move::Done && !committed ? Move::Failed : move;
}

bool BinOrders::markLinesRecorded(qint64 orderId)
{
    return store.transaction([&] {
        QSqlQuery update = store.prepare(
            QStringLiteral("UPDATE bin_orders SET status = :recorded WHERE id = :id AND status = :started"));
        update.bindValue(QStringLiteral(":recorded"), OrderStatus::LinesRecorded);
        update.bindValue(QStringLiteral(":id"), orderId);
        update.bindValue(QStringLiteral(":started"), OrderStatus::Started);
        return Store::execute(update);
    });
}

bool BinOrders::savePreChecks(qint64 orderId, const PreChecks &checks, qint64 userId, qint64 now)
{
    return store.transaction([&] {
        QSqlQuery remove = store.prepare(QStringLiteral("DELETE FROM pre_checks WHERE order_id = :order"));
        remove.bindValue(QStringLiteral(":order"), orderId);
        if (!Store::execute(remove))
            return false;
        QSqlQuery insert = store.prepare(QStringLiteral(
            "INSERT INTO pre_checks (order_id, lids_good, chains_good, lid_rod_good, user_id, recorded_at)"
            " VALUES (:order, :lids, :chains, :rod, :user, :now)"));
        insert.bindValue(QStringLiteral(":order"), orderId);
        insert.bindValue(QStringLiteral(":lids"), checks.lidsGood ? 1 : 0);
        insert.bindValue(QStringLiteral(":chains"), checks.chainsGood ? 1 : 0);
        insert.bindValue(QStringLiteral(":rod"), checks.lidRodGood ? 1 : 0);
        insert.bindValue(QStringLiteral(":user"), userId);
        insert.bindValue(QStringLiteral(":now"), now);
        return Store::execute(insert);
    });
}

Lookup<PreChecks> BinOrders::preChecks(qint64 orderId) const
{
    QSqlQuery query = store.prepare(
        QStringLiteral("SELECT lids_good, chains_good, lid_rod_good FROM pre_checks WHERE order_id = :order"));
    query.bindValue(QStringLiteral(":order"), orderId);
    if (!Store::execute(query))
        return Lookup<PreChecks>::failure();
    if (!query.next())
        return Lookup<PreChecks>::missing();
    PreChecks checks;
    checks.lidsGood = query.value(0).toInt() == 1;
    checks.chainsGood = query.value(1).toInt() == 1;
    checks.lidRodGood = query.value(2).toInt() == 1;
    return Lookup<PreChecks>::of(checks);
}

BinOrders::Move BinOrders::saveFinalChecks(qint64 orderId, const FinalChecks &checks, int status,
                                           const QList<int> &allowedFrom, qint64 userId, qint64 now)
{
    Move move = Move::Failed;
    const bool committed = store.transaction([&] {
        move = setStatus(orderId, status, allowedFrom, now);
        if (move != Move::Done)
            return false;
        QSqlQuery remove = store.prepare(QStringLiteral("DELETE FROM final_checks WHERE order_id = :order"));
        remove.bindValue(QStringLiteral(":order"), orderId);
        if (!Store::execute(remove))
            return false;
        QSqlQuery insert = store.prepare(
            QStringLiteral("INSERT INTO final_checks (order_id, lid_size, lid_tab_width, user_id, recorded_at)"
                           " VALUES (:order, :size, :width, :user, :now)"));
        insert.bindValue(QStringLiteral(":order"), orderId);
        insert.bindValue(QStringLiteral(":size"), textValue(checks.lidSize));
        insert.bindValue(QStringLiteral(":width"), textValue(checks.lidTabWidth));
        insert.bindValue(QStringLiteral(":user"), userId);
        insert.bindValue(QStringLiteral(":now"), now);
        return Store::execute(insert);
    });
    return move == Move::Done && !committed ? Move::Failed : move;
}

Lookup<FinalChecks> BinOrders::finalChecks(qint64 orderId) const
{
    QSqlQuery query
        = store.prepare(QStringLiteral("SELECT lid_size, lid_tab_width FROM final_checks WHERE order_id = :order"));
    query.bindValue(QStringLiteral(":order"), orderId);
    if (!Store::execute(query))
        return Lookup<FinalChecks>::failure();
    if (!query.next())
        return Lookup<FinalChecks>::missing();
    FinalChecks checks;
    checks.lidSize = query.value(0).toString();
    checks.lidTabWidth = query.value(1).toString();
    return Lookup<FinalChecks>::of(checks);
}
