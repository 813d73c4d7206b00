#pragma once

#include <QString>
#include <QStringList>

// The kinds of work a shop-floor user can choose, by the names the screens
// show and send.
namespace WorkType {

inline QString frontEnd()
{
    return QStringLiteral("Front End Repair");
}
inline QString rollOff()
{
    return QStringLiteral("Roll Off Repair");
}
inline QString custom()
{
    return QStringLiteral("Custom");
}

// In the order the work-type choice lists them.
inline QStringList all()
{
    return {frontEnd(), rollOff(), custom()};
}

// How the IDs of the bins of a bin work type begin: "KD" front end, "ROR"
// roll off; empty for custom work.
inline QString binIdPrefix(const QString &workType)
{
    if (workType == frontEnd())
        return QStringLiteral("KD");
    if (workType == rollOff())
        return QStringLiteral("ROR");
    return {};
}

} // namespace WorkType
