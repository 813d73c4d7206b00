#pragma once

#include <QList>
#include <QString>

class Store;

// A small shop to try the system with (--demo): three accounts, one per
// permission level, two departments and a few codes in each repair-code list.
namespace DemoShop {

struct Account
{
    QString userName;
    QString password;
    int permissionLevel;
    QString firstName;
    QString lastName;
    QString department;
};

QList<Account> accounts();
QStringList departments();

enum class Outcome { Added, NotEmpty, Failed };

// Adds the demo shop to a store that has no users yet; a store with users
// is left as it is.
Outcome addIfEmpty(Store &store);

} // namespace DemoShop
