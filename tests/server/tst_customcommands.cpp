#include "inprocessserver.h"

#include <QtTest>

// Custom jobs over real connections: starting, lines, timing, submitting,
// confirming and continuing, and what is refused.
class CustomCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void jobFromStartToSubmit();
    void linesAreEditedAndRemovedByTheirOldValues();
    void totalTimeSumsClosedStamps();
    void continueListsOpenJobsOnly();
    void managerChangesAndConfirmsSubmittedJob();
    void endingTimingChecksTheStamp();
    void badRequestsStoreNothing_data();
    void badRequestsStoreNothing();

private:
    // Starts a job for carl and gives its order number.
    QString startJob(const QString &jobType, const QString &customer);
    QStringList lines(const QString &number, const QString &jobType, const QString &customer);
    int status(const QString &number);
    void setStatus(const QString &number, int status);

    std::unique_ptr<InProcessServer> server;
    std::unique_ptr<ServerTestClient> client;
};

void CustomCommandsTest::initTestCase()
{
    server = std::make_unique<InProcessServer>();
    QVERIFY2(server->startError().isEmpty(), qPrintable(server->startError()));
    QVERIFY(server->addUser(QStringLiteral("carl"), 1, "unused-hash"));
    QVERIFY(server->addUser(QStringLiteral("anna"), 3, "unused-hash"));
}

void CustomCommandsTest::init()
{
    client = server->connect();
    QVERIFY(client);
}

QString CustomCommandsTest::startJob(const QString &jobType, const QString &customer)
{
    ServerTestClient::Reply reply = client->request(QStringLiteral("StartCustomRepair"), QStringLiteral("carl"), QStringLiteral("3/7/2016"),
                                                    QStringLiteral("Carl"), jobType, customer, QStringLiteral("C-17"),
                                                    QStringLiteral("Jo Smith"), QStringLiteral("555 0101"), QStringLiteral("jo@acme.test"));
    const QString number = reply.fields.string();
    const QString startStatus = reply.fields.string();
    if (reply.tag != QLatin1String("StartCustomRepair") || startStatus != QLatin1String("1") || !reply.fields.atEnd())
        return QString();
    return number;
}

QStringList CustomCommandsTest::lines(const QString &number, const QString &jobType, const QString &customer)
{
    ServerTestClient::Reply reply = client->request(QStringLiteral("GetCustomRepair"), number, jobType, customer);
    if (reply.tag != QLatin1String("GetCustomRepair"))
        return {QStringLiteral("(reply %1)").arg(reply.tag)};
    QStringList found;
    const int count = reply.fields.string().toInt();
    for (int i = 0; i < count * 3; ++i)
        found << reply.fields.string();
    if (!reply.fields.atEnd())
        found << QStringLiteral("(more fields)");
    return found;
}

int CustomCommandsTest::status(const QString &number)
{
    return server->queryValue(QStringLiteral("SELECT status FROM custom_orders WHERE id = ?"), {number.toLongLong()}).toInt();
}

void CustomCommandsTest::setStatus(const QString &number, int newStatus)
{
    QVERIFY(server->execute(QStringLiteral("UPDATE custom_orders SET status = ? WHERE id = ?"), {newStatus, number.toLongLong()}));
}

void CustomCommandsTest::jobFromStartToSubmit()
{
    const QString number = startJob(QStringLiteral("Tank_repair"), QStringLiteral("Acme"));
    QVERIFY(!number.isEmpty());
    QCOMPARE(server->queryValue(QStringLiteral("SELECT order_date || '|' || worker || '|' || customer_ref || '|' || contact_name || '|'"
                                               " || phone || '|' || email FROM custom_orders WHERE id = ?"),
                                {number.toLongLong()})
                 .toString(),
             QStringLiteral("3/7/2016|Carl|C-17|Jo Smith|555 0101|jo@acme.test"));
    QCOMPARE(status(number), 1);
    QCOMPARE(lines(number, QStringLiteral("Tank_repair"), QStringLiteral("Acme")), QStringList());

    ServerTestClient::Reply started =
        client->request(QStringLiteral("SetCustomStartTime"), QStringLiteral("carl"), number, QStringLiteral("Tank_repair"), QStringLiteral("Acme"));
    QCOMPARE(started.tag, QStringLiteral("SetCustomStartTime"));
    const QString stampId = started.fields.string();
    QVERIFY(started.fields.atEnd());
    QCOMPARE(server->queryValue(QStringLiteral("SELECT custom_order_id FROM order_time_stamps WHERE id = ? AND end_time IS NULL"),
                                {stampId.toLongLong()})
                 .toString(),
             number);

    for (const QStringList &entry : {QStringList{"Welded seam", "Steel plate", "1", "30"}, QStringList{"Painted", "Paint", "0", "5"}}) {
        ServerTestClient::Reply added = client->request(QStringLiteral("AddCustomRepair"), entry.at(0), entry.at(1), entry.at(2), entry.at(3),
                                                        number, QStringLiteral("2"), QStringLiteral("carl"), QStringLiteral("Tank_repair"),
                                                        QStringLiteral("Acme"));
        QCOMPARE(added.tag, QStringLiteral("AddCustomRepair"));
        QVERIFY(added.fields.atEnd());
    }
    QCOMPARE(lines(number, QStringLiteral("Tank_repair"), QStringLiteral("Acme")),
             QStringList({"Welded seam", "Steel plate", "1:30", "Painted", "Paint", "0:5"}));
    QCOMPARE(status(number), 2);

    QCOMPARE(client->request(QStringLiteral("SubmitCustomRepair"), number, QStringLiteral("Tank_repair"), QStringLiteral("Acme")).tag,
             QStringLiteral("SubmitCustomRepair"));
    QCOMPARE(status(number), 5);
    QCOMPARE(client->request(QStringLiteral("SetCustomEndTime"), QStringLiteral("carl"), number, QStringLiteral("Tank_repair"),
                             QStringLiteral("Acme"), stampId)
                 .tag,
             QStringLiteral("SetCustomEndTime"));
    QCOMPARE(server->queryValue(QStringLiteral("SELECT COUNT(*) FROM order_time_stamps WHERE id = ? AND end_time >= start_time"),
                                {stampId.toLongLong()})
                 .toInt(),
             1);

    // Submitted once: neither submitted again nor timed again.
    QCOMPARE(client->request(QStringLiteral("SubmitCustomRepair"), number, QStringLiteral("Tank_repair"), QStringLiteral("Acme")).tag,
             QStringLiteral("Error"));
    QCOMPARE(client->request(QStringLiteral("SetCustomStartTime"), QStringLiteral("carl"), number, QStringLiteral("Tank_repair"),
                             QStringLiteral("Acme"))
                 .tag,
             QStringLiteral("Error"));
}

void CustomCommandsTest::linesAreEditedAndRemovedByTheirOldValues()
{
    const QString jobType = QStringLiteral("Lid");
    const QString customer = QStringLiteral("Bolt");
    const QString number = startJob(jobType, customer);
    auto add = [&](const QString &description, const QString &hours, const QString &minutes) {
        return client->request(QStringLiteral("AddCustomRepair"), description, QStringLiteral("Bolts"), hours, minutes, number,
                               QStringLiteral("2"), QStringLiteral("carl"), jobType, customer)
            .tag;
    };
    QCOMPARE(add(QStringLiteral("Hinge"), QStringLiteral("0"), QStringLiteral("5")), QStringLiteral("AddCustomRepair"));
    QCOMPARE(add(QStringLiteral("Hinge"), QStringLiteral("0"), QStringLiteral("5")), QStringLiteral("AddCustomRepair"));
    QCOMPARE(add(QStringLiteral("Latch"), QStringLiteral("2"), QStringLiteral("0")), QStringLiteral("AddCustomRepair"));

    // Of two equal lines the earlier one is changed; "0:05" names 0 h 5 min.
    ServerTestClient::Reply edited =
        client->request(QStringLiteral("EditCustomRepair"), number, jobType, customer, QStringLiteral("New hinge"), QStringLiteral("Hinge, bolts"),
                        QStringLiteral("8"), QStringLiteral("59"), QStringLiteral("Hinge"), QStringLiteral("Bolts"), QStringLiteral("0:05"));
    QCOMPARE(edited.tag, QStringLiteral("EditCustomRepair"));
    QVERIFY(edited.fields.atEnd());
    QCOMPARE(lines(number, jobType, customer),
             QStringList({"New hinge", "Hinge, bolts", "8:59", "Hinge", "Bolts", "0:5", "Latch", "Bolts", "2:0"}));

    ServerTestClient::Reply removed = client->request(QStringLiteral("RemoveCustomRepair"), number, jobType, customer, QStringLiteral("Latch"),
                                                      QStringLiteral("Bolts"), QStringLiteral("2:0"));
    QCOMPARE(removed.tag, QStringLiteral("RemoveCustomRepair"));
    QVERIFY(removed.fields.atEnd());

    // Old values that match no line (another time, another materials text).
    QCOMPARE(client->request(QStringLiteral("RemoveCustomRepair"), number, jobType, customer, QStringLiteral("Hinge"), QStringLiteral("Bolts"),
                             QStringLiteral("0:6"))
                 .tag,
             QStringLiteral("Error"));
    QCOMPARE(client->request(QStringLiteral("EditCustomRepair"), number, jobType, customer, QStringLiteral("X"), QStringLiteral("Y"),
                             QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("Hinge"), QStringLiteral("bolts"), QStringLiteral("0:5"))
                 .tag,
             QStringLiteral("Error"));
    QCOMPARE(lines(number, jobType, customer), QStringList({"New hinge", "Hinge, bolts", "8:59", "Hinge", "Bolts", "0:5"}));
}

void CustomCommandsTest::totalTimeSumsClosedStamps()
{
    const QString number = startJob(QStringLiteral("Frame"), QStringLiteral("Acme"));
    auto total = [&] {
        ServerTestClient::Reply reply = client->request(QStringLiteral("GetCustomTime"), number, QStringLiteral("Frame"), QStringLiteral("Acme"));
        const QString hours = reply.fields.string();
        return reply.tag == QLatin1String("GetCustomTime") && reply.fields.atEnd() ? hours : QStringLiteral("(bad reply)");
    };
    QCOMPARE(total(), QStringLiteral("0.00"));

    const qint64 user = server->queryValue(QStringLiteral("SELECT id FROM users WHERE user_name = 'carl'")).toLongLong();
    const QString stamp = QStringLiteral("INSERT INTO order_time_stamps (custom_order_id, user_id, start_time, end_time) VALUES (?, ?, ?, ?)");
    QVERIFY(server->execute(stamp, {number.toLongLong(), user, 1000, 1000 + 5400}));
    QVERIFY(server->execute(stamp, {number.toLongLong(), user, 9000, 9000 + 900}));
    QVERIFY(server->execute(stamp, {number.toLongLong(), user, 20000, QVariant(QVariant::LongLong)})); // still running
    QCOMPARE(total(), QStringLiteral("1.75"));
}

void CustomCommandsTest::continueListsOpenJobsOnly()
{
    QVERIFY(server->execute(QStringLiteral("DELETE FROM custom_orders")));
    const QString started = startJob(QStringLiteral("Tank_repair"), QStringLiteral("Acme"));
    const QString withLines = startJob(QStringLiteral("Lid"), QStringLiteral("Bolt"));
    setStatus(withLines, 2);
    for (int closedStatus : {3, 5, 6}) {
        const QString closed = startJob(QStringLiteral("Other"), QStringLiteral("Zed"));
        setStatus(closed, closedStatus);
    }
    const QString removed = startJob(QStringLiteral("Gone"), QStringLiteral("Zed"));
    QVERIFY(server->execute(QStringLiteral("UPDATE custom_orders SET removed_at = 1 WHERE id = ?"), {removed.toLongLong()}));

    ServerTestClient::Reply list = client->request(QStringLiteral("GetCustomWorkOrders"));
    QCOMPARE(list.tag, QStringLiteral("GetCustomWorkOrders"));
    QStringList fields;
    while (!list.fields.atEnd() && list.fields.ok())
        fields << list.fields.string();
    QCOMPARE(fields, QStringList({"2", started, "Tank_repair", "Acme", withLines, "Lid", "Bolt"}));

    ServerTestClient::Reply continued = client->request(QStringLiteral("ContinueCustomOrder"), started, QStringLiteral("Tank_repair"), QStringLiteral("Acme"));
    QCOMPARE(continued.tag, QStringLiteral("ContinueCustomOrder"));
    QStringList details;
    for (int i = 0; i < 10; ++i)
        details << continued.fields.string();
    QVERIFY(continued.fields.atEnd());
    QCOMPARE(details, QStringList({"3/7/2016", "Carl", "C-17", "Jo Smith", "555 0101", "jo@acme.test", "1", started, "Tank_repair", "Acme"}));

    // A job listed under another customer, and a submitted one, are not continued.
    QCOMPARE(client->request(QStringLiteral("ContinueCustomOrder"), started, QStringLiteral("Tank_repair"), QStringLiteral("Bolt")).tag,
             QStringLiteral("Error"));
    QCOMPARE(client->request(QStringLiteral("ContinueCustomOrder"), QString::number(started.toLongLong() + 2), QStringLiteral("Other"),
                             QStringLiteral("Zed"))
                 .tag,
             QStringLiteral("Error"));
}

void CustomCommandsTest::managerChangesAndConfirmsSubmittedJob()
{
    const QString number = startJob(QStringLiteral("Chute"), QStringLiteral("Acme"));
    auto add = [&](const QString &lineStatus) {
        return client->request(QStringLiteral("AddCustomRepair"), QStringLiteral("Chute liner"), QStringLiteral("Liner"), QStringLiteral("1"),
                               QStringLiteral("0"), number, lineStatus, QStringLiteral("anna"), QStringLiteral("Chute"), QStringLiteral("Acme"))
            .tag;
    };
    auto finish = [&] {
        return client->request(QStringLiteral("FinishCustomRepair"), number, QStringLiteral("Chute"), QStringLiteral("Acme")).tag;
    };

    QCOMPARE(add(QStringLiteral("3")), QStringLiteral("Error")); // open jobs are not being checked
    QCOMPARE(finish(), QStringLiteral("Error"));
    setStatus(number, 5);
    QCOMPARE(add(QStringLiteral("2")), QStringLiteral("Error")); // the worker has submitted it
    QCOMPARE(add(QStringLiteral("3")), QStringLiteral("AddCustomRepair"));
    QCOMPARE(status(number), 3);

    QCOMPARE(finish(), QStringLiteral("FinishCustomRepair"));
    QCOMPARE(status(number), 6);
    QVERIFY(!server->queryValue(QStringLiteral("SELECT finished_at FROM custom_orders WHERE id = ?"), {number.toLongLong()}).isNull());

    // Confirmed jobs keep their lines.
    QCOMPARE(add(QStringLiteral("3")), QStringLiteral("Error"));
    QCOMPARE(client->request(QStringLiteral("RemoveCustomRepair"), number, QStringLiteral("Chute"), QStringLiteral("Acme"),
                             QStringLiteral("Chute liner"), QStringLiteral("Liner"), QStringLiteral("1:0"))
                 .tag,
             QStringLiteral("Error"));
    QCOMPARE(lines(number, QStringLiteral("Chute"), QStringLiteral("Acme")), QStringList({"Chute liner", "Liner", "1:0"}));
}

void CustomCommandsTest::endingTimingChecksTheStamp()
{
    const QString first = startJob(QStringLiteral("Axle"), QStringLiteral("Acme"));
    const QString second = startJob(QStringLiteral("Axle"), QStringLiteral("Acme"));
    auto end = [&](const QString &number, const QString &stampId) {
        return client->request(QStringLiteral("SetCustomEndTime"), QStringLiteral("carl"), number, QStringLiteral("Axle"), QStringLiteral("Acme"),
                               stampId)
            .tag;
    };
    ServerTestClient::Reply started =
        client->request(QStringLiteral("SetCustomStartTime"), QStringLiteral("carl"), first, QStringLiteral("Axle"), QStringLiteral("Acme"));
    const QString stampId = started.fields.string();

    QCOMPARE(end(second, stampId), QStringLiteral("Error"));
    QCOMPARE(end(first, QString::number(stampId.toLongLong() + 100)), QStringLiteral("Error"));
    QCOMPARE(server->queryValue(QStringLiteral("SELECT COUNT(*) FROM order_time_stamps WHERE end_time IS NULL AND id = ?"),
                                {stampId.toLongLong()})
                 .toInt(),
             1);
    QCOMPARE(end(first, stampId), QStringLiteral("SetCustomEndTime"));
    QCOMPARE(end(first, stampId), QStringLiteral("SetCustomEndTime")); // closed already: keeps its end
    QCOMPARE(end(second, QStringLiteral("0")), QStringLiteral("SetCustomEndTime")); // never started
}

void CustomCommandsTest::badRequestsStoreNothing_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("arguments");

    const QString tooLong(513, QLatin1Char('x'));
    // "@" stands for the job's order number.
    auto addLine = [](const QString &description, const QString &hours, const QString &minutes, const QString &number, const QString &lineStatus,
                      const QString &user, const QString &customer) {
        return QStringList{description, QStringLiteral("Steel"), hours, minutes, number, lineStatus, user, QStringLiteral("Bin_body"), customer};
    };
    const QString add = QStringLiteral("AddCustomRepair");
    QTest::newRow("unknown job number") << add << addLine("Weld", "1", "0", "999999", "2", "carl", "Acme");
    QTest::newRow("job of another customer") << add << addLine("Weld", "1", "0", "@", "2", "carl", "Bolt");
    QTest::newRow("hours 9") << add << addLine("Weld", "9", "0", "@", "2", "carl", "Acme");
    QTest::newRow("minutes 60") << add << addLine("Weld", "1", "60", "@", "2", "carl", "Acme");
    QTest::newRow("513-character description") << add << addLine(tooLong, "1", "0", "@", "2", "carl", "Acme");
    QTest::newRow("empty description") << add << addLine("", "1", "0", "@", "2", "carl", "Acme");
    QTest::newRow("status 7") << add << addLine("Weld", "1", "0", "@", "7", "carl", "Acme");
    QTest::newRow("status 5") << add << addLine("Weld", "1", "0", "@", "5", "carl", "Acme");
    QTest::newRow("unknown user") << add << addLine("Weld", "1", "0", "@", "2", "nobody", "Acme");
    QTest::newRow("order number not decimal") << add << addLine("Weld", "1", "0", "1e3", "2", "carl", "Acme");
    QTest::newRow("one argument short") << add << QStringList(addLine("Weld", "1", "0", "@", "2", "carl", "Acme").mid(1));
    QTest::newRow("edit with an old time not h:m")
        << "EditCustomRepair" << QStringList{"@", "Bin_body", "Acme", "Weld", "Steel", "1", "0", "Patch", "Plate", "1.30"};
    QTest::newRow("remove with minutes 60") << "RemoveCustomRepair" << QStringList{"@", "Bin_body", "Acme", "Patch", "Plate", "1:60"};
    QTest::newRow("start without customer")
        << "StartCustomRepair" << QStringList{"carl", "3/7/2016", "Carl", "Bin_body", "", "", "", "", ""};
    QTest::newRow("start with a blank in the job type")
        << "StartCustomRepair" << QStringList{"carl", "3/7/2016", "Carl", "Bin body", "Acme", "", "", "", ""};
    QTest::newRow("start with a bad date") << "StartCustomRepair" << QStringList{"carl", "2016-03-07", "Carl", "Bin_body", "Acme", "", "", "", ""};
    QTest::newRow("start by unknown user") << "StartCustomRepair" << QStringList{"nobody", "3/7/2016", "Carl", "Bin_body", "Acme", "", "", "", ""};
    QTest::newRow("timing unknown job") << "SetCustomStartTime" << QStringList{"carl", "999999", "Bin_body", "Acme"};
    QTest::newRow("end with stamp not decimal") << "SetCustomEndTime" << QStringList{"carl", "@", "Bin_body", "Acme", "-1"};
}

void CustomCommandsTest::badRequestsStoreNothing()
{
    QFETCH(QString, command);
    QFETCH(QStringList, arguments);

    const QString number = startJob(QStringLiteral("Bin_body"), QStringLiteral("Acme"));
    QCOMPARE(client->request(QStringLiteral("AddCustomRepair"), QStringLiteral("Patch"), QStringLiteral("Plate"), QStringLiteral("1"),
                             QStringLiteral("30"), number, QStringLiteral("2"), QStringLiteral("carl"), QStringLiteral("Bin_body"),
                             QStringLiteral("Acme"))
                 .tag,
             QStringLiteral("AddCustomRepair"));
    auto snapshot = [&] {
        return server->queryValue(QStringLiteral("SELECT (SELECT COUNT(*) FROM custom_orders) || '/' || (SELECT group_concat(status) FROM custom_orders)"
                                                 " || '/' || (SELECT group_concat(description || materials || hours || minutes) FROM custom_repair_lines)"
                                                 " || '/' || (SELECT COUNT(*) FROM order_time_stamps)"))
            .toString();
    };
    const QString before = snapshot();

    wire::FrameWriter request(command);
    for (const QString &argument : arguments)
        request << (argument == QLatin1String("@") ? number : argument);
    client->sendRaw(request.frame());
    ServerTestClient::Reply reply = client->receive();
    QCOMPARE(reply.tag, QStringLiteral("Error"));
    QVERIFY(!reply.fields.string().isEmpty());
    QVERIFY(reply.fields.atEnd());
    QCOMPARE(snapshot(), before);
}

QTEST_GUILESS_MAIN(CustomCommandsTest)
#include "tst_customcommands.moc"
