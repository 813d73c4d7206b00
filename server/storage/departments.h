#pragma once

#include "store.h"

// The departments users belong to. A removed department keeps its row so
// that its users still show it; adding its name again brings it back.
class Departments
{
public:
    explicit Departments(Store &store)
        : store(store)
    { }

    // The id of the department with this name, added (or brought back) when
    // it is not listed; nothing when the store failed.
    std::optional<qint64> ensure(const QString &name);

private:
    Store &store;
};
