#include "departmentcommands.h"

#include "actinguser.h"
#include "commanddispatcher.h"
#include "maintenancearguments.h"
#include "storedchange.h"

#include "wire/commands.h"
#include "wire/replytags.h"

namespace {

AuditEntry entryFor(const Reply &reply, const QString &command, const QString &name, bool listedAfter)
{
    const QJsonObject listed{{QStringLiteral("name"), name}};
    return {actingUserName(reply), command, QStringLiteral("department %1").arg(name),
            listedAfter ? QJsonObject() : listed, listedAfter ? listed : QJsonObject()};
}

} // namespace

DepartmentCommands::DepartmentCommands(ServerServices services)
    : store(services.store)
    , departments(services.store)
    , audit(services.store)
{ }

void DepartmentCommands::registerCommands(CommandDispatcher &dispatcher)
{
    dispatcher.add<>(Command::GetDepartments, [this](const Reply &reply) { list(reply); });
    dispatcher.add<NewDepartmentArgument>(Command::AddDepartment,
                                          [this](const Reply &reply, const QString &name) { add(reply, name); });
    dispatcher.add<DepartmentNameArgument>(Command::RemoveDepartment,
                                           [this](const Reply &reply, const QString &name) { remove(reply, name); });
}

void DepartmentCommands::list(const Reply &reply)
{
    const std::optional<QStringList> names = departments.names();
    if (reply.storeFailed(names))
        return;
    reply.send(ReplyTag::GetDepartments, *names);
}

// A name removed earlier is listed again, with the users who kept it.
void DepartmentCommands::add(const Reply &reply, const QString &name)
{
    applyStoredChange(store, reply, ReplyTag::AddDepartment, [&](QString &refusal, qint64 now) {
        const Lookup<Department> existing = departments.find(name);
        if (existing.failed())
            return false;
        if (existing.found() && !existing->removed) {
            refusal = QStringLiteral("the department \"%1\" is listed already").arg(name);
            return false;
        }
        return departments.ensure(name).has_value()
               && audit.record(entryFor(reply, Command::AddDepartment, name, true), now);
    });
}

// Users keep the department they had; it is only no longer offered.
void DepartmentCommands::remove(const Reply &reply, const QString &name)
{
    applyStoredChange(store, reply, ReplyTag::RemoveDepartment, [&](QString &refusal, qint64 now) {
        const Lookup<Department> existing = departments.find(name);
        if (existing.failed())
            return false;
        if (!existing.found() || existing->removed) {
            refusal = QStringLiteral("there is no department \"%1\" in the list").arg(name);
            return false;
        }
        return departments.remove(name, now)
               && audit.record(entryFor(reply, Command::RemoveDepartment, name, false), now);
    });
}
