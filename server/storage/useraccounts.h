#pragma once

#include "store.h"

#include <QByteArray>
#include <QString>

// A user account as the server checks it.
struct UserAccount
{
    qint64 id = 0;
    QString userName;
    int permissionLevel = 0;
    bool active = false;
    QByteArray passwordHash;
};

struct NewUserAccount
{
    QString userName;
    QString firstName;
    QString lastName;
    QString department; // empty: none
    int permissionLevel = 0;
    QByteArray passwordHash;
};

// The users table. User names are matched exactly (case and blanks count).
// Accounts are never deleted: a removed user is deactivated.
class UserAccounts
{
public:
    explicit UserAccounts(Store &store)
        : store(store)
    { }

    Lookup<UserAccount> find(const QString &userName) const;

    enum class AddResult { Added, NameTaken, Failed };
    // Adds an account; its department is added to the departments when new.
    AddResult add(const NewUserAccount &account, qint64 now);

    bool setActive(const QString &userName, bool active);

    // Whether any account exists, active or not; nothing when the store failed.
    std::optional<bool> any() const;

private:
    Store &store;
};
