#pragma once

#include <QString>

// The tags that start the server's replies, as they travel on the wire. Both
// programs use these and no written-out copies; each group of commands keeps
// its own block.
namespace ReplyTag {

// Every command
inline const QString Error = QStringLiteral("Error");

// Finished orders: the browser and the bin and custom repair records
inline const QString ListOfUserOrders = QStringLiteral("ListOfUserOrders");
inline const QString GetFERInfoView = QStringLiteral("GetFERInfoView");
inline const QString GetCustomInfoView = QStringLiteral("GetCustomInfoView");
inline const QString RemoveBin = QStringLiteral("RemoveBin");
inline const QString RemoveCustom = QStringLiteral("RemoveCustom");
inline const QString GetCustomInfo = QStringLiteral("GetCustomInfo");
inline const QString GetCustomInfoRepairData = QStringLiteral("GetCustomInfoRepairData");

} // namespace ReplyTag
