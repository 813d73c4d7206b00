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

// How a screen runs another on top of itself and comes back to it: its own
// link closed quietly while the other screen runs modally with this one
// hidden, then this screen shown again and its link reopened.
template<typename OtherScreen>
void runWithLinkClosed(QWidget *screen, ServerLink *link)
{
    link->close();
    screen->hide();
    {
        OtherScreen other;
        other.exec();
    }
    screen->show();
    link->reopen();
}
