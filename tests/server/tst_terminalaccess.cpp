#include "inprocessserver.h"

#include "storage/useraccounts.h"

#include <passworddigest.h>

#include <QtTest>

// Who may do what: sessions opened by logins at terminals (each its own
// loopback address), the level each request needs, and the slowing down of
// password guessing.
class TerminalAccessTest : public ServerTestCase
{
    Q_OBJECT

public:
    // A password "matches" the stored hash that is its digest: fast logins.
    TerminalAccessTest()
        : ServerTestCase([](const QByteArray &hash, const QString &digest) { return hash == digest.toLatin1(); })
    { }

private slots:
    void initTestCase()
    {
        QVERIFY2(server.startError().isEmpty(), qPrintable(server.startError()));
        for (const auto &[user, level] : {std::pair("wendy", 1), {"chris", 2}, {"mary", 3}})
            QVERIFY(server.addUser(user, level, digestOf(user).toLatin1()));
        addBinOrder("KD2", 1, "chris", 2); // open
        addBinOrder("KD4", 1, "wendy", 4); // waiting for a check
        addBinOrder("KD5", 1, "wendy", 5); // waiting for confirmation
        addCustomJob(7, "chris", "Acme", "Tank", 5); // waiting for confirmation
        addCustomJob(8, "chris", "Acme", "Tank", 2); // open

        terminals["worker"] = loggedIn(2, "wendy");
        terminals["checker"] = loggedIn(3, "chris");
        terminals["manager"] = loggedIn(4, "mary");
        for (auto connection = terminals.cbegin(); connection != terminals.cend(); ++connection)
            QVERIFY2(connection.value(), qPrintable(connection.key()));
    }

    void requestsNeedTheLevelOfWhatTheyTouch_data()
    {
        QTest::addColumn<QString>("terminal");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("reply");
        const auto row
            = [](const char *terminal, const char *command, const QStringList &arguments, const char *reply) {
                  QTest::addRow("%s %s %s", terminal, command, qPrintable(arguments.join(' ')))
                      << terminal << command << arguments << reply;
              };
        const QString fe = QStringLiteral("Front End Repair");

        row("worker", "GetWork", {}, "WorkType");
        row("worker", "GetPermissions", {"wendy"}, "Permissions");
        row("worker", "GetPermissions", {"mary"}, "Error");
        row("worker", "ClockIn", {"chris"}, "Error");
        row("worker", "GetBinRepairInfo", {"wendy", fe, "KD2", "1"}, "BinRepairInfo"); // a colleague's open order
        row("worker", "ChangeStatus", {"chris", "6", "KD2", "1"}, "Error");
        row("worker", "SaveChecks", {"chris", fe, "KD2", "1", "6", "1", "2"}, "Error");
        row("worker", "GetPreForChecks", {"wendy", fe, "KD4", "1"}, "Error");
        row("worker", "GetNumberOfOrders", {}, "Error");
        row("worker", "GetListOfUserOrders", {"4"}, "Error");
        row("worker", "GetCustomRepair", {"8", "Tank", "Acme"}, "GetCustomRepair");
        row("worker", "GetCustomRepair", {"7", "Tank", "Acme"}, "Error");
        row("worker", "AddCustomRepair", {"d", "m", "1", "0", "8", "3", "wendy", "Tank", "Acme"}, "Error");
        row("worker", "FinishCustomRepair", {"7", "Tank", "Acme"}, "Error");

        row("checker", "GetNumberOfOrders", {}, "NumberOfOrders");
        row("checker", "GetListOfUserOrders", {"4"}, "ListOfUserOrders");
        row("checker", "GetListOfUserOrders", {"5"}, "Error");
        row("checker", "GetPreForChecks", {"wendy", fe, "KD4", "1"}, "PreForChecks");
        row("checker", "GetChecksList", {fe, "KD5", "1"}, "Error");
        row("checker", "SendBinBack", {"wendy", "KD5", "1", "4"}, "Error");
        row("checker", "GetNumberWorkToConfirm", {}, "Error");

        row("manager", "GetNumberWorkToConfirm", {}, "NumberOfOrdersToConfirm");
        row("manager", "GetChecksList", {fe, "KD5", "1"}, "GetCheckList");
        row("manager", "GetCustomRepair", {"7", "Tank", "Acme"}, "GetCustomRepair");
        row("manager", "ClockIn", {"wendy"}, "ClockIn");
    }

    void requestsNeedTheLevelOfWhatTheyTouch()
    {
        QFETCH(QString, terminal);
        QFETCH(QString, command);
        QFETCH(QStringList, arguments);
        QFETCH(QString, reply);
        const QStringList before = storedState();
        QCOMPARE(terminals[terminal]->ask(command, arguments).value(0), reply);
        if (reply == QLatin1String("Error"))
            QCOMPARE(storedState(), before);
    }

    void refusalDoesNotTellWhetherUserExists()
    {
        ServerTestClient &worker = *terminals["worker"];
        const auto refusal = [&worker](const QString &user) {
            return worker.request(QStringLiteral("GetPermissions"), user).fields.string();
        };
        QVERIFY(!refusal("mary").isEmpty());
        QCOMPARE(refusal("nobody"), refusal("mary"));
    }

    void sessionsFollowLoginsAndOutliveRestarts()
    {
        const QHostAddress address = terminal(6);
        auto connection = server.connect(address);
        const auto may = [&connection](const QString &command, const QStringList &arguments = {}) {
            return connection->ask(command, arguments).value(0) != QLatin1String("Error");
        };
        QVERIFY(!may("GetWork"));
        QCOMPARE(connection->ask("Login", {"wendy", digestOf("wendy")}), QStringList{"Success"});
        QVERIFY(may("GetPermissions", {"wendy"}));
        QVERIFY(!may("GetNumberOfOrders"));

        // The next user at the terminal takes it over; a failed login changes nothing.
        QCOMPARE(connection->ask("Login", {"chris", digestOf("chris")}), QStringList{"Success"});
        QCOMPARE(connection->ask("Login", {"mary", digestOf("chris")}), QStringList{"Wrong"});
        QVERIFY(!may("GetPermissions", {"wendy"}));
        QVERIFY(may("GetNumberOfOrders"));

        QVERIFY2(server.restart(), qPrintable(server.startError()));
        connection = server.connect(address);
        QVERIFY(may("GetNumberOfOrders"));

        // Idle time counts from the last use.
        server.clock().advance(InProcessServer::SessionIdleMilliseconds - 1000);
        QVERIFY(may("GetNumberOfOrders"));
        server.clock().advance(InProcessServer::SessionIdleMilliseconds);
        QVERIFY(!may("GetNumberOfOrders"));
        QCOMPARE(server.queryValue("SELECT COUNT(*) FROM terminal_sessions WHERE peer_address = '127.0.0.6'").toInt(),
                 0);

        // A removed user's session serves nothing more.
        QCOMPARE(connection->ask("Login", {"chris", digestOf("chris")}), QStringList{"Success"});
        QVERIFY(UserAccounts(server.store()).setActive("chris", false));
        QVERIFY(!may("GetWork"));
        QVERIFY(UserAccounts(server.store()).setActive("chris", true));
    }

    void guessingFromOneTerminalWaitsLongerEachTime()
    {
        auto guesser = server.connect(terminal(7));
        auto colleague = server.connect(terminal(8));
        server.clock().waits.clear();
        for (int attempt = 0; attempt < 7; ++attempt)
            QCOMPARE(guesser->ask("Login", {"mary", digestOf("guess")}), QStringList{"Wrong"});
        // The right password waits as long as a wrong one would.
        QCOMPARE(guesser->ask("Login", {"mary", digestOf("mary")}), QStringList{"Success"});
        QCOMPARE(server.clock().waits, (QList<qint64>{2000, 4000, 8000}));

        // Other terminals, and the same account elsewhere, are not held up.
        QCOMPARE(colleague->ask("Login", {"mary", digestOf("mary")}), QStringList{"Success"});
        QCOMPARE(server.clock().waits.size(), 3);

        // The waits grow to a minute at most (a success is no failure), and end
        // once the failures are old.
        for (int attempt = 0; attempt < 6; ++attempt)
            guesser->ask("Login", {"mary", digestOf("guess")});
        QCOMPARE(server.clock().waits.mid(3), (QList<qint64>{8000, 16000, 32000, 60000, 60000, 60000}));
        server.clock().advance(15 * 60 * 1000);
        QCOMPARE(guesser->ask("Login", {"mary", digestOf("guess")}), QStringList{"Wrong"});
        QCOMPARE(server.clock().waits.size(), 9);
    }

    // The gate's read of an order serves its own request only, even when
    // it refused it: the next request, whose rule reads no order, sees the
    // order as it is now.
    void nextRequestSeesOrderAsItIsNow()
    {
        auto worker = loggedIn(9, "wendy");
        QVERIFY(worker);
        const QString fe = QStringLiteral("Front End Repair");
        QCOMPARE(worker->ask("ChangeStatus", {"wendy", "6", "KD2", "1"}).value(0), "Error");
        const QString order = QStringLiteral("SELECT o.id FROM bin_orders o JOIN bins b ON b.id = o.bin_ref"
                                             " WHERE b.bin_id = 'KD2' AND o.repair_id = 1");
        QVERIFY(server.execute("UPDATE bin_orders SET removed_at = 1 WHERE id = (" + order + ")"));
        QCOMPARE(worker->ask("SetEndTime", {"wendy", fe, "KD2", "1", "0"}).value(0), "Error");
        QVERIFY(server.execute("UPDATE bin_orders SET removed_at = NULL WHERE id = (" + order + ")"));
    }

private:
    static QHostAddress terminal(int number) { return QHostAddress(QStringLiteral("127.0.0.%1").arg(number)); }
    static QString digestOf(const QString &user) { return wire::passwordDigest(user + QStringLiteral("-pw")); }
    std::unique_ptr<ServerTestClient> loggedIn(int terminalNumber, const QString &user)
    {
        auto connection = server.connect(terminal(terminalNumber));
        if (!connection || connection->ask("Login", {user, digestOf(user)}) != QStringList{"Success"})
            return nullptr;
        return connection;
    }
    QStringList storedState()
    {
        return server.rows("SELECT status FROM bin_orders ORDER BY id")
               + server.rows("SELECT COUNT(*) FROM clock_records");
    }

    QHash<QString, std::shared_ptr<ServerTestClient>> terminals;
};

QTEST_GUILESS_MAIN(TerminalAccessTest)
#include "tst_terminalaccess.moc"
