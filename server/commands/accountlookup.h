#pragma once

#include "storage/useraccounts.h"

class Reply;

enum class AccountState { Any, Active };

// The account named userName, without its password hash: the one the
// access gate read for this request when it is that one, else read now.
Lookup<UserAccount> accountNamed(const UserAccounts &users, const Reply &reply, const QString &userName);

// The account named userName. When there is none, when it has been removed
// and an active one is required, or when the store fails, the reply says
// why and the lookup comes back empty.
Lookup<UserAccount> accountOrError(const UserAccounts &users, const Reply &reply, const QString &userName,
                                   AccountState required);
