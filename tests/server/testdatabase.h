#pragma once

#include "storage/store.h"

#include <QTemporaryDir>

#include <memory>

// Where a test's server keeps its data: a new SQLite file in a temporary
// folder, or, when REPAIR_TEST_BACKEND is "postgresql", a new database in
// the PostgreSQL cluster that REPAIR_TEST_POSTGRES names
// (postgresql://USER@/postgres?host=SOCKET_FOLDER), dropped afterwards.
class TestDatabase
{
public:
    TestDatabase();
    ~TestDatabase();

    static bool onPostgres();

    // What --db would name: the SQLite file or the PostgreSQL address.
    QString location() const { return address; }

    std::unique_ptr<Store> open(QString *error) const;

    // Opens a connection, under connectionName, to the database that
    // location names (as location() gives it), to read what a server stored
    // there while it runs.
    static bool openReader(const QString &location, const QString &connectionName);

private:
    QTemporaryDir folder;
    QString address;
    QString postgresName;
};

// A statement on store with values bound in order, run; false when it fails.
bool runOn(Store &store, QSqlQuery &query, const QString &sql, const QVariantList &values = {});

// The rows of a query on store, each its values joined by "|" (NULL as
// nothing): stored data read alike on every database, without SQL that
// only one of them knows.
QStringList storedRows(Store &store, const QString &sql, const QVariantList &values = {});
