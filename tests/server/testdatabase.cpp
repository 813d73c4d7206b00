#include "testdatabase.h"

#include <QAtomicInteger>
#include <QCoreApplication>
#include <QDebug>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>
#include <QUrlQuery>

namespace {

QString clusterAddress()
{
    return qEnvironmentVariable("REPAIR_TEST_POSTGRES");
}

// A connection to a database of the test cluster, as its address names it
// (postgresql://USER@/DBNAME?host=SOCKET_FOLDER); not opened yet.
QSqlDatabase postgresConnection(const QUrl &url, const QString &connectionName)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
    db.setHostName(QUrlQuery(url).queryItemValue(QStringLiteral("host")));
    db.setUserName(url.userName());
    db.setDatabaseName(url.path().mid(1));
    return db;
}

// Runs one statement on the cluster's maintenance database.
bool onCluster(const QString &sql)
{
    const QString name = QStringLiteral("test-cluster");
    bool done = false;
    {
        QSqlDatabase db = postgresConnection(QUrl(clusterAddress()), name);
        if (db.open()) {
            QSqlQuery query(db);
            done = query.exec(sql);
            if (!done)
                qWarning().noquote() << sql << ":" << query.lastError().text();
        } else {
            qWarning().noquote() << "cannot reach the test cluster:" << db.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return done;
}

} // namespace

bool TestDatabase::onPostgres()
{
    return qEnvironmentVariable("REPAIR_TEST_BACKEND") == QLatin1String("postgresql");
}

TestDatabase::TestDatabase()
{
    if (!onPostgres()) {
        address = folder.filePath(QStringLiteral("shop.sqlite"));
        return;
    }
    static QAtomicInteger<int> counter;
    postgresName
        = QStringLiteral("test_%1_%2").arg(QCoreApplication::applicationPid()).arg(counter.fetchAndAddRelaxed(1));
    if (!clusterAddress().isEmpty() && onCluster(QStringLiteral("CREATE DATABASE %1").arg(postgresName))) {
        QUrl url(clusterAddress());
        url.setPath(QLatin1Char('/') + postgresName);
        address = url.toString();
    }
}

TestDatabase::~TestDatabase()
{
    if (!address.isEmpty() && !postgresName.isEmpty())
        onCluster(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(postgresName));
}

bool TestDatabase::openReader(const QString &location, const QString &connectionName)
{
    if (Store::isPostgresAddress(location))
        return postgresConnection(QUrl(location), connectionName).open();
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(location);
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    return db.open();
}

std::unique_ptr<Store> TestDatabase::open(QString *error) const
{
    if (address.isEmpty()) {
        *error = onPostgres() && clusterAddress().isEmpty()
                     ? QStringLiteral("no PostgreSQL test cluster (REPAIR_TEST_POSTGRES); scripts/run-tests starts one")
                     : QStringLiteral("no test database could be made");
        return nullptr;
    }
    return Store::open(address, error);
}

bool runOn(Store &store, QSqlQuery &query, const QString &sql, const QVariantList &values)
{
    query = store.prepare(sql);
    for (const QVariant &value : values)
        query.addBindValue(value);
    return Store::execute(query);
}

QStringList storedRows(Store &store, const QString &sql, const QVariantList &values)
{
    QSqlQuery query;
    if (!runOn(store, query, sql, values))
        return {QStringLiteral("<query failed>")};
    QStringList rows;
    while (query.next()) {
        QStringList row;
        for (int column = 0; column < query.record().count(); ++column)
            row.append(query.isNull(column) ? QString() : query.value(column).toString());
        rows.append(row.join(QLatin1Char('|')));
    }
    return rows;
}
