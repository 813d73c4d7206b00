#include "serveroptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

QString defaultDatabasePath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("repair-server.sqlite"));
}

ParsedCommandLine parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Serves the bin repair shop's clients: accounts, clock records, work orders, repair codes.\n"
                       "Listens on TCP port 1234 of every interface unless told otherwise."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption db(
        QStringLiteral("db"),
        QStringLiteral("SQLite database file; created with its schema when missing. Default: %1")
            .arg(defaultDatabasePath()),
        QStringLiteral("PATH"));
    const QCommandLineOption listen(QStringLiteral("listen"),
                                    QStringLiteral("Address to listen on. Default: every interface."),
                                    QStringLiteral("ADDRESS"));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("TCP port to listen on (0: any free port). Default: 1234."),
                                  QStringLiteral("N"));
    const QCommandLineOption demo(
        QStringLiteral("demo"),
        QStringLiteral("On a database without users, add a small demo shop: the accounts manager, checker and "
                       "worker, two departments and a few repair codes. Prints the passwords once."));
    const QCommandLineOption addUser(
        QStringLiteral("add-user"),
        QStringLiteral("Add an account named NAME, reading its password from the first line of standard "
                       "input, then exit. Needs --permission."),
        QStringLiteral("NAME"));
    const QCommandLineOption permission(
        QStringLiteral("permission"),
        QStringLiteral("Permission level of the account added: 1 standard, 2 management, 3 office."),
        QStringLiteral("1|2|3"));
    const QCommandLineOption department(
        QStringLiteral("department"),
        QStringLiteral("Department of the account added; added to the departments when new."), QStringLiteral("D"));
    const QCommandLineOption maxConnections(
        QStringLiteral("max-connections"),
        QStringLiteral("Connections served at once, all clients together. Default: as many as the process may open "
                       "files, less a reserve."),
        QStringLiteral("N"));
    const QCommandLineOption perAddress(QStringLiteral("max-connections-per-address"),
                                        QStringLiteral("Connections served at once from one IP address. Default: %1.")
                                            .arg(ServerLimits().connectionsPerAddress),
                                        QStringLiteral("N"));
    const QCommandLineOption requestTimeout(
        QStringLiteral("request-timeout"),
        QStringLiteral("Seconds a client may take to send a request once it has begun. Default: %1.")
            .arg(ServerLimits().frameTimeoutMs / 1000),
        QStringLiteral("S"));
    const QCommandLineOption idleTimeout(
        QStringLiteral("idle-timeout"),
        QStringLiteral("Seconds a connection may stay silent unless a user is logged in at its address. "
                       "Default: %1.")
            .arg(ServerLimits().idleTimeoutMs / 1000),
        QStringLiteral("S"));
    const QCommandLineOption replyTimeout(
        QStringLiteral("reply-timeout"),
        QStringLiteral("Seconds a client may leave a reply unread before it is disconnected. Default: %1.")
            .arg(ServerLimits().replyTimeoutMs / 1000),
        QStringLiteral("S"));
    parser.addOptions({db, listen, port, demo, addUser, permission, department, maxConnections, perAddress,
                       requestTimeout, idleTimeout, replyTimeout});

    ParsedCommandLine result;
    if (!parser.parse(arguments)) {
        result.text = parser.errorText();
        return result;
    }
    if (parser.isSet(help)) {
        result.outcome = ParsedCommandLine::Outcome::ShowHelp;
        result.text = parser.helpText();
        return result;
    }
    if (parser.isSet(version)) {
        result.outcome = ParsedCommandLine::Outcome::ShowVersion;
        result.text
            = QStringLiteral("%1 %2").arg(QCoreApplication::applicationName(), QCoreApplication::applicationVersion());
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.text = QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments().constFirst());
        return result;
    }

    ServerOptions &options = result.options;
    options.databasePath = parser.isSet(db) ? parser.value(db) : defaultDatabasePath();
    if (options.databasePath.isEmpty()) {
        result.text = QStringLiteral("--db needs a file name");
        return result;
    }
    if (parser.isSet(listen) && !options.listenAddress.setAddress(parser.value(listen))) {
        result.text = QStringLiteral("--listen: \"%1\" is not an IP address").arg(parser.value(listen));
        return result;
    }
    if (parser.isSet(port)) {
        bool isNumber = false;
        const uint value = parser.value(port).toUInt(&isNumber);
        if (!isNumber || value > 65535) {
            result.text = QStringLiteral("--port: \"%1\" is not a port number (0 to 65535)").arg(parser.value(port));
            return result;
        }
        options.port = quint16(value);
    }
    options.demo = parser.isSet(demo);

    // A whole number from 1 to highest, or the reason it is not.
    const auto count = [&parser](const QCommandLineOption &option, int highest, int *value) -> QString {
        bool isNumber = false;
        const int number = parser.value(option).toInt(&isNumber);
        if (!isNumber || number < 1 || number > highest)
            return QStringLiteral("--%1: \"%2\" is not a number from 1 to %3")
                .arg(option.names().constFirst(), parser.value(option))
                .arg(highest);
        *value = number;
        return {};
    };
    constexpr int MaxSeconds = 24 * 3600;
    constexpr int MaxCount = 1000000;
    int seconds = 0;
    const std::pair<const QCommandLineOption *, int *> timeouts[] = {{&requestTimeout, &options.limits.frameTimeoutMs},
                                                                     {&idleTimeout, &options.limits.idleTimeoutMs},
                                                                     {&replyTimeout, &options.limits.replyTimeoutMs}};
    for (const auto &[option, milliseconds] : timeouts) {
        if (!parser.isSet(*option))
            continue;
        result.text = count(*option, MaxSeconds, &seconds);
        if (!result.text.isEmpty())
            return result;
        *milliseconds = seconds * 1000;
    }
    if (parser.isSet(perAddress)) {
        result.text = count(perAddress, MaxCount, &options.limits.connectionsPerAddress);
        if (!result.text.isEmpty())
            return result;
    }
    if (parser.isSet(maxConnections)) {
        int connections = 0;
        result.text = count(maxConnections, MaxCount, &connections);
        if (!result.text.isEmpty())
            return result;
        options.maxConnections = connections;
    }

    if (parser.isSet(addUser)) {
        ServerOptions::NewUser user;
        user.userName = parser.value(addUser);
        if (!parser.isSet(permission)) {
            result.text = QStringLiteral("--add-user needs --permission 1, 2 or 3");
            return result;
        }
        const QString level = parser.value(permission);
        if (level != QLatin1String("1") && level != QLatin1String("2") && level != QLatin1String("3")) {
            result.text = QStringLiteral("--permission: \"%1\" is not 1, 2 or 3").arg(level);
            return result;
        }
        user.permissionLevel = level.toInt();
        user.department = parser.value(department);
        options.addUser = user;
    } else if (parser.isSet(permission) || parser.isSet(department)) {
        result.text = QStringLiteral("--permission and --department belong to --add-user");
        return result;
    }

    result.outcome = ParsedCommandLine::Outcome::Run;
    return result;
}
