#include "useraccounts.h"

#include "departments.h"

Lookup<UserAccount> UserAccounts::find(const QString &userName) const
{
    QSqlQuery query = store.prepare(QStringLiteral(
        "SELECT id, user_name, permission_level, active, password_hash FROM users WHERE user_name = :name"));
    query.bindValue(QStringLiteral(":name"), textValue(userName));
    if (!Store::execute(query))
        return Lookup<UserAccount>::failure();
    if (!query.next())
        return Lookup<UserAccount>::missing();
    UserAccount account;
    account.id = query.value(0).toLongLong();
    account.userName = query.value(1).toString();
    account.permissionLevel = query.value(2).toInt();
    account.active = query.value(3).toInt() != 0;
    account.passwordHash = query.value(4).toString().toLatin1();
    return Lookup<UserAccount>::of(account);
}

UserAccounts::AddResult UserAccounts::add(const NewUserAccount &account, qint64 now)
{
    AddResult result = AddResult::Failed;
    const bool committed = store.transaction([&] {
        const Lookup<UserAccount> existing = find(account.userName);
        if (existing.failed())
            return false;
        if (existing.found()) {
            result = AddResult::NameTaken;
            return false;
        }

        QVariant departmentId(QVariant::LongLong);
        if (!account.department.isEmpty()) {
            const std::optional<qint64> id = Departments(store).ensure(account.department);
            if (!id)
                return false;
            departmentId = *id;
        }

        QSqlQuery insert
            = store.prepare(QStringLiteral("INSERT INTO users (user_name, first_name, last_name, department_id, "
                                           "permission_level, password_hash, active, created_at)"
                                           " VALUES (:name, :first, :last, :department, :level, :hash, 1, :now)"));
        insert.bindValue(QStringLiteral(":name"), textValue(account.userName));
        insert.bindValue(QStringLiteral(":first"), textValue(account.firstName));
        insert.bindValue(QStringLiteral(":last"), textValue(account.lastName));
        insert.bindValue(QStringLiteral(":department"), departmentId);
        insert.bindValue(QStringLiteral(":level"), account.permissionLevel);
        insert.bindValue(QStringLiteral(":hash"), QString::fromLatin1(account.passwordHash));
        insert.bindValue(QStringLiteral(":now"), now);
        if (!Store::execute(insert))
            return false;
        result = AddResult::Added;
        return true;
    });
    if (result == AddResult::Added && !committed)
        return AddResult::Failed;
    return result;
}

bool UserAccounts::setActive(const QString &userName, bool active)
{
    return store.transaction([&] {
        QSqlQuery update = store.prepare(QStringLiteral("UPDATE users SET active = :active WHERE user_name = :name"));
        update.bindValue(QStringLiteral(":active"), active ? 1 : 0);
        update.bindValue(QStringLiteral(":name"), textValue(userName));
        return Store::execute(update) && update.numRowsAffected() == 1;
    });
}

std::optional<bool> UserAccounts::any() const
{
    QSqlQuery query = store.prepare(QStringLiteral("SELECT COUNT(*) FROM users"));
    if (!Store::execute(query) || !query.next())
        return std::nullopt;
    return query.value(0).toLongLong() > 0;
}

Lookup<UserProfile> UserAccounts::profile(const QString &userName) const
{
    QSqlQuery query = store.prepare(
        QStringLiteral("SELECT u.first_name, u.last_name, d.name, u.permission_level, u.active FROM users u"
                       " LEFT JOIN departments d ON d.id = u.department_id WHERE u.user_name = :name"));
    query.bindValue(QStringLiteral(":name"), textValue(userName));
    if (!Store::execute(query))
        return Lookup<UserProfile>::failure();
    if (!query.next())
        return Lookup<UserProfile>::missing();
    UserProfile profile;
    profile.userName = userName;
    profile.firstName = query.value(0).toString();
    profile.lastName = query.value(1).toString();
    profile.department = query.value(2).toString();
    profile.permissionLevel = query.value(3).toInt();
    profile.active = query.value(4).toInt() != 0;
    return Lookup<UserProfile>::of(profile);
}

bool UserAccounts::updateProfile(const UserProfile &profile, const QVariant &departmentId)
{
    return store.transaction([&] {
        QSqlQuery update = store.prepare(
            QStringLiteral("UPDATE users SET first_name = :first, last_name = :last, department_id = :department,"
                           " permission_level = :level WHERE user_name = :name"));
        update.bindValue(QStringLiteral(":first"), textValue(profile.firstName));
        update.bindValue(QStringLiteral(":last"), textValue(profile.lastName));
        update.bindValue(QStringLiteral(":department"), departmentId);
        update.bindValue(QStringLiteral(":level"), profile.permissionLevel);
        update.bindValue(QStringLiteral(":name"), textValue(profile.userName));
        return Store::execute(update) && update.numRowsAffected() == 1;
    });
}

bool UserAccounts::setPasswordHash(const QString &userName, const QByteArray &passwordHash)
{
    return store.transaction([&] {
        QSqlQuery update
            = store.prepare(QStringLiteral("UPDATE users SET password_hash = :hash WHERE user_name = :name"));
        update.bindValue(QStringLiteral(":hash"), QString::fromLatin1(passwordHash));
        update.bindValue(QStringLiteral(":name"), textValue(userName));
        return Store::execute(update) && update.numRowsAffected() == 1;
    });
}

std::optional<QStringList> UserAccounts::names(Listing listing) const
{
    QSqlQuery query
        = store.prepare(listing == Listing::ActiveOnly
                            ? QStringLiteral("SELECT user_name FROM users WHERE active = 1"
                                             " ORDER BY LOWER(user_name), user_name")
                            : QStringLiteral("SELECT user_name FROM users ORDER BY LOWER(user_name), user_name"));
    if (!Store::execute(query))
        return std::nullopt;
    QStringList names;
    while (query.next())
        names.append(query.value(0).toString());
    return names;
}

std::optional<QVector<std::pair<qint64, QString>>> UserAccounts::idsAndNamesByName() const
{
    QSqlQuery query = store.prepare(QStringLiteral("SELECT id, user_name FROM users ORDER BY user_name"));
    query.setForwardOnly(true);
    if (!Store::execute(query))
        return std::nullopt;
    QVector<std::pair<qint64, QString>> users;
    while (query.next())
        users.append({query.value(0).toLongLong(), query.value(1).toString()});
    return users;
}

std::optional<qint64> UserAccounts::activeWithLevel(int permissionLevel) const
{
    QSqlQuery query
        = store.prepare(QStringLiteral("SELECT COUNT(*) FROM users WHERE active = 1 AND permission_level = :level"));
    query.bindValue(QStringLiteral(":level"), permissionLevel);
    if (!Store::execute(query) || !query.next())
        return std::nullopt;
    return query.value(0).toLongLong();
}
