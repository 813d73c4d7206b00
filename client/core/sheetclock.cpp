#include "sheetclock.h"

#include "appstate.h"
#include "liveclock.h"

SheetClock::SheetClock(QObject *sheet)
    : sheet(sheet)
{ }

SheetClock::~SheetClock()
{
    stop();
}

void SheetClock::start()
{
    stop();
    delete clock;
    AppState::instance().setLiveClockRunning(true);
    clock = new LiveClock(sheet);
    QObject::connect(clock, SIGNAL(LiveClockUpdate(QString)), sheet, SLOT(ClockUpdate(QString)));
    clock->start(QThread::InheritPriority);
}

void SheetClock::stop()
{
    if (clock)
        clock->stop();
}
