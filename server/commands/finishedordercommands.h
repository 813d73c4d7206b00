#pragma once

#include "commanddomain.h"

#include "storage/customorders.h"
#include "storage/finishedorders.h"
#include "storage/ordertimestamps.h"
#include "storage/useraccounts.h"

#include <optional>

class LongListReader;
class Reply;

// The finished-orders browser and the custom repair record: the owners of
// finished orders, each owner's finished orders of one work type, removing
// one, and a finished custom job's details and lines. (The bin repair
// record reads its order with the bin workflow's commands.)
class FinishedOrderCommands : public CommandDomain
{
public:
    explicit FinishedOrderCommands(ServerServices services);

    void registerCommands(CommandDispatcher &dispatcher) override;

private:
    void owners(const Reply &reply);
    void binList(const Reply &reply, const QString &listKey, const QString &user, const QString &sequence);
    void customList(const Reply &reply, const QString &user, const QString &sequence);
    void removeBin(const Reply &reply, const QString &owner, const QString &binId, const QString &repairId);
    void removeCustom(const Reply &reply, const QString &owner, const CustomJobKey &key);
    void customDetails(const Reply &reply, const QString &owner, const CustomJobKey &key);
    void customLines(const Reply &reply, const QString &owner, const CustomJobKey &key);

    // The owner a list asks for: every owner (nothing) for "All", else the
    // named user's id. False when the reply has been sent already.
    bool listOwner(const Reply &reply, const QString &user, std::optional<qint64> *ownerId);
    // The finished job when it is the owner's; otherwise the reply says why.
    Lookup<CustomJob> finishedJobOrError(const Reply &reply, const QString &owner, const CustomJobKey &key);
    // The id of the user logged in at the sending terminal, when known.
    std::optional<qint64> actingUserId(const Reply &reply) const;

    LongListReader &longLists;
    UserAccounts users;
    FinishedOrders finished;
    CustomOrders jobs;
    OrderTimeStamps stamps;
};
