// How long the list screens keep the event loop busy when their largest
// realistic reply arrives (a ten-year shop's "All" lists), and when one
// pattern is typed into their filter, with the memory the filled screen
// holds. Each screen is the real one, talking to a scripted server on
// loopback; the reply goes through its real reply path. Every list runs in
// a process of its own, so that memory freed by one does not hide another's.
//
// Run as bench_list_fill [LIST]; without a LIST it runs them all.

#include "screens.h"

#include "management/orderreviewdialog.h"
#include "management/repaircodelistdialog.h"
#include "timekeeping/clockoverviewdialog.h"
#include "timekeeping/timestampbrowserdialog.h"
#include "views/finishedordersdialog.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <functional>

namespace {

constexpr int UserCount = 40;

QString userName(int i)
{
    return QStringLiteral("worker%1").arg(i, 2, 10, QLatin1Char('0'));
}

QStringList userNames()
{
    QStringList names;
    for (int i = 0; i < UserCount; ++i)
        names << userName(i);
    return names;
}

QString dateText(int n)
{
    return QDate(2016, 1, 1).addDays(n % 3650).toString(QStringLiteral("M/d/yyyy"));
}

// count rows spread over the users, as GetFERInfoView sends them.
QByteArray binOrders(int count)
{
    wire::FrameWriter reply(QStringLiteral("GetFERInfoView"));
    reply << QString::number(UserCount);
    for (int u = 0; u < UserCount; ++u) {
        QStringList binIds, repairIds, dates;
        for (int n = u; n < count; n += UserCount) {
            binIds << QStringLiteral("KD%1").arg(100000 + n / 4);
            repairIds << QString::number(n % 4 + 1);
            dates << dateText(n);
        }
        reply << userName(u) << binIds << repairIds << dates;
    }
    return reply.frame();
}

QByteArray customOrders(int count)
{
    const QStringList jobTypes{"Tank_repair", "Weld", "Paint", "Hinge", "Lid"};
    wire::FrameWriter reply(QStringLiteral("GetCustomInfoView"));
    reply << QString::number(UserCount);
    for (int u = 0; u < UserCount; ++u) {
        QStringList repairIds, types, customers, customIds, dates;
        for (int n = u; n < count; n += UserCount) {
            repairIds << QString::number(n + 1);
            types << jobTypes.at(n % jobTypes.size());
            customers << QStringLiteral("Customer %1 Waste Services").arg(n % 900);
            customIds << QStringLiteral("C-%1").arg(n % 900);
            dates << dateText(n);
        }
        reply << userName(u) << repairIds << types << customers << customIds << dates;
    }
    return reply.frame();
}

QByteArray allUsersPeriods(int count)
{
    wire::FrameWriter reply(QStringLiteral("GetAllUserTimeStamps"));
    reply << QString::number(UserCount);
    const quint32 yearAgo = 1735689600;
    for (int u = 0; u < UserCount; ++u) {
        QStringList starts, ends, hours;
        for (int n = u; n < count; n += UserCount) {
            const quint32 start = yearAgo + quint32(n / UserCount) * 86400 + 6 * 3600;
            starts << QString::number(start);
            ends << QString::number(start + 8 * 3600 + 1800);
            hours << QStringLiteral("8.50");
        }
        reply << userName(u) << starts << ends << hours;
    }
    return reply.frame();
}

QByteArray allWork(int count)
{
    wire::FrameWriter reply(QStringLiteral("GetAllWork"));
    reply << QStringLiteral("All") << QString::number(UserCount);
    for (int u = 0; u < UserCount; ++u) {
        QStringList orders;
        for (int n = u; n < count; n += UserCount)
            orders << QStringLiteral("KD%1 %2 Front End Repair").arg(100000 + n).arg(n % 4 + 1);
        reply << userName(u) << orders;
    }
    return reply.frame();
}

QByteArray clockStates(int count)
{
    wire::FrameWriter reply(QStringLiteral("GetClockStat"));
    reply << QString::number(count);
    for (int n = 0; n < count; ++n)
        reply << userName(n) << QStringLiteral("1767250800") << QStringLiteral("0") << QStringLiteral("In");
    return reply.frame();
}

QByteArray repairCodes(int count)
{
    wire::FrameWriter reply(QStringLiteral("GetRepairCodesForEdit"));
    reply << QString::number(count);
    for (int n = 0; n < count; ++n)
        reply << QStringLiteral("FEC%1").arg(n) << QStringLiteral("Weld")
              << QStringLiteral("Weld a crack in the side wall, up to %1 cm").arg(n % 50 + 1);
    return reply.frame();
}

qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return 0;
}

// Runs the event loop until done() holds and a while after it, so that
// deferred work and painting count; the longest time between two ticks of
// a fast timer is the longest the loop was blocked.
struct LoopWatch
{
    int longestBlockMs = 0;
    qint64 totalMs = 0;

    void run(const std::function<void()> &start, const std::function<bool()> &done)
    {
        QElapsedTimer clock;
        clock.start();
        qint64 lastTick = 0;
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        ticker.setInterval(1);
        QObject::connect(&ticker, &QTimer::timeout, [&]() {
            longestBlockMs = qMax(longestBlockMs, int(clock.elapsed() - lastTick));
            lastTick = clock.elapsed();
        });
        ticker.start();
        QTimer::singleShot(0, start);
        qint64 doneAt = -1;
        while (doneAt < 0 || clock.elapsed() - doneAt < 500) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            if (doneAt < 0 && done())
                doneAt = clock.elapsed();
            if (clock.elapsed() > 600000)
                qFatal("the list never filled");
        }
        longestBlockMs = qMax(longestBlockMs, int(clock.elapsed() - lastTick));
        totalMs = doneAt;
    }
};

int tableRowCount(QWidget &screen, const char *table)
{
    const QAbstractItemModel *model = child<QTableView>(&screen, table)->model();
    return model ? model->rowCount() : 0;
}

struct Measured
{
    int rows = 0;
    LoopWatch fill;
    std::optional<LoopWatch> filter;
    qint64 memoryKiB = 0;
};

void printRow(const QStringList &cells)
{
    QTextStream out(stdout);
    out << qSetFieldWidth(18) << Qt::left << cells.first() << qSetFieldWidth(14) << Qt::right;
    for (const QString &cell : cells.mid(1))
        out << cell;
    out << qSetFieldWidth(0) << Qt::endl;
}

void report(const QString &list, const Measured &m)
{
    const auto number = [](qint64 value) { return QString::number(value); };
    printRow({list, number(m.rows), number(m.fill.longestBlockMs), number(m.fill.totalMs),
              m.filter ? number(m.filter->longestBlockMs) : QStringLiteral("-"),
              m.filter ? number(m.filter->totalMs) : QStringLiteral("-"), number(m.memoryKiB / 1024)});
}

// Fills the screen's list with the reply, then types the pattern into its
// filter line when it has one.
template<typename Screen>
Measured measure(const std::function<void(Screen &)> &prepare, const std::function<void(Screen &)> &ask,
                 const std::function<int(Screen &)> &shownRows, int rows, const QString &pattern = {})
{
    Measured m;
    m.rows = rows;
    Screen screen;
    prepare(screen);
    const qint64 before = residentKiB();
    m.fill.run([&]() { ask(screen); }, [&]() { return shownRows(screen) == rows; });
    m.memoryKiB = residentKiB() - before;
    if (!pattern.isEmpty()) {
        auto *line = child<QLineEdit>(&screen, "lineEdit");
        m.filter.emplace();
        m.filter->run([&]() { line->setText(pattern); }, [&]() { return shownRows(screen) < rows; });
    }
    return m;
}

// The screen's first requests, before the list is asked for.
void settle(const std::function<bool()> &done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > 10000)
            qFatal("the screen never got ready");
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

Measured finishedOrders(FakeServer &server, const char *box, const QByteArray &list, int rows, const QString &pattern)
{
    server.answer(QStringLiteral("GetListOfUserOrders"), wire::frame("ListOfUserOrders", userNames()));
    server.answer(wire::FieldReader(list).string(), list);
    return measure<FinishedOrdersDialog>(
        [](FinishedOrdersDialog &screen) {
            settle([&]() { return child<QComboBox>(&screen, "comboBox_User")->count() == UserCount + 1; });
        },
        [box](FinishedOrdersDialog &screen) { child<QCheckBox>(&screen, box)->click(); },
        [](FinishedOrdersDialog &screen) { return tableRowCount(screen, "tableView"); }, rows, pattern);
}

Measured timeStampBrowser(FakeServer &server, int rows)
{
    server.answer(QStringLiteral("GetListOfTimeStampUsers"), wire::frame("GetListOfTimeStampUsers", userNames()));
    server.answer(QStringLiteral("GetAllUserTimeStamps"), allUsersPeriods(rows));
    return measure<TimeStampBrowserDialog>(
        [](TimeStampBrowserDialog &screen) {
            settle([&]() { return child<QComboBox>(&screen, "comboBox_UserList")->count() == UserCount; });
        },
        [](TimeStampBrowserDialog &screen) { child<QCheckBox>(&screen, "checkBox_All")->click(); },
        [](TimeStampBrowserDialog &screen) { return tableRowCount(screen, "tableView"); }, rows);
}

Measured orderReview(FakeServer &server, int rows)
{
    QStringList flags;
    for (int i = 0; i < UserCount; ++i)
        flags << QStringLiteral("No");
    server.answer(QStringLiteral("GetListOfUserOrders"), wire::frame("ListOfUserOrders", userNames(), flags));
    server.answer(QStringLiteral("GetAllWork"), allWork(rows));
    // The screen asks for all work as soon as it has the users.
    return measure<OrderReviewDialog>(
        [](OrderReviewDialog &) {}, [](OrderReviewDialog &) {},
        [](OrderReviewDialog &screen) { return child<QListWidget>(&screen, "listWidget_Orders")->count(); }, rows);
}

Measured clockOverview(FakeServer &server, int rows)
{
    server.answer(QStringLiteral("GetDepartments"), wire::frame("GetDepartments", QStringList{"Front", "Back"}));
    server.answer(QStringLiteral("GetClockStat"), clockStates(rows));
    return measure<ClockOverviewDialog>([](ClockOverviewDialog &) {}, [](ClockOverviewDialog &) {},
                                        [](ClockOverviewDialog &screen) { return tableRowCount(screen, "tableView"); },
                                        rows);
}

Measured repairCodeList(FakeServer &server, int rows)
{
    server.answer(QStringLiteral("GetRepairCodesForEdit"), repairCodes(rows));
    return measure<RepairCodeListDialog>(
        [](RepairCodeListDialog &) {},
        [](RepairCodeListDialog &screen) { child<QCheckBox>(&screen, "checkBox_FER")->click(); },
        [](RepairCodeListDialog &screen) { return tableRowCount(screen, "tableView_Codes"); }, rows);
}

const QStringList Lists{"finished-bin",     "finished-custom", "timestamps-all",
                        "order-review-all", "clock-overview",  "repair-codes"};

Measured run(const QString &list)
{
    FakeServer server;
    if (list == "finished-bin")
        return finishedOrders(server, "checkBox_FrontEnd", binOrders(300000), 300000, "KD1234");
    if (list == "finished-custom")
        return finishedOrders(server, "checkBox_Custom", customOrders(50000), 50000, "customer 12");
    if (list == "timestamps-all")
        return timeStampBrowser(server, 15000);
    if (list == "order-review-all")
        return orderReview(server, 5000);
    if (list == "clock-overview")
        return clockOverview(server, 300);
    return repairCodeList(server, 1000);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    if (!arguments.isEmpty()) {
        if (!Lists.contains(arguments.first()))
            qFatal("unknown list; one of: %s", qPrintable(Lists.join(", ")));
        resetClient();
        MessageScript messages;
        report(arguments.first(), run(arguments.first()));
        return 0;
    }
    // Blocked: the longest the event loop could not run; total: until the rows were shown.
    printRow({"list", "rows", "fill blocked", "fill total", "filt blocked", "filt total", "memory"});
    printRow({"", "", "(ms)", "(ms)", "(ms)", "(ms)", "(MiB)"});
    for (const QString &list : Lists) {
        QProcess one;
        one.setProcessChannelMode(QProcess::ForwardedChannels);
        one.start(app.applicationFilePath(), {list});
        one.waitForFinished(-1);
    }
    return 0;
}
