#include "commandaccess.h"

#include "wire/commands.h"
#include "wire/customjobstatus.h"
#include "wire/orderstatus.h"

#include <QHash>
#include <QList>

namespace {

constexpr int AnyCount = -1;

struct Entry
{
    QString command;
    int argumentCount; // the form the rule is for; AnyCount: every form
    AccessRule rule;
};

// Work on an open order (lines, pre-checks, timing, submitting, final checks)
// is open to every user logged in, whoever started it: a worker may take
// over a colleague's order. Checking needs a management user, confirming and
// everything the management panel opens an office user.
QList<Entry> table()
{
    using namespace Command;
    using PermissionLevel::Management;
    using PermissionLevel::Office;
    const AccessRule anyone = AccessRule::loggedIn();
    const AccessRule checker = AccessRule::atLevel(Management);
    const AccessRule office = AccessRule::atLevel(Office);

    return {
        // Log-in and the main window
        {Login, AnyCount, AccessRule::withoutLogin()},
        {GetWork, AnyCount, anyone},
        {GetPermissions, AnyCount, anyone.actingFor(0)},
        {GetNumberOfOrders, AnyCount, checker},
        {GetClockStatus, AnyCount, anyone.actingFor(0)},
        {ClockIn, AnyCount, anyone.actingFor(0)},
        {ClockOut, AnyCount, anyone.actingFor(0)},

        // Bin workflow
        {GetNewBinId, AnyCount, anyone},
        {FindBin, AnyCount, anyone},
        {MakeRepairId, AnyCount, anyone},
        {StoreCurrentInfo, AnyCount, anyone.actingFor(0)},
        {GetPreForChecks, AnyCount, anyone.onBinOrder(2)},
        {StorePreChecks, AnyCount, anyone.onBinOrder(0)},
        {SetStartTime, AnyCount, anyone.actingFor(0).onBinOrder(2)},
        {SetEndTime, AnyCount, anyone.actingFor(0)},
        {GetBinTotalTime, AnyCount, anyone.onBinOrder(1)},
        {GetBinTime, AnyCount, anyone.onBinOrder(2)},
        {GetBinInfo, AnyCount, anyone.onBinOrder(2)},
        {GetBinRepairInfo, AnyCount, anyone.onBinOrder(2)},
        {GetRepairCodes, AnyCount, anyone},
        {SaveBinRepairInfo, AnyCount, anyone.onBinOrder(3)},
        {EditBinRepair, AnyCount, anyone.onBinOrder(2)},
        {RemoveFromRepairList, AnyCount, anyone.onBinOrder(1)},
        {ChangeStatus, AnyCount, anyone.onBinOrder(2).setting(1)},
        {SendBinBack, 0, anyone},
        {SendBinBack, 4, anyone.onBinOrder(1).setting(3)},
        {GetChecksList, AnyCount, anyone.onBinOrder(1)},
        {SaveChecks, AnyCount, anyone.onBinOrder(2).setting(4)},
        {GetWorkOrders, AnyCount, anyone},
        {GetBin, AnyCount, anyone},

        // Custom jobs
        {StartCustomRepair, AnyCount, anyone.actingFor(0)},
        {GetCustomRepair, AnyCount, anyone.onCustomJob(0, 1, 2)},
        {AddCustomRepair, AnyCount, anyone.actingFor(6).onCustomJob(4, 7, 8).setting(5)},
        {EditCustomRepair, AnyCount, anyone.onCustomJob(0, 1, 2)},
        {RemoveCustomRepair, AnyCount, anyone.onCustomJob(0, 1, 2)},
        {SetCustomStartTime, AnyCount, anyone.actingFor(0).onCustomJob(1, 2, 3)},
        {SetCustomEndTime, AnyCount, anyone.actingFor(0)},
        {GetCustomTime, AnyCount, anyone.onCustomJob(0, 1, 2)},
        {SubmitCustomRepair, AnyCount, anyone.onCustomJob(0, 1, 2)},
        {FinishCustomRepair, AnyCount, office.onCustomJob(0, 1, 2)},
        {GetCustomWorkOrders, AnyCount, anyone},
        {ContinueCustomOrder, AnyCount, anyone.onCustomJob(0, 1, 2)},

        // Order review: the check list for checkers, the confirm list and
        // its counts for office users
        {GetNumberWorkToConfirm, AnyCount, office},
        {GetListOfUserOrders, 1, checker.listing(0)},
        {GetAllWork, AnyCount, checker.listing(1)},
        {ListWorkOrders, AnyCount, checker},
        {GetBinForCheck, AnyCount, checker},
        {CheckBinWork, AnyCount, office},
        {CheckCustomWork, AnyCount, office},
        {GetAllCustomWork, AnyCount, office},
        {ListWorkOrdersToConfirm, AnyCount, office},
        {ListCustomWorkToConfirm, AnyCount, office},
        {GetBinForConfirmCheck, AnyCount, office},
        {GetCustomForCheck, AnyCount, office},

        // Repair codes, users and departments
        {GetRepairCodesForEdit, AnyCount, office},
        {RemoveRepairCode, AnyCount, office},
        {AddRepairCode, AnyCount, office},
        {EditRepairCode, AnyCount, office},
        {UserFormStartUp, AnyCount, office},
        {UpdateUserList, AnyCount, office},
        {GetFullUserList, AnyCount, office},
        {GetUserInfo, AnyCount, office},
        {AddUser, AnyCount, office},
        {EditUser, AnyCount, office},
        {RemoveUserInfo, AnyCount, office},
        {ReActivateUser, AnyCount, office},
        {ResetUserPassword, AnyCount, office},
        {GetDepartments, AnyCount, office},
        {AddDepartment, AnyCount, office},
        {RemoveDepartment, AnyCount, office},

        // Finished orders
        {GetListOfUserOrders, 0, office},
        {GetFERInfoView, AnyCount, office},
        {GetCustomInfoView, AnyCount, office},
        {RemoveBin, AnyCount, office},
        {RemoveCustom, AnyCount, office},
        {GetCustomInfo, AnyCount, office},
        {GetCustomInfoRepairData, AnyCount, office},

        // Time keeping
        {GetListOfTimeStampUsers, AnyCount, office},
        {GetTimeStampUserLast, AnyCount, office},
        {GetUserTimeStamps, AnyCount, office},
        {GetAllUserTimeStamps, AnyCount, office},
        {RemoveTimeStamp, AnyCount, office},
        {AddTimeStamp, AnyCount, office},
        {EditTimeStamp, AnyCount, office},
        {GetClockStat, AnyCount, office},
    };
}

using RuleKey = QPair<QString, int>;

const QHash<RuleKey, AccessRule> &rules()
{
    static const QHash<RuleKey, AccessRule> byCommand = [] {
        QHash<RuleKey, AccessRule> hash;
        for (const Entry &entry : table()) {
            Q_ASSERT_X(!hash.contains({entry.command, entry.argumentCount}), "CommandAccess",
                       "a command has two access rules");
            hash.insert({entry.command, entry.argumentCount}, entry.rule);
        }
        return hash;
    }();
    return byCommand;
}

} // namespace

namespace CommandAccess {

const AccessRule *ruleFor(const QString &command, int argumentCount)
{
    const QHash<RuleKey, AccessRule> &known = rules();
    auto found = known.constFind({command, argumentCount});
    if (found == known.constEnd())
        found = known.constFind({command, AnyCount});
    return found == known.constEnd() ? nullptr : &found.value();
}

int levelForBinOrder(int status)
{
    if (status <= OrderStatus::FrontEndSheetSubmitted)
        return PermissionLevel::Standard;
    if (status == OrderStatus::WaitingForCheck)
        return PermissionLevel::Management;
    return PermissionLevel::Office;
}

int levelToSetBinStatus(int status)
{
    if (status <= OrderStatus::WaitingForCheck)
        return PermissionLevel::Standard;
    if (status == OrderStatus::Checked)
        return PermissionLevel::Management;
    return PermissionLevel::Office;
}

int levelForCustomJob(int status)
{
    return CustomJobStatus::isOpen(status) ? PermissionLevel::Standard : PermissionLevel::Office;
}

} // namespace CommandAccess
