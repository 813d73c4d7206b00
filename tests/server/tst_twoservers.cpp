#include "serverprocess.h"
#include "servertestclient.h"
#include "testdatabase.h"

#include <passworddigest.h>

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

// Two repair-server programs on one PostgreSQL database, as a company with
// several yards runs them: a terminal is served alike by either, and
// terminals working at the same moment on different servers never get the
// same bin or order.
class TwoServersTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void loginOnOneServerServesTheOther();
    void binsStartedAtOnceNeverCollide();

private:
    static QHostAddress terminal(int number) { return QHostAddress(QStringLiteral("127.0.3.%1").arg(number)); }
    static std::unique_ptr<ServerTestClient> connect(const ServerProcess &server, int terminalNumber)
    {
        auto client = std::make_unique<ServerTestClient>();
        return client->connectTo(QHostAddress::LocalHost, server.port(), terminal(terminalNumber)) ? std::move(client)
                                                                                                   : nullptr;
    }
    static QString logIn(ServerTestClient &client, const QString &user)
    {
        return client.ask("Login", {user, wire::passwordDigest("demo-" + user)}).value(0);
    }
    // Sends the same request on both clients before reading either reply.
    static QStringList askBoth(ServerTestClient &one, ServerTestClient &other, const QString &command,
                               const QStringList &oneArguments, const QStringList &otherArguments,
                               const QString &types = QStringLiteral("/s"))
    {
        one.sendTexts(command, oneArguments);
        other.sendTexts(command, otherArguments);
        return one.receive().text(types) + other.receive().text(types);
    }

    ServerProcess first;
    ServerProcess second{first};
};

void TwoServersTest::initTestCase()
{
    if (!TestDatabase::onPostgres())
        QSKIP("several servers share a PostgreSQL database only");
    QVERIFY2(first.start(), qPrintable(first.output()));
    QVERIFY2(second.start(), qPrintable(second.output()));
}

void TwoServersTest::loginOnOneServerServesTheOther()
{
    const auto onFirst = connect(first, 1);
    const auto onSecond = connect(second, 1);
    QVERIFY(onFirst && onSecond);
    QCOMPARE(onSecond->ask("GetClockStatus", {"worker"}), QStringList{"Error"});

    QCOMPARE(logIn(*onFirst, "worker"), QStringLiteral("Success"));
    QCOMPARE(onFirst->ask("GetClockStatus", {"worker"}), (QStringList{"GetClockStatus", ""}));
    QCOMPARE(onSecond->ask("GetClockStatus", {"worker"}), (QStringList{"GetClockStatus", ""}));
    QCOMPARE(onSecond->ask("GetNumberOfOrders"), QStringList{"Error"});

    // The checker takes the terminal over on the other server: the first
    // one, which served the worker there a moment ago, serves the checker.
    QCOMPARE(logIn(*onSecond, "checker"), QStringLiteral("Success"));
    QCOMPARE(onFirst->ask("GetNumberOfOrders"), (QStringList{"NumberOfOrders", "0"}));
}

void TwoServersTest::binsStartedAtOnceNeverCollide()
{
    const auto one = connect(first, 2);
    const auto other = connect(second, 3);
    QVERIFY(one && other);
    QCOMPARE(logIn(*one, "worker"), QStringLiteral("Success"));
    QCOMPARE(logIn(*other, "worker"), QStringLiteral("Success"));

    const QString fe = QStringLiteral("Front End Repair");
    constexpr int Rounds = 8;
    for (int round = 0; round < Rounds; ++round) {
        // Each terminal starts a bin of its own under a proposed bin ID.
        const QStringList proposals = askBoth(*one, *other, "GetNewBinId", {fe, "worker"}, {fe, "worker"}, "ss");
        const QString oneBin = proposals.value(1);
        const QString otherBin = proposals.value(4);
        QVERIFY2(proposals.count("NewBinID") == 2 && oneBin != otherBin, qPrintable(proposals.join(' ')));
        QCOMPARE(askBoth(*one, *other, "MakeRepairId", {"ID " + oneBin, fe}, {"ID " + otherBin, fe}, "i"),
                 (QStringList{"NewRepairId", "1", "NewRepairId", "1"}));
        QCOMPARE(askBoth(*one, *other, "StoreCurrentInfo", {"worker", fe, oneBin, "4", "1", "None"},
                         {"worker", fe, otherBin, "4", "1", "None"}),
                 (QStringList{"InfoSaved", "InfoSaved"}));

        // Both type in the same new bin ID: one of them gets it.
        const QString typed = QStringLiteral("KD-typed-%1").arg(round);
        const QStringList replies = askBoth(*one, *other, "StoreCurrentInfo", {"worker", fe, typed, "4", "1", "None"},
                                            {"worker", fe, typed, "4", "1", "None"});
        QVERIFY2(replies.count("InfoSaved") == 1 && replies.count("Error") == 1, qPrintable(replies.join(' ')));
    }

    const QString reader = QStringLiteral("two servers");
    {
        QVERIFY(TestDatabase::openReader(first.databasePath(), reader));
        QSqlQuery stored(QSqlDatabase::database(reader));
        QVERIFY(stored.exec("SELECT COUNT(*), COUNT(DISTINCT bin_ref), COUNT(DISTINCT b.bin_id) FROM bin_orders o"
                            " JOIN bins b ON b.id = o.bin_ref WHERE o.repair_id = 1"));
        QVERIFY(stored.next());
        for (int column = 0; column < 3; ++column)
            QCOMPARE(stored.value(column).toInt(), 3 * Rounds);
    }
    QSqlDatabase::removeDatabase(reader);
}

QTEST_GUILESS_MAIN(TwoServersTest)
#include "tst_twoservers.moc"
