#include "serverprogram.h"

#include "accountsetup.h"
#include "demoshop.h"
#include "filelimit.h"
#include "serveroptions.h"

#include "auth/loginverifier.h"
#include "commands/servercommands.h"
#include "net/commandworkers.h"
#include "net/repairserver.h"
#include "storage/store.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace {

constexpr int ExitUsage = 2;
constexpr int ExitFailure = 1;

std::unique_ptr<Store> openStore(const QString &path, bool createFolder, QTextStream &errors)
{
    if (createFolder && !QDir().mkpath(QFileInfo(path).absolutePath())) {
        errors << "repair-server: cannot create the folder of " << path << Qt::endl;
        return nullptr;
    }
    QString error;
    std::unique_ptr<Store> store = Store::openSqlite(path, &error);
    if (!store)
        errors << "repair-server: " << error << Qt::endl;
    return store;
}

bool addDemoShop(Store &store, QTextStream &output, QTextStream &errors)
{
    switch (DemoShop::addIfEmpty(store)) {
    case DemoShop::Outcome::NotEmpty:
        output << "The database has users already; no demo shop added." << Qt::endl;
        return true;
    case DemoShop::Outcome::Failed:
        errors << "repair-server: the demo shop could not be added" << Qt::endl;
        return false;
    case DemoShop::Outcome::Added:
        break;
    }
    output << "Added a demo shop with these accounts (shown only now):" << Qt::endl;
    for (const DemoShop::Account &account : DemoShop::accounts())
        output << "  " << account.userName << "  password " << account.password << "  permission level "
               << account.permissionLevel << Qt::endl;
    return true;
}

int addUser(Store &store, const ServerOptions::NewUser &user, QTextStream &input, QTextStream &output,
            QTextStream &errors)
{
    QString password = input.readLine();
    if (password.endsWith(QLatin1Char('\r')))
        password.chop(1);
    const AccountSetup::Outcome outcome
        = AccountSetup::addUser(store, user.userName, user.permissionLevel, user.department, password);
    if (!outcome.added) {
        errors << "repair-server: " << outcome.message << Qt::endl;
        return ExitFailure;
    }
    output << outcome.message << Qt::endl;
    return 0;
}

// Connections may use every descriptor the system grants, less a reserve.
ServerLimits limitsFor(const ServerOptions &options)
{
    ServerLimits limits = options.limits;
    limits.connections = qMax(1, FileLimit::raiseToHard() - FileLimit::Reserve);
    if (options.maxConnections)
        limits.connections = qMin(limits.connections, *options.maxConnections);
    return limits;
}

int serve(Store &store, const ServerOptions &options, QTextStream &output, QTextStream &errors)
{
    const ServerLimits limits = limitsFor(options);
    LoginVerifier loginVerifier;
    const ServerCommands commands(ServerServices{store, loginVerifier});
    CommandWorkers workers(store, CommandWorkers::DefaultThreadCount);
    loginVerifier.setOutcomeRunner([&workers](std::function<void()> outcome) { workers.post(std::move(outcome)); });
    RepairServer server(limits, workers.requestHandler(commands.dispatcher()));
    if (!server.listen(options.listenAddress, options.port)) {
        errors << "repair-server: cannot listen on " << options.listenAddress.toString() << " port " << options.port
               << ": " << server.errorString() << Qt::endl;
        return ExitFailure;
    }
    output << "repair-server: listening on " << server.address().toString() << " port " << server.port()
           << ", database " << options.databasePath << ", at most " << limits.connections << " connections" << Qt::endl;
    return QCoreApplication::exec();
}

} // namespace

namespace ServerProgram {

int run(const QStringList &arguments, QTextStream &input, QTextStream &output, QTextStream &errors)
{
    const ParsedCommandLine commandLine = parseCommandLine(arguments);
    switch (commandLine.outcome) {
    case ParsedCommandLine::Outcome::ShowHelp:
    case ParsedCommandLine::Outcome::ShowVersion:
        output << commandLine.text << Qt::endl;
        return 0;
    case ParsedCommandLine::Outcome::Invalid:
        errors << "repair-server: " << commandLine.text << Qt::endl << "Try repair-server --help." << Qt::endl;
        return ExitUsage;
    case ParsedCommandLine::Outcome::Run:
        break;
    }

    const ServerOptions &options = commandLine.options;
    const bool defaultLocation = options.databasePath == defaultDatabasePath();
    const std::unique_ptr<Store> store = openStore(options.databasePath, defaultLocation, errors);
    if (!store)
        return ExitFailure;
    if (options.demo && !addDemoShop(*store, output, errors))
        return ExitFailure;
    if (options.addUser)
        return addUser(*store, *options.addUser, input, output, errors);
    return serve(*store, options, output, errors);
}

} // namespace ServerProgram
