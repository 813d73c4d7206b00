#pragma once

#include <QString>
#include <QStringList>

// The repair-code catalogue is kept as three lists. Each list has a key,
// the category name the code editor shows, and the prefix its codes carry.
namespace RepairCodeList {

struct Kind
{
    QString key; // "FER", "ROR" or "KD"
    QString category; // "Front End Repair", "Roll Off Repair" or "Kestrel Disposal"
    QString prefix; // "FEC", "ROC" or "KEC"
};

inline QList<Kind> all()
{
    return {
        {QStringLiteral("FER"), QStringLiteral("Front End Repair"), QStringLiteral("FEC")},
        {QStringLiteral("ROR"), QStringLiteral("Roll Off Repair"), QStringLiteral("ROC")},
        {QStringLiteral("KD"), QStringLiteral("Kestrel Disposal"), QStringLiteral("KEC")},
    };
}

} // namespace RepairCodeList
