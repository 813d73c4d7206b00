#pragma once

#include "clockaudit.h"
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
    // Opens a period starting at the actor's time, unless one is open
    // already (Unchanged). A change is audited.
    Change clockIn(qint64 userId, const ClockActor &actor);
    // Closes the open period at the actor's time (never before its start);
    // Unchanged when no period is open. A change is audited.
    Change clockOut(qint64 userId, const ClockActor &actor);

private:
    Store &store;
};
