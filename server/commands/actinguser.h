#pragma once

#include "reply.h"

#include <QString>

// Who sends a connection's requests: the user logged in at the terminal the
// connection comes from. The terminal's session check sets it in the
// connection's session before each command runs, so that a change records
// who made it and no one removes their own account; it stays empty while
// no login is known for the terminal.
struct ActingUser
{
    QString userName;
};

inline QString actingUserName(const Reply &reply)
{
    return reply.session().get<ActingUser>().userName;
}
