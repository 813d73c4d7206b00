#include "databasebackup.h"

#include "serverlock.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include <optional>

namespace {

// A connection of its own to one SQLite file, closed when it goes.
class SqliteFile
{
public:
    explicit SqliteFile(const QString &path, bool readOnly)
        : name(QUuid::createUuid().toString())
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        database.setDatabaseName(path);
        if (readOnly)
            database.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000"));
        opened = database.open();
        if (!opened)
            problem = database.lastError().text();
    }
    ~SqliteFile()
    {
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
    }

    bool isOpen() const { return opened; }
    QString error() const { return problem; }

    QSqlQuery query(const QString &sql) const
    {
        QSqlQuery query(QSqlDatabase::database(name, false));
        query.prepare(sql);
        return query;
    }

    // The single value a query answers, or nothing.
    std::optional<QVariant> value(const QString &sql) const
    {
        QSqlQuery statement = query(sql);
        if (!statement.exec() || !statement.next())
            return std::nullopt;
        return statement.value(0);
    }

private:
    QString name;
    bool opened = false;
    QString problem;
};

const QString SchemaVersionQuery = QStringLiteral("SELECT MAX(version) FROM schema_version");

// Whether the file is a whole database of the expected schema version
// (any version when expected is empty).
bool checkCopy(const QString &path, const std::optional<QVariant> &expectedVersion, QString *error)
{
    const SqliteFile copy(path, true);
    if (!copy.isOpen()) {
        *error = QStringLiteral("%1 cannot be opened: %2").arg(path, copy.error());
        return false;
    }
    const std::optional<QVariant> integrity = copy.value(QStringLiteral("PRAGMA integrity_check"));
    if (!integrity || integrity->toString() != QLatin1String("ok")) {
        *error = QStringLiteral("%1 is damaged").arg(path);
        return false;
    }
    const std::optional<QVariant> version = copy.value(SchemaVersionQuery);
    if (!version || version->toInt() < 1 || (expectedVersion && version->toInt() != expectedVersion->toInt())) {
        *error = QStringLiteral("%1 is not a complete repair-server database").arg(path);
        return false;
    }
    return true;
}

bool moveAside(const QString &path, const QString &suffix)
{
    return !QFile::exists(path) || QFile::rename(path, path + suffix);
}

} // namespace

namespace DatabaseBackup {

bool backUp(const QString &databasePath, const QString &backupPath, QString *error)
{
    if (!QFileInfo::exists(databasePath)) {
        *error = QStringLiteral("there is no database at %1").arg(databasePath);
        return false;
    }
    if (QFileInfo::exists(backupPath)) {
        *error = QStringLiteral("%1 exists already; name a new file").arg(backupPath);
        return false;
    }
    std::optional<QVariant> version;
    {
        const SqliteFile database(databasePath, true);
        if (!database.isOpen()) {
            *error = QStringLiteral("the database cannot be opened: %1").arg(database.error());
            return false;
        }
        // One read transaction: the copy is the database as it stood at one
        // moment, whatever a running server commits meanwhile.
        QSqlQuery copy = database.query(QStringLiteral("VACUUM INTO :path"));
        copy.bindValue(QStringLiteral(":path"), backupPath);
        if (!copy.exec()) {
            *error = QStringLiteral("the copy failed: %1").arg(copy.lastError().text());
            QFile::remove(backupPath);
            return false;
        }
        version = database.value(SchemaVersionQuery);
    }
    if (!checkCopy(backupPath, version, error)) {
        QFile::remove(backupPath);
        return false;
    }
    return true;
}

bool restore(const QString &backupPath, const QString &databasePath, QString *movedAside, QString *error)
{
    ServerLock lock(databasePath);
    if (!lock.acquire(error))
        return false;
    if (!checkCopy(backupPath, std::nullopt, error))
        return false;

    const QString incoming = databasePath + QStringLiteral(".restoring");
    QFile::remove(incoming);
    if (!QFile::copy(backupPath, incoming)) {
        *error = QStringLiteral("%1 cannot be written").arg(incoming);
        return false;
    }
    // The log files belong to the database being replaced: they go aside
    // with it, or the restored file would replay them.
    const QString suffix = QStringLiteral(".before-restore-%1")
                               .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss")));
    if (!moveAside(databasePath, suffix) || !moveAside(databasePath + QStringLiteral("-wal"), suffix)
        || !moveAside(databasePath + QStringLiteral("-shm"), suffix)) {
        *error = QStringLiteral("the current database cannot be moved aside");
        QFile::remove(incoming);
        return false;
    }
    if (!QFile::rename(incoming, databasePath)) {
        *error
            = QStringLiteral("the copy cannot be put in place; the old database is at %1").arg(databasePath + suffix);
        return false;
    }
    *movedAside = QFileInfo::exists(databasePath + suffix) ? databasePath + suffix : QString();
    return true;
}

} // namespace DatabaseBackup
