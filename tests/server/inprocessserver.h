#pragma once

#include "servertestclient.h"

#include "auth/loginverifier.h"
#include "commands/servercommands.h"
#include "net/commandworkers.h"
#include "net/repairserver.h"
#include "storage/store.h"

#include <QHash>
#include <QObject>
#include <QTemporaryDir>

#include <memory>

// A repair server inside the test process: a new database in a temporary
// folder, listening on a free loopback port.
class InProcessServer
{
public:
    // check replaces the password check of logins, when given.
    explicit InProcessServer(LoginVerifier::Check check = {}, const ServerLimits &limits = {});
    ~InProcessServer();

    // Empty when the server runs; otherwise what went wrong.
    QString startError() const { return problem; }

    quint16 port() const { return server->port(); }
    Store &store() { return *database; }
    QString databasePath() const;
    RepairServer &repairServer() { return *server; }
    LoginVerifier &loginVerifier() { return *verifier; }

    // A client already connected to this server, from the address given.
    std::unique_ptr<ServerTestClient> connect(const QHostAddress &from = {});

    // Adds an active account that logs in with the digest the hash was made from.
    bool addUser(const QString &userName, int permissionLevel, const QByteArray &passwordHash);

    // Runs one statement with values bound in order; false when it fails.
    bool execute(const QString &sql, const QVariantList &values = {});
    // The first column of the first row of a query, or an invalid value.
    QVariant queryValue(const QString &sql, const QVariantList &values = {});

private:
    QTemporaryDir folder;
    QString problem;
    std::unique_ptr<Store> database;
    std::unique_ptr<LoginVerifier> verifier;
    std::unique_ptr<ServerCommands> commands;
    std::unique_ptr<CommandWorkers> workers;
    std::unique_ptr<RepairServer> server;
};

// A test class with one server for all its test functions, and a new
// connection to it for each test function.
class ServerTestCase : public QObject
{
    Q_OBJECT

protected:
    explicit ServerTestCase(LoginVerifier::Check check = {}, const ServerLimits &limits = {})
        : server(std::move(check), limits)
    { }

    // Sends command on client, each argument as one text; an argument that
    // is one of the names is replaced by what it stands for.
    QStringList ask(const QString &command, QStringList arguments, const QString &types = QStringLiteral("/s"));

    InProcessServer server;
    std::unique_ptr<ServerTestClient> client;
    QHash<QString, QString> names;

protected slots:
    void init();
};
