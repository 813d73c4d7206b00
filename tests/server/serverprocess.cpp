#include "serverprocess.h"

#include "servertestclient.h"

#include <passworddigest.h>

#include <QDeadlineTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

namespace {

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

bool accepts(quint16 port)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    return socket.waitForConnected(200);
}

} // namespace

ServerProcess::ServerProcess(QStringList extraArguments)
    : database(std::make_shared<TestDatabase>())
    , extraArguments(std::move(extraArguments))
{
    process.setProcessChannelMode(QProcess::MergedChannels);
}

ServerProcess::ServerProcess(const ServerProcess &sameDatabase)
    : database(sameDatabase.database)
{
    process.setProcessChannelMode(QProcess::MergedChannels);
}

ServerProcess::~ServerProcess()
{
    process.kill();
    process.waitForFinished();
}

bool ServerProcess::start()
{
    serverPort = freePort();
    const QStringList arguments{QStringLiteral("--db"),      databasePath(),           QStringLiteral("--listen"),
                                QStringLiteral("127.0.0.1"), QStringLiteral("--port"), QString::number(serverPort),
                                QStringLiteral("--demo")};
    process.start(program(), arguments + extraArguments);
    QDeadlineTimer deadline(60000);
    while (!deadline.hasExpired()) {
        if (process.state() == QProcess::NotRunning)
            return false;
        if (accepts(serverPort))
            return true;
        QTest::qWait(50);
    }
    return false;
}

QString ServerProcess::program()
{
    return QStringLiteral(REPAIR_SERVER_PROGRAM);
}

int ServerProcess::runOnce(const QStringList &arguments, QString *output)
{
    QProcess once;
    once.setProcessChannelMode(QProcess::MergedChannels);
    once.start(program(), arguments);
    if (!once.waitForFinished(60000))
        return -1;
    if (output)
        *output = QString::fromLocal8Bit(once.readAll());
    return once.exitStatus() == QProcess::NormalExit ? once.exitCode() : -1;
}

bool ServerProcess::logIn(const QString &user)
{
    ServerTestClient terminal;
    return terminal.connectTo(QHostAddress::LocalHost, serverPort)
           && terminal.ask(QStringLiteral("Login"), {user, wire::passwordDigest(QStringLiteral("demo-") + user)})
                  == QStringList{QStringLiteral("Success")};
}

QString ServerProcess::output() const
{
    return QString::fromLocal8Bit(const_cast<QProcess &>(process).readAll());
}
