#pragma once

#include "net/serverlimits.h"

#include <QDate>
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
    int sessionHours = 12; // a terminal's session ends after this long unused
    // Both set: serve TLS only, with this certificate (PEM) and private key.
    QString tlsCertificatePath;
    QString tlsKeyPath;

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

    // --backup FILE, --restore FILE: copy the database out or back, then exit.
    QString backupPath;
    QString restorePath;

    // --export-hours or --export-orders FROM TO: write a CSV for the office
    // (to standard output without --output), then exit.
    struct Export
    {
        enum class Table { Hours, Orders };
        Table table = Table::Hours;
        QDate first;
        QDate last;
        QString department; // hours only; empty: every department
        QString outputPath;
    };
    std::optional<Export> exportTable;
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
