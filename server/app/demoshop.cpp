#include "demoshop.h"

#include "auth/passwordhasher.h"
#include "storage/departments.h"
#include "storage/repaircodes.h"
#include "storage/useraccounts.h"
#include "wire/permissionlevel.h"
#include "wire/repaircodelists.h"

#include <passworddigest.h>

#include <QDateTime>

namespace DemoShop {

QList<Account> accounts()
{
    return {
        {QStringLiteral("manager"), QStringLiteral("demo-manager"), PermissionLevel::Office, QStringLiteral("Morgan"),
         QStringLiteral("Reyes"), QStringLiteral("Front End Shop")},
        {QStringLiteral("checker"), QStringLiteral("demo-checker"), PermissionLevel::Management,
         QStringLiteral("Casey"), QStringLiteral("Lund"), QStringLiteral("Roll Off Shop")},
        {QStringLiteral("worker"), QStringLiteral("demo-worker"), PermissionLevel::Standard, QStringLiteral("Wes"),
         QStringLiteral("Brandt"), QStringLiteral("Front End Shop")},
    };
}

QStringList departments()
{
    return {QStringLiteral("Front End Shop"), QStringLiteral("Roll Off Shop")};
}

namespace {

QList<RepairCode> repairCodes()
{
    const QList<RepairCodeList::Kind> lists = RepairCodeList::all();
    const RepairCodeList::Kind &frontEnd = lists.at(0);
    const RepairCodeList::Kind &rollOff = lists.at(1);
    const RepairCodeList::Kind &kestrel = lists.at(2);
    return {
        {frontEnd.key, frontEnd.prefix + QStringLiteral("101"), QStringLiteral("Weld"),
         QStringLiteral("Weld crack in side wall")},
        {frontEnd.key, frontEnd.prefix + QStringLiteral("102"), QStringLiteral("Lid"),
         QStringLiteral("Replace plastic lid")},
        {frontEnd.key, frontEnd.prefix + QStringLiteral("103"), QStringLiteral("Pocket"),
         QStringLiteral("Straighten fork pocket")},
        {rollOff.key, rollOff.prefix + QStringLiteral("101"), QStringLiteral("Weld"),
         QStringLiteral("Weld floor seam")},
        {rollOff.key, rollOff.prefix + QStringLiteral("102"), QStringLiteral("Door"),
         QStringLiteral("Rehang rear door")},
        {rollOff.key, rollOff.prefix + QStringLiteral("103"), QStringLiteral("Rail"),
         QStringLiteral("Replace long rail section")},
        {kestrel.key, kestrel.prefix + QStringLiteral("101"), QStringLiteral("Lid"),
         QStringLiteral("Replace lid hinge pin")},
        {kestrel.key, kestrel.prefix + QStringLiteral("102"), QStringLiteral("Paint"),
         QStringLiteral("Repaint and restencil")},
        {kestrel.key, kestrel.prefix + QStringLiteral("103"), QStringLiteral("Wheel"),
         QStringLiteral("Replace caster wheel")},
    };
}

} // namespace

Outcome addIfEmpty(Store &store)
{
    UserAccounts users(store);
    const std::optional<bool> hasUsers = users.any();
    if (!hasUsers)
        return Outcome::Failed;
    if (*hasUsers)
        return Outcome::NotEmpty;

    // The slow part, done before the transaction.
    QList<NewUserAccount> newAccounts;
    for (const Account &demo : accounts()) {
        NewUserAccount account;
        account.userName = demo.userName;
        account.firstName = demo.firstName;
        account.lastName = demo.lastName;
        account.department = demo.department;
        account.permissionLevel = demo.permissionLevel;
        account.passwordHash = PasswordHasher::hash(wire::passwordDigest(demo.password));
        if (account.passwordHash.isEmpty())
            return Outcome::Failed;
        newAccounts.append(account);
    }

    const qint64 now = QDateTime::currentSecsSinceEpoch();
    const bool added = store.transaction([&] {
        Departments shopDepartments(store);
        for (const QString &name : departments()) {
            if (!shopDepartments.ensure(name))
                return false;
        }
        for (const NewUserAccount &account : newAccounts) {
            if (users.add(account, now) != UserAccounts::AddResult::Added)
                return false;
        }
        RepairCodes codes(store);
        for (const RepairCode &code : repairCodes()) {
            if (codes.add(code) != RepairCodes::AddResult::Added)
                return false;
        }
        return true;
    });
    return added ? Outcome::Added : Outcome::Failed;
}

} // namespace DemoShop
