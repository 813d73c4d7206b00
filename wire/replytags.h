#pragma once

#include <QString>

// The tags that start the server's replies, as they travel on the wire. Both
// programs use these and no written-out copies; each group of commands keeps
// its own block.
namespace ReplyTag {

// Every command
inline const QString Error = QStringLiteral("Error");

} // namespace ReplyTag
