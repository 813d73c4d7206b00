#pragma once

#include "auth/clock.h"

#include <QDateTime>
#include <QList>
#include <QTimer>

#include <atomic>

// A clock that moves only when told to. A wait asked of it is noted and
// passes at once, moving the clock on by its length.
class ManualClock : public Clock
{
public:
    qint64 now() const override { return current; }
    void callAfter(qint64 milliseconds, QObject *context, std::function<void()> call) override
    {
        waits.append(milliseconds);
        advance(milliseconds);
        QTimer::singleShot(0, context, std::move(call));
    }
    void advance(qint64 milliseconds) { current += milliseconds; }

    // The waits asked for so far, in milliseconds.
    QList<qint64> waits;

private:
    std::atomic<qint64> current{QDateTime::currentMSecsSinceEpoch()};
};
