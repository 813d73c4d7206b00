#include "manualclock.h"

#include <QDateTime>
#include <QTimer>

ManualClock::ManualClock()
    : current(QDateTime::currentMSecsSinceEpoch())
{ }

void ManualClock::callAfter(qint64 milliseconds, QObject *context, std::function<void()> call)
{
    waits.append(milliseconds);
    advance(milliseconds);
    QTimer::singleShot(0, context, std::move(call));
}
