#pragma once

#include <QString>

class Store;

// Adding an account from the server's command line (--add-user), for the
// first real user of a new shop and for recovery. The password is taken as
// typed and stored as the hash of its digest, as the login screen sends it.
namespace AccountSetup {

struct Outcome
{
    bool added = false;
    QString message; // what to tell the operator
};

// Checks the values first (a name of 1 to 50 characters, a level of 1 to 3,
// a department of at most 50, a non-empty password, a name not yet used)
// and only then spends the time to hash the password.
Outcome addUser(Store &store, const QString &userName, int permissionLevel, const QString &department,
                const QString &password);

} // namespace AccountSetup
