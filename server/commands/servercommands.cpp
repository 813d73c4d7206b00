#include "servercommands.h"

#include "bincommands.h"
#include "customcommands.h"
#include "reviewcommands.h"
#include "sessioncommands.h"
#include "timekeepingcommands.h"

ServerCommands::ServerCommands(ServerServices services)
{
    install<SessionCommands>(services);
    install<BinCommands>(services);
    install<CustomCommands>(services);
    install<ReviewCommands>(services);
    install<TimeKeepingCommands>(services);
}

ServerCommands::~ServerCommands() = default;
