#pragma once

#include <QtGlobal>

// The load program and the echo server each watch many sockets on one
// thread. Qt's GLib-based event loop wakes itself (a write to its event
// descriptor and one more pass) whenever a socket's read or write watch is
// switched, about twice per request; Qt's own loop does not. Call before
// the application object is made.
inline void useQtsOwnEventLoop()
{
    qputenv("QT_NO_GLIB", "1");
}
