#include "serverprogram.h"

#include "accountsetup.h"
#include "demoshop.h"
#include "filelimit.h"
#include "serveroptions.h"
#include "tlssetup.h"

#include "auth/clock.h"
#include "auth/loginthrottle.h"
#include "auth/passwordworkers.h"
#include "auth/terminalsessions.h"
#include "commands/servercommands.h"
#include "exports/officeexports.h"
#include "net/commandworkers.h"
#include "net/longlistreader.h"
#include "net/repairserver.h"
#include "storage/databasebackup.h"
#include "storage/serverlock.h"
#include "storage/store.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
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
    std::unique_ptr<Store> store = Store::open(path, &error);
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

int backUp(const ServerOptions &options, QTextStream &output, QTextStream &errors)
{
    QString error;
    if (!DatabaseBackup::backUp(options.databasePath, options.backupPath, &error)) {
        errors << "repair-server: backup failed: " << error << Qt::endl;
        return ExitFailure;
    }
    output << "Backed up " << options.databasePath << " to " << options.backupPath << " and checked the copy."
           << Qt::endl;
    return 0;
}

int restore(const ServerOptions &options, QTextStream &output, QTextStream &errors)
{
    QString error;
    QString movedAside;
    if (!DatabaseBackup::restore(options.restorePath, options.databasePath, &movedAside, &error)) {
        errors << "repair-server: restore refused: " << error << Qt::endl;
        return ExitFailure;
    }
    output << "Restored " << options.databasePath << " from " << options.restorePath << "." << Qt::endl;
    if (!movedAside.isEmpty())
        output << "The database it replaced is kept as " << movedAside << "." << Qt::endl;
    return 0;
}

int exportTable(Store &store, const ServerOptions::Export &table, QTextStream &output, QTextStream &errors)
{
    // A file appears whole or not at all; standard output is written as it goes.
    QSaveFile file(table.outputPath);
    QFile standardOutput;
    output.flush();
    const bool toFile = !table.outputPath.isEmpty();
    const bool opened = toFile ? file.open(QIODevice::WriteOnly) : standardOutput.open(stdout, QIODevice::WriteOnly);
    if (!opened) {
        errors << "repair-server: cannot write " << table.outputPath << Qt::endl;
        return ExitFailure;
    }
    QIODevice &device = toFile ? static_cast<QIODevice &>(file) : standardOutput;
    const OfficeExports::DayRange days{table.first, table.last};
    QString error;
    const bool written = table.table == ServerOptions::Export::Table::Hours
                             ? OfficeExports::writeHours(store, days, table.department, device, &error)
                             : OfficeExports::writeOrders(store, days, device, &error);
    if (!written || (toFile && !file.commit())) {
        errors << "repair-server: export failed: " << (error.isEmpty() ? file.errorString() : error) << Qt::endl;
        return ExitFailure;
    }
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
    // Several servers may share one PostgreSQL database; an SQLite file has one.
    ServerLock lock(options.databasePath);
    QString lockError;
    if (!Store::isPostgresAddress(options.databasePath) && !lock.acquire(&lockError)) {
        errors << "repair-server: " << lockError << Qt::endl;
        return ExitFailure;
    }
    const ServerLimits limits = limitsFor(options);
    Clock clock;
    TerminalSessions sessions(store, clock, qint64(options.sessionHours) * 3600 * 1000);
    LoginThrottle loginThrottle(clock);
    PasswordWorkers passwords;
    LongListReader longLists(store);
    const ServerCommands commands(ServerServices{store, passwords, sessions, loginThrottle, clock, longLists});
    CommandWorkers workers(store, CommandWorkers::DefaultThreadCount);
    passwords.setOutcomeRunner([&workers](std::function<void()> outcome) { workers.post(std::move(outcome)); });
    RepairServer server(limits, workers.requestHandler(commands.dispatcher()));
    // A silent connection from a logged-in terminal is a screen left open.
    server.setSessionCheck([&sessions](const QHostAddress &peer) { return sessions.hasLiveSession(peer); });
    if (!options.tlsCertificatePath.isEmpty()) {
        QString error;
        const std::optional<QSslConfiguration> tls
            = TlsSetup::serverConfiguration(options.tlsCertificatePath, options.tlsKeyPath, &error);
        if (!tls) {
            errors << "repair-server: " << error << Qt::endl;
            return ExitFailure;
        }
        server.useTls(*tls);
    }
    if (!server.listen(options.listenAddress, options.port)) {
        errors << "repair-server: cannot listen on " << options.listenAddress.toString() << " port " << options.port
               << ": " << server.errorString() << Qt::endl;
        return ExitFailure;
    }
    output << "repair-server: listening on " << server.address().toString() << " port " << server.port()
           << (options.tlsCertificatePath.isEmpty() ? ", plain TCP" : ", TLS only") << ", database "
           << options.databasePath << ", at most " << limits.connections << " connections" << Qt::endl;
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
    const bool postgres = Store::isPostgresAddress(options.databasePath);
    if (postgres && (!options.backupPath.isEmpty() || !options.restorePath.isEmpty())) {
        errors << "repair-server: --backup and --restore are for SQLite files; back up PostgreSQL with pg_dump and "
                  "restore with pg_restore"
               << Qt::endl;
        return ExitUsage;
    }
    if (!options.backupPath.isEmpty())
        return backUp(options, output, errors);
    if (!options.restorePath.isEmpty())
        return restore(options, output, errors);
    if (options.exportTable && !postgres && !QFileInfo::exists(options.databasePath)) {
        errors << "repair-server: there is no database at " << options.databasePath << Qt::endl;
        return ExitFailure;
    }
    const bool defaultLocation = options.databasePath == defaultDatabasePath();
    const std::unique_ptr<Store> store = openStore(options.databasePath, defaultLocation, errors);
    if (!store)
        return ExitFailure;
    if (options.demo && !addDemoShop(*store, output, errors))
        return ExitFailure;
    if (options.addUser)
        return addUser(*store, *options.addUser, input, output, errors);
    if (options.exportTable)
        return exportTable(*store, *options.exportTable, output, errors);
    return serve(*store, options, output, errors);
}

} // namespace ServerProgram
