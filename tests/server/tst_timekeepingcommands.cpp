#include "inprocessserver.h"

#include "storage/useraccounts.h"

#include <QDateTime>
#include <QtTest>

namespace {

// Monday 4 March 2024, 00:00 UTC: the shop's first week on record.
constexpr qint64 Base = 1709510400;
constexpr qint64 Minute = 60;
constexpr qint64 Hour = 3600;
constexpr qint64 Day = 86400;

QString at(qint64 offset)
{
    return QString::number(Base + offset);
}

} // namespace

// The clock overview, the time stamp browser and its editor, over real
// connections, on a shop whose periods lie in one week of the past.
class TimeKeepingCommandsTest : public ServerTestCase
{
    Q_OBJECT

private slots:
    void initTestCase();
    void repliesLeaveRecordsAlone_data();
    void repliesLeaveRecordsAlone();
    void correctionsAreKeptWithTheirAudit();
    void clockingAnotherUserFromTheOverview();

private:
    void addPeriod(const QString &user, qint64 start, std::optional<qint64> end)
    {
        QVERIFY(server.execute("INSERT INTO clock_records (user_id, start_time, end_time)"
                               " SELECT id, ?, ? FROM users WHERE user_name = ?",
                               {Base + start, end ? QVariant(Base + *end) : QVariant(QVariant::LongLong), user}));
    }
    // Everything stored about clocking: the periods and the audit.
    QStringList clockData()
    {
        return server.rows("SELECT user_id, start_time, end_time FROM clock_records ORDER BY id")
               + server.rows("SELECT COUNT(*) FROM clock_audit");
    }
    // A period in hours from Base, "8-16"; a missing time as nothing.
    static QString span(const QString &start, const QString &end)
    {
        const auto hours = [](const QString &time) {
            return time.isEmpty() ? time : QString::number((time.toLongLong() - Base) / Hour);
        };
        return hours(start) + '-' + hours(end);
    }
    // A user's periods relative to Base, in hours: "8-16 16-17".
    QString periodsOf(const QString &user)
    {
        QStringList spans;
        for (const QString &row : server.rows("SELECT c.start_time, c.end_time FROM clock_records c"
                                              " JOIN users u ON u.id = c.user_id WHERE u.user_name = ?"
                                              " ORDER BY c.start_time",
                                              {user}))
            spans.append(span(row.section('|', 0, 0), row.section('|', 1, 1)));
        return spans.join(' ');
    }
    // The latest audit row: action, the period before and after relative to
    // Base in hours, and the terminal.
    QString lastAudit()
    {
        const QStringList row = server
                                    .rows("SELECT action, before_start, before_end, after_start, after_end, terminal"
                                          " FROM clock_audit ORDER BY id DESC LIMIT 1")
                                    .value(0)
                                    .split('|');
        return QStringList{row.value(0), span(row.value(1), row.value(2)), span(row.value(3), row.value(4)),
                           row.value(5)}
            .join(' ');
    }
};

void TimeKeepingCommandsTest::initTestCase()
{
    QVERIFY2(server.startError().isEmpty(), qPrintable(server.startError()));
    for (const auto &[user, department] :
         {std::pair("anna", ""), {"bert", "Yard"}, {"carl", "Shop"}, {"dora", "Yard"}, {"erik", ""}, {"fred", "Yard"}})
        QVERIFY(server.addUser(user, 1, "unused", department));
    // Removed users: dora with a period long ago, erik with none.
    QVERIFY(UserAccounts(server.store()).setActive("dora", false)
            && UserAccounts(server.store()).setActive("erik", false));
    addPeriod("bert", 8 * Hour, 15 * Hour + 30 * Minute);
    addPeriod("bert", Day + 8 * Hour, Day + 10 * Hour + 15 * Minute);
    addPeriod("bert", 2 * Day + 8 * Hour, std::nullopt);
    addPeriod("carl", 9 * Hour, 9 * Hour + 20 * Minute);
    addPeriod("carl", 3 * Day + 6 * Hour, 3 * Day + 14 * Hour);
    addPeriod("dora", -10 * Day, -10 * Day + Hour);
}

void TimeKeepingCommandsTest::repliesLeaveRecordsAlone_data()
{
    ReplyRows::columns();
    const auto row = ReplyRows::row;
    const auto refused = ReplyRows::refused;
    const QString bertIn = at(2 * Day + 8 * Hour);
    const QString carlLast = at(3 * Day + 6 * Hour);
    const QString carlOut = at(3 * Day + 14 * Hour);

    // Active users by name with their latest period; never clocked: 0, 0.
    row("overview", "GetClockStat", {"All", "All"}, "s/ssss",
        {"GetClockStat", "5",     "anna", "0",    "0", "Out", "bert", bertIn, "0", "In", "carl",
         carlLast,       carlOut, "Out",  "desk", "0", "0",   "Out",  "fred", "0", "0",  "Out"});
    row("who is in", "GetClockStat", {"In", "All"}, "s/ssss", {"GetClockStat", "1", "bert", bertIn, "0", "In"});
    row("one department", "GetClockStat", {"All", "Yard"}, "s/ssss",
        {"GetClockStat", "2", "bert", bertIn, "0", "In", "fred", "0", "0", "Out"});
    row("who is out there", "GetClockStat", {"Out", "Yard"}, "s/ssss", {"GetClockStat", "1", "fred", "0", "0", "Out"});
    row("unknown department", "GetClockStat", {"All", "Attic"}, "s/ssss", {"GetClockStat", "0"});

    // Removed users with periods stay in the browser's list.
    row("browser's users", "GetListOfTimeStampUsers", {}, "l",
        {"GetListOfTimeStampUsers", "[anna,bert,carl,desk,dora,fred]"});
    row("first start", "GetTimeStampUserLast", {"bert"}, "s", {"GetTimeStampUserLast", at(8 * Hour)});
    row("removed user's first start", "GetTimeStampUserLast", {"dora"}, "s", {"GetTimeStampUserLast", at(-10 * Day)});

    // Hours to two decimals without trailing zeros; an open period counts 0.
    row("old to new", "GetUserTimeStamps", {"bert", at(0), at(3 * Day), "Old To New"}, "lll",
        {"GetUserTimeStamps", QString("[%1,%2,%3]").arg(at(8 * Hour), at(Day + 8 * Hour), bertIn),
         QString("[%1,%2,0]").arg(at(15 * Hour + 30 * Minute), at(Day + 10 * Hour + 15 * Minute)), "[7.5,2.25,0]"});
    row("new to old", "GetUserTimeStamps", {"carl", at(0), at(7 * Day), "New To Old"}, "lll",
        {"GetUserTimeStamps", QString("[%1,%2]").arg(carlLast, at(9 * Hour)),
         QString("[%1,%2]").arg(carlOut, at(9 * Hour + 20 * Minute)), "[8,0.33]"});
    row("range ends included", "GetUserTimeStamps", {"bert", at(Day + 8 * Hour), at(Day + 8 * Hour), "Old To New"},
        "lll",
        {"GetUserTimeStamps", QString("[%1]").arg(at(Day + 8 * Hour)),
         QString("[%1]").arg(at(Day + 10 * Hour + 15 * Minute)), "[2.25]"});
    row("nothing in range", "GetUserTimeStamps", {"anna", at(0), at(7 * Day), "Old To New"}, "lll",
        {"GetUserTimeStamps", "[]", "[]", "[]"});
    row("all users", "GetAllUserTimeStamps", {at(0), at(2 * Day - 1), "New To Old"}, "s/slll",
        {"GetAllUserTimeStamps", "2", "bert", QString("[%1,%2]").arg(at(Day + 8 * Hour), at(8 * Hour)),
         QString("[%1,%2]").arg(at(Day + 10 * Hour + 15 * Minute), at(15 * Hour + 30 * Minute)), "[2.25,7.5]", "carl",
         QString("[%1]").arg(at(9 * Hour)), QString("[%1]").arg(at(9 * Hour + 20 * Minute)), "[0.33]"});
    row("all users, none", "GetAllUserTimeStamps", {at(-5 * Day), at(-4 * Day), "Old To New"}, "s/slll",
        {"GetAllUserTimeStamps", "0"});

    refused("status in lower case", "GetClockStat", {"in", "All"});
    refused("unknown order", "GetUserTimeStamps", {"bert", at(0), at(Day), "Newest"});
    refused("date not built", "GetAllUserTimeStamps", {"4294967295", at(Day), "Old To New"});
    refused("unknown user's periods", "GetUserTimeStamps", {"nobody", at(0), at(Day), "Old To New"});
    refused("unknown user's first start", "GetTimeStampUserLast", {"nobody"});

    refused("add ending at its start", "AddTimeStamp", {"anna", at(Hour), at(Hour)});
    refused("add ending before its start", "AddTimeStamp", {"anna", at(2 * Hour), at(Hour)});
    refused("add in the future", "AddTimeStamp", {"anna", at(Hour), "4000000000"});
    refused("add with a date not built", "AddTimeStamp", {"anna", "4294967295", at(Hour)});
    refused("add over a closed period", "AddTimeStamp", {"bert", at(15 * Hour), at(16 * Hour)});
    refused("add around a closed period", "AddTimeStamp", {"bert", at(7 * Hour), at(16 * Hour)});
    refused("add after the open start", "AddTimeStamp", {"bert", at(3 * Day), at(3 * Day + Hour)});
    refused("add for an unknown user", "AddTimeStamp", {"nobody", at(Hour), at(2 * Hour)});
    refused("edit a start off by a second", "EditTimeStamp",
            {"carl", at(9 * Hour), at(10 * Hour), at(9 * Hour + 1), at(9 * Hour + 20 * Minute)});
    refused("edit another user's period", "EditTimeStamp",
            {"anna", at(9 * Hour), at(10 * Hour), at(9 * Hour), at(9 * Hour + 20 * Minute)});
    refused("edit into the next period", "EditTimeStamp",
            {"carl", at(9 * Hour), at(3 * Day + 7 * Hour), at(9 * Hour), at(9 * Hour + 20 * Minute)});
    refused("edit into the future", "EditTimeStamp",
            {"carl", at(9 * Hour), "4000000000", at(9 * Hour), at(9 * Hour + 20 * Minute)});
    refused("remove with another end", "RemoveTimeStamp", {"carl", at(9 * Hour), at(10 * Hour), "1"});
    refused("remove a closed period as open", "RemoveTimeStamp", {"carl", at(9 * Hour), "0", "0.33"});
    refused("remove another user's period", "RemoveTimeStamp", {"bert", at(9 * Hour), at(9 * Hour + 20 * Minute), "0"});
}

void TimeKeepingCommandsTest::repliesLeaveRecordsAlone()
{
    const QStringList before = clockData();
    ReplyRows::check(*client);
    QCOMPARE(clockData(), before);
}

void TimeKeepingCommandsTest::correctionsAreKeptWithTheirAudit()
{
    const qint64 asked = QDateTime::currentSecsSinceEpoch();
    const QStringList firstStart = client->ask("GetTimeStampUserLast", {"fred"}, "s");
    QCOMPARE(firstStart.value(0), QStringLiteral("GetTimeStampUserLast"));
    QVERIFY(firstStart.value(1).toLongLong() >= asked && firstStart.value(1).toLongLong() <= asked + 5);

    // Each step: the request, the reply, fred's periods after it (hours
    // from Base) and the audit row it leaves.
    const QList<std::tuple<QString, QStringList, QString, QString, QString>> steps = {
        {"AddTimeStamp", {"fred", at(8 * Hour), at(16 * Hour)}, "AddTimeStamp", "8-16", "add - 8-16 127.0.0.1"},
        {"AddTimeStamp", {"fred", at(16 * Hour), at(17 * Hour)}, "AddTimeStamp", "8-16 16-17", "add - 16-17 127.0.0.1"},
        {"EditTimeStamp",
         {"fred", at(7 * Hour), at(16 * Hour), at(8 * Hour), at(16 * Hour)},
         "AddTimeStamp",
         "7-16 16-17",
         "edit 8-16 7-16 127.0.0.1"},
        {"RemoveTimeStamp",
         {"fred", at(16 * Hour), at(17 * Hour), "1"},
         "RemoveTimeStamp",
         "7-16",
         "remove 16-17 - 127.0.0.1"},
    };
    for (const auto &[command, arguments, reply, periods, audit] : steps) {
        QCOMPARE(client->ask(command, arguments, ""), QStringList{reply});
        QCOMPARE(periodsOf("fred"), periods);
        QCOMPARE(lastAudit(), audit);
    }
    QCOMPARE(client->ask("GetUserTimeStamps", {"fred", at(0), at(Day), "Old To New"}, "lll"),
             (QStringList{"GetUserTimeStamps", QString("[%1]").arg(at(7 * Hour)), QString("[%1]").arg(at(16 * Hour)),
                          "[9]"}));
}

void TimeKeepingCommandsTest::clockingAnotherUserFromTheOverview()
{
    const qint64 asked = QDateTime::currentSecsSinceEpoch();
    QCOMPARE(client->ask("ClockIn", {"anna"}, ""), QStringList{"ClockIn"});
    const QStringList overview = client->ask("GetClockStat", {"In", "All"}, "s/ssss");
    const QString started = overview.value(3);
    QCOMPARE(overview.mid(1, 6), (QStringList{"2", "anna", started, "0", "In", "bert"}));
    QVERIFY(started.toLongLong() >= asked && started.toLongLong() <= asked + 5);

    // The open period, named by its start and an end of 0, is closed by hand.
    QCOMPARE(client->ask("EditTimeStamp", {"anna", at(Hour), at(2 * Hour), started, "0"}, ""),
             QStringList{"AddTimeStamp"});
    QCOMPARE(periodsOf("anna"), QStringLiteral("1-2"));
    QCOMPARE(client->ask("GetClockStat", {"All", "All"}, "s/ssss").mid(2, 4),
             (QStringList{"anna", at(Hour), at(2 * Hour), "Out"}));
    QCOMPARE(client->ask("ClockOut", {"anna"}, ""), QStringList{"ClockOut"});
    QCOMPARE(server.rows("SELECT action FROM clock_audit a JOIN users u ON u.id = a.user_id"
                         " WHERE u.user_name = 'anna' ORDER BY a.id"),
             (QStringList{"clock in", "edit"}));
}

QTEST_GUILESS_MAIN(TimeKeepingCommandsTest)
#include "tst_timekeepingcommands.moc"
