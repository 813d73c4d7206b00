#pragma once

#include <QString>

#include <functional>

class LiveClock;
class QObject;

// The live clock of a repair sheet. Each start of timing runs a new
// LiveClock, a child of the sheet, whose text goes to the sheet's
// display function. Stopping clears the running flag and waits
// for the thread to return; the thread is never terminated. A sheet stops
// its clock before its form goes, and the clock stops itself at the latest
// when it is destroyed.
class SheetClock
{
public:
    using Display = std::function<void(const QString &elapsed)>;

    SheetClock(QObject *sheet, Display display);
    ~SheetClock();
    SheetClock(const SheetClock &) = delete;
    SheetClock &operator=(const SheetClock &) = delete;

    // Stops and releases the clock of an earlier start, then counts from now.
    void start();
    void stop();

private:
    QObject *sheet;
    Display display;
    LiveClock *clock = nullptr;
};
