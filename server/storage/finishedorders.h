#pragma once

#include "customorders.h"
#include "store.h"

#include <QString>
#include <QStringList>
#include <QVector>

// A bin order the worker has finished, as the finished-order lists show it.
struct FinishedBinOrder
{
    qint64 ownerId = 0;
    QString userName; // the owner's
    QString binId;
    int repairId = 0;
    qint64 completedAt = 0;
};
// Lists of thousands grow by moving their rows' bytes.
Q_DECLARE_TYPEINFO(FinishedBinOrder, Q_MOVABLE_TYPE);

// A custom job its worker has submitted, as the finished-order lists show it.
struct FinishedCustomJob
{
    qint64 ownerId = 0;
    QString userName; // the owner's
    qint64 orderId = 0;
    QString jobType;
    QString customer;
    QString customerRef;
    qint64 completedAt = 0;
};
Q_DECLARE_TYPEINFO(FinishedCustomJob, Q_MOVABLE_TYPE);

// Finished orders: bin orders at status 4 to 6 (final checks saved, checked,
// confirmed) and custom jobs waiting for confirmation or confirmed (3, 5, 6).
// Lists come grouped by owner's user name; within an owner by the time the
// worker finished the order, newest or oldest first (orders finished in the
// same second in the order they were recorded, or its reverse).
//
// Removal keeps an order with its lines, checks and time, marked removed
// with who and when; removed orders are never listed or found again.
class FinishedOrders
{
public:
    explicit FinishedOrders(Store &store)
        : store(store)
    { }

    enum class Sequence { NewestFirst, OldestFirst };

    // The owners of finished orders of any kind, by user name.
    std::optional<QStringList> owners() const;

    // The finished orders of a bin work type, every owner's or ownerId's.
    std::optional<QVector<FinishedBinOrder>> binOrders(const QString &workType, std::optional<qint64> ownerId,
                                                       Sequence sequence) const;
    std::optional<QVector<FinishedCustomJob>> customJobs(std::optional<qint64> ownerId, Sequence sequence) const;

    enum class Removal { Removed, NotFound, Failed };
    // removedBy: the user who removes it, when known.
    Removal removeBinOrder(qint64 ownerId, const QString &binId, int repairId, std::optional<qint64> removedBy,
                           qint64 now);
    Removal removeCustomJob(qint64 ownerId, const CustomJobKey &key, std::optional<qint64> removedBy, qint64 now);

private:
    Removal remove(QSqlQuery &update, std::optional<qint64> removedBy, qint64 now);

    Store &store;
};
