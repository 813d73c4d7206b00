#pragma once

#include <QtGlobal>

#include <functional>

class QObject;

// The time as the terminal sessions and the login throttle see it, and
// their way of waiting. Tests put a clock of their own in its place, so
// that hours of idleness and growing waits pass without sleeping.
class Clock
{
public:
    virtual ~Clock() = default;

    // Milliseconds since the Unix epoch; safe to call from any thread.
    virtual qint64 now() const;

    // Calls call on context's thread after the given time, unless context
    // is gone by then.
    virtual void callAfter(qint64 milliseconds, QObject *context, std::function<void()> call);
};
