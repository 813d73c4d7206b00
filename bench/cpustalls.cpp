// How long this machine's cores stop running anything. One thread per
// core, pinned to it at real-time priority, sleeps a millisecond again and
// again and notes how late it wakes. No program of this machine can hold
// such a thread back for long, so a late wake of many milliseconds is the
// core itself taken away: on a virtual machine, the host running something
// else on it. Run it beside shop-load: every terminal waits through such a
// stall of the core the server's busiest thread is on.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct CoreStalls
{
    int wakes = 0;
    int stalls = 0;
    double stalledMs = 0;
    double longestMs = 0;
    bool realTime = false;
};

CoreStalls watchCore(int core, Clock::duration runFor, double stallMs)
{
    CoreStalls seen;
    cpu_set_t cores;
    CPU_ZERO(&cores);
    CPU_SET(core, &cores);
    pthread_setaffinity_np(pthread_self(), sizeof cores, &cores);
    const sched_param priority{50};
    seen.realTime = pthread_setschedparam(pthread_self(), SCHED_FIFO, &priority) == 0;

    constexpr auto nap = std::chrono::milliseconds(1);
    const Clock::time_point end = Clock::now() + runFor;
    for (Clock::time_point last = Clock::now(); last < end; ++seen.wakes) {
        std::this_thread::sleep_for(nap);
        const Clock::time_point now = Clock::now();
        const double lateMs = std::chrono::duration<double, std::milli>(now - last - nap).count();
        last = now;
        if (lateMs >= stallMs) {
            ++seen.stalls;
            seen.stalledMs += lateMs;
            seen.longestMs = std::max(seen.longestMs, lateMs);
        }
    }
    return seen;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Measures how long each core of this machine stops running "
                                                    "anything (real-time priority needs root or CAP_SYS_NICE)."));
    parser.addHelpOption();
    const QCommandLineOption seconds(QStringLiteral("seconds"), QStringLiteral("Seconds measured (default 10)."),
                                     QStringLiteral("S"), QStringLiteral("10"));
    const QCommandLineOption atLeast(QStringLiteral("at-least"),
                                     QStringLiteral("The shortest stall counted, in ms (default 5)."),
                                     QStringLiteral("MS"), QStringLiteral("5"));
    parser.addOptions({seconds, atLeast});
    parser.process(application);

    const auto runFor = std::chrono::seconds(std::max(1, parser.value(seconds).toInt()));
    const double stallMs = std::max(1.0, parser.value(atLeast).toDouble());
    const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
    std::vector<CoreStalls> seen(std::size_t(cores), CoreStalls{});
    std::vector<std::thread> watchers;
    for (int core = 0; core < cores; ++core)
        watchers.emplace_back([&, core] { seen[std::size_t(core)] = watchCore(core, runFor, stallMs); });
    for (std::thread &watcher : watchers)
        watcher.join();

    QTextStream out(stdout);
    for (int core = 0; core < cores; ++core) {
        const CoreStalls &stalls = seen[std::size_t(core)];
        out << "core " << core << ": " << stalls.stalls << " stalls of " << stallMs << " ms or more, "
            << qRound(stalls.stalledMs) << " ms in all, the longest " << qRound(stalls.longestMs) << " ms ("
            << stalls.wakes << " wakes"
            << (stalls.realTime ? ""
                                : "; not at real-time priority: the machine's "
                                  "own programs count too")
            << ")\n";
    }
    return 0;
}
