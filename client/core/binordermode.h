#pragma once

#include <QString>

// Which bin order the bin screens work on, as AppState says: the worker's
// own (currentBin), another worker's opened for checking (checkOrder), or
// one opened for confirming (confirmOrder).
enum class BinOrderMode { OwnBin, Checking, Confirming };

BinOrderMode binOrderMode();

// The user an own order belongs to: the owner of an order continued for
// another user, else the logged-in user.
QString ownOrderUser();

// Whether the worker's own-mode order is one continued for another user,
// whose lines are not this user's to change. A review is never such an order.
bool continuesAnotherUsersOrder();

// Today as the bin screens show it: day-month-year without leading zeros.
QString binDateText();
