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
