#pragma once

#include "commanddomain.h"

#include "storage/auditlog.h"
#include "storage/departments.h"

class Reply;

// The list of departments users can belong to: listing, adding and
// removing names. Every change goes to the audit table with the change.
class DepartmentCommands : public CommandDomain
{
public:
    explicit DepartmentCommands(ServerServices services);

    void registerCommands(CommandDispatcher &dispatcher) override;

private:
    void list(const Reply &reply);
    void add(const Reply &reply, const QString &name);
    void remove(const Reply &reply, const QString &name);

    Store &store;
    Departments departments;
    AuditLog audit;
};
