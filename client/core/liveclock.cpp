#include "liveclock.h"

#include "appstate.h"

#include <QDateTime>

namespace {
constexpr int TicksPerSecond = 20;

quint32 currentSeconds()
{
    return quint32(QDateTime::currentSecsSinceEpoch());
}

bool running()
{
    return AppState::instance().liveClockRunning();
}
} // namespace

LiveClock::LiveClock(QObject *parent)
    : QThread(parent)
    , startTime(currentSeconds())
{ }

LiveClock::~LiveClock()
{
    stop();
}

void LiveClock::stop()
{
    if (isRunning())
        AppState::instance().setLiveClockRunning(false);
    wait();
}

QString LiveClock::elapsedText(quint32 seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toString(QStringLiteral("hh:mm:ss"));
}

void LiveClock::run()
{
    while (running()) {
        nowTime = currentSeconds();
        elapsedSeconds = nowTime - startTime;
        emit LiveClockUpdate(elapsedText(elapsedSeconds));
        if (!sleepWhileRunning())
            return;
    }
}

bool LiveClock::sleepWhileRunning()
{
    for (int tick = 0; tick < TicksPerSecond; ++tick) {
        if (!running())
            return false;
        QThread::msleep(1000 / TicksPerSecond);
    }
    return running();
}
