#include "clock.h"

#include <QDateTime>
#include <QTimer>

qint64 Clock::now() const
{
    return QDateTime::currentMSecsSinceEpoch();
}

void Clock::callAfter(qint64 milliseconds, QObject *context, std::function<void()> call)
{
    QTimer::singleShot(int(milliseconds), context, std::move(call));
}
