#pragma once

#include "net/serverlimits.h"

#include <QHostAddress>
#include <QString>
#include <QStringList>

#include <optional>

// What the command line asks the server to do.
struct ServerOptions
{
    QString databasePath;
    QHostAddress listenAddress = QHostAddress::Any;
    quint16 port = 1234;
    bool demo = false;

    // Timeouts and per-address cap from the command line; the rest keep
    // their defaults.
    ServerLimits limits;
    // --max-connections; without it, as many as the descriptors allow.
    std::optional<int> maxConnections;

    // --add-user: add this account and exit instead of serving.
    struct NewUser
    {
        QString userName;
        int permissionLevel = 0;
        QString department;
    };
    std::optional<NewUser> addUser;
};

// Reads the command line (program name first, as QCoreApplication::arguments()).
struct ParsedCommandLine
{
    enum class Outcome { Run, ShowHelp, ShowVersion, Invalid };
    Outcome outcome = Outcome::Invalid;
    ServerOptions options;
    QString text; // the help or version text, or why the command line is wrong
};

ParsedCommandLine parseCommandLine(const QStringList &arguments);

// The database file used without --db: a file in the user's application
// data folder.
QString defaultDatabasePath();
