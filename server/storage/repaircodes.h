#pragma once

#include "store.h"

#include <QList>

struct RepairCode
{
    QString codeList; // "FER", "ROR" or "KD"
    QString code;
    QString type;
    QString description;
};

// The repair-code catalogue. A code is unique within its list.
class RepairCodes
{
public:
    explicit RepairCodes(Store &store)
        : store(store)
    { }

    enum class AddResult { Added, CodeTaken, Failed };
    AddResult add(const RepairCode &code);

    // The codes of one list ("FER", "ROR" or "KD"), ordered by code.
    std::optional<QList<RepairCode>> codesOf(const QString &codeList) const;

private:
    Store &store;
};
