#include "servercommands.h"

#include "bincommands.h"
#include "customcommands.h"
#include "finishedordercommands.h"
#include "reviewcommands.h"
#include "sessioncommands.h"

ServerCommands::ServerCommands(ServerServices services)
{
    install<SessionCommands>(services);
    install<BinCommands>(services);
    install<CustomCommands>(services);
    install<ReviewCommands>(services);
    install<FinishedOrderCommands>(services);
}

ServerCommands::~ServerCommands() = default;
