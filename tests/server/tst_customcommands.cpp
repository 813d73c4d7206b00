#include "inprocessserver.h"

#include <QtTest>

// Custom jobs over real connections: starting, lines, timing, submitting,
// confirming and continuing, and what is refused.
class CustomCommandsTest : public ServerTestCase
{
    Q_OBJECT

private slots:
    void initTestCase();

    void jobFromStartToSubmit();
    void linesAreEditedAndRemovedByTheirOldValues();
    void continueListsOpenJobsOnly();
    void managerChangesAndConfirmsSubmittedJob();
    void badRequestsStoreNothing_data();
    void badRequestsStoreNothing();

private:
    // Starts a job for carl, which "@" then stands for; its order number, or nothing.
    QString startJob(const QString &jobType, const QString &customer = QStringLiteral("Acme"))
    {
        const QStringList reply = client->ask(
            "StartCustomRepair",
            {"carl", "3/7/2016", "Carl", jobType, customer, "C-17", "Jo Smith", "555 0101", "jo@acme.test"}, "ss");
        return names["@"] = reply == QStringList{"StartCustomRepair", reply.value(1), "1"} ? reply.value(1) : QString();
    }
    // The job's lines: description, materials, time.
    QStringList lines(const QString &jobType, const QString &customer = QStringLiteral("Acme"))
    {
        return ask("GetCustomRepair", {"@", jobType, customer}, "s/sss").mid(2);
    }
    QVariant jobValue(const QString &column)
    {
        return server.queryValue(QStringLiteral("SELECT %1 FROM custom_orders WHERE id = ?").arg(column), {names["@"]});
    }
    void setStatus(int status)
    {
        QVERIFY(server.execute("UPDATE custom_orders SET status = ? WHERE id = ?", {status, names["@"]}));
    }
};

void CustomCommandsTest::initTestCase()
{
    QVERIFY2(server.startError().isEmpty(), qPrintable(server.startError()));
    QVERIFY(server.addUser("carl", 1, "unused-hash"));
    QVERIFY(server.addUser("anna", 3, "unused-hash"));
}

void CustomCommandsTest::jobFromStartToSubmit()
{
    const QString other = startJob("Tank_repair");
    const QString job = startJob("Tank_repair");
    QVERIFY(!job.isEmpty());
    QCOMPARE(ask("GetCustomRepair", {"@", "Tank_repair", "Acme"}, "s/sss"), (QStringList{"GetCustomRepair", "0"}));

    const QStringList started = ask("SetCustomStartTime", {"carl", "@", "Tank_repair", "Acme"}, "s");
    const QString stamp = started.value(1);
    QCOMPARE(started, (QStringList{"SetCustomStartTime", stamp}));
    // A stamp ends only on its own job.
    QCOMPARE(client->ask("SetCustomEndTime", {"carl", other, "Tank_repair", "Acme", stamp}), QStringList{"Error"});
    QCOMPARE(ask("SetCustomEndTime", {"carl", "@", "Tank_repair", "Acme", QString::number(stamp.toLongLong() + 100)}),
             QStringList{"Error"});
    QCOMPARE(
        server.queryValue("SELECT custom_order_id FROM order_time_stamps WHERE id = ? AND end_time IS NULL", {stamp})
            .toString(),
        job);

    QCOMPARE(ask("AddCustomRepair", {"Welded seam", "Steel plate", "1", "30", "@", "2", "carl", "Tank_repair", "Acme"}),
             QStringList{"AddCustomRepair"});
    QCOMPARE(ask("AddCustomRepair", {"Painted", "Paint", "0", "5", "@", "2", "carl", "Tank_repair", "Acme"}),
             QStringList{"AddCustomRepair"});
    QCOMPARE(lines("Tank_repair"), (QStringList{"Welded seam", "Steel plate", "1:30", "Painted", "Paint", "0:5"}));
    QCOMPARE(jobValue("status").toInt(), 2);

    QCOMPARE(ask("SubmitCustomRepair", {"@", "Tank_repair", "Acme"}), QStringList{"SubmitCustomRepair"});
    QCOMPARE(jobValue("status").toInt(), 5);
    // The sheet ends its timing after submitting.
    QVERIFY(server.execute("UPDATE order_time_stamps SET start_time = start_time - 900 WHERE id = ?", {stamp}));
    QCOMPARE(ask("SetCustomEndTime", {"carl", "@", "Tank_repair", "Acme", stamp}), QStringList{"SetCustomEndTime"});
    QCOMPARE(ask("GetCustomTime", {"@", "Tank_repair", "Acme"}, "s"), (QStringList{"GetCustomTime", "0.25"}));
    // Leaving a sheet whose timing never started.
    QCOMPARE(client->ask("SetCustomEndTime", {"carl", other, "Tank_repair", "Acme", "0"}),
             QStringList{"SetCustomEndTime"});

    // Submitted once: neither submitted again nor timed again.
    QCOMPARE(ask("SubmitCustomRepair", {"@", "Tank_repair", "Acme"}), QStringList{"Error"});
    QCOMPARE(ask("SetCustomStartTime", {"carl", "@", "Tank_repair", "Acme"}), QStringList{"Error"});
}

void CustomCommandsTest::linesAreEditedAndRemovedByTheirOldValues()
{
    startJob("Lid", "Bolt");
    for (const QStringList &line : {QStringList{"Hinge", "0", "5"}, {"Hinge", "0", "5"}, {"Latch", "2", "0"}})
        QCOMPARE(ask("AddCustomRepair", {line[0], "Bolts", line[1], line[2], "@", "2", "carl", "Lid", "Bolt"}),
                 QStringList{"AddCustomRepair"});

    // Of two equal lines the earlier one is changed; "0:05" names 0 h 5 min.
    QCOMPARE(
        ask("EditCustomRepair", {"@", "Lid", "Bolt", "New hinge", "Hinge, bolts", "8", "59", "Hinge", "Bolts", "0:05"}),
        QStringList{"EditCustomRepair"});
    QCOMPARE(ask("RemoveCustomRepair", {"@", "Lid", "Bolt", "Latch", "Bolts", "2:0"}),
             QStringList{"RemoveCustomRepair"});
    // Old values that match no line (another time, another materials text).
    QCOMPARE(ask("RemoveCustomRepair", {"@", "Lid", "Bolt", "Hinge", "Bolts", "0:6"}), QStringList{"Error"});
    QCOMPARE(ask("EditCustomRepair", {"@", "Lid", "Bolt", "X", "Y", "1", "1", "Hinge", "bolts", "0:5"}),
             QStringList{"Error"});
    QCOMPARE(lines("Lid", "Bolt"), (QStringList{"New hinge", "Hinge, bolts", "8:59", "Hinge", "Bolts", "0:5"}));
}

void CustomCommandsTest::continueListsOpenJobsOnly()
{
    QVERIFY(server.execute("DELETE FROM custom_orders"));
    const QString started = startJob("Tank_repair");
    const QString withLines = startJob("Lid", "Bolt");
    setStatus(2);
    for (int closedStatus : {3, 5, 6}) {
        startJob("Other", "Zed");
        setStatus(closedStatus);
    }
    startJob("Gone", "Zed");
    QVERIFY(server.execute("UPDATE custom_orders SET removed_at = 1 WHERE id = ?", {names["@"]}));

    QCOMPARE(client->ask("GetCustomWorkOrders", {}, "s/sss"),
             (QStringList{"GetCustomWorkOrders", "2", started, "Tank_repair", "Acme", withLines, "Lid", "Bolt"}));
    QCOMPARE(client->ask("ContinueCustomOrder", {started, "Tank_repair", "Acme"}, "ssssssssss"),
             (QStringList{"ContinueCustomOrder", "3/7/2016", "Carl", "C-17", "Jo Smith", "555 0101", "jo@acme.test",
                          "1", started, "Tank_repair", "Acme"}));
    // A job listed under another customer, and a submitted one, are not continued.
    QCOMPARE(client->ask("ContinueCustomOrder", {started, "Tank_repair", "Bolt"}), QStringList{"Error"});
    QCOMPARE(client->ask("ContinueCustomOrder", {QString::number(started.toLongLong() + 3), "Other", "Zed"}),
             QStringList{"Error"});
}

void CustomCommandsTest::managerChangesAndConfirmsSubmittedJob()
{
    startJob("Chute");
    auto add = [&](const QString &lineStatus) {
        return ask("AddCustomRepair", {"Chute liner", "Liner", "1", "0", "@", lineStatus, "anna", "Chute", "Acme"});
    };
    QCOMPARE(add("3"), QStringList{"Error"}); // open jobs are not being checked
    QCOMPARE(ask("FinishCustomRepair", {"@", "Chute", "Acme"}), QStringList{"Error"});
    setStatus(5);
    QCOMPARE(add("2"), QStringList{"Error"}); // the worker has submitted it
    QCOMPARE(add("3"), QStringList{"AddCustomRepair"});
    QCOMPARE(jobValue("status").toInt(), 3);

    QCOMPARE(ask("FinishCustomRepair", {"@", "Chute", "Acme"}), QStringList{"FinishCustomRepair"});
    QCOMPARE(jobValue("status").toInt(), 6);
    QVERIFY(!jobValue("finished_at").isNull());

    // Confirmed jobs keep their lines.
    QCOMPARE(add("3"), QStringList{"Error"});
    QCOMPARE(ask("RemoveCustomRepair", {"@", "Chute", "Acme", "Chute liner", "Liner", "1:0"}), QStringList{"Error"});
    QCOMPARE(lines("Chute"), (QStringList{"Chute liner", "Liner", "1:0"}));
}

void CustomCommandsTest::badRequestsStoreNothing_data()
{
    ReplyRows::columns();
    const auto refused = ReplyRows::refused;
    // "@" is the test's own job, with one line.
    refused("unknown job number", "AddCustomRepair",
            {"Weld", "Steel", "1", "0", "999999", "2", "carl", "Bin_body", "Acme"});
    refused("job of another customer", "AddCustomRepair",
            {"Weld", "Steel", "1", "0", "@", "2", "carl", "Bin_body", "Bolt"});
    refused("hours 9", "AddCustomRepair", {"Weld", "Steel", "9", "0", "@", "2", "carl", "Bin_body", "Acme"});
    refused("minutes 60", "AddCustomRepair", {"Weld", "Steel", "1", "60", "@", "2", "carl", "Bin_body", "Acme"});
    refused("513-character description", "AddCustomRepair",
            {QString(513, 'x'), "Steel", "1", "0", "@", "2", "carl", "Bin_body", "Acme"});
    refused("empty description", "AddCustomRepair", {"", "Steel", "1", "0", "@", "2", "carl", "Bin_body", "Acme"});
    refused("status 7", "AddCustomRepair", {"Weld", "Steel", "1", "0", "@", "7", "carl", "Bin_body", "Acme"});
    refused("status 5", "AddCustomRepair", {"Weld", "Steel", "1", "0", "@", "5", "carl", "Bin_body", "Acme"});
    refused("order number not decimal", "AddCustomRepair",
            {"Weld", "Steel", "1", "0", "1e3", "2", "carl", "Bin_body", "Acme"});
    refused("edit with an old time not h:m", "EditCustomRepair",
            {"@", "Bin_body", "Acme", "Weld", "Steel", "1", "0", "Patch", "Plate", "1.30"});
    refused("remove with minutes 60", "RemoveCustomRepair", {"@", "Bin_body", "Acme", "Patch", "Plate", "1:60"});
    refused("start without customer", "StartCustomRepair",
            {"carl", "3/7/2016", "Carl", "Bin_body", "", "", "", "", ""});
    refused("start with a blank in the job type", "StartCustomRepair",
            {"carl", "3/7/2016", "Carl", "Bin body", "Acme", "", "", "", ""});
    refused("start with a bad date", "StartCustomRepair",
            {"carl", "2016-03-07", "Carl", "Bin_body", "Acme", "", "", "", ""});
    refused("timing unknown job", "SetCustomStartTime", {"carl", "999999", "Bin_body", "Acme"});
    refused("end with stamp not decimal", "SetCustomEndTime", {"carl", "@", "Bin_body", "Acme", "-1"});
}

void CustomCommandsTest::badRequestsStoreNothing()
{
    QFETCH(QString, command);
    QFETCH(QStringList, arguments);
    startJob("Bin_body");
    QCOMPARE(ask("AddCustomRepair", {"Patch", "Plate", "1", "30", "@", "2", "carl", "Bin_body", "Acme"}),
             QStringList{"AddCustomRepair"});
    const auto everything = [this] {
        return server.rows("SELECT id, status FROM custom_orders ORDER BY id")
               + server.rows("SELECT description, materials, hours, minutes FROM custom_repair_lines ORDER BY id")
               + server.rows("SELECT id, end_time FROM order_time_stamps ORDER BY id");
    };
    const QStringList before = everything();
    QCOMPARE(ask(command, arguments), QStringList{"Error"});
    QCOMPARE(everything(), before);
}

QTEST_GUILESS_MAIN(CustomCommandsTest)
#include "tst_customcommands.moc"
