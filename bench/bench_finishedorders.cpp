// How long one "GetFERInfoView" for every user takes on a shop with ten
// years of finished orders, and how big its reply is against the client's
// frame limit. The orders are made through the server's own store code; the
// request goes through the server's command table as a connection's would.

#include "spread.h"

#include "auth/clock.h"
#include "auth/loginthrottle.h"
#include "auth/passwordworkers.h"
#include "auth/terminalsessions.h"
#include "commands/servercommands.h"
#include "net/longlistreader.h"
#include "storage/binorders.h"
#include "storage/store.h"
#include "storage/useraccounts.h"

#include "wire/commands.h"
#include "wire/orderstatus.h"
#include "wire/permissionlevel.h"
#include "wire/worktypes.h"

#include <frame.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTextStream>

#include <ctime>

namespace {

constexpr int OrderCount = 100000;
constexpr int WorkerCount = 40;
constexpr int RepairsPerBin = 4;
constexpr qint64 TenYears = 10LL * 365 * 24 * 3600;
constexpr int Runs = 5;
const QString OfficeUser = QStringLiteral("office");

QString workerName(int i)
{
    return QStringLiteral("worker%1").arg(i, 2, 10, QLatin1Char('0'));
}

bool addWorkers(Store &store, qint64 now)
{
    UserAccounts users(store);
    for (int i = 0; i < WorkerCount; ++i) {
        NewUserAccount account;
        account.userName = workerName(i);
        account.permissionLevel = 1;
        account.passwordHash = "unused";
        if (users.add(account, now) != UserAccounts::AddResult::Added)
            return false;
    }
    return true;
}

// Front-end orders, a few repairs per bin, each started by a random worker
// and finished (status 4, 5 or 6) at a random time in the last ten years.
bool addFinishedOrders(Store &store, qint64 now)
{
    UserAccounts users(store);
    QList<qint64> workerIds;
    for (int i = 0; i < WorkerCount; ++i)
        workerIds.append(users.find(workerName(i))->id);
    BinOrders orders(store);
    QRandomGenerator random(12);
    return store.transaction([&] {
        for (int n = 0; n < OrderCount; ++n) {
            NewBinOrder order;
            order.binId = QStringLiteral("KD%1").arg(100000 + n / RepairsPerBin);
            order.repairId = n % RepairsPerBin + 1;
            order.ownerId = workerIds.at(int(random.bounded(WorkerCount)));
            order.workType = WorkType::frontEnd();
            order.codeList = QStringLiteral("FER");
            order.binSize = QStringLiteral("4");
            const qint64 finishedAt = now - qint64(random.bounded(double(TenYears)));
            if (orders.start(order, finishedAt) != BinOrders::StartResult::Started)
                return false;
            const Lookup<BinOrder> started = orders.find(order.binId, order.repairId);
            const int status = OrderStatus::WaitingForCheck + int(random.bounded(3));
            if (!started.found()
                || orders.setStatus(started->id, status, {OrderStatus::Started}, finishedAt) != BinOrders::Move::Done)
                return false;
        }
        return true;
    });
}

double processSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// "fastest / median / slowest"
QString spread(const QVector<double> &values)
{
    const Spread measured = Spread::of(values);
    return QStringLiteral("fastest %1, median %2, slowest %3")
        .arg(measured.lowest, 0, 'f', 0)
        .arg(measured.median, 0, 'f', 0)
        .arg(measured.highest, 0, 'f', 0);
}

} // namespace

// With a path, the database there is made once and reused by later runs.
int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir folder;
    const QString path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : folder.filePath(QStringLiteral("shop.sqlite"));
    const bool reused = QFile::exists(path);
    QString error;
    const std::unique_ptr<Store> store = Store::openSqlite(path, &error);
    if (!store) {
        out << "cannot open the database: " << error << "\n";
        return 1;
    }
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    QElapsedTimer timer;
    timer.start();
    if (!reused && (!addWorkers(*store, now) || !addFinishedOrders(*store, now))) {
        out << "cannot make the orders\n";
        return 1;
    }
    if (reused)
        out << "finished orders: those of " << path << "\n";
    else
        out << "finished orders: " << OrderCount << " of " << WorkerCount << " workers, made in " << timer.elapsed()
            << " ms\n";

    // The lists are read at an office terminal, as the browser does.
    UserAccounts users(*store);
    if (!users.find(OfficeUser).found()) {
        NewUserAccount office;
        office.userName = OfficeUser;
        office.permissionLevel = PermissionLevel::Office;
        office.passwordHash = "unused";
        users.add(office, now);
    }
    Clock clock;
    TerminalSessions sessions(*store, clock, 3600 * 1000);
    LoginThrottle throttle(clock);
    PasswordWorkers passwords;
    const QHostAddress officeTerminal(QHostAddress::LocalHost);
    if (!sessions.open(officeTerminal, users.find(OfficeUser)->id)) {
        out << "cannot log the office terminal in\n";
        return 1;
    }
    LongListReader longLists(*store);
    ServerCommands commands(ServerServices{*store, passwords, sessions, throttle, clock, longLists});
    const auto terminal = std::make_shared<ConnectionSession>(officeTerminal);
    const QByteArray request = wire::frame(Command::GetFERInfoView, QStringLiteral("FER"), QStringLiteral("All"),
                                           QStringLiteral("New To Old"));
    // Wall time depends on what else the machine runs; the processor time
    // of this process, which does nothing else meanwhile, does not.
    QVector<double> wall, processor;
    qint64 replySize = 0;
    QSemaphore replied;
    const auto received = [&replySize, &replied](const QByteArray &frame) {
        replySize = frame.size();
        replied.release();
    };
    for (int run = 0; run < Runs; ++run) {
        const double processorBefore = processSeconds();
        timer.restart();
        commands.dispatcher().dispatch(request, Reply(received, terminal));
        replied.acquire();
        wall.append(double(timer.nsecsElapsed()) / 1e6);
        processor.append((processSeconds() - processorBefore) * 1e3);
    }
    out << "GetFERInfoView FER All New To Old, " << Runs << " runs, milliseconds\n";
    out << "  wall:      " << spread(wall) << "\n";
    out << "  processor: " << spread(processor) << "\n";
    out << "reply: " << replySize << " bytes, "
        << QString::number(100.0 * double(replySize) / double(wire::MaximumReplySize), 'f', 1)
        << " % of the client's frame limit of " << wire::MaximumReplySize << " bytes\n";
    return 0;
}
