#pragma once

#include "store.h"

#include <QString>

#include <optional>

// One period at work as the clock records hold it.
struct ClockPeriod
{
    qint64 start = 0;
    std::optional<qint64> end; // empty while the user is clocked in

    bool isOpen() const { return !end.has_value(); }
    bool operator==(const ClockPeriod &other) const { return start == other.start && end == other.end; }
};

// Who changes clock records, and when: the address of the terminal the
// request came from, the user logged in there, and the server's time of the
// change.
struct ClockActor
{
    QString terminal;
    QString userName;
    qint64 at = 0;
};

// Clock records are what wages are paid from, so every change to them is
// written down for good: who made it, when, whose period it was, and the
// period before and after. The audit is only ever added to.
namespace ClockAudit {

enum class Action { ClockIn, ClockOut, Add, Edit, Remove };

// Adds one row. Call it inside the transaction of the change, so that the
// change and its row are stored together or not at all.
bool record(Store &store, const ClockActor &actor, Action action, qint64 userId,
            const std::optional<ClockPeriod> &before, const std::optional<ClockPeriod> &after);

} // namespace ClockAudit
