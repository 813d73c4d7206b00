#include "accountlookup.h"

#include "admittedrequest.h"
#include "reply.h"

Lookup<UserAccount> accountNamed(const UserAccounts &users, const Reply &reply, const QString &userName)
{
    if (std::optional<UserAccount> admitted = reply.session().get<AdmittedRequest>().takeAccount(userName))
        return Lookup<UserAccount>::of(*admitted);
    return users.find(userName);
}

Lookup<UserAccount> accountOrError(const UserAccounts &users, const Reply &reply, const QString &userName,
                                   AccountState required)
{
    const Lookup<UserAccount> account = accountNamed(users, reply, userName);
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
