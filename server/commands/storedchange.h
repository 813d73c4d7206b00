#pragma once

#include <QString>

#include <functional>

class Reply;
class Store;

// One change to shop data, run in one transaction and answered. The work
// returns true when done; to refuse, it sets refusal (the reason an error
// reply gives) and returns false. The reply is doneTag once the change is
// committed, the error for a refusal, or a store failure; a refused or
// failed change leaves nothing behind.
using ChangeWork = std::function<bool(QString &refusal, qint64 now)>;
void applyStoredChange(Store &store, const Reply &reply, const QString &doneTag, const ChangeWork &work);
