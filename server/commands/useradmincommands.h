#pragma once

#include "commanddomain.h"

#include "storage/auditlog.h"
#include "storage/departments.h"
#include "storage/useraccounts.h"

#include <functional>

class PasswordWorkers;
class Reply;

// The user administration: listing accounts, adding one, changing its
// names, department, level or password, and removing (deactivating) or
// re-activating it. Passwords are kept as the hash of the digest the login
// sends. The shop never locks itself out: the last active office account
// stays, and no one removes their own account. Every change goes to the
// audit table with the change.
class UserAdminCommands : public CommandDomain
{
public:
    explicit UserAdminCommands(ServerServices services);

    void registerCommands(CommandDispatcher &dispatcher) override;

private:
    void formStartUp(const Reply &reply);
    void userList(const Reply &reply, const QString &tag, UserAccounts::Listing listing);
    void userInfo(const Reply &reply, const QString &userName);
    void addUser(const Reply &reply, const NewUserAccount &account, const QString &password,
                 const QString &permissionCode);
    void editUser(const Reply &reply, const UserProfile &changed, const QString &password);
    void removeUser(const Reply &reply, const QString &userName);
    void reActivateUser(const Reply &reply, const QString &userName);
    void resetPassword(const Reply &reply, const QString &userName, const QString &digest);

    // Calls then with the hash of a password digest, made on the password
    // workers and handed back in the handlers' turn; with an empty hash at
    // once when digest is empty.
    void hashThen(const Reply &reply, const QString &digest, std::function<void(const QByteArray &hash)> then);

    // Why taking the office level from this account, or deactivating it,
    // would lock the shop out; empty when it would not.
    void setActive(const Reply &reply, const QString &tag, const QString &command, const QString &userName,
                   bool active);
    QString lockOutRefusal(const UserProfile &account, bool &failed) const;

    bool record(const Reply &reply, const QString &command, const QString &userName, const QJsonObject &before,
                const QJsonObject &after, qint64 now);

    Store &store;
    UserAccounts users;
    Departments departments;
    AuditLog audit;
    PasswordWorkers &passwords;
};
