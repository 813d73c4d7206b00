#include "departmentcommands.h"

#include "actinguser.h"
#include "commanddispatcher.h"
#include "maintenancearguments.h"

#include "wire/commands.h"
#include "wire/replytags.h"

#include <QDateTime>

namespace {

// How a change went: done, refused because the name is (or is not)
// listed, or the store failed.
enum class Outcome { Done, Refused, Failed };

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
    if (!names) {
        reply.storeFailure();
        return;
    }
    reply.send(ReplyTag::GetDepartments, *names);
}

// A name removed earlier is listed again, with the users who kept it.
void DepartmentCommands::add(const Reply &reply, const QString &name)
{
    Outcome outcome = Outcome::Failed;
    const bool stored = store.transaction([&] {
        const Lookup<Department> existing = departments.find(name);
        if (existing.failed())
            return false;
        if (existing.found() && !existing->removed) {
            outcome = Outcome::Refused;
            return false;
        }
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        if (!departments.ensure(name) || !audit.record(entryFor(reply, Command::AddDepartment, name, true), now))
            return false;
        outcome = Outcome::Done;
        return true;
    });
    if (!stored && outcome == Outcome::Done)
        outcome = Outcome::Failed;
    switch (outcome) {
    case Outcome::Done:
        reply.send(ReplyTag::AddDepartment);
        return;
    case Outcome::Refused:
        reply.error(QStringLiteral("the department \"%1\" is listed already").arg(name));
        return;
    case Outcome::Failed:
        reply.storeFailure();
        return;
    }
}

// Users keep the department they had; it is only no longer offered.
void DepartmentCommands::remove(const Reply &reply, const QString &name)
{
    Outcome outcome = Outcome::Failed;
    const bool stored = store.transaction([&] {
        const Lookup<Department> existing = departments.find(name);
        if (existing.failed())
            return false;
        if (!existing.found() || existing->removed) {
            outcome = Outcome::Refused;
            return false;
        }
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        if (!departments.remove(name, now)
            || !audit.record(entryFor(reply, Command::RemoveDepartment, name, false), now))
            return false;
        outcome = Outcome::Done;
        return true;
    });
    if (!stored && outcome == Outcome::Done)
        outcome = Outcome::Failed;
    switch (outcome) {
    case Outcome::Done:
        reply.send(ReplyTag::RemoveDepartment);
        return;
    case Outcome::Refused:
        reply.error(QStringLiteral("there is no department \"%1\" in the list").arg(name));
        return;
    case Outcome::Failed:
        reply.storeFailure();
        return;
    }
}
