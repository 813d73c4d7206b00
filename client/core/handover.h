#pragma once

#include "navigation.h"
#include "serverlink.h"

#include <QDialog>

// How a screen gives way to the next one: its own link closed quietly, the
// screen hidden (which ends its exec()), the next screen run modally, and
// the screen closed when that returns.
inline void handOver(QDialog *screen, ServerLink *link, ScreenKind next)
{
    link->close();
    screen->hide();
    Navigation::run(next);
    screen->close();
}

// How a screen runs another on top of itself and comes back to it: its own
// link closed quietly while the other screen runs modally with this one
// hidden, then this screen shown again and its link reopened.
inline void runWithLinkClosed(QWidget *screen, ServerLink *link, ScreenKind other)
{
    link->close();
    screen->hide();
    Navigation::run(other);
    screen->show();
    link->reopen();
}
