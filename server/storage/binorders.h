#pragma once

#include "store.h"

#include <QList>
#include <QString>

// A bin, by the ID painted on it.
struct Bin
{
    qint64 id = 0;
    QString binId;
    QString workType;
    QString size; // as recorded by its latest order
};

// One repair of one bin. Orders are named by bin ID and repair id.
struct BinOrder
{
    qint64 id = 0; // row id, for the tables that refer to the order
    QString binId;
    int repairId = 0;
    qint64 ownerId = 0;
    QString ownerName;
    QString workType;
    QString codeList;
    QString binSize;
    QString additionalInfo;
    int status = 0;
};

struct NewBinOrder
{
    QString binId;
    int repairId = 0;
    qint64 ownerId = 0;
    QString workType;
    QString codeList;
    QString binSize;
    QString additionalInfo;
};

// The state of the bin before repair.
struct PreChecks
{
    bool lidsGood = false;
    bool chainsGood = false;
    bool lidRodGood = false;
};

// The inspection after repair: the two measurements as entered (the eight
// checks are all passed when the checks are saved).
struct FinalChecks
{
    QString lidSize;
    QString lidTabWidth;
};

// Bins and their work orders, from intake to confirmation, with the
// checks made before and after the repair. Orders that were removed are
// neither found nor listed.
class BinOrders
{
public:
    explicit BinOrders(Store &store)
        : store(store)
    { }

    // Orders with the given status that have not been removed.
    std::optional<qint64> countWithStatus(int status) const;

    // A bin ID of prefix followed by a number that no bin has and that was
    // never proposed before (numbers count up from 1000, per prefix).
    std::optional<QString> proposeBinId(const QString &prefix);

    Lookup<Bin> findBin(const QString &binId) const;
    Lookup<BinOrder> find(const QString &binId, int repairId) const;
    // The bin's order that is still with its worker (status 1 to 3). A bin
    // has two when a checker sent one back while its next repair was open.
    Lookup<BinOrder> openOrderOf(const QString &binId) const;
    // The owner's order of the bin that is still with a worker; of two, the
    // older.
    Lookup<BinOrder> openOrderOf(const QString &binId, const QString &ownerName) const;
    // The repair id of the bin's next order: 1 for a bin not recorded yet.
    std::optional<int> nextRepairId(const QString &binId) const;
    // Every order still with its worker (status 1 to 3), ordered by owner's
    // user name, then oldest first.
    std::optional<QList<BinOrder>> openOrders() const;

    enum class StartResult { Started, BinInProgress, NotNextRepairId, Failed };
    // Records the order at status 1, and the bin when it is new (repair id
    // 1). Refused while the bin has an open order, and for any repair id
    // but the bin's next one.
    StartResult start(const NewBinOrder &order, qint64 now);

    // Moves of an order whose status depends on where it stands. Refused:
    // the order's status is not one of those allowed (or the order is gone),
    // checked in the same transaction as the write.
    enum class Move { Done, Refused, Failed };

    // Sets the status when the order has one of allowedFrom; an order
    // reaching 6 is finished now, and one finished already keeps its time.
    // An order reaching 4 or more is completed by its worker now (the time
    // it keeps through checking and confirmation); one sent back below 4 is
    // no longer completed.
    Move setStatus(qint64 orderId, int status, const QList<int> &allowedFrom, qint64 now);
    // Moves an order that has only been started (1) to "lines recorded" (2).
    bool markLinesRecorded(qint64 orderId);

    // Records the pre-checks, replacing earlier ones.
    bool savePreChecks(qint64 orderId, const PreChecks &checks, qint64 userId, qint64 now);
    Lookup<PreChecks> preChecks(qint64 orderId) const;

    // Records the final checks, replacing earlier ones, and sets the status,
    // when the order has one of allowedFrom.
    Move saveFinalChecks(qint64 orderId, const FinalChecks &checks, int status, const QList<int> &allowedFrom,
                         qint64 userId, qint64 now);
    Lookup<FinalChecks> finalChecks(qint64 orderId) const;

private:
    // Within a transaction: whether the order's status is one of allowed.
    std::optional<bool> statusIsOneOf(qint64 orderId, const QList<int> &allowed) const;
    static Lookup<BinOrder> firstOf(QSqlQuery &query);

    Store &store;
};
