#pragma once

#include <QString>

// The tags that start the server's replies, as they travel on the wire. Both
// programs use these and no written-out copies; each group of commands keeps
// its own block.
namespace ReplyTag {

// Every command
inline const QString Error = QStringLiteral("Error");

// The replies the client's screens handle, by the group of commands that
// sends them.

// Log-in, work types, permissions and the clock
inline const QString Success = QStringLiteral("Success");
inline const QString Wrong = QStringLiteral("Wrong");
inline const QString WorkType = QStringLiteral("WorkType");
inline const QString Permissions = QStringLiteral("Permissions");
inline const QString NumberOfOrders = QStringLiteral("NumberOfOrders");
inline const QString Continue = QStringLiteral("Continue");
inline const QString GetStatus = QStringLiteral("GetStatus");
inline const QString GetClockStatus = QStringLiteral("GetClockStatus");
inline const QString ClockIn = QStringLiteral("ClockIn");
inline const QString ClockOut = QStringLiteral("ClockOut");

// Bin workflow
inline const QString NewBinID = QStringLiteral("NewBinID");
inline const QString BinFound = QStringLiteral("BinFound");
inline const QString BinNotFound = QStringLiteral("BinNotFound");
inline const QString BinInProgress = QStringLiteral("BinInProgress");
inline const QString NewRepairId = QStringLiteral("NewRepairId");
inline const QString InfoSaved = QStringLiteral("InfoSaved");
inline const QString PreForChecks = QStringLiteral("PreForChecks");
inline const QString PreChecksSaved = QStringLiteral("PreChecksSaved");
inline const QString StartTimeSet = QStringLiteral("StartTimeSet");
inline const QString EndTimeSet = QStringLiteral("EndTimeSet");
inline const QString GetBinTotalTime = QStringLiteral("GetBinTotalTime");
inline const QString BinSize = QStringLiteral("BinSize");
inline const QString BinRepairInfo = QStringLiteral("BinRepairInfo");
inline const QString RepairCodes = QStringLiteral("RepairCodes");
inline const QString CurrentSelectedRepair = QStringLiteral("CurrentSelectedRepair");
inline const QString BinRepairSaved = QStringLiteral("BinRepairSaved");
inline const QString RepairRemoved = QStringLiteral("RepairRemoved");
inline const QString StatusChanged = QStringLiteral("StatusChanged");
inline const QString SendBinBack = QStringLiteral("SendBinBack");
inline const QString GetCheckList = QStringLiteral("GetCheckList");
inline const QString ChecksSaved = QStringLiteral("ChecksSaved");
inline const QString WorkOrders = QStringLiteral("WorkOrders");
inline const QString Bin = QStringLiteral("Bin");

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
inline const QString NumberOfOrdersToConfirm = QStringLiteral("NumberOfOrdersToConfirm");
inline const QString ListOfUserOrders = QStringLiteral("ListOfUserOrders");
inline const QString GetAllWork = QStringLiteral("GetAllWork");
inline const QString GetAllCustomWork = QStringLiteral("GetAllCustomWork");
inline const QString ListWorkOrders = QStringLiteral("ListWorkOrders");
inline const QString ListCustomWorkToConfirm = QStringLiteral("ListCustomWorkToConfirm");
inline const QString GetBinForCheck = QStringLiteral("GetBinForCheck");
inline const QString GetBinForConfirmCheck = QStringLiteral("GetBinForConfirmCheck");
inline const QString GetCustomForCheck = QStringLiteral("GetCustomForCheck");

// Shop maintenance: the repair-code catalogue, user accounts and departments
inline const QString GetRepairCodesForEdit = QStringLiteral("GetRepairCodesForEdit");
inline const QString AddRepairCode = QStringLiteral("AddRepairCode");
inline const QString RepairCodeAlreadyUsed = QStringLiteral("RepairCode Already Used");
inline const QString EditRepairCode = QStringLiteral("EditRepairCode");
inline const QString EditRepairCodeNotFound = QStringLiteral("EditRepairCodeNotFound");
inline const QString RemoveRepairCode = QStringLiteral("RemoveRepairCode");
inline const QString UserFormStartUp = QStringLiteral("UserFormStartUp");
inline const QString UpdateUserList = QStringLiteral("UpdateUserList");
inline const QString GetFullUserList = QStringLiteral("GetFullUserList");
inline const QString GetUserInfo = QStringLiteral("GetUserInfo");
inline const QString AddUser = QStringLiteral("AddUser");
inline const QString EditUser = QStringLiteral("EditUser");
inline const QString RemoveUser = QStringLiteral("RemoveUser");
inline const QString ReActivateUser = QStringLiteral("ReActivateUser");
inline const QString ResetUserPassword = QStringLiteral("ResetUserPassword");
inline const QString GetDepartments = QStringLiteral("GetDepartments");
inline const QString AddDepartment = QStringLiteral("AddDepartment");
inline const QString RemoveDepartment = QStringLiteral("RemoveDepartment");

// Finished orders: the browser and the bin and custom repair records
inline const QString GetFERInfoView = QStringLiteral("GetFERInfoView");
inline const QString GetCustomInfoView = QStringLiteral("GetCustomInfoView");
inline const QString RemoveBin = QStringLiteral("RemoveBin");
inline const QString RemoveCustom = QStringLiteral("RemoveCustom");
inline const QString GetCustomInfo = QStringLiteral("GetCustomInfo");
inline const QString GetCustomInfoRepairData = QStringLiteral("GetCustomInfoRepairData");

// The finished-order records: the bin record's total time, and the answers
// to a permanent deletion of a bin repair line or a custom repair, which
// the records handle though they do not ask for one while deletion is
// switched off.
inline const QString GetBinTime = QStringLiteral("GetBinTime");
inline const QString PermDeleteBin = QStringLiteral("PermDeleteBin");
inline const QString PermDeleteCustom = QStringLiteral("PermDeleteCustom");

// Time keeping. "AddTimeStamp" answers both the adding and the editing of a
// time stamp.
inline const QString GetClockStat = QStringLiteral("GetClockStat");
inline const QString GetListOfTimeStampUsers = QStringLiteral("GetListOfTimeStampUsers");
inline const QString GetTimeStampUserLast = QStringLiteral("GetTimeStampUserLast");
inline const QString GetUserTimeStamps = QStringLiteral("GetUserTimeStamps");
inline const QString GetAllUserTimeStamps = QStringLiteral("GetAllUserTimeStamps");
inline const QString AddTimeStamp = QStringLiteral("AddTimeStamp");
inline const QString RemoveTimeStamp = QStringLiteral("RemoveTimeStamp");

} // namespace ReplyTag

// The one field of the "AddUser" reply: "UserAdded", or the word for why
// the account was not added.
namespace AddUserResult {

inline const QString UserAdded = QStringLiteral("UserAdded");
inline const QString UserNameTaken = QStringLiteral("UserNameTaken");
inline const QString InvalidUserName = QStringLiteral("InvalidUserName");
inline const QString InvalidPassword = QStringLiteral("InvalidPassword");
inline const QString InvalidName = QStringLiteral("InvalidName");
inline const QString UnknownDepartment = QStringLiteral("UnknownDepartment");
inline const QString InvalidPermission = QStringLiteral("InvalidPermission");

} // namespace AddUserResult
