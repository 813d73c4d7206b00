// Plays the terminals of a shop against a repair server (or against
// frame-echo, the ceiling of this machine) in one process, and prints what
// each command's latency was. See --help and docs/performance.md.

#include "latencytable.h"
#include "loadoptions.h"
#include "loadterminal.h"
#include "qteventloop.h"
#include "shopaccounts.h"
#include "spread.h"
#include "terminalscripts.h"

#include "app/filelimit.h"

#include "wire/commands.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QTextStream>
#include <QTimer>

#include <memory>
#include <vector>

namespace {

// Terminals of one kind get addresses of their own block: 127.BLOCK.x.y.
enum class AddressBlock { Working = 1, Idle = 2, Readers = 3, Logins = 4, Lists = 5 };

QHostAddress terminalAddress(AddressBlock block, int index)
{
    return QHostAddress((127u << 24) | (quint32(block) << 16) | quint32(index / 250) << 8 | quint32(index % 250 + 1));
}

// Sleeps until events come. (Given a time limit, processEvents() only looks
// for events and never waits: the loop took a core from the server it
// measured.) The tick bounds each wait, so that the clock is looked at
// even when nothing comes.
void runEventsUntil(const std::function<bool()> &done, qint64 timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    QTimer tick;
    tick.start(20);
    while (!done() && waited.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

QString milliseconds(double ms)
{
    return QString::number(ms, 'f', 1) + QStringLiteral(" ms");
}

// One measured run against one server.
class LoadRun
{
public:
    LoadRun(const LoadOptions &options, const LoadOptions::Address &target, bool echo)
        : options(options)
        , target(target)
        , echo(echo)
    { }

    // The working terminals' requests per second.
    double run(QTextStream &out);
    // The heaviest lists once each: time and reply size.
    void runLists(QTextStream &out);

private:
    LoadTerminal *add(AddressBlock block, int index, std::unique_ptr<TerminalScript> script, LatencyTable &table,
                      int *loginsDone);
    std::unique_ptr<TerminalScript> workingScript(int index) const;
    bool playsWorkflow() const;
    bool isManager(int index) const;
    bool isChecker(int index) const;
    void openIdleConnections(QTextStream &out);
    void stopAll();

    const LoadOptions &options;
    const LoadOptions::Address target;
    const bool echo;
    QElapsedTimer clock;
    LatencyTable working, readers, logins, idle;
    LatencyTable workersScreens; // the working terminals' requests but the managers' and checkers'
    std::vector<std::unique_ptr<LoadTerminal>> terminals;
};

LoadTerminal *LoadRun::add(AddressBlock block, int index, std::unique_ptr<TerminalScript> script, LatencyTable &table,
                           int *loginsDone)
{
    LoadTerminal::Pace pace;
    pace.realistic = options.realisticPace && block != AddressBlock::Readers;
    terminals.push_back(
        std::make_unique<LoadTerminal>(terminalAddress(block, index), std::move(script), table, clock, pace));
    LoadTerminal *terminal = terminals.back().get();
    terminal->afterReply = [loginsDone](const Step &step, const QByteArray &) {
        if (loginsDone && step.endsLogin)
            ++*loginsDone;
    };
    terminal->start(target.host, target.port);
    return terminal;
}

bool LoadRun::playsWorkflow() const
{
    return !echo && options.only.isEmpty();
}

// In the workflow, of every 20 terminals one is a manager and one a checker.
bool LoadRun::isManager(int index) const
{
    return playsWorkflow() && index % 20 == 19;
}

bool LoadRun::isChecker(int index) const
{
    return playsWorkflow() && index % 20 == 9;
}

std::unique_ptr<TerminalScript> LoadRun::workingScript(int index) const
{
    if (echo)
        return TerminalScripts::echo();
    const QString worker = ShopAccounts::worker(1 + index % ShopAccounts::Workers);
    if (!options.only.isEmpty())
        return TerminalScripts::repeating(worker, options.only);
    if (isManager(index))
        return TerminalScripts::manager(ShopAccounts::manager(1 + index / 20 % ShopAccounts::Managers));
    if (isChecker(index)) {
        const int checkers = (options.terminals + 10) / 20;
        return TerminalScripts::checker(ShopAccounts::checker(1 + index / 20 % ShopAccounts::Checkers), index / 20,
                                        checkers);
    }
    return TerminalScripts::worker(worker, index);
}

void LoadRun::openIdleConnections(QTextStream &out)
{
    constexpr int PerAddress = 30;
    int loginsDone = 0;
    int loginsAsked = 0;
    for (int n = 0; n < options.idle; ++n) {
        const bool first = n % PerAddress == 0;
        const QString user
            = echo || !first ? QString() : ShopAccounts::worker(1 + n / PerAddress % ShopAccounts::Workers);
        loginsAsked += user.isEmpty() ? 0 : 1;
        add(AddressBlock::Idle, n / PerAddress, TerminalScripts::idle(user), idle, &loginsDone);
    }
    runEventsUntil([&] { return loginsDone >= loginsAsked; }, 120000);
    runEventsUntil([] { return false; }, 1000); // the silent ones connect meanwhile
    out << options.idle << " idle connections open (" << loginsAsked << " addresses logged in), " << idle.errorCount()
        << " errors\n";
}

void LoadRun::stopAll()
{
    for (const auto &terminal : terminals)
        terminal->stop();
    runEventsUntil(
        [this] {
            return std::none_of(terminals.begin(), terminals.end(),
                                [](const auto &terminal) { return terminal->waitingForReply(); });
        },
        10000);
}

double LoadRun::run(QTextStream &out)
{
    const QString kind = echo ? QStringLiteral("frame-echo") : QStringLiteral("repair-server");
    out << "== " << kind << " at " << target.host.toString() << ":" << target.port << ", " << options.terminals
        << " terminals, " << (options.realisticPace ? "realistic pace" : "no think time") << "\n";
    clock.start();
    if (options.idle > 0)
        openIdleConnections(out);

    int loginsDone = 0;
    bool othersThanWorkers = false;
    for (int n = 0; n < options.terminals; ++n) {
        LoadTerminal *terminal = add(AddressBlock::Working, n, workingScript(n), working, &loginsDone);
        if (isManager(n) || isChecker(n))
            othersThanWorkers = true;
        else
            terminal->alsoTimedIn = &workersScreens;
    }
    for (int n = 0; n < options.readers; ++n)
        add(AddressBlock::Readers, n,
            TerminalScripts::repeating(ShopAccounts::worker(1 + n % ShopAccounts::Workers), Command::GetClockStatus),
            readers, &loginsDone);
    if (!echo) {
        const int expected = options.terminals + options.readers;
        runEventsUntil([&] { return loginsDone >= expected; }, 120000);
        QVector<qint64> loginTimes = working.latencies(Command::Login) + readers.latencies(Command::Login);
        out << expected << " terminals logged in at once: the last login took "
            << milliseconds(percentileMs(loginTimes, 1.0)) << ", " << working.errorCount() + readers.errorCount()
            << " errors\n"
            << Qt::flush; // the measured seconds start now, for whoever watches the output
    }
    working.clear();
    workersScreens.clear();
    readers.clear();

    const qint64 start = clock.elapsed();
    qint64 stormStart = 0;
    qint64 stormEnd = 0;
    if (options.logins > 0 && !echo) {
        runEventsUntil([] { return false; }, options.seconds * 1000 / 3);
        stormStart = clock.elapsed();
        int stormLogins = 0;
        for (int n = 0; n < options.logins; ++n)
            add(AddressBlock::Logins, n, TerminalScripts::idle(ShopAccounts::worker(1 + n % ShopAccounts::Workers)),
                logins, &stormLogins);
        runEventsUntil([&] { return stormLogins >= options.logins; }, options.seconds * 1000);
        stormEnd = clock.elapsed();
    }
    runEventsUntil([] { return false; }, start + options.seconds * 1000 - clock.elapsed());
    const double seconds = double(clock.elapsed() - start) / 1000.0;
    stopAll();

    // The workers' own requests are timed apart: the managers' long lists,
    // under 1% of the requests, fill much of the overall tail.
    working.print(out, QStringLiteral("working terminals, %1 s:").arg(seconds, 0, 'f', 1), seconds,
                  othersThanWorkers ? &workersScreens : nullptr, QStringLiteral("workers' screens"));
    if (options.readers > 0)
        readers.print(out, QStringLiteral("reading terminals:"), seconds);
    if (options.logins > 0 && !echo) {
        QVector<qint64> loginTimes = logins.latencies(Command::Login);
        QVector<qint64> before = working.allLatencies(Command::Login, start, stormStart);
        QVector<qint64> during = working.allLatencies(Command::Login, stormStart, stormEnd);
        out << options.logins << " logins at once: the last took " << milliseconds(percentileMs(loginTimes, 1.0))
            << ", p50 " << milliseconds(percentileMs(loginTimes, 0.5)) << ", " << logins.errorCount()
            << " errors; working terminals' p99 before " << milliseconds(percentileMs(before, 0.99)) << ", meanwhile "
            << milliseconds(percentileMs(during, 0.99)) << "\n";
    }
    terminals.clear();
    return working.requestsPerSecond(seconds);
}

void LoadRun::runLists(QTextStream &out)
{
    clock.start();
    int replies = 0;
    bool loggedIn = false;
    LoadTerminal *terminal
        = add(AddressBlock::Lists, 0, TerminalScripts::heaviestLists(ShopAccounts::manager(1)), working, nullptr);
    terminal->afterReply = [&](const Step &step, const QByteArray &reply) {
        if (!loggedIn) {
            loggedIn = step.endsLogin;
            return;
        }
        ++replies;
        const QVector<qint64> times = working.latencies(step.command);
        // The digest tells whether a change to the server changed a reply.
        const QByteArray digest = QCryptographicHash::hash(reply, QCryptographicHash::Sha1).toHex().left(12);
        out << QStringLiteral("  %1 %2 ms %3 bytes  sha1 %4\n")
                   .arg(step.command, -36)
                   .arg(double(times.last()) / 1000.0, 10, 'f', 1)
                   .arg(reply.size(), 12)
                   .arg(QString::fromLatin1(digest));
        out.flush();
    };
    out << "The heaviest lists, each once as manager m01:\n";
    runEventsUntil([&] { return replies >= TerminalScripts::HeaviestListCount || working.errorCount() > 0; }, 600000);
    if (working.errorCount() > 0)
        working.print(out, QStringLiteral("errors:"), 1);
    terminals.clear();
}

} // namespace

int main(int argc, char *argv[])
{
    useQtsOwnEventLoop();
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    QString error;
    const std::optional<LoadOptions> options = parseLoadOptions(application.arguments(), &error);
    if (!options) {
        out << "shop-load: " << error << "\n";
        return 2;
    }
    FileLimit::raiseToHard();
    if (options->lists) {
        LoadRun(*options, options->server, false).runLists(out);
        return 0;
    }
    if (!options->compareEcho) {
        LoadRun(*options, options->server, options->echo).run(out);
        return 0;
    }
    QVector<double> ratios;
    for (int round = 0; round < options->rounds; ++round) {
        const double echoRate = LoadRun(*options, *options->compareEcho, true).run(out);
        const double rate = LoadRun(*options, options->server, options->echo).run(out);
        if (echoRate <= 0)
            continue;
        ratios.append(rate / echoRate);
        out << QStringLiteral("repair-server / frame-echo: %1 / %2 requests/s = %3 %\n")
                   .arg(rate, 0, 'f', 0)
                   .arg(echoRate, 0, 'f', 0)
                   .arg(100.0 * ratios.last(), 0, 'f', 1);
        out.flush();
    }
    if (ratios.size() > 1) {
        const Spread spread = Spread::of(ratios);
        out << QStringLiteral("ratio over %1 rounds: median %2 %, %3 to %4 %\n")
                   .arg(ratios.size())
                   .arg(100.0 * spread.median, 0, 'f', 1)
                   .arg(100.0 * spread.lowest, 0, 'f', 1)
                   .arg(100.0 * spread.highest, 0, 'f', 1);
    }
    return 0;
}
