// The real waits of a terminal that keeps guessing passwords, against a
// repair server in this process on the real clock: the time each failed
// login takes to be answered, and meanwhile the time a login from another
// terminal takes. Runs about a quarter of a minute.

#include "servertestclient.h"

#include "auth/clock.h"
#include "auth/loginthrottle.h"
#include "auth/passwordworkers.h"
#include "auth/terminalsessions.h"
#include "commands/servercommands.h"
#include "net/commandworkers.h"
#include "net/longlistreader.h"
#include "net/repairserver.h"
#include "storage/store.h"
#include "storage/useraccounts.h"

#include <passworddigest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int Attempts = 8;

QHostAddress terminal(int number)
{
    return QHostAddress(QStringLiteral("127.0.0.%1").arg(number));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*.info=false")); // the server's log of each login
    QTextStream out(stdout);
    QTemporaryDir folder;
    QString error;
    std::unique_ptr<Store> store = Store::openSqlite(folder.filePath(QStringLiteral("bench.sqlite")), &error);
    if (!store) {
        out << "no database: " << error << Qt::endl;
        return 1;
    }
    const QString digest = wire::passwordDigest(QStringLiteral("right"));
    NewUserAccount account{QStringLiteral("pat"), {}, {}, {}, 1, digest.toLatin1()};
    UserAccounts(*store).add(account, 0);

    Clock clock;
    TerminalSessions sessions(*store, clock, 3600 * 1000);
    LoginThrottle throttle(clock);
    // The password check itself is left out: only the waits are measured.
    PasswordWorkers passwords([](const QByteArray &hash, const QString &sent) { return hash == sent.toLatin1(); });
    LongListReader longLists(*store);
    const ServerCommands commands(ServerServices{*store, passwords, sessions, throttle, clock, longLists});
    CommandWorkers workers(*store, CommandWorkers::DefaultThreadCount);
    passwords.setOutcomeRunner([&workers](std::function<void()> outcome) { workers.post(std::move(outcome)); });
    RepairServer server(ServerLimits(), workers.requestHandler(commands.dispatcher()));
    if (!server.listen(QHostAddress::LocalHost, 0)) {
        out << "cannot listen: " << server.errorString() << Qt::endl;
        return 1;
    }

    ServerTestClient guesser(120 * 1000);
    ServerTestClient colleague;
    guesser.connectTo(QHostAddress::LocalHost, server.port(), terminal(2));
    colleague.connectTo(QHostAddress::LocalHost, server.port(), terminal(3));
    const QString wrong = wire::passwordDigest(QStringLiteral("wrong"));

    out << "attempt  answered after (ms)  other terminal's login meanwhile (ms)" << Qt::endl;
    for (int attempt = 1; attempt <= Attempts; ++attempt) {
        QElapsedTimer guess;
        guess.start();
        guesser.send(QStringLiteral("Login"), QStringLiteral("pat"), wrong);
        QElapsedTimer other;
        other.start();
        const QString otherTag = colleague.request(QStringLiteral("Login"), QStringLiteral("pat"), digest).tag;
        const qint64 otherTime = other.elapsed();
        const QString tag = guesser.receive().tag;
        out << QString::number(attempt).rightJustified(7) << QString::number(guess.elapsed()).rightJustified(21)
            << QString::number(otherTime).rightJustified(39) << "  " << tag << "/" << otherTag << Qt::endl;
    }
    return 0;
}
