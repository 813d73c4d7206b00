#pragma once

#include "store.h"

#include <QList>
#include <QString>

// A bin order as the review lists it.
struct ReviewBinOrder
{
    qint64 orderId = 0;
    QString userName; // the owner
    QString binId;
    QString workType;
    QString codeList;
    int repairId = 0;
    qint64 createdAt = 0;
};

// A custom job as the review lists it and opens it.
struct ReviewCustomJob
{
    qint64 orderId = 0; // the job's number
    QString userName; // the owner
    QString date;
    QString worker;
    QString jobType;
    QString customer;
    QString customerRef;
    QString contactName;
    QString phone;
    QString email;
    qint64 createdAt = 0;
};

// An owner of orders waiting for review, and when the oldest of them was
// started (of two started in the same second, the one recorded first).
struct ReviewOwner
{
    QString userName;
    qint64 oldestCreatedAt = 0;
    qint64 oldestOrderId = 0;
};

// What checkers and managers look at: bin orders at one status and custom
// jobs at any of a few statuses, with their owners. Orders that were removed are never listed.
// Lists come ordered by owner's user name, then oldest order first (the
// time the order was started, then the order it was recorded in).
class ReviewQueries
{
public:
    explicit ReviewQueries(Store &store)
        : store(store)
    { }

    std::optional<qint64> countBinOrders(int status) const;
    std::optional<qint64> countCustomJobs(const QList<int> &statuses) const;

    // Every owner's orders at status, or only ownerId's when it is given.
    std::optional<QList<ReviewBinOrder>> binOrders(int status, std::optional<qint64> ownerId = std::nullopt) const;
    std::optional<QList<ReviewCustomJob>> customJobs(const QList<int> &statuses,
                                                     std::optional<qint64> ownerId = std::nullopt) const;

    // The owners of orders at status (of jobs at one of statuses), each with
    // the oldest of them, in user name order.
    std::optional<QList<ReviewOwner>> binOwners(int status) const;
    std::optional<QList<ReviewOwner>> customOwners(const QList<int> &statuses) const;

    // ownerId's oldest order for binId at status.
    Lookup<ReviewBinOrder> binOrder(qint64 ownerId, const QString &binId, int status) const;
    // Job number orderId of ownerId, when it is at one of statuses.
    Lookup<ReviewCustomJob> customJob(qint64 ownerId, qint64 orderId, const QList<int> &statuses) const;

private:
    Store &store;
};
