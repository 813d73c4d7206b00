#include "storedchange.h"

#include "reply.h"

#include "storage/store.h"

#include <QDateTime>

void applyStoredChange(Store &store, const Reply &reply, const QString &doneTag, const ChangeWork &work)
{
    QString refusal;
    const bool stored
        = store.transaction([&] { return work(refusal, QDateTime::currentSecsSinceEpoch()) && refusal.isEmpty(); });
    if (!refusal.isEmpty())
        reply.error(refusal);
    else if (!stored)
        reply.storeFailure();
    else
        reply.send(doneTag);
}
