#include "accountsetup.h"

#include "auth/passwordhasher.h"
#include "storage/useraccounts.h"
#include "wire/permissionlevel.h"
#include "wire/textlimits.h"

#include <passworddigest.h>

#include <QDateTime>

namespace AccountSetup {

Outcome addUser(Store &store, const QString &userName, int permissionLevel, const QString &department,
                const QString &password)
{
    if (userName.isEmpty() || userName.size() > Limits::NameLength)
        return {false, QStringLiteral("a user name must be 1 to %1 characters long").arg(Limits::NameLength)};
    if (!PermissionLevel::isValid(permissionLevel))
        return {false, QStringLiteral("the permission level must be 1, 2 or 3")};
    if (department.size() > Limits::NameLength)
        return {false, QStringLiteral("a department name must be at most %1 characters long").arg(Limits::NameLength)};
    if (password.isEmpty())
        return {false, QStringLiteral("no password was given on standard input")};

    UserAccounts users(store);
    const Lookup<UserAccount> existing = users.find(userName);
    if (existing.failed())
        return {false, QStringLiteral("the database could not be read")};
    if (existing.found())
        return {false, QStringLiteral("a user named \"%1\" already exists").arg(userName)};

    NewUserAccount account;
    account.userName = userName;
    account.department = department;
    account.permissionLevel = permissionLevel;
    account.passwordHash = PasswordHasher::hash(wire::passwordDigest(password));
    if (account.passwordHash.isEmpty())
        return {false, QStringLiteral("the password could not be hashed")};

    switch (users.add(account, QDateTime::currentSecsSinceEpoch())) {
    case UserAccounts::AddResult::Added:
        return {true,
                QStringLiteral("added the user \"%1\" with permission level %2").arg(userName).arg(permissionLevel)};
    case UserAccounts::AddResult::NameTaken:
        return {false, QStringLiteral("a user named \"%1\" already exists").arg(userName)};
    case UserAccounts::AddResult::Failed:
        break;
    }
    return {false, QStringLiteral("the database could not store the user")};
}

} // namespace AccountSetup
