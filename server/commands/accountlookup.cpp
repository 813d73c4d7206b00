#include "accountlookup.h"

#include "reply.h"

Lookup<UserAccount> accountOrError(const UserAccounts &users, const Reply &reply, const QString &userName,
                                   AccountState required)
{
    const Lookup<UserAccount> account = users.find(userName);
    if (account.failed()) {
        reply.storeFailure();
        return account;
    }
    if (!account.found()) {
        reply.error(QStringLiteral("there is no user \"%1\"").arg(userName));
        return Lookup<UserAccount>::missing();
    }
    if (required == AccountState::Active && !account->active) {
        reply.error(QStringLiteral("the user \"%1\" has been removed").arg(userName));
        return Lookup<UserAccount>::missing();
    }
    return account;
}
