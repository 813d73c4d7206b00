#include "inprocessserver.h"

#include "storage/useraccounts.h"

#include <QtTest>

// The management panel's counts and the order review, over real
// connections, on a shop with orders of several workers and statuses.
class ReviewCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void counts();
    void workersWithFlags_data();
    void workersWithFlags();
    void allWorkAndOneWorkersWork();
    void customWorkWaitingForConfirmation();
    void listedLinesOpenTheirOrders();
    void refusals_data();
    void refusals();

private:
    ServerTestClient::Reply request(const QString &command, const QStringList &arguments);
    void addBinOrder(int bin, int repairId, const QString &owner, int status, qint64 createdAt, bool removed = false);
    void addCustomJob(int id, const QString &owner, const QString &customer, const QString &jobType, int status, qint64 createdAt);

    std::unique_ptr<InProcessServer> server;
    std::unique_ptr<ServerTestClient> client;
};

void ReviewCommandsTest::initTestCase()
{
    server = std::make_unique<InProcessServer>();
    QVERIFY2(server->startError().isEmpty(), qPrintable(server->startError()));
    for (const char *user : {"anna", "bert", "carl", "dora"})
        QVERIFY(server->addUser(user, 1, "unused"));
    QVERIFY(UserAccounts(server->store()).setActive(QStringLiteral("dora"), false));

    QVERIFY(server->execute(QStringLiteral("INSERT INTO bins (id, bin_id, work_type, created_at) VALUES"
                                           " (1, 'KD100', 'Front End Repair', 0), (2, 'KD200', 'Front End Repair', 0),"
                                           " (3, 'ROR300', 'Roll Off Repair', 0), (4, 'KD400', 'Front End Repair', 0)")));
    // Waiting for a check: bert's KD200 and KD100, carl's KD100 (the oldest).
    addBinOrder(1, 1, "bert", 4, 300);
    addBinOrder(2, 1, "bert", 4, 100);
    addBinOrder(1, 2, "carl", 4, 50);
    // Waiting for confirmation: bert's KD400 (the oldest) and carl's ROR300,
    // whose removed worker's orders are still reviewed.
    addBinOrder(3, 1, "carl", 5, 400);
    addBinOrder(4, 1, "bert", 5, 200);
    addBinOrder(2, 2, "dora", 5, 500);
    // Not listed: removed, still being worked on, finished.
    addBinOrder(4, 2, "anna", 4, 10, true);
    addBinOrder(3, 2, "anna", 2, 10);
    addBinOrder(1, 3, "anna", 6, 10);

    // Custom jobs waiting for confirmation: bert's 1, carl's 2 (changed while
    // checked, the oldest); open and confirmed ones are not.
    addCustomJob(1, "bert", "Acme", "Tank_repair", 5, 100);
    addCustomJob(2, "carl", "Bolt", "Lid", 3, 50);
    addCustomJob(3, "carl", "Cask", "Weld", 2, 10);
    addCustomJob(4, "bert", "Dunn", "Hinge", 6, 10);
    addCustomJob(5, "bert", "Acme", "Wheels", 5, 150);
}

void ReviewCommandsTest::init()
{
    client = server->connect();
    QVERIFY(client);
}

ServerTestClient::Reply ReviewCommandsTest::request(const QString &command, const QStringList &arguments)
{
    wire::FrameWriter writer(command);
    for (const QString &argument : arguments)
        writer << argument;
    client->sendRaw(writer.frame());
    return client->receive();
}

void ReviewCommandsTest::addBinOrder(int bin, int repairId, const QString &owner, int status, qint64 createdAt, bool removed)
{
    QVERIFY(server->execute(
        QStringLiteral("INSERT INTO bin_orders (bin_ref, repair_id, owner_id, work_type, code_list, status, created_at, removed_at)"
                       " SELECT b.id, ?, u.id, b.work_type, CASE b.work_type WHEN 'Roll Off Repair' THEN 'ROR' ELSE '' END, ?, ?, ?"
                       " FROM bins b, users u WHERE b.id = ? AND u.user_name = ?"),
        {repairId, status, createdAt, removed ? QVariant(1000) : QVariant(QVariant::LongLong), bin, owner}));
}

void ReviewCommandsTest::addCustomJob(int id, const QString &owner, const QString &customer, const QString &jobType, int status,
                                      qint64 createdAt)
{
    QVERIFY(server->execute(
        QStringLiteral("INSERT INTO custom_orders (id, owner_id, order_date, worker, job_type, customer, customer_ref, contact_name,"
                       " phone, email, status, created_at)"
                       " SELECT ?, id, '3/7/2016', 'Sam', ?, ?, 'C-9', 'Kim', '555-0100', 'kim@example.org', ?, ? FROM users WHERE user_name = ?"),
        {id, jobType, customer, status, createdAt, owner}));
}

void ReviewCommandsTest::counts()
{
    ServerTestClient::Reply toConfirm = client->request(QStringLiteral("GetNumberWorkToConfirm"));
    QCOMPARE(toConfirm.tag, QStringLiteral("NumberOfOrdersToConfirm"));
    QCOMPARE(toConfirm.fields.string(), QStringLiteral("3"));
    QCOMPARE(toConfirm.fields.string(), QStringLiteral("3"));
    QVERIFY(toConfirm.fields.atEnd());

    // The main window's count is the one of the check list.
    ServerTestClient::Reply toCheck = client->request(QStringLiteral("GetNumberOfOrders"));
    QCOMPARE(toCheck.fields.string(), QStringLiteral("3"));
}

void ReviewCommandsTest::workersWithFlags_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("flags");

    QTest::newRow("waiting for a check") << "GetListOfUserOrders" << QStringList{"4"} << QStringList{"bert", "carl"}
                                         << QStringList{"No", "Yes"};
    QTest::newRow("waiting for confirmation") << "GetListOfUserOrders" << QStringList{"5"}
                                              << QStringList{"bert", "carl", "dora"} << QStringList{"Yes", "No", "No"};
    QTest::newRow("bin work") << "CheckBinWork" << QStringList() << QStringList{"bert", "carl", "dora"}
                              << QStringList{"Yes", "No", "No"};
    QTest::newRow("custom work") << "CheckCustomWork" << QStringList() << QStringList{"bert", "carl"} << QStringList{"No", "Yes"};
    QTest::newRow("status without orders") << "GetListOfUserOrders" << QStringList{"3"} << QStringList() << QStringList();
}

void ReviewCommandsTest::workersWithFlags()
{
    QFETCH(QString, command);
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, names);
    QFETCH(QStringList, flags);

    ServerTestClient::Reply reply = request(command, arguments);
    QCOMPARE(reply.tag, QStringLiteral("ListOfUserOrders"));
    QCOMPARE(reply.fields.stringList(), names);
    QCOMPARE(reply.fields.stringList(), flags);
    QVERIFY(reply.fields.atEnd());
}

void ReviewCommandsTest::allWorkAndOneWorkersWork()
{
    ServerTestClient::Reply all = client->request(QStringLiteral("GetAllWork"), QStringLiteral("All"), QStringLiteral("4"));
    QCOMPARE(all.tag, QStringLiteral("GetAllWork"));
    all.fields.string(); // not used by the screen
    QCOMPARE(all.fields.string(), QStringLiteral("2"));
    QCOMPARE(all.fields.string(), QStringLiteral("bert"));
    QCOMPARE(all.fields.stringList(), QStringList({"KD200", "KD100"}));
    QCOMPARE(all.fields.string(), QStringLiteral("carl"));
    QCOMPARE(all.fields.stringList(), QStringList({"KD100"}));
    QVERIFY(all.fields.atEnd());

    ServerTestClient::Reply none = client->request(QStringLiteral("GetAllWork"), QStringLiteral("All"), QStringLiteral("1"));
    none.fields.string();
    QCOMPARE(none.fields.string(), QStringLiteral("0"));
    QVERIFY(none.fields.atEnd());

    const QList<QPair<QStringList, QStringList>> perWorker = {
        {{"ListWorkOrders", "bert"}, {"KD200", "KD100"}},
        {{"ListWorkOrdersToConfirm", "carl"}, {"ROR300"}},
        {{"ListWorkOrders", "anna"}, {}},
    };
    for (const auto &[sent, lines] : perWorker) {
        ServerTestClient::Reply reply = client->request(sent.at(0), sent.at(1));
        QCOMPARE(reply.tag, QStringLiteral("ListWorkOrders"));
        QCOMPARE(reply.fields.stringList(), lines);
        QVERIFY(reply.fields.atEnd());
    }
}

void ReviewCommandsTest::customWorkWaitingForConfirmation()
{
    ServerTestClient::Reply all = client->request(QStringLiteral("GetAllCustomWork"));
    QCOMPARE(all.tag, QStringLiteral("GetAllCustomWork"));
    QCOMPARE(all.fields.string(), QStringLiteral("2"));
    QCOMPARE(all.fields.string(), QStringLiteral("bert"));
    QCOMPARE(all.fields.stringList(), QStringList({"1", "5"}));
    QCOMPARE(all.fields.stringList(), QStringList({"Acme", "Acme"}));
    QCOMPARE(all.fields.stringList(), QStringList({"Tank_repair", "Wheels"}));
    QCOMPARE(all.fields.string(), QStringLiteral("carl"));
    QCOMPARE(all.fields.stringList(), QStringList({"2"}));
    QCOMPARE(all.fields.stringList(), QStringList({"Bolt"}));
    QCOMPARE(all.fields.stringList(), QStringList({"Lid"}));
    QVERIFY(all.fields.atEnd());

    ServerTestClient::Reply bert = client->request(QStringLiteral("ListCustomWorkToConfirm"), QStringLiteral("bert"));
    QCOMPARE(bert.tag, QStringLiteral("ListCustomWorkToConfirm"));
    bert.fields.string(); // not used by the screen
    QCOMPARE(bert.fields.string(), QStringLiteral("2"));
    for (const QStringList &job : {QStringList{"1", "Acme", "Tank_repair"}, QStringList{"5", "Acme", "Wheels"}}) {
        for (const QString &field : job)
            QCOMPARE(bert.fields.string(), field);
    }
    QVERIFY(bert.fields.atEnd());
}

// A line as the review shows it, sent back with its worker, opens that
// worker's order.
void ReviewCommandsTest::listedLinesOpenTheirOrders()
{
    const QList<QStringList> bins = {
        {"GetBinForCheck", "bert", "KD100", "bert", "FER", "Front End Repair", "KD100", "1"},
        {"GetBinForCheck", "carl", "KD100", "carl", "FER", "Front End Repair", "KD100", "2"},
        {"GetBinForConfirmCheck", "carl", "ROR300", "carl", "ROR", "Roll Off Repair", "ROR300", "1"},
        {"GetBinForConfirmCheck", "dora", "KD200", "dora", "FER", "Front End Repair", "KD200", "2"},
    };
    for (const QStringList &bin : bins) {
        ServerTestClient::Reply reply = client->request(bin.at(0), bin.at(1), bin.at(2));
        QCOMPARE(reply.tag, bin.at(0));
        for (const QString &field : bin.mid(3))
            QCOMPARE(reply.fields.string(), field);
        QVERIFY(reply.fields.atEnd());
    }

    ServerTestClient::Reply custom = client->request(QStringLiteral("GetCustomForCheck"), QStringLiteral("carl"), QStringLiteral("2 Bolt Lid"));
    QCOMPARE(custom.tag, QStringLiteral("GetCustomForCheck"));
    for (const char *field : {"carl", "2", "Lid", "Bolt", "3/7/2016", "Sam", "C-9", "Kim", "555-0100", "kim@example.org"})
        QCOMPARE(custom.fields.string(), QString::fromUtf8(field));
    QVERIFY(custom.fields.atEnd());
}

void ReviewCommandsTest::refusals_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("arguments");

    QTest::newRow("status 7") << "GetListOfUserOrders" << QStringList{"7"};
    QTest::newRow("status with a blank") << "GetAllWork" << QStringList{"All", "4 "};
    QTest::newRow("selection other than All") << "GetAllWork" << QStringList{"bert", "4"};
    QTest::newRow("missing status") << "GetAllWork" << QStringList{"All"};
    QTest::newRow("unknown worker's orders") << "ListWorkOrders" << QStringList{"nobody"};
    QTest::newRow("unknown worker's bin") << "GetBinForCheck" << QStringList{"nobody", "KD100"};
    QTest::newRow("bin of another worker") << "GetBinForCheck" << QStringList{"anna", "KD100"};
    QTest::newRow("bin not waiting for a check") << "GetBinForCheck" << QStringList{"carl", "ROR300"};
    QTest::newRow("removed order") << "GetBinForCheck" << QStringList{"anna", "KD400"};
    QTest::newRow("not a bin ID") << "GetBinForCheck" << QStringList{"bert", "XX100"};
    QTest::newRow("job of another worker") << "GetCustomForCheck" << QStringList{"bert", "2 Bolt Lid"};
    QTest::newRow("open job") << "GetCustomForCheck" << QStringList{"carl", "3 Cask Weld"};
    QTest::newRow("line that no longer matches") << "GetCustomForCheck" << QStringList{"bert", "1 Acme Wheels"};
    QTest::newRow("number with a leading zero") << "GetCustomForCheck" << QStringList{"bert", "01 Acme Tank_repair"};
}

void ReviewCommandsTest::refusals()
{
    QFETCH(QString, command);
    QFETCH(QStringList, arguments);

    ServerTestClient::Reply reply = request(command, arguments);
    QCOMPARE(reply.tag, QStringLiteral("Error"));
    QVERIFY(!reply.fields.string().isEmpty());
    QVERIFY(reply.fields.atEnd());
}

QTEST_GUILESS_MAIN(ReviewCommandsTest)
#include "tst_reviewcommands.moc"
