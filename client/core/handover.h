#pragma once

#include "serverlink.h"

#include <QDialog>

// How a screen gives way to the next one: its own link closed quietly, the
// screen hidden (which ends its exec()), the next screen run modally, and
// the screen closed when that returns.
template<typename NextScreen>
void handOver(QDialog *screen, ServerLink *link)
{
    link->close();
    screen->hide();
    NextScreen next;
    next.exec();
    screen->close();
}
