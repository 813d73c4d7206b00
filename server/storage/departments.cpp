#include "departments.h"

#include <QVariant>

std::optional<qint64> Departments::ensure(const QString &name)
{
    std::optional<qint64> id;
    const bool done = store.transaction([&] {
        QSqlQuery find = store.prepare(QStringLiteral("SELECT id, removed_at FROM departments WHERE name = :name"));
        find.bindValue(QStringLiteral(":name"), textValue(name));
        if (!Store::execute(find))
            return false;
        if (find.next()) {
            const qint64 existing = find.value(0).toLongLong();
            const bool removed = !find.value(1).isNull();
            find.finish();
            if (removed) {
                QSqlQuery restore
                    = store.prepare(QStringLiteral("UPDATE departments SET removed_at = NULL WHERE id = :id"));
                restore.bindValue(QStringLiteral(":id"), existing);
                if (!Store::execute(restore))
                    return false;
            }
            id = existing;
            return true;
        }
        QSqlQuery insert = store.prepare(QStringLiteral("INSERT INTO departments (name) VALUES (:name) RETURNING id"));
        insert.bindValue(QStringLiteral(":name"), textValue(name));
        id = Store::insertReturningId(insert);
        return id.has_value();
    });
    return done ? id : std::nullopt;
}

Lookup<Department> Departments::find(const QString &name) const
{
    QSqlQuery query = store.prepare(QStringLiteral("SELECT id, removed_at FROM departments WHERE name = :name"));
    query.bindValue(QStringLiteral(":name"), textValue(name));
    if (!Store::execute(query))
        return Lookup<Department>::failure();
    if (!query.next())
        return Lookup<Department>::missing();
    return Lookup<Department>::of({query.value(0).toLongLong(), name, !query.value(1).isNull()});
}

std::optional<QStringList> Departments::names() const
{
    QSqlQuery query = store.prepare(
        QStringLiteral("SELECT name FROM departments WHERE removed_at IS NULL ORDER BY LOWER(name), name"));
    if (!Store::execute(query))
        return std::nullopt;
    QStringList names;
    while (query.next())
        names.append(query.value(0).toString());
    return names;
}

bool Departments::remove(const QString &name, qint64 now)
{
    return store.transaction([&] {
        QSqlQuery update = store.prepare(
            QStringLiteral("UPDATE departments SET removed_at = :now WHERE name = :name AND removed_at IS NULL"));
        update.bindValue(QStringLiteral(":now"), now);
        update.bindValue(QStringLiteral(":name"), textValue(name));
        return Store::execute(update) && update.numRowsAffected() == 1;
    });
}
