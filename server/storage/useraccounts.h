#pragma once

#include "store.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

// A user account as the server checks it.
struct UserAccount
{
    qint64 id = 0;
    QString userName;
    int permissionLevel = 0;
    bool active = false;
    QByteArray passwordHash;
};

// What the user administration shows and changes of an account.
struct UserProfile
{
    QString userName;
    QString firstName;
    QString lastName;
    QString department; // empty: none; a removed department's name stays
    int permissionLevel = 0;
    bool active = false;
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

    Lookup<UserProfile> profile(const QString &userName) const;

    // Sets names, department (an id, or null for none) and level; false
    // when there is no such user or the store failed.
    bool updateProfile(const UserProfile &profile, const QVariant &departmentId);

    bool setPasswordHash(const QString &userName, const QByteArray &passwordHash);

    enum class Listing { ActiveOnly, All };
    // User names in alphabetical order (case aside).
    std::optional<QStringList> names(Listing listing) const;

    // How many active accounts have this permission level.
    std::optional<qint64> activeWithLevel(int permissionLevel) const;

    // Whether any account exists, active or not; nothing when the store failed.
    std::optional<bool> any() const;

    // Gives each row its owner's name (the row's ownerId and userName). A
    // list of thousands of rows would otherwise read, convert and copy the
    // owner's name with each row. Called after reading the rows, as
    // accounts are never deleted or renamed, every owner is found.
    template<typename Rows>
    bool nameOwners(Rows &rows) const
    {
        const auto owners = idsAndNamesByName();
        if (!owners)
            return false;
        QHash<qint64, QString> names;
        names.reserve(owners->size());
        for (const auto &[ownerId, name] : *owners)
            names.insert(ownerId, name);
        for (auto &row : rows)
            row.userName = names.value(row.ownerId);
        return true;
    }

    // The same, and puts the owners in name order, as ORDER BY user_name
    // gives it: rows that come owner by owner, each owner's rows together,
    // keep their order within the owner.
    template<typename Rows>
    bool nameOwnersInNameOrder(Rows &rows) const
    {
        const auto owners = idsAndNamesByName();
        if (!owners)
            return false;
        QHash<qint64, std::pair<int, int>> rowsOfOwner; // first row, one past the last
        for (int first = 0, end = 0; first < rows.size(); first = end) {
            end = first + 1;
            while (end < rows.size() && rows.at(end).ownerId == rows.at(first).ownerId)
                ++end;
            rowsOfOwner.insert(rows.at(first).ownerId, {first, end});
        }
        Rows arranged;
        arranged.reserve(rows.size());
        for (const auto &[ownerId, name] : *owners) {
            const auto span = rowsOfOwner.constFind(ownerId);
            if (span == rowsOfOwner.constEnd())
                continue;
            for (int row = span->first; row < span->second; ++row) {
                rows[row].userName = name;
                arranged.append(std::move(rows[row]));
            }
        }
        rows = std::move(arranged);
        return true;
    }

private:
    // Every user's ID and name, in the order ORDER BY user_name gives.
    std::optional<QVector<std::pair<qint64, QString>>> idsAndNamesByName() const;

    Store &store;
};
