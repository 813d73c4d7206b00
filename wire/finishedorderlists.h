#pragma once

#include <QString>

// The choices of the finished-orders browser, as its combo boxes show them
// and its list requests send them.
namespace FinishedOrderList {

// The bin work type of a list, by its repair-code list's key: front end
// or roll off.
inline const QString FrontEndOrders = QStringLiteral("FER");
inline const QString RollOffOrders = QStringLiteral("ROR");

// Every user's orders instead of one user's.
inline const QString AllUsers = QStringLiteral("All");

// The order within each user's group, by the time the order was finished.
inline const QString NewestFirst = QStringLiteral("New To Old");
inline const QString OldestFirst = QStringLiteral("Old To New");

} // namespace FinishedOrderList
