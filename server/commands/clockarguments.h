#pragma once

#include "argumentrules.h"

#include "wire/clocktimes.h"

// The arguments of the time-keeping commands.

// The clock overview's status filter: "All", "In" or "Out".
struct ClockStatusFilterArgument
{
    using Type = QString;
    static constexpr const char *name = "status filter";
    static QString problem(const QString &value)
    {
        if (value == ClockFilter::all() || value == ClockState::in() || value == ClockState::out())
            return {};
        return QStringLiteral("is not \"All\", \"In\" or \"Out\"");
    }
};

// The clock overview's department filter: "All" or a department's name.
struct DepartmentFilterArgument
{
    using Type = QString;
    static constexpr const char *name = "department";
    static QString problem(const QString &value) { return ArgumentRules::longerThan(value, Limits::NameLength); }
};

// A moment as the decimal text of an unsigned 32-bit Unix time. The
// largest such number is what a screen sends for a date it could not
// build, and is refused rather than taken for a day in 2106.
struct ClockTimeArgument
{
    using Type = QString;
    static constexpr const char *name = "time";
    static QString problem(const QString &value)
    {
        if (!ArgumentRules::isWholeNumber(value, 10, 0, ClockTime::Invalid))
            return QStringLiteral("is not a time (seconds since 1970 as decimal digits)");
        if (value.toLongLong() == ClockTime::Invalid)
            return QStringLiteral("is 4294967295, the time sent for a date that could not be built");
        return {};
    }
};

// "New To Old" or "Old To New".
struct TimeStampOrderArgument
{
    using Type = QString;
    static constexpr const char *name = "order";
    static QString problem(const QString &value)
    {
        if (value == TimeStampOrder::newToOld() || value == TimeStampOrder::oldToNew())
            return {};
        return QStringLiteral("is not \"New To Old\" or \"Old To New\"");
    }
};

// The total the browser shows for a period it asks to remove; the period
// itself is named by user, start and end.
struct TimeStampTotalArgument
{
    using Type = QString;
    static constexpr const char *name = "total";
    static QString problem(const QString &value)
    {
        return ArgumentRules::longerThan(value, Limits::TimeStampTotalLength);
    }
};
