#include "sheetclock.h"

#include "appstate.h"
#include "liveclock.h"

SheetClock::SheetClock(QObject *sheet, Display display)
    : sheet(sheet)
    , display(std::move(display))
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
    QObject::connect(clock, &LiveClock::LiveClockUpdate, sheet, display);
    clock->start(QThread::InheritPriority);
}

void SheetClock::stop()
{
    if (clock)
        clock->stop();
}
