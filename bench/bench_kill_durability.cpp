// Whether every write the server acknowledged survives its sudden death.
// Each round starts repair-server on a new SQLite database with one worker
// account per terminal, lets the terminals log in and then clock in and
// out as fast as the server answers, kills the server with SIGKILL at a random
// moment, starts it again and compares, user by user, the clock periods
// stored with the clock-ins and clock-outs that were answered. Prints one
// line a round; fails when an acknowledged write is missing.
//
//   bench_kill_durability [ROUNDS] [TERMINALS] [PATH-TO-repair-server]

#include "servertestclient.h"

#include "wire/commands.h"
#include "wire/replytags.h"

#include <passworddigest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <memory>
#include <vector>

namespace {

constexpr int DefaultRounds = 5;
constexpr int DefaultTerminals = 20;
constexpr int StartTimeoutMs = 20000;
constexpr int ReplyTimeoutMs = 3000;
constexpr int ShortestRunMs = 300;
constexpr int LongestRunMs = 2000;
const QString Password = QStringLiteral("bench-password");

QString workerName(int terminal)
{
    return QStringLiteral("worker%1").arg(terminal);
}

bool addWorker(const QString &serverPath, const QString &database, int terminal)
{
    QProcess setup;
    setup.start(serverPath, {"--add-user", workerName(terminal), "--permission", "1", "--db", database});
    setup.write((Password + QLatin1Char('\n')).toUtf8());
    setup.closeWriteChannel();
    return setup.waitForFinished(StartTimeoutMs) && setup.exitCode() == 0;
}

// Starts the server and gives its port, 0 when it did not start.
quint16 startServer(QProcess &server, const QString &serverPath, const QString &database)
{
    server.setStandardErrorFile(QProcess::nullDevice());
    server.start(serverPath, {"--db", database, "--listen", "127.0.0.1", "--port", "0"});
    if (!server.waitForReadyRead(StartTimeoutMs))
        return 0;
    const QByteArray banner = server.readLine();
    const int portAt = banner.indexOf(" port ") + 6;
    return quint16(banner.mid(portAt, banner.indexOf(',', portAt) - portAt).toUInt());
}

// What one terminal was told was stored.
struct Acknowledged
{
    std::atomic<int> clockIns{0};
    std::atomic<int> clockOuts{0};
    std::atomic<bool> loggedIn{false};
};

// Logs in from its own loopback address, then clocks in and out until the
// server stops answering.
void runTerminal(quint16 port, int terminal, Acknowledged &acknowledged)
{
    ServerTestClient client(ReplyTimeoutMs);
    const QHostAddress from(QStringLiteral("127.0.3.%1").arg(terminal + 1));
    if (!client.connectTo(QHostAddress::LocalHost, port, from)
        || client.request(Command::Login, workerName(terminal), wire::passwordDigest(Password)).tag
               != ReplyTag::Success)
        return;
    acknowledged.loggedIn = true;
    for (bool in = false;; in = !in) {
        const QString command = in ? Command::ClockOut : Command::ClockIn;
        const ServerTestClient::Reply reply = client.request(command, workerName(terminal));
        if (reply.tag != command)
            return;
        ++(in ? acknowledged.clockOuts : acknowledged.clockIns);
    }
}

// Users whose stored periods fall short of what they were told, after a
// restart of the server on the database.
QStringList missingWrites(const QString &database, const std::vector<std::unique_ptr<Acknowledged>> &terminals,
                          QTextStream &out)
{
    QStringList missing;
    const QString connection = QStringLiteral("check");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(database);
        if (!db.open())
            return {QStringLiteral("the database cannot be opened")};
        QSqlQuery query(db);
        query.prepare(QStringLiteral("SELECT COUNT(*), COUNT(c.end_time) FROM clock_records c"
                                     " JOIN users u ON u.id = c.user_id WHERE u.user_name = :name"));
        int acknowledged = 0;
        for (std::size_t terminal = 0; terminal < terminals.size(); ++terminal) {
            query.bindValue(QStringLiteral(":name"), workerName(int(terminal)));
            if (!query.exec() || !query.next()) {
                missing.append(workerName(int(terminal)));
                continue;
            }
            const Acknowledged &told = *terminals[terminal];
            acknowledged += told.clockIns + told.clockOuts;
            if (query.value(0).toInt() < told.clockIns || query.value(1).toInt() < told.clockOuts)
                missing.append(QStringLiteral("%1 (told %2 in / %3 out, stored %4 / %5)")
                                   .arg(workerName(int(terminal)))
                                   .arg(told.clockIns)
                                   .arg(told.clockOuts)
                                   .arg(query.value(0).toInt())
                                   .arg(query.value(1).toInt()));
        }
        out << acknowledged << " acknowledged writes; ";
    }
    QSqlDatabase::removeDatabase(connection);
    return missing;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    const QStringList arguments = application.arguments();
    const int rounds = arguments.size() > 1 ? arguments.at(1).toInt() : DefaultRounds;
    const int terminalCount = arguments.size() > 2 ? arguments.at(2).toInt() : DefaultTerminals;
    const QString serverPath = arguments.size() > 3 ? arguments.at(3) : QStringLiteral(REPAIR_SERVER_PATH);

    int failedRounds = 0;
    for (int round = 1; round <= rounds; ++round) {
        QTemporaryDir folder;
        const QString database = folder.filePath(QStringLiteral("bench.sqlite"));
        for (int terminal = 0; terminal < terminalCount; ++terminal) {
            if (!addWorker(serverPath, database, terminal)) {
                out << "cannot add the worker accounts with " << serverPath << "\n";
                return 1;
            }
        }
        QProcess server;
        const quint16 port = startServer(server, serverPath, database);
        if (port == 0) {
            out << "the server did not start: " << serverPath << "\n";
            return 1;
        }

        std::vector<std::unique_ptr<Acknowledged>> acknowledged;
        std::vector<std::unique_ptr<QThread>> terminals;
        for (int terminal = 0; terminal < terminalCount; ++terminal) {
            acknowledged.push_back(std::make_unique<Acknowledged>());
            Acknowledged &told = *acknowledged.back();
            terminals.emplace_back(QThread::create([port, terminal, &told] { runTerminal(port, terminal, told); }));
            terminals.back()->start();
        }
        // Logging in is slow on purpose; the clock starts when all are in.
        QElapsedTimer loggingIn;
        loggingIn.start();
        const auto allLoggedIn = [&acknowledged] {
            return std::all_of(acknowledged.begin(), acknowledged.end(),
                               [](const std::unique_ptr<Acknowledged> &told) { return told->loggedIn.load(); });
        };
        while (!allLoggedIn() && loggingIn.elapsed() < StartTimeoutMs)
            QThread::msleep(10);
        const int runMs = int(QRandomGenerator::global()->bounded(ShortestRunMs, LongestRunMs));
        QThread::msleep(ulong(runMs));
        server.kill();
        server.waitForFinished(StartTimeoutMs);
        for (const std::unique_ptr<QThread> &terminal : terminals)
            terminal->wait();

        QProcess restarted;
        const bool restartedOk = startServer(restarted, serverPath, database) != 0;
        out << "round " << round << ": killed " << runMs << " ms after the logins; ";
        const QStringList missing = missingWrites(database, acknowledged, out);
        restarted.terminate();
        restarted.waitForFinished(StartTimeoutMs);
        if (!restartedOk || !missing.isEmpty())
            ++failedRounds;
        out << (restartedOk ? "" : "the server did not start again; ")
            << (missing.isEmpty() ? QStringLiteral("none missing") : QStringLiteral("MISSING: ") + missing.join(", "))
            << Qt::endl;
    }
    return failedRounds == 0 ? 0 : 1;
}
