#pragma once

#include <QString>

// The tags that start the server's replies, as they travel on the wire. Both
// programs use these and no written-out copies; each group of commands keeps
// its own block.
namespace ReplyTag {

// Every command
inline const QString Error = QStringLiteral("Error");

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
