#pragma once

#include "store.h"

#include <QStringList>

struct Department
{
    qint64 id = 0;
    QString name;
    bool removed = false;
};

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

    // The department with this name, listed or removed.
    Lookup<Department> find(const QString &name) const;

    // The listed departments' names, in alphabetical order (case aside).
    std::optional<QStringList> names() const;

    // Takes a listed department off the list; false when it is not listed
    // or the store failed.
    bool remove(const QString &name, qint64 now);

private:
    Store &store;
};
