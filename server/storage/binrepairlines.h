#pragma once

#include "store.h"

#include <QList>
#include <QString>

// A repair line of a bin order as the sheets show it.
struct BinRepairLine
{
    QString repairCode;
    QString materials;
    QString time; // hours ":" minutes, as entered
    QString userName; // who entered it
};

// What a worker enters for a line.
struct BinRepairEntry
{
    QString repairCode;
    QString materials;
    QString time; // hours ":" minutes, both decimal
};

// The repair lines of bin orders, in the order they were entered. Lines are
// named by their repair code and materials; where several lines match, the
// earliest is meant.
class BinRepairLines
{
public:
    explicit BinRepairLines(Store &store)
        : store(store)
    { }

    std::optional<QList<BinRepairLine>> of(qint64 orderId) const;

    bool add(qint64 orderId, const BinRepairEntry &entry, qint64 userId, qint64 now);

    enum class Change { Done, NotFound, Failed };
    // Gives the line its new code, materials and time; it keeps its place
    // and the user who entered it.
    Change replace(qint64 orderId, const QString &repairCode, const QString &materials, const BinRepairEntry &entry);
    Change remove(qint64 orderId, const QString &repairCode, const QString &materials);

private:
    // The id of the line, 0 when there is none.
    std::optional<qint64> lineId(qint64 orderId, const QString &repairCode, const QString &materials) const;

    Store &store;
};
