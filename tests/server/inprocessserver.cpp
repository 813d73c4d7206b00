#include "inprocessserver.h"

#include "storage/useraccounts.h"

#include <QDateTime>
#include <QtTest>

InProcessServer::InProcessServer(LoginVerifier::Check check)
    : verifier(check ? std::make_unique<LoginVerifier>(std::move(check)) : std::make_unique<LoginVerifier>())
{
    database = testDatabase.open(&problem);
    if (!database)
        return;
    commands = std::make_unique<ServerCommands>(ServerServices{*database, *verifier});
    server = std::make_unique<RepairServer>(commands->dispatcher());
    if (!server->listen(QHostAddress::LocalHost, 0))
        problem = server->errorString();
}

InProcessServer::~InProcessServer()
{
    server.reset();
    commands.reset();
    database.reset();
}

QString InProcessServer::databasePath() const
{
    return testDatabase.location();
}

std::unique_ptr<ServerTestClient> InProcessServer::connect()
{
    if (!server)
        return nullptr;
    auto client = std::make_unique<ServerTestClient>();
    if (!client->connectTo(QHostAddress::LocalHost, port()))
        return nullptr;
    return client;
}

bool InProcessServer::addUser(const QString &userName, int permissionLevel, const QByteArray &passwordHash)
{
    NewUserAccount account;
    account.userName = userName;
    account.permissionLevel = permissionLevel;
    account.passwordHash = passwordHash;
    return UserAccounts(*database).add(account, QDateTime::currentSecsSinceEpoch()) == UserAccounts::AddResult::Added;
}

bool InProcessServer::execute(const QString &sql, const QVariantList &values)
{
    QSqlQuery query = database->prepare(sql);
    for (const QVariant &value : values)
        query.addBindValue(value);
    return Store::execute(query);
}

QVariant InProcessServer::queryValue(const QString &sql, const QVariantList &values)
{
    QSqlQuery query = database->prepare(sql);
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!Store::execute(query) || !query.next())
        return {};
    return query.value(0);
}

void ServerTestCase::init()
{
    client = server.connect();
    QVERIFY2(client, qPrintable(server.startError()));
}

QStringList ServerTestCase::ask(const QString &command, QStringList arguments, const QString &types)
{
    for (QString &argument : arguments)
        argument = names.value(argument, argument);
    return client->ask(command, arguments, types);
}
