#pragma once

#include "binorderlifecycle.h"
#include "commanddomain.h"

#include "storage/binorders.h"
#include "storage/binrepairlines.h"
#include "storage/ordertimestamps.h"
#include "storage/repaircodes.h"
#include "storage/useraccounts.h"

class Reply;

// Front-end and roll-off bin jobs: intake of the bin, pre-check, the repair
// sheet with its timing and repair lines, the final checks, and continuing
// an open order.
class BinCommands : public CommandDomain
{
public:
    explicit BinCommands(ServerServices services);

    void registerCommands(CommandDispatcher &dispatcher) override;

private:
    // Intake
    void proposeBinId(const Reply &reply, const QString &workType);
    void findBin(const Reply &reply, const QString &workType, const QString &binId);
    void makeRepairId(const Reply &reply, const QString &label, const QString &workType);
    void startOrder(const Reply &reply, const QString &userName, const QString &workType, const QString &binId,
                    const QString &binSize, const QString &repairId, const QString &additionalInfo);

    // Pre-check
    void preChecks(const Reply &reply, const QString &workType, const QString &binId, const QString &repairId);
    void storePreChecks(const Reply &reply, const QString &binId, const QString &repairId, const QString &workType,
                        const PreChecks &checks);

    // Timing
    void startTiming(const Reply &reply, const QString &userName, const QString &workType, const QString &binId,
                     const QString &repairId);
    void endTiming(const Reply &reply, const QString &userName, const QString &workType, const QString &binId,
                   const QString &repairId, const QString &stampId);
    void totalTime(const Reply &reply, const QString &tag, const QString &workType, const QString &binId,
                   const QString &repairId);

    // Repair sheet and repair entry
    void binSize(const Reply &reply, const QString &workType, const QString &binId, const QString &repairId);
    void repairLines(const Reply &reply, const QString &workType, const QString &binId, const QString &repairId);
    void repairCodes(const Reply &reply, const QString &workType, const QString &codeListKey);
    void saveLine(const Reply &reply, const QString &userName, const QString &workType, const QString &binId,
                  const QString &repairId, const BinRepairEntry &entry);
    void editLine(const Reply &reply, const QString &userName, const QString &workType, const QString &binId,
                  const QString &repairId, const QString &oldCode, const QString &oldMaterials,
                  const BinRepairEntry &entry);
    void removeLine(const Reply &reply, const QString &workType, const QString &binId, const QString &repairId,
                    const QString &repairCode, const QString &materials);

    // Order lifecycle
    void moveOrder(const Reply &reply, const QString &command, const QString &tag, const QString &userName,
                   const QString &status, const QString &binId, const QString &repairId);
    // The step command makes with status on the order, or an "Error" reply
    // and nothing.
    static std::optional<BinOrderLifecycle::Step> stepOrError(const Reply &reply, const QString &command,
                                                              const QString &status, const BinOrder &order);
    static void answerMove(const Reply &reply, BinOrders::Move move, const QString &tag,
                           const BinOrderLifecycle::Step &step, const BinOrder &order);

    // Final checks
    void finalChecks(const Reply &reply, const QString &workType, const QString &binId, const QString &repairId);
    void saveFinalChecks(const Reply &reply, const QString &userName, const QString &workType, const QString &binId,
                         const QString &repairId, const QString &status, const FinalChecks &checks);

    // Continuing
    void workOrders(const Reply &reply, const QString &userName);
    void continueOrder(const Reply &reply, const QString &owner, const QString &binId);

    // The order, or an "Error" reply and nothing. An empty workType
    // matches any.
    Lookup<BinOrder> orderOrError(const Reply &reply, const QString &workType, const QString &binId,
                                  const QString &repairId);
    // The same, when it belongs to userName.
    Lookup<BinOrder> ownOrderOrError(const Reply &reply, const QString &userName, const QString &workType,
                                     const QString &binId, const QString &repairId);
    static void answerLineChange(const Reply &reply, BinRepairLines::Change change, const QString &tag,
                                 const QString &order, const QString &repairCode);
    // Whether binId is a bin ID of workType; answers "Error" when not.
    static bool binIdFitsOrError(const Reply &reply, const QString &binId, const QString &workType);

    Store &store;
    UserAccounts users;
    BinOrders orders;
    BinRepairLines lines;
    OrderTimeStamps stamps;
    RepairCodes codes;
};
