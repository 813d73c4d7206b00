#pragma once

#include <QString>

// The names of the commands a client sends, as they travel on the wire. Both
// programs use these and no written-out copies; each group of commands keeps
// its own block.
namespace Command {

// Log-in, work types, permissions and the clock
inline const QString Login = QStringLiteral("Login");
inline const QString GetWork = QStringLiteral("GetWork");
inline const QString GetPermissions = QStringLiteral("GetPermissions");
inline const QString GetNumberOfOrders = QStringLiteral("GetNumberOfOrders");
inline const QString GetClockStatus = QStringLiteral("GetClockStatus");
inline const QString ClockIn = QStringLiteral("ClockIn");
inline const QString ClockOut = QStringLiteral("ClockOut");

// Bin workflow
inline const QString GetNewBinId = QStringLiteral("GetNewBinId");
inline const QString FindBin = QStringLiteral("FindBin");
inline const QString MakeRepairId = QStringLiteral("MakeRepairId");
inline const QString StoreCurrentInfo = QStringLiteral("StoreCurrentInfo");
inline const QString GetPreForChecks = QStringLiteral("GetPreForChecks");
inline const QString StorePreChecks = QStringLiteral("StorePreChecks");
inline const QString SetStartTime = QStringLiteral("SetStartTime");
inline const QString SetEndTime = QStringLiteral("SetEndTime");
inline const QString GetBinTotalTime = QStringLiteral("GetBinTotalTime");
inline const QString GetBinTime = QStringLiteral("GetBinTime");
inline const QString GetBinInfo = QStringLiteral("GetBinInfo");
inline const QString GetBinRepairInfo = QStringLiteral("GetBinRepairInfo");
inline const QString GetRepairCodes = QStringLiteral("GetRepairCodes");
inline const QString SaveBinRepairInfo = QStringLiteral("SaveBinRepairInfo");
inline const QString EditBinRepair = QStringLiteral("EditBinRepair");
inline const QString RemoveFromRepairList = QStringLiteral("RemoveFromRepairList");
inline const QString ChangeStatus = QStringLiteral("ChangeStatus");
inline const QString SendBinBack = QStringLiteral("SendBinBack");
inline const QString GetChecksList = QStringLiteral("GetChecksList");
inline const QString SaveChecks = QStringLiteral("SaveChecks");
inline const QString GetWorkOrders = QStringLiteral("GetWorkOrders");
inline const QString GetBin = QStringLiteral("GetBin");

// Custom jobs
inline const QString StartCustomRepair = QStringLiteral("StartCustomRepair");
inline const QString GetCustomRepair = QStringLiteral("GetCustomRepair");
inline const QString AddCustomRepair = QStringLiteral("AddCustomRepair");
inline const QString EditCustomRepair = QStringLiteral("EditCustomRepair");
inline const QString RemoveCustomRepair = QStringLiteral("RemoveCustomRepair");
inline const QString SetCustomStartTime = QStringLiteral("SetCustomStartTime");
inline const QString SetCustomEndTime = QStringLiteral("SetCustomEndTime");
inline const QString GetCustomTime = QStringLiteral("GetCustomTime");
inline const QString SubmitCustomRepair = QStringLiteral("SubmitCustomRepair");
inline const QString FinishCustomRepair = QStringLiteral("FinishCustomRepair");
inline const QString GetCustomWorkOrders = QStringLiteral("GetCustomWorkOrders");
inline const QString ContinueCustomOrder = QStringLiteral("ContinueCustomOrder");

// Order review and confirmation
inline const QString GetNumberWorkToConfirm = QStringLiteral("GetNumberWorkToConfirm");
inline const QString GetListOfUserOrders = QStringLiteral("GetListOfUserOrders");
inline const QString CheckBinWork = QStringLiteral("CheckBinWork");
inline const QString CheckCustomWork = QStringLiteral("CheckCustomWork");
inline const QString GetAllWork = QStringLiteral("GetAllWork");
inline const QString GetAllCustomWork = QStringLiteral("GetAllCustomWork");
inline const QString ListWorkOrders = QStringLiteral("ListWorkOrders");
inline const QString ListWorkOrdersToConfirm = QStringLiteral("ListWorkOrdersToConfirm");
inline const QString ListCustomWorkToConfirm = QStringLiteral("ListCustomWorkToConfirm");
inline const QString GetBinForCheck = QStringLiteral("GetBinForCheck");
inline const QString GetBinForConfirmCheck = QStringLiteral("GetBinForConfirmCheck");
inline const QString GetCustomForCheck = QStringLiteral("GetCustomForCheck");

// Screens the management panel opens. Their commands are served to office
// users only; the names are gathered here so that the access table can name
// every command the server answers.
inline const QString GetRepairCodesForEdit = QStringLiteral("GetRepairCodesForEdit");
inline const QString RemoveRepairCode = QStringLiteral("RemoveRepairCode");
inline const QString AddRepairCode = QStringLiteral("AddRepairCode");
inline const QString EditRepairCode = QStringLiteral("EditRepairCode");
inline const QString UserFormStartUp = QStringLiteral("UserFormStartUp");
inline const QString UpdateUserList = QStringLiteral("UpdateUserList");
inline const QString GetFullUserList = QStringLiteral("GetFullUserList");
inline const QString GetUserInfo = QStringLiteral("GetUserInfo");
inline const QString AddUser = QStringLiteral("AddUser");
inline const QString EditUser = QStringLiteral("EditUser");
inline const QString RemoveUserInfo = QStringLiteral("RemoveUserInfo");
inline const QString ReActivateUser = QStringLiteral("ReActivateUser");
inline const QString ResetUserPassword = QStringLiteral("ResetUserPassword");
inline const QString GetDepartments = QStringLiteral("GetDepartments");
inline const QString AddDepartment = QStringLiteral("AddDepartment");
inline const QString RemoveDepartment = QStringLiteral("RemoveDepartment");
inline const QString GetFERInfoView = QStringLiteral("GetFERInfoView");
inline const QString GetCustomInfoView = QStringLiteral("GetCustomInfoView");
inline const QString RemoveBin = QStringLiteral("RemoveBin");
inline const QString RemoveCustom = QStringLiteral("RemoveCustom");
inline const QString GetCustomInfo = QStringLiteral("GetCustomInfo");
inline const QString GetCustomInfoRepairData = QStringLiteral("GetCustomInfoRepairData");
inline const QString GetListOfTimeStampUsers = QStringLiteral("GetListOfTimeStampUsers");
inline const QString GetTimeStampUserLast = QStringLiteral("GetTimeStampUserLast");
inline const QString GetUserTimeStamps = QStringLiteral("GetUserTimeStamps");
inline const QString GetAllUserTimeStamps = QStringLiteral("GetAllUserTimeStamps");
inline const QString RemoveTimeStamp = QStringLiteral("RemoveTimeStamp");
inline const QString AddTimeStamp = QStringLiteral("AddTimeStamp");
inline const QString EditTimeStamp = QStringLiteral("EditTimeStamp");
inline const QString GetClockStat = QStringLiteral("GetClockStat");

} // namespace Command
