#include "inprocessserver.h"

#include "auth/passwordhasher.h"
#include "storage/useraccounts.h"

#include <passworddigest.h>

#include <QtTest>

// Logging in and the main window's requests, over real connections.
class SessionCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void login_data();
    void login();
    void loginRefusesMalformedDigest_data();
    void loginRefusesMalformedDigest();

    void workTypes();
    void permissions_data();
    void permissions();
    void numberOfOrdersCountsOrdersWaitingForCheck();

    void clockingInAndOut();
    void clockStatusOfUnknownUserIsEmpty();
    void clockingRefusesUnknownAndRemovedUsers();
    void removedUserCanStillBeClockedOut();

private:
    qint64 userId(const QString &userName);
    qint64 clockRows(const QString &userName, bool openOnly = false);

    std::unique_ptr<InProcessServer> server;
    std::unique_ptr<ServerTestClient> client;
    const QString password = QStringLiteral("s3cret");
};

void SessionCommandsTest::initTestCase()
{
    server = std::make_unique<InProcessServer>();
    QVERIFY2(server->startError().isEmpty(), qPrintable(server->startError()));

    // One hash for every account: hashing is slow on purpose.
    const QByteArray hash = PasswordHasher::hash(wire::passwordDigest(password));
    QVERIFY(!hash.isEmpty());
    QVERIFY(server->addUser(QStringLiteral("anna"), 3, hash));
    QVERIFY(server->addUser(QStringLiteral("bert"), 2, hash));
    QVERIFY(server->addUser(QStringLiteral("carl"), 1, hash));
    QVERIFY(server->addUser(QStringLiteral("dora"), 1, hash));
    QVERIFY(UserAccounts(server->store()).setActive(QStringLiteral("dora"), false));
}

void SessionCommandsTest::init()
{
    client = server->connect();
    QVERIFY(client);
}

qint64 SessionCommandsTest::userId(const QString &userName)
{
    return server->queryValue(QStringLiteral("SELECT id FROM users WHERE user_name = ?"), {userName}).toLongLong();
}

qint64 SessionCommandsTest::clockRows(const QString &userName, bool openOnly)
{
    QString sql = QStringLiteral("SELECT COUNT(*) FROM clock_records c JOIN users u ON u.id = c.user_id WHERE u.user_name = ?");
    if (openOnly)
        sql += QStringLiteral(" AND c.end_time IS NULL");
    return server->queryValue(sql, {userName}).toLongLong();
}

void SessionCommandsTest::login_data()
{
    QTest::addColumn<QString>("userName");
    QTest::addColumn<QString>("typedPassword");
    QTest::addColumn<QString>("expected");

    QTest::newRow("right password") << "anna" << password << "Success";
    QTest::newRow("wrong password") << "anna" << "secret" << "Wrong";
    QTest::newRow("unknown user") << "nobody" << password << "Wrong";
    QTest::newRow("removed user") << "dora" << password << "Wrong";
    QTest::newRow("name with a trailing blank") << "anna " << password << "Wrong";
}

void SessionCommandsTest::login()
{
    QFETCH(QString, userName);
    QFETCH(QString, typedPassword);
    QFETCH(QString, expected);

    ServerTestClient::Reply reply = client->request(QStringLiteral("Login"), userName, wire::passwordDigest(typedPassword));
    QVERIFY(reply.received);
    QCOMPARE(reply.tag, expected);
    QVERIFY(reply.fields.atEnd());
}

void SessionCommandsTest::loginRefusesMalformedDigest_data()
{
    QTest::addColumn<QString>("digest");
    const QString digest = wire::passwordDigest(password);
    QTest::newRow("upper-case hex") << digest.toUpper();
    QTest::newRow("one digit short") << digest.left(127);
    QTest::newRow("one digit more") << digest + QLatin1Char('0');
    QTest::newRow("the password itself") << password;
    QTest::newRow("empty") << QString();
}

void SessionCommandsTest::loginRefusesMalformedDigest()
{
    QFETCH(QString, digest);
    ServerTestClient::Reply reply = client->request(QStringLiteral("Login"), QStringLiteral("anna"), digest);
    QCOMPARE(reply.tag, QStringLiteral("Error"));
    QVERIFY(!reply.fields.string().isEmpty());
    QVERIFY(reply.fields.atEnd());
}

void SessionCommandsTest::workTypes()
{
    ServerTestClient::Reply reply = client->request(QStringLiteral("GetWork"));
    QCOMPARE(reply.tag, QStringLiteral("WorkType"));
    QCOMPARE(reply.fields.stringList(), QStringList({"Front End Repair", "Roll Off Repair", "Custom"}));
    QVERIFY(reply.fields.atEnd());
}

void SessionCommandsTest::permissions_data()
{
    QTest::addColumn<QString>("userName");
    QTest::addColumn<QString>("level");
    QTest::newRow("office") << "anna" << "3";
    QTest::newRow("management") << "bert" << "2";
    QTest::newRow("standard") << "carl" << "1";
    QTest::newRow("removed user") << "dora" << "0";
    QTest::newRow("unknown user") << "nobody" << "0";
    QTest::newRow("no name") << "" << "0";
}

void SessionCommandsTest::permissions()
{
    QFETCH(QString, userName);
    QFETCH(QString, level);
    ServerTestClient::Reply reply = client->request(QStringLiteral("GetPermissions"), userName);
    QCOMPARE(reply.tag, QStringLiteral("Permissions"));
    QCOMPARE(reply.fields.string(), level);
    QVERIFY(reply.fields.atEnd());
}

void SessionCommandsTest::numberOfOrdersCountsOrdersWaitingForCheck()
{
    ServerTestClient::Reply before = client->request(QStringLiteral("GetNumberOfOrders"));
    QCOMPARE(before.tag, QStringLiteral("NumberOfOrders"));
    QCOMPARE(before.fields.string(), QStringLiteral("0"));
    QVERIFY(before.fields.atEnd());

    QVERIFY(server->execute(QStringLiteral("INSERT INTO bins (id, bin_id, work_type, created_at) VALUES (1, 'KD100', 'Front End Repair', 0)")));
    const qint64 owner = userId(QStringLiteral("carl"));
    // Two waiting; one checked, one started, one waiting but removed.
    const QList<QPair<int, bool>> orders = {{4, false}, {4, false}, {5, false}, {1, false}, {4, true}};
    int repairId = 0;
    for (const auto &order : orders) {
        QVERIFY(server->execute(QStringLiteral("INSERT INTO bin_orders (bin_ref, repair_id, owner_id, work_type, status, created_at, removed_at)"
                                               " VALUES (1, ?, ?, 'Front End Repair', ?, 0, ?)"),
                                {++repairId, owner, order.first, order.second ? QVariant(100) : QVariant(QVariant::LongLong)}));
    }

    ServerTestClient::Reply after = client->request(QStringLiteral("GetNumberOfOrders"));
    QCOMPARE(after.tag, QStringLiteral("NumberOfOrders"));
    QCOMPARE(after.fields.string(), QStringLiteral("2"));
}

void SessionCommandsTest::clockingInAndOut()
{
    const QString user = QStringLiteral("carl");
    auto status = [&] {
        ServerTestClient::Reply reply = client->request(QStringLiteral("GetClockStatus"), user);
        const QString state = reply.fields.string();
        return reply.tag == QLatin1String("GetClockStatus") && reply.fields.atEnd() ? state : QStringLiteral("(bad reply)");
    };
    auto clock = [&](const QString &command) {
        ServerTestClient::Reply reply = client->request(command, user);
        return reply.tag == command && reply.fields.atEnd();
    };

    QCOMPARE(status(), QString());

    QVERIFY(clock(QStringLiteral("ClockIn")));
    QCOMPARE(status(), QStringLiteral("In"));
    QVERIFY(clock(QStringLiteral("ClockIn")));
    QCOMPARE(clockRows(user), 1);
    QCOMPARE(clockRows(user, true), 1);

    QVERIFY(clock(QStringLiteral("ClockOut")));
    QCOMPARE(status(), QStringLiteral("Out"));
    QCOMPARE(clockRows(user, true), 0);
    const QVariant end = server->queryValue(QStringLiteral("SELECT end_time - start_time FROM clock_records WHERE user_id = ?"), {userId(user)});
    QVERIFY(end.isValid() && end.toLongLong() >= 0);

    QVERIFY(clock(QStringLiteral("ClockOut")));
    QCOMPARE(status(), QStringLiteral("Out"));
    QCOMPARE(clockRows(user), 1);

    QVERIFY(clock(QStringLiteral("ClockIn")));
    QCOMPARE(status(), QStringLiteral("In"));
    QCOMPARE(clockRows(user), 2);
    QCOMPARE(clockRows(user, true), 1);
}

void SessionCommandsTest::clockStatusOfUnknownUserIsEmpty()
{
    ServerTestClient::Reply reply = client->request(QStringLiteral("GetClockStatus"), QStringLiteral("nobody"));
    QCOMPARE(reply.tag, QStringLiteral("GetClockStatus"));
    QCOMPARE(reply.fields.string(), QString());
    QVERIFY(reply.fields.atEnd());
}

void SessionCommandsTest::clockingRefusesUnknownAndRemovedUsers()
{
    const qint64 before = server->queryValue(QStringLiteral("SELECT COUNT(*) FROM clock_records")).toLongLong();
    const QList<QPair<QString, QString>> requests = {
        {"ClockIn", "nobody"}, {"ClockOut", "nobody"}, {"ClockIn", "dora"}};
    for (const auto &request : requests) {
        ServerTestClient::Reply reply = client->request(request.first, request.second);
        QCOMPARE(reply.tag, QStringLiteral("Error"));
        QVERIFY(!reply.fields.string().isEmpty());
    }
    QCOMPARE(server->queryValue(QStringLiteral("SELECT COUNT(*) FROM clock_records")).toLongLong(), before);
}

void SessionCommandsTest::removedUserCanStillBeClockedOut()
{
    const QString user = QStringLiteral("bert");
    QCOMPARE(client->request(QStringLiteral("ClockIn"), user).tag, QStringLiteral("ClockIn"));
    QVERIFY(UserAccounts(server->store()).setActive(user, false));

    QCOMPARE(client->request(QStringLiteral("ClockOut"), user).tag, QStringLiteral("ClockOut"));
    QCOMPARE(clockRows(user, true), 0);
    QCOMPARE(clockRows(user), 1);
}

QTEST_GUILESS_MAIN(SessionCommandsTest)
#include "tst_sessioncommands.moc"
