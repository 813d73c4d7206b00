#pragma once

#include "store.h"

#include <QJsonObject>
#include <QString>

// One change to the shop's repair codes, accounts or departments.
struct AuditEntry
{
    QString actor; // the user who made it; empty when not known
    QString command; // the command that made it
    QString subject; // what it changed, as "user anna" or "repair code FER FEC101"
    QJsonObject before; // empty: the subject did not exist or was not shown
    QJsonObject after; // empty: the subject is gone
};

// The audit table: rows are only ever added. Record changes inside the
// transaction that makes them, so that a change and its entry are stored
// together or not at all.
class AuditLog
{
public:
    explicit AuditLog(Store &store)
        : store(store)
    { }

    bool record(const AuditEntry &entry, qint64 now);

private:
    Store &store;
};
