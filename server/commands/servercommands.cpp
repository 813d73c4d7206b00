#include "servercommands.h"

#include "sessioncommands.h"

ServerCommands::ServerCommands(ServerServices services)
{
    install<SessionCommands>(services);
}

ServerCommands::~ServerCommands() = default;
