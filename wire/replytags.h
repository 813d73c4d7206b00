#pragma once

#include <QString>

// The tags that start the server's replies, as they travel on the wire. Both
// programs use these and no written-out copies; each group of commands keeps
// its own block.
namespace ReplyTag {

// Every command
inline const QString Error = QStringLiteral("Error");

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
inline const QString ListOfUserOrders = QStringLiteral("ListOfUserOrders");
inline const QString GetFERInfoView = QStringLiteral("GetFERInfoView");
inline const QString GetCustomInfoView = QStringLiteral("GetCustomInfoView");
inline const QString RemoveBin = QStringLiteral("RemoveBin");
inline const QString RemoveCustom = QStringLiteral("RemoveCustom");
inline const QString GetCustomInfo = QStringLiteral("GetCustomInfo");
inline const QString GetCustomInfoRepairData = QStringLiteral("GetCustomInfoRepairData");

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
