#include "useradmincommands.h"

#include "actinguser.h"
#include "commanddispatcher.h"
#include "maintenancearguments.h"
#include "storedchange.h"

#include "auth/passwordworkers.h"
#include "wire/commands.h"
#include "wire/permissionlevel.h"
#include "wire/replytags.h"

#include <passworddigest.h>

#include <QDateTime>

namespace {

using Text = const QString &;

QJsonObject valuesOf(const UserProfile &profile)
{
    return {{QStringLiteral("firstName"), profile.firstName},
            {QStringLiteral("lastName"), profile.lastName},
            {QStringLiteral("department"), profile.department},
            {QStringLiteral("level"), profile.permissionLevel},
            {QStringLiteral("active"), profile.active}};
}

QJsonObject passwordChanged()
{
    return {{QStringLiteral("password"), QStringLiteral("changed")}};
}

QString noSuchUser(const QString &userName)
{
    return QStringLiteral("there is no user \"%1\"").arg(userName);
}

// The word "AddUser" answers for a field it cannot take; empty when all
// can be taken as far as they can be checked without the database.
QString newAccountProblem(const NewUserAccount &account, const QString &password, const QString &permissionCode)
{
    if (!ArgumentRules::plainName(account.userName, Limits::NameLength).isEmpty())
        return AddUserResult::InvalidUserName;
    if (password.isEmpty() || password.size() > Limits::NameLength)
        return AddUserResult::InvalidPassword;
    if (!ArgumentRules::shownText(account.firstName, Limits::NameLength).isEmpty()
        || !ArgumentRules::shownText(account.lastName, Limits::NameLength).isEmpty())
        return AddUserResult::InvalidName;
    if (!PermissionCodeArgument::problem(permissionCode).isEmpty())
        return AddUserResult::InvalidPermission;
    if (!ArgumentRules::shownText(account.department, Limits::NameLength).isEmpty())
        return AddUserResult::UnknownDepartment;
    return {};
}

} // namespace

UserAdminCommands::UserAdminCommands(ServerServices services)
    : store(services.store)
    , users(services.store)
    , departments(services.store)
    , audit(services.store)
    , passwords(services.passwords)
{ }

void UserAdminCommands::registerCommands(CommandDispatcher &dispatcher)
{
    dispatcher.add<>(Command::UserFormStartUp, [this](const Reply &reply) { formStartUp(reply); });
    dispatcher.add<>(Command::UpdateUserList, [this](const Reply &reply) {
        userList(reply, ReplyTag::UpdateUserList, UserAccounts::Listing::ActiveOnly);
    });
    dispatcher.add<>(Command::GetFullUserList, [this](const Reply &reply) {
        userList(reply, ReplyTag::GetFullUserList, UserAccounts::Listing::All);
    });
    dispatcher.add<UserNameArgument>(Command::GetUserInfo,
                                     [this](const Reply &reply, Text userName) { userInfo(reply, userName); });
    dispatcher.add<NewAccountFieldArgument, NewAccountFieldArgument, NewAccountFieldArgument, NewAccountFieldArgument,
                   NewAccountFieldArgument, NewAccountFieldArgument>(
        Command::AddUser, [this](const Reply &reply, Text userName, Text password, Text firstName, Text lastName,
                                 Text department, Text permissionCode) {
            NewUserAccount account;
            account.userName = userName;
            account.firstName = firstName;
            account.lastName = lastName;
            account.department = department;
            account.permissionLevel = permissionCode.toInt();
            addUser(reply, account, password, permissionCode);
        });
    dispatcher.add<UserNameArgument, TypedPasswordArgument, PersonNameArgument, PersonNameArgument,
                   UserDepartmentArgument, PermissionCodeArgument>(
        Command::EditUser, [this](const Reply &reply, Text userName, Text password, Text firstName, Text lastName,
                                  Text department, Text permissionCode) {
            editUser(reply, {userName, firstName, lastName, department, permissionCode.toInt(), true}, password);
        });
    dispatcher.add<UserNameArgument>(Command::RemoveUserInfo,
                                     [this](const Reply &reply, Text userName) { removeUser(reply, userName); });
    dispatcher.add<UserNameArgument>(Command::ReActivateUser,
                                     [this](const Reply &reply, Text userName) { reActivateUser(reply, userName); });
    dispatcher.add<UserNameArgument, PasswordDigestArgument>(
        Command::ResetUserPassword,
        [this](const Reply &reply, Text userName, Text digest) { resetPassword(reply, userName, digest); });
}

// The departments to choose from and the active users.
void UserAdminCommands::formStartUp(const Reply &reply)
{
    const std::optional<QStringList> departmentNames = departments.names();
    const std::optional<QStringList> userNames = users.names(UserAccounts::Listing::ActiveOnly);
    if (!departmentNames || !userNames) {
        reply.storeFailure();
        return;
    }
    reply.send(ReplyTag::UserFormStartUp, *departmentNames, *userNames);
}

void UserAdminCommands::userList(const Reply &reply, const QString &tag, UserAccounts::Listing listing)
{
    const std::optional<QStringList> userNames = users.names(listing);
    if (reply.storeFailed(userNames))
        return;
    reply.send(tag, *userNames);
}

// Removed users too: the re-activation picks them from the full list.
void UserAdminCommands::userInfo(const Reply &reply, const QString &userName)
{
    const Lookup<UserProfile> profile = users.profile(userName);
    if (reply.storeFailed(profile))
        return;
    if (!profile.found()) {
        reply.error(noSuchUser(userName));
        return;
    }
    reply.send(ReplyTag::GetUserInfo, userName, profile->firstName, profile->lastName, profile->department,
               QString::number(profile->permissionLevel));
}

// The password arrives as typed and is kept as the hash of the digest the
// login sends, so the new user can log in at once. Whatever is refused is
// answered with a word in place of "UserAdded", as the form expects.
void UserAdminCommands::addUser(const Reply &reply, const NewUserAccount &account, const QString &password,
                                const QString &permissionCode)
{
    const QString problem = newAccountProblem(account, password, permissionCode);
    if (!problem.isEmpty()) {
        reply.send(ReplyTag::AddUser, problem);
        return;
    }
    hashThen(reply, wire::passwordDigest(password), [this, reply, account](const QByteArray &hash) {
        NewUserAccount added = account;
        added.passwordHash = hash;
        QString refusal;
        const bool stored = store.transaction([&] {
            if (!added.department.isEmpty()) {
                const Lookup<Department> department = departments.find(added.department);
                if (department.failed())
                    return false;
                if (!department.found() || department->removed) {
                    refusal = AddUserResult::UnknownDepartment;
                    return false;
                }
            }
            const qint64 now = QDateTime::currentSecsSinceEpoch();
            switch (users.add(added, now)) {
            case UserAccounts::AddResult::NameTaken:
                refusal = AddUserResult::UserNameTaken;
                return false;
            case UserAccounts::AddResult::Failed:
                return false;
            case UserAccounts::AddResult::Added:
                break;
            }
            const UserProfile profile{added.userName,   added.firstName,       added.lastName,
                                      added.department, added.permissionLevel, true};
            QJsonObject after = valuesOf(profile);
            after.insert(QStringLiteral("password"), QStringLiteral("set"));
            return record(reply, Command::AddUser, added.userName, {}, after, now);
        });
        if (!refusal.isEmpty())
            reply.send(ReplyTag::AddUser, refusal);
        else if (!stored)
            reply.storeFailure();
        else
            reply.send(ReplyTag::AddUser, AddUserResult::UserAdded);
    });
}

// Names, department and level change; an empty password keeps the current
// one. A department taken off the list may stay with the users who have it.
void UserAdminCommands::editUser(const Reply &reply, const UserProfile &changed, const QString &password)
{
    const QString digest = password.isEmpty() ? QString() : wire::passwordDigest(password);
    hashThen(reply, digest, [this, reply, changed](const QByteArray &hash) {
        applyStoredChange(store, reply, ReplyTag::EditUser, [&](QString &refusal, qint64 now) {
            const Lookup<UserProfile> current = users.profile(changed.userName);
            if (current.failed())
                return false;
            if (!current.found()) {
                refusal = noSuchUser(changed.userName);
                return false;
            }
            QVariant departmentId(QVariant::LongLong);
            if (!changed.department.isEmpty()) {
                const Lookup<Department> department = departments.find(changed.department);
                if (department.failed())
                    return false;
                if (!department.found() || (department->removed && changed.department != current->department)) {
                    refusal = QStringLiteral("there is no department \"%1\" in the list").arg(changed.department);
                    return false;
                }
                departmentId = department->id;
            }
            if (changed.permissionLevel < current->permissionLevel) {
                bool failed = false;
                refusal = lockOutRefusal(*current, failed);
                if (failed || !refusal.isEmpty())
                    return false;
            }
            UserProfile after = changed;
            after.active = current->active;
            QJsonObject afterValues = valuesOf(after);
            if (!hash.isEmpty())
                afterValues.insert(QStringLiteral("password"), QStringLiteral("changed"));
            return users.updateProfile(after, departmentId)
                   && (hash.isEmpty() || users.setPasswordHash(changed.userName, hash))
                   && record(reply, Command::EditUser, changed.userName, valuesOf(*current), afterValues, now);
        });
    });
}

// Deactivates the account: its orders, lines and clock records keep their
// user, and it can be re-activated.
void UserAdminCommands::removeUser(const Reply &reply, const QString &userName)
{
    setActive(reply, ReplyTag::RemoveUser, Command::RemoveUserInfo, userName, false);
}

void UserAdminCommands::reActivateUser(const Reply &reply, const QString &userName)
{
    setActive(reply, ReplyTag::ReActivateUser, Command::ReActivateUser, userName, true);
}

// Asking for what the account is already changes nothing. No one
// deactivates their own account or the shop's last office account.
void UserAdminCommands::setActive(const Reply &reply, const QString &tag, const QString &command,
                                  const QString &userName, bool active)
{
    applyStoredChange(store, reply, tag, [&](QString &refusal, qint64 now) {
        const Lookup<UserProfile> current = users.profile(userName);
        if (current.failed())
            return false;
        if (!current.found()) {
            refusal = noSuchUser(userName);
            return false;
        }
        if (current->active == active)
            return true;
        if (!active) {
            if (userName == actingUserName(reply)) {
                refusal = QStringLiteral("you cannot remove your own account");
                return false;
            }
            bool failed = false;
            refusal = lockOutRefusal(*current, failed);
            if (failed || !refusal.isEmpty())
                return false;
        }
        UserProfile after = *current;
        after.active = active;
        return users.setActive(userName, active)
               && record(reply, command, userName, valuesOf(*current), valuesOf(after), now);
    });
}

// The reset arrives as the digest the login will send.
void UserAdminCommands::resetPassword(const Reply &reply, const QString &userName, const QString &digest)
{
    hashThen(reply, digest, [this, reply, userName](const QByteArray &hash) {
        applyStoredChange(store, reply, ReplyTag::ResetUserPassword, [&](QString &refusal, qint64 now) {
            const Lookup<UserProfile> current = users.profile(userName);
            if (current.failed())
                return false;
            if (!current.found()) {
                refusal = noSuchUser(userName);
                return false;
            }
            return users.setPasswordHash(userName, hash)
                   && record(reply, Command::ResetUserPassword, userName, {}, passwordChanged(), now);
        });
    });
}

void UserAdminCommands::hashThen(const Reply &reply, const QString &digest,
                                 std::function<void(const QByteArray &)> then)
{
    if (digest.isEmpty()) {
        then({});
        return;
    }
    passwords.hash(digest, [reply, then](const QByteArray &hash) {
        if (hash.isEmpty())
            reply.error(QStringLiteral("the password could not be stored; please try again"));
        else
            then(hash);
    });
}

QString UserAdminCommands::lockOutRefusal(const UserProfile &account, bool &failed) const
{
    if (!account.active || account.permissionLevel != PermissionLevel::Office)
        return {};
    const std::optional<qint64> offices = users.activeWithLevel(PermissionLevel::Office);
    if (!offices) {
        failed = true;
        return {};
    }
    if (*offices > 1)
        return {};
    return QStringLiteral("\"%1\" is the last active office account (level 3); without it no one could manage the shop")
        .arg(account.userName);
}

bool UserAdminCommands::record(const Reply &reply, const QString &command, const QString &userName,
                               const QJsonObject &before, const QJsonObject &after, qint64 now)
{
    return audit.record({actingUserName(reply), command, QStringLiteral("user %1").arg(userName), before, after}, now);
}
