#pragma once

#include "manualclock.h"
#include "servertestclient.h"
#include "testdatabase.h"

#include "auth/loginthrottle.h"
#include "auth/passwordworkers.h"
#include "auth/terminalsessions.h"
#include "commands/servercommands.h"
#include "net/commandworkers.h"
#include "net/longlistreader.h"
#include "net/repairserver.h"
#include "storage/store.h"

#include <QHash>
#include <QObject>
#include <QTemporaryDir>

#include <memory>

// A repair server inside the test process: a new database (see
// TestDatabase), listening on a free loopback port, on a clock that moves only when
// told to. The terminal 127.0.0.1 is logged in as an office user (DeskUser),
// so that tests act with every right unless they connect from another
// address.
class InProcessServer
{
public:
    static inline const QString DeskUser = QStringLiteral("desk");
    static inline const QHostAddress DeskTerminal = QHostAddress(QHostAddress::LocalHost);
    static constexpr qint64 SessionIdleMilliseconds = 12 * 3600 * 1000;

    // check replaces the password check of logins, when given.
    explicit InProcessServer(PasswordWorkers::Check check = {}, const ServerLimits &limits = {});
    ~InProcessServer() { stop(); }

    // Stops the server and starts it again on the same database, on
    // another port; what it kept only in memory is gone.
    bool restart()
    {
        stop();
        return start();
    }
    // Empty when the server runs; otherwise what went wrong.
    QString startError() const { return problem; }

    quint16 port() const { return server->port(); }
    Store &store() { return *database; }
    QString databasePath() const { return testDatabase.location(); }
    RepairServer &repairServer() { return *server; }
    PasswordWorkers &passwords() { return *passwordWorkers; }
    ManualClock &clock() { return manualClock; }

    // A client already connected to this server from the terminal address.
    std::unique_ptr<ServerTestClient> connect(const QHostAddress &terminal = DeskTerminal);
    // A client at a terminal of its own (a new loopback address) where the
    // user is logged in, as after a login there.
    std::unique_ptr<ServerTestClient> terminalOf(const QString &userName);
    // Adds an active account that logs in with the digest the hash was made
    // from, in the department when one is named.
    bool addUser(const QString &userName, int permissionLevel, const QByteArray &passwordHash,
                 const QString &department = {});
    // Statements with values bound in order: run, first value, rows as storedRows() reads them.
    bool execute(const QString &sql, const QVariantList &values = {});
    QVariant queryValue(const QString &sql, const QVariantList &values = {});
    QStringList rows(const QString &sql, const QVariantList &values = {});

private:
    bool start();
    void stop();

    PasswordWorkers::Check passwordCheck;
    TestDatabase testDatabase;
    ServerLimits serverLimits;
    QString problem;
    ManualClock manualClock;
    std::unique_ptr<Store> database;
    std::unique_ptr<TerminalSessions> terminalSessions;
    std::unique_ptr<LoginThrottle> loginThrottle;
    std::unique_ptr<PasswordWorkers> passwordWorkers;
    std::unique_ptr<LongListReader> longLists;
    std::unique_ptr<ServerCommands> commands;
    std::unique_ptr<CommandWorkers> workers;
    std::unique_ptr<RepairServer> server;
    int terminalsOpened = 0;
};

// A test class with one server for all its test functions, and a new
// connection to it for each test function.
class ServerTestCase : public QObject
{
    Q_OBJECT

protected:
    explicit ServerTestCase(PasswordWorkers::Check check = {}, const ServerLimits &limits = {})
        : server(std::move(check), limits)
    { }

    // Sends command on client, each argument as one text; an argument that
    // is one of the names is replaced by what it stands for.
    QStringList ask(const QString &command, QStringList arguments, const QString &types = QStringLiteral("/s"));

    // Shop data as the commands would have stored it. A bin order of owner
    // on the bin with this ID, added when new (a roll-off bin when the ID
    // starts with ROR); a custom job ordered 3/7/2016 by Sam for customer
    // reference C-<id>, contact Kim (555-0100, kim@example.org). columns:
    // further columns of the order or job and their values.
    void addBinOrder(const QString &binId, int repairId, const QString &owner, int status,
                     const QVariantMap &columns = {});
    void addCustomJob(int id, const QString &owner, const QString &customer, const QString &jobType, int status,
                      const QVariantMap &columns = {});

    InProcessServer server;
    std::unique_ptr<ServerTestClient> client;
    QHash<QString, QString> names;

protected slots:
    void init();
};

// A data-driven test of replies: the columns command, arguments, types (as
// ServerTestClient::Reply::text() reads them) and reply, and its rows.
namespace ReplyRows {

void columns();
void row(const char *name, const char *command, const QStringList &arguments, const char *types,
         const QStringList &reply);
// A request answered with "Error".
void refused(const char *name, const char *command, const QStringList &arguments);
// Sends the current row's request on client and compares the reply.
void check(ServerTestClient &client);

} // namespace ReplyRows
