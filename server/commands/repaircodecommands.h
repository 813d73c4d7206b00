#pragma once

#include "commanddomain.h"

#include "storage/auditlog.h"
#include "storage/repaircodes.h"

class Reply;

// The repair-code catalogue as the office keeps it: the codes of one list,
// and adding, changing and removing a code. Every change goes to the audit
// table with the change itself.
class RepairCodeCommands : public CommandDomain
{
public:
    explicit RepairCodeCommands(ServerServices services);

    void registerCommands(CommandDispatcher &dispatcher) override;

private:
    void list(const Reply &reply, const QString &codeList);
    void add(const Reply &reply, const QString &category, const QString &code, const QString &type,
             const QString &description);
    void edit(const Reply &reply, const RepairCode &changed);
    void remove(const Reply &reply, const QString &codeList, const QString &code);

    Store &store;
    RepairCodes codes;
    AuditLog audit;
};
