#include "inprocessserver.h"

#include "storage/useraccounts.h"

#include <QDateTime>
#include <QtTest>

InProcessServer::InProcessServer(LoginVerifier::Check check, const ServerLimits &limits)
    : verifier(check ? std::make_unique<LoginVerifier>(std::move(check)) : std::make_unique<LoginVerifier>())
{
    if (!folder.isValid()) {
        problem = QStringLiteral("no temporary folder");
        return;
    }
    database = Store::openSqlite(databasePath(), &problem);
    if (!database)
        return;
    commands = std::make_unique<ServerCommands>(ServerServices{*database, *verifier});
    workers = std::make_unique<CommandWorkers>(*database, CommandWorkers::DefaultThreadCount);
    verifier->setOutcomeRunner([this](std::function<void()> outcome) { workers->post(std::move(outcome)); });
    server = std::make_unique<RepairServer>(limits, workers->requestHandler(commands->dispatcher()));
    if (!server->listen(QHostAddress::LocalHost, 0))
        problem = server->errorString();
}

InProcessServer::~InProcessServer()
{
    server.reset();
    workers.reset();
    verifier->setOutcomeRunner({});
    commands.reset();
}

QString InProcessServer::databasePath() const
{
    return folder.filePath(QStringLiteral("shop.sqlite"));
}

std::unique_ptr<ServerTestClient> InProcessServer::connect(const QHostAddress &from)
{
    if (!server)
        return nullptr;
    auto client = std::make_unique<ServerTestClient>();
    if (!client->connectTo(QHostAddress::LocalHost, port(), from))
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
