#include "bytebudget.h"

#include <QTimer>

qint64 ByteBudget::take(qint64 bytes)
{
    const qint64 taken = qMin(bytes, room());
    used += taken;
    return taken;
}

bool ByteBudget::admits()
{
    if (!exhausted())
        return true;
    someoneWaits = true;
    return false;
}

void ByteBudget::giveBack(qint64 bytes)
{
    if (bytes == 0)
        return;
    used -= bytes;
    Q_ASSERT(used >= 0);
    if (!someoneWaits || notifying || exhausted())
        return;
    // Waking the waiters from the event loop lets one release free more
    // before they all try again.
    notifying = true;
    QTimer::singleShot(0, this, [this] {
        notifying = false;
        someoneWaits = false;
        emit roomFreed();
    });
}
