#pragma once

#include "store.h"

// Attendance: one row per period a user is at work. A user is "in" while a
// period without an end exists; there is never more than one such period.
class ClockRecords
{
public:
    explicit ClockRecords(Store &store)
        : store(store)
    { }

    enum class State { NeverClocked, In, Out };
    std::optional<State> state(qint64 userId) const;

    enum class Change { Done, Unchanged, Failed };
    // Opens a period starting now, unless one is open already (Unchanged).
    Change clockIn(qint64 userId, qint64 now);
    // Closes the open period at now (never before its start); Unchanged
    // when no period is open.
    Change clockOut(qint64 userId, qint64 now);

private:
    Store &store;
};
