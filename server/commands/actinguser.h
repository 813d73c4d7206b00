#pragma once

#include <QString>

// The user logged in at the terminal a request came from, for commands that
// record who acted (a removal). The check of the terminal's session fills it
// in before the command runs; it stays empty where no session is known, and
// such acts are recorded without a name.
struct ActingUser
{
    QString userName;
};
