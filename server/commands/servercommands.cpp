#include "servercommands.h"

#include "accessgate.h"
#include "bincommands.h"
#include "customcommands.h"
#include "departmentcommands.h"
#include "finishedordercommands.h"
#include "repaircodecommands.h"
#include "reviewcommands.h"
#include "sessioncommands.h"
#include "timekeepingcommands.h"
#include "useradmincommands.h"

ServerCommands::ServerCommands(ServerServices services)
{
    install<SessionCommands>(services);
    install<BinCommands>(services);
    install<CustomCommands>(services);
    install<ReviewCommands>(services);
    install<RepairCodeCommands>(services);
    install<UserAdminCommands>(services);
    install<DepartmentCommands>(services);
    install<FinishedOrderCommands>(services);
    install<TimeKeepingCommands>(services);

    gate = std::make_unique<AccessGate>(services.store, services.sessions);
    table.setGate([this](const QString &command, const QStringList &arguments, const Reply &reply) {
        return gate->admits(command, arguments, reply);
    });
    table.setAsideCheck([this](const Reply &reply) { return gate->servesAside(reply); });
}

ServerCommands::~ServerCommands() = default;
