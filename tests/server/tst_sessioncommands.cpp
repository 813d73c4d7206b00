#include "inprocessserver.h"

#include "auth/passwordhasher.h"
#include "storage/useraccounts.h"

#include <passworddigest.h>

#include <QtTest>

// Logging in and the main window's requests, over real connections.
class SessionCommandsTest : public ServerTestCase
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(server.startError().isEmpty(), qPrintable(server.startError()));
        // One hash for every account: hashing is slow on purpose.
        const QByteArray hash = PasswordHasher::hash(wire::passwordDigest(password));
        for (const auto &[user, level] : {std::pair("anna", 3), {"bert", 2}, {"carl", 1}, {"dora", 1}, {"emil", 1}})
            QVERIFY(server.addUser(user, level, hash));
        QVERIFY(UserAccounts(server.store()).setActive("dora", false));
    }

    void repliesStoringNothing_data()
    {
        ReplyRows::columns();
        const auto row = ReplyRows::row;
        const QString digest = wire::passwordDigest(password);
        row("right password", "Login", {"anna", digest}, "", {"Success"});
        row("wrong password", "Login", {"anna", wire::passwordDigest("secret")}, "", {"Wrong"});
        row("unknown user", "Login", {"nobody", digest}, "", {"Wrong"});
        row("removed user", "Login", {"dora", digest}, "", {"Wrong"});
        row("name with a trailing blank", "Login", {"anna ", digest}, "", {"Wrong"});
        row("upper-case hex", "Login", {"anna", digest.toUpper()}, "", {"Error"});
        row("one digit short", "Login", {"anna", digest.left(127)}, "", {"Error"});
        row("one digit more", "Login", {"anna", digest + '0'}, "", {"Error"});

        row("office", "GetPermissions", {"anna"}, "s", {"Permissions", "3"});
        row("removed user's level", "GetPermissions", {"dora"}, "s", {"Permissions", "0"});
        row("unknown user's level", "GetPermissions", {"nobody"}, "s", {"Permissions", "0"});
        row("never clocked in", "GetClockStatus", {"anna"}, "s", {"GetClockStatus", ""});
        row("unknown user's clock", "GetClockStatus", {"nobody"}, "s", {"GetClockStatus", ""});
        row("unknown user in", "ClockIn", {"nobody"}, "", {"Error"});
        row("unknown user out", "ClockOut", {"nobody"}, "", {"Error"});
        row("removed user in", "ClockIn", {"dora"}, "", {"Error"});
    }

    void repliesStoringNothing()
    {
        const QVariant before = server.queryValue("SELECT COUNT(*) FROM clock_records");
        ReplyRows::check(*client);
        QCOMPARE(server.queryValue("SELECT COUNT(*) FROM clock_records"), before);
    }

    void clockingInAndOut()
    {
        // Each step: the command, then the clock status and "periods/open periods" after it.
        const QList<QStringList> steps = {{"ClockIn", "In", "1/1"},
                                          {"ClockIn", "In", "1/1"},
                                          {"ClockOut", "Out", "1/0"},
                                          {"ClockOut", "Out", "1/0"},
                                          {"ClockIn", "In", "2/1"}};
        for (const QStringList &step : steps) {
            QCOMPARE(client->ask(step[0], {"carl"}, ""), QStringList{step[0]});
            QCOMPARE(client->ask("GetClockStatus", {"carl"}, "s"), (QStringList{"GetClockStatus", step[1]}));
            QCOMPARE(clockRows("carl"), step[2]);
        }
        QCOMPARE(server.queryValue("SELECT COUNT(*) FROM clock_records WHERE end_time < start_time").toInt(), 0);

        // A user removed while clocked in can still be clocked out.
        QCOMPARE(client->ask("ClockIn", {"bert"}, ""), QStringList{"ClockIn"});
        QVERIFY(UserAccounts(server.store()).setActive("bert", false));
        QCOMPARE(client->ask("ClockOut", {"bert"}, ""), QStringList{"ClockOut"});
        QCOMPARE(clockRows("bert"), QStringLiteral("1/0"));
    }

    // Requests that arrive together are answered each on its own: a refused one
    // does not undo the others.
    void clockingAtOnceFromSeveralTerminals()
    {
        const QStringList users = {"anna", "dora", "emil"};
        std::vector<std::unique_ptr<ServerTestClient>> terminals;
        for (int terminal = 0; terminal < users.size(); ++terminal)
            terminals.push_back(server.terminalOf("anna"));
        for (int terminal = 0; terminal < users.size(); ++terminal)
            terminals[terminal]->send("ClockIn", users[terminal]);
        QCOMPARE(terminals[0]->receive().text(""), QStringList{"ClockIn"});
        QCOMPARE(terminals[1]->receive().text(""), QStringList{"Error"});
        QCOMPARE(terminals[2]->receive().text(""), QStringList{"ClockIn"});
        QCOMPARE(clockRows("anna"), QStringLiteral("1/1"));
        QCOMPARE(clockRows("dora"), QStringLiteral("0/0"));
        QCOMPARE(clockRows("emil"), QStringLiteral("1/1"));
    }

    // A write that cannot be made durable is never reported stored. The log
    // is replaced by a file that cannot be synced.
    void writeTheDiskRefusesIsAFailure()
    {
        if (TestDatabase::onPostgres())
            QSKIP("the server flushes only SQLite's log itself");
        const QString log = server.databasePath() + "-wal";
        QVERIFY(QFile::remove(log));
        QVERIFY(QFile::link("/proc/self/stat", log));
        QCOMPARE(client->ask("ClockOut", {"carl"}, ""), QStringList{"Error"});
        QCOMPARE(client->ask("GetPermissions", {"carl"}, "s"), (QStringList{"Permissions", "1"}));
    }

private:
    QString clockRows(const QString &userName)
    {
        return server
            .queryValue("SELECT COUNT(*) || '/' || (COUNT(*) - COUNT(c.end_time)) FROM clock_records c"
                        " JOIN users u ON u.id = c.user_id WHERE u.user_name = ?",
                        {userName})
            .toString();
    }

    const QString password = QStringLiteral("s3cret");
};

QTEST_GUILESS_MAIN(SessionCommandsTest)
#include "tst_sessioncommands.moc"
