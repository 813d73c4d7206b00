#include "serveroptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace {

constexpr int MaximumSessionHours = 365 * 24;

} // namespace

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
    const QCommandLineOption sessionHours(
        QStringLiteral("session-hours"),
        QStringLiteral("Hours a terminal stays logged in while unused (1 to 8760). Default: 12."), QStringLiteral("N"));
    const QCommandLineOption tlsCertificate(
        QStringLiteral("tls-cert"),
        QStringLiteral("Serve TLS only, with this certificate (PEM; the server's first, then intermediate ones). "
                       "Needs --tls-key."),
        QStringLiteral("FILE"));
    const QCommandLineOption tlsKey(QStringLiteral("tls-key"),
                                    QStringLiteral("The unencrypted private key (PEM) of the --tls-cert certificate."),
                                    QStringLiteral("FILE"));
    parser.addOptions({db, listen, port, demo, addUser, permission, department, sessionHours, tlsCertificate, tlsKey});

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
    options.tlsCertificatePath = parser.value(tlsCertificate);
    options.tlsKeyPath = parser.value(tlsKey);
    if (options.tlsCertificatePath.isEmpty() != options.tlsKeyPath.isEmpty()) {
        result.text = QStringLiteral("--tls-cert and --tls-key go together");
        return result;
    }
    if (parser.isSet(sessionHours)) {
        bool isNumber = false;
        options.sessionHours = parser.value(sessionHours).toInt(&isNumber);
        if (!isNumber || options.sessionHours < 1 || options.sessionHours > MaximumSessionHours) {
            result.text = QStringLiteral("--session-hours: \"%1\" is not a number of hours from 1 to %2")
                              .arg(parser.value(sessionHours))
                              .arg(MaximumSessionHours);
            return result;
        }
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
