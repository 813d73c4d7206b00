#pragma once

#include "clockaudit.h"
#include "store.h"

#include <QList>
#include <QString>
#include <QStringList>

// An active user in the clock overview, with their latest period: the open
// one while they are clocked in; none for a user who never clocked in.
struct ClockOverviewRow
{
    QString userName;
    std::optional<ClockPeriod> latest;
};

struct UserClockPeriod
{
    qint64 ownerId = 0;
    QString userName; // the owner's
    ClockPeriod period;
};

// The clock records as the office sees and corrects them: who is in, each
// user's periods over a span of days, and periods added, corrected and
// removed by hand. Periods of one user never overlap, an open period
// reaching on without end; each change is one transaction with its audit row.
class ClockPeriods
{
public:
    explicit ClockPeriods(Store &store)
        : store(store)
    { }

    // Active users by user name, of one department when it is given.
    std::optional<QList<ClockOverviewRow>> overview(const std::optional<QString> &department) const;

    // Every user with a clock record and every active user, by user name.
    std::optional<QStringList> userNames() const;

    // When the user's earliest period starts; not found when they have none.
    Lookup<qint64> earliestStart(qint64 userId) const;

    enum class Order { OldestFirst, NewestFirst };
    // The user's periods that start from from to to, both included.
    std::optional<QList<ClockPeriod>> periods(qint64 userId, qint64 from, qint64 to, Order order) const;
    // The same for every user, by user name and then in the order asked.
    std::optional<QList<UserClockPeriod>> allPeriods(qint64 from, qint64 to, Order order) const;

    enum class Change { Done, NotFound, Overlaps, Failed };
    // Adds a closed period, unless it overlaps one of the user's periods.
    Change add(qint64 userId, const ClockPeriod &period, const ClockActor &actor);
    // Replaces the user's period that is exactly old (an open one when old
    // has no end) by the closed period updated, unless that overlaps
    // another of the user's periods.
    Change replace(qint64 userId, const ClockPeriod &old, const ClockPeriod &updated, const ClockActor &actor);
    // Deletes the user's period that is exactly period; the audit keeps it.
    Change remove(qint64 userId, const ClockPeriod &period, const ClockActor &actor);

private:
    Lookup<qint64> exactPeriod(qint64 userId, const ClockPeriod &period) const;
    std::optional<bool> overlapsAnother(qint64 userId, const ClockPeriod &period, qint64 exceptId) const;

    Store &store;
};
