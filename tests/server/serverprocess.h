#pragma once

#include "testdatabase.h"
#include <QProcess>
#include <QStringList>

#include <memory>

// The repair-server program run for a test: its own database (see
// TestDatabase), on a free loopback port, with the demo shop.
class ServerProcess
{
public:
    // extraArguments: further options of the program (TLS, for example).
    explicit ServerProcess(QStringList extraArguments = {});
    // A second server program on the database of another.
    explicit ServerProcess(const ServerProcess &sameDatabase);
    ~ServerProcess();

    // Starts the program and waits until it accepts connections.
    bool start();

    static QString program();
    // Runs the program once with these arguments to its end; its exit
    // status, and what it printed in output when given.
    static int runOnce(const QStringList &arguments, QString *output = nullptr);

    // Logs a demo user in at this machine's terminal (127.0.0.1), as the
    // login screen does, so that the screens opened next are served.
    bool logIn(const QString &user);

    quint16 port() const { return serverPort; }
    QString databasePath() const { return database->location(); }
    QString output() const;

private:
    std::shared_ptr<TestDatabase> database;
    QStringList extraArguments;
    QProcess process;
    quint16 serverPort = 0;
};
