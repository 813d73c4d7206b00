#pragma once

#include "store.h"

#include <QString>

#include <optional>

// The order a time stamp books time on: a bin order or a custom order, by
// its row id (bin_orders.id or custom_orders.id).
struct TimedOrder
{
    enum class Kind { Bin, Custom };

    Kind kind = Kind::Bin;
    qint64 id = 0;

    static TimedOrder bin(qint64 orderId) { return {Kind::Bin, orderId}; }
    static TimedOrder custom(qint64 orderId) { return {Kind::Custom, orderId}; }

    bool operator==(const TimedOrder &other) const { return kind == other.kind && id == other.id; }
    bool operator!=(const TimedOrder &other) const { return !(*this == other); }
};

struct OrderTimeStamp
{
    qint64 id = 0;
    TimedOrder order;
    qint64 userId = 0;
    qint64 start = 0;
    std::optional<qint64> end; // empty while the timing runs
};

// Time worked on orders, bin and custom alike. Starting the timing on an
// order opens a stamp, ending it closes that stamp; the time booked on an
// order is the sum of its closed stamps. A stamp that is never closed (a
// sheet left without ending its timing) books nothing.
class OrderTimeStamps
{
public:
    explicit OrderTimeStamps(Store &store)
        : store(store)
    { }

    struct Opened
    {
        qint64 stampId = 0;
        double bookedHours = 0; // booked on the order before this stamp
    };
    // Opens a stamp for the user on the order, starting at now.
    std::optional<Opened> open(const TimedOrder &order, qint64 userId, qint64 now);

    Lookup<OrderTimeStamp> find(qint64 stampId) const;

    enum class Close { Closed, AlreadyClosed, NotFound, Failed };
    // Ends an open stamp at now, never before its start. A closed stamp
    // keeps its end (AlreadyClosed).
    Close close(qint64 stampId, qint64 now);

    // The hours booked on the order.
    std::optional<double> totalHours(const TimedOrder &order) const;

    // Hours as the screens show them: decimal text with two decimals ("1.50").
    static QString hoursText(double hours);

private:
    Store &store;
};
