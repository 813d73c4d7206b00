#pragma once

#include <QString>

// The words and values of the time-keeping screens: clock states, the
// overview's filters, the browser's sort orders, and times on the wire.

// Whether a user is at work, as the clock overview shows it.
namespace ClockState {

inline QString in()
{
    return QStringLiteral("In");
}
inline QString out()
{
    return QStringLiteral("Out");
}

} // namespace ClockState

// "All" in the clock overview's status and department filters.
namespace ClockFilter {

inline QString all()
{
    return QStringLiteral("All");
}

} // namespace ClockFilter

// How the time stamp browser asks for its periods to be ordered.
namespace TimeStampOrder {

inline QString newToOld()
{
    return QStringLiteral("New To Old");
}
inline QString oldToNew()
{
    return QStringLiteral("Old To New");
}

} // namespace TimeStampOrder

// Clock times travel as the decimal text of an unsigned 32-bit Unix time.
namespace ClockTime {

// The largest such number: what a screen sends for a date it could not
// build (the unsigned value of -1). It never names a real moment.
constexpr qint64 Invalid = 4294967295;

// The end sent for a period that is still open (the user is clocked in),
// and the start and end sent for a user who never clocked in.
constexpr qint64 None = 0;

} // namespace ClockTime
