#include "inprocessserver.h"

#include "storage/useraccounts.h"
#include "wire/permissionlevel.h"

#include <QDateTime>
#include <QtTest>

InProcessServer::InProcessServer(PasswordWorkers::Check check, const ServerLimits &limits)
    : passwordCheck(check ? std::move(check) : &PasswordWorkers::passwordCheck)
    , serverLimits(limits)
{
    if (!start())
        return;
    if (!addUser(DeskUser, PermissionLevel::Office, "not a password hash")
        || !terminalSessions->open(DeskTerminal, UserAccounts(*database).find(DeskUser)->id))
        problem = QStringLiteral("the desk terminal could not be logged in");
}

void InProcessServer::stop()
{
    server.reset();
    workers.reset();
    longLists.reset();
    passwordWorkers.reset(); // before the commands its outcomes call
    commands.reset();
    loginThrottle.reset();
    terminalSessions.reset();
    database.reset();
}

bool InProcessServer::start()
{
    database = testDatabase.open(&problem);
    if (!database)
        return false;
    passwordWorkers = std::make_unique<PasswordWorkers>(passwordCheck);
    terminalSessions = std::make_unique<TerminalSessions>(*database, manualClock, SessionIdleMilliseconds);
    loginThrottle = std::make_unique<LoginThrottle>(manualClock);
    longLists = std::make_unique<LongListReader>(*database);
    commands = std::make_unique<ServerCommands>(
        ServerServices{*database, *passwordWorkers, *terminalSessions, *loginThrottle, manualClock, *longLists});
    workers = std::make_unique<CommandWorkers>(*database, CommandWorkers::DefaultThreadCount);
    passwordWorkers->setOutcomeRunner([this](std::function<void()> outcome) { workers->post(std::move(outcome)); });
    server = std::make_unique<RepairServer>(serverLimits, workers->requestHandler(commands->dispatcher()));
    server->setSessionCheck([this](const QHostAddress &peer) { return terminalSessions->hasLiveSession(peer); });
    if (!server->listen(QHostAddress::LocalHost, 0)) {
        problem = server->errorString();
        return false;
    }
    return true;
}

std::unique_ptr<ServerTestClient> InProcessServer::connect(const QHostAddress &terminal)
{
    if (!server)
        return nullptr;
    auto client = std::make_unique<ServerTestClient>();
    if (!client->connectTo(QHostAddress::LocalHost, port(), terminal))
        return nullptr;
    return client;
}

std::unique_ptr<ServerTestClient> InProcessServer::terminalOf(const QString &userName)
{
    const Lookup<UserAccount> account = UserAccounts(*database).find(userName);
    const QHostAddress terminal(QStringLiteral("127.0.1.%1").arg(++terminalsOpened));
    if (!account.found() || !terminalSessions->open(terminal, account->id))
        return nullptr;
    return connect(terminal);
}

bool InProcessServer::addUser(const QString &userName, int permissionLevel, const QByteArray &passwordHash,
                              const QString &department)
{
    NewUserAccount account;
    account.userName = userName;
    account.department = department;
    account.permissionLevel = permissionLevel;
    account.passwordHash = passwordHash;
    return UserAccounts(*database).add(account, QDateTime::currentSecsSinceEpoch()) == UserAccounts::AddResult::Added;
}

bool InProcessServer::execute(const QString &sql, const QVariantList &values)
{
    QSqlQuery query;
    return runOn(*database, query, sql, values);
}

QVariant InProcessServer::queryValue(const QString &sql, const QVariantList &values)
{
    QSqlQuery query;
    return runOn(*database, query, sql, values) && query.next() ? query.value(0) : QVariant();
}

QStringList InProcessServer::rows(const QString &sql, const QVariantList &values)
{
    return storedRows(*database, sql, values);
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

namespace {

bool insertRow(InProcessServer &server, const QString &table, const QVariantMap &columns)
{
    const QStringList names = columns.keys();
    return server.execute(
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(table, names.join(QStringLiteral(", ")), QStringLiteral(", ?").repeated(names.size()).mid(2)),
        columns.values());
}

} // namespace

void ServerTestCase::addBinOrder(const QString &binId, int repairId, const QString &owner, int status,
                                 const QVariantMap &columns)
{
    const bool rollOff = binId.startsWith(QLatin1String("ROR"));
    const QString workType = rollOff ? QStringLiteral("Roll Off Repair") : QStringLiteral("Front End Repair");
    QVERIFY(server.execute("INSERT INTO bins (bin_id, work_type, created_at) SELECT ?, ?, 0"
                           " WHERE NOT EXISTS (SELECT 1 FROM bins WHERE bin_id = ?)",
                           {binId, workType, binId}));
    QVariantMap order{{"bin_ref", server.queryValue("SELECT id FROM bins WHERE bin_id = ?", {binId})},
                      {"bin_id", binId},
                      {"repair_id", repairId},
                      {"owner_id", server.queryValue("SELECT id FROM users WHERE user_name = ?", {owner})},
                      {"work_type", workType},
                      {"code_list", rollOff ? "ROR" : ""},
                      {"status", status},
                      {"created_at", 0}};
    order.insert(columns);
    QVERIFY(insertRow(server, "bin_orders", order));
}

void ServerTestCase::addCustomJob(int id, const QString &owner, const QString &customer, const QString &jobType,
                                  int status, const QVariantMap &columns)
{
    QVariantMap job{{"id", id},
                    {"owner_id", server.queryValue("SELECT id FROM users WHERE user_name = ?", {owner})},
                    {"customer", customer},
                    {"job_type", jobType},
                    {"status", status},
                    {"order_date", "3/7/2016"},
                    {"worker", "Sam"},
                    {"customer_ref", QStringLiteral("C-%1").arg(id)},
                    {"contact_name", "Kim"},
                    {"phone", "555-0100"},
                    {"email", "kim@example.org"},
                    {"created_at", 0}};
    job.insert(columns);
    QVERIFY(insertRow(server, "custom_orders", job));
}

namespace ReplyRows {

void columns()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("types");
    QTest::addColumn<QStringList>("reply");
}

void row(const char *name, const char *command, const QStringList &arguments, const char *types,
         const QStringList &reply)
{
    QTest::newRow(name) << QString(command) << arguments << QString(types) << reply;
}

void refused(const char *name, const char *command, const QStringList &arguments)
{
    row(name, command, arguments, "", {"Error"});
}

void check(ServerTestClient &client)
{
    QFETCH(QString, command);
    QFETCH(QStringList, arguments);
    QFETCH(QString, types);
    QFETCH(QStringList, reply);
    QCOMPARE(client.ask(command, arguments, types), reply);
}

} // namespace ReplyRows
