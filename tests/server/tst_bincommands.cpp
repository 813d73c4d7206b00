#include "inprocessserver.h"

#include "storage/repaircodes.h"

#include <QtTest>

// Bin jobs over real connections: intake, pre-check, repair sheet and
// lines, timing, final checks and continuing, and what each stores.
class BinCommandsTest : public ServerTestCase
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(server.startError().isEmpty(), qPrintable(server.startError()));
        // Logins are not made here, so any hash will do.
        for (const char *user : {"worker", "other", "checker", "gone"})
            QVERIFY(server.addUser(user, 1, "unused"));
        QVERIFY(server.execute("UPDATE users SET active = 0 WHERE user_name = 'gone'"));
        RepairCodes codes(server.store());
        QCOMPARE(codes.add({"FER", "FEC2", "Weld", "Weld-seam"}), RepairCodes::AddResult::Added);
        QCOMPARE(codes.add({"FER", "FEC1", "Lid", "New lid"}), RepairCodes::AddResult::Added);
        QCOMPARE(codes.add({"ROR", "ROC1", "Door", "Door hinge"}), RepairCodes::AddResult::Added);
    }

    void init()
    {
        ServerTestCase::init();
        // The orders of earlier tests are removed, so lists show this test's own.
        QVERIFY(server.execute("UPDATE bin_orders SET removed_at = 1 WHERE removed_at IS NULL"));
    }

    void wholeFrontEndJob()
    {
        const QString bin = startOrder("worker", "4", "Slant");
        QVERIFY(!bin.isEmpty());
        QCOMPARE(orderValue("status || ' ' || additional_info").toString(), QStringLiteral("1 Slant"));
        QCOMPARE(ask("StorePreChecks", {"BIN", "1", fe, "1", "1", "0"}), QStringList{"PreChecksSaved"});
        QCOMPARE(ask("GetPreForChecks", {"checker", fe, "BIN", "1"}, "sss"),
                 (QStringList{"PreForChecks", "1", "1", "0"}));
        const QStringList started = ask("SetStartTime", {"worker", fe, "BIN", "1"}, "ss");
        const QString stamp = names["STAMP"] = started.value(1);
        QCOMPARE(started, (QStringList{"StartTimeSet", stamp, "0.00"}));
        QCOMPARE(ask("GetBinInfo", {"worker", fe, "BIN", "1"}, "s"), (QStringList{"BinSize", "4"}));

        // The repair entry on its own connection, as the screen has it.
        std::unique_ptr<ServerTestClient> entry = server.connect();
        QCOMPARE(entry->ask("GetRepairCodes", {fe, "FER"}, "s/ss"),
                 (QStringList{"RepairCodes", "2", "FEC1", "New lid", "FEC2", "Weld-seam"}));
        QCOMPARE(entry->ask("SaveBinRepairInfo", {"worker", "1", fe, bin, "1", "4", "FEC2", "Two plates", "1:30"}),
                 QStringList{"BinRepairSaved"});
        QCOMPARE(orderValue("status").toInt(), 2);
        QCOMPARE(ask("GetBinRepairInfo", {"worker", fe, "BIN", "1"}, "ss/ssss"),
                 (QStringList{"BinRepairInfo", "4", "1", "FEC2", "Two plates", "1:30", "worker"}));

        QCOMPARE(ask("ChangeStatus", {"worker", "3", "BIN", "1"}), QStringList{"StatusChanged"});
        QCOMPARE(ask("SaveChecks", {"worker", fe, "BIN", "1", "4", "34", "2.5"}), QStringList{"ChecksSaved"});
        QCOMPARE(ask("SetEndTime", {"worker", fe, "BIN", "1", "STAMP"}), QStringList{"EndTimeSet"});
        QCOMPARE(
            server.queryValue("SELECT COUNT(*) FROM order_time_stamps WHERE id = ? AND end_time >= start_time", {stamp})
                .toInt(),
            1);
        // Ending twice changes nothing: a stamp closed already keeps its end.
        QVERIFY(
            server.execute("UPDATE order_time_stamps SET start_time = 1000, end_time = 2000 WHERE id = ?", {stamp}));
        QCOMPARE(ask("SetEndTime", {"worker", fe, "BIN", "1", "STAMP"}), QStringList{"EndTimeSet"});

        QCOMPARE(ask("GetChecksList", {fe, "BIN", "1"}, "ss"), (QStringList{"GetCheckList", "34", "2.5"}));
        QCOMPARE(ask("GetBinTotalTime", {"worker", "BIN", "1", fe}, "s"), (QStringList{"GetBinTotalTime", "0.28"}));
        // Waiting for a check, it is no longer a worker's open order.
        QCOMPARE(ask("FindBin", {"worker", fe, "BIN"}, "sss"), (QStringList{"BinFound", bin, "2", "4"}));
    }

    void linesAreEditedOnceAndRemovedByCodeAndMaterials()
    {
        const QString bin = startOrder();
        addLine("FEC1", "Old lid", "0:45");
        addLine("FEC2", "Seam", "1:00");
        // The repair entry sends both frames at once and closes on the first reply.
        std::unique_ptr<ServerTestClient> entry = server.connect();
        entry->send("EditBinRepair", QStringLiteral("worker"), fe, bin, "1", "FEC1", "Old lid", "FEC1", "New lid",
                    "1:15");
        entry->send("SaveBinRepairInfo", QStringLiteral("worker"), "2", fe, bin, "1", "4", "FEC1", "New lid", "1:15");
        QCOMPARE(entry->receive().text() + entry->receive().text(), (QStringList{"BinRepairSaved", "BinRepairSaved"}));
        QCOMPARE(lines(), (QStringList{"FEC1", "New lid", "1:15", "worker", "FEC2", "Seam", "1:0", "worker"}));
        QCOMPARE(server.queryValue("SELECT SUM(minutes) FROM bin_repair_lines WHERE order_id = ?", {orderValue("id")})
                     .toInt(),
                 135);

        // The same line saved on a connection that made no edit is a new line;
        // of two equal lines the first is removed.
        addLine("FEC1", "New lid", "1:15");
        QCOMPARE(ask("RemoveFromRepairList", {fe, "BIN", "1", "FEC1", "New lid"}), QStringList{"RepairRemoved"});
        QCOMPARE(ask("RemoveFromRepairList", {fe, "BIN", "1", "FEC2", "Lid"}), QStringList{"Error"});
        QCOMPARE(lines(), (QStringList{"FEC2", "Seam", "1:0", "worker", "FEC1", "New lid", "1:15", "worker"}));

        // Refused edits, of a line that is not there and of another user's
        // order, and the saves that follow them store nothing.
        const QStringList before = snapshot();
        for (const auto &[user, oldMaterials] : {std::pair("worker", "No such"), {"other", "Seam"}}) {
            entry = server.connect();
            entry->send("EditBinRepair", QString(user), fe, bin, "1", "FEC2", oldMaterials, "FEC2", "Weld", "1:0");
            entry->send("SaveBinRepairInfo", QString(user), "2", fe, bin, "1", "4", "FEC2", "Weld", "1:0");
            QCOMPARE(entry->receive().text() + entry->receive().text(), (QStringList{"Error", "Error"}));
        }
        QCOMPARE(snapshot(), before);
    }

    void binInProgressAndRepeatRepairs()
    {
        const QString bin = startOrder("worker", "6");
        for (const char *user : {"worker", "other"})
            QCOMPARE(ask("FindBin", {user, fe, "BIN"}, "s"), (QStringList{"BinInProgress", bin}));
        // No second order while the first is open.
        QCOMPARE(ask("MakeRepairId", {"ID " + bin, fe}, "i"), QStringList{"Error"});
        QCOMPARE(ask("StoreCurrentInfo", {"other", fe, "BIN", "6", "2", "None"}), QStringList{"Error"});

        putAt(5);
        QCOMPARE(ask("ChangeStatus", {"worker", "6", "BIN", "1"}), QStringList{"StatusChanged"});
        QVERIFY(!orderValue("finished_at").isNull());
        QCOMPARE(ask("FindBin", {"other", fe, "BIN"}, "sss"), (QStringList{"BinFound", bin, "2", "6"}));
        QCOMPARE(ask("MakeRepairId", {"ID " + bin, fe}, "i"), (QStringList{"NewRepairId", "2"}));
        QCOMPARE(ask("StoreCurrentInfo", {"other", fe, "BIN", "6", "3", "None"}), QStringList{"Error"});
        QCOMPARE(ask("StoreCurrentInfo", {"other", fe, "BIN", "6", "2", "None"}), QStringList{"InfoSaved"});
        QCOMPARE(orderValue("owner_id", 2), server.queryValue("SELECT id FROM users WHERE user_name = 'other'"));

        // A bin ID typed in that no bin has yet.
        QCOMPARE(ask("FindBin", {"worker", fe, "KD-typed-1"}, "s"), (QStringList{"BinNotFound", "KD-typed-1"}));
        QCOMPARE(ask("StoreCurrentInfo", {"worker", fe, "KD-typed-1", "2", "1", "None"}), QStringList{"InfoSaved"});
    }

    void newBinIdProposalsAreDistinctAndFree()
    {
        std::unique_ptr<ServerTestClient> second = server.connect();
        const QString first = client->ask("GetNewBinId", {fe, "worker"}).value(1);
        const int next = second->ask("GetNewBinId", {fe, "other"}).value(1).mid(2).toInt();
        QCOMPARE(next, first.mid(2).toInt() + 1);

        // A bin recorded by hand under the next number is skipped.
        QCOMPARE(ask("StoreCurrentInfo", {"worker", fe, QStringLiteral("KD%1").arg(next + 1), "2", "1", "None"}),
                 QStringList{"InfoSaved"});
        QCOMPARE(ask("GetNewBinId", {fe, "worker"}).value(1), QStringLiteral("KD%1").arg(next + 2));

        // Of two workers storing the same new bin ID, only one succeeds.
        client->send("StoreCurrentInfo", QStringLiteral("worker"), fe, first, "4", "1", "None");
        second->send("StoreCurrentInfo", QStringLiteral("other"), fe, first, "4", "1", "None");
        const QStringList replies = client->receive().text() + second->receive().text();
        QVERIFY2(replies.count("InfoSaved") == 1 && replies.count("Error") == 1, qPrintable(replies.join(' ')));
        QCOMPARE(server
                     .queryValue("SELECT COUNT(*) FROM bin_orders o JOIN bins b ON b.id = o.bin_ref WHERE b.bin_id = ?",
                                 {first})
                     .toInt(),
                 1);
    }

    void totalIsTheSumOfClosedStamps()
    {
        QVERIFY(!startOrder().isEmpty());
        // Half an hour, an hour and a half, and one still open that counts nothing yet.
        QVERIFY(server.execute(
            "INSERT INTO order_time_stamps (bin_order_id, user_id, start_time, end_time) SELECT ?, id, column1, column2"
            " FROM users, (VALUES (1000, 2800), (5000, 10400), (20000, NULL)) AS stamps WHERE user_name = 'worker'",
            {orderValue("id")}));
        QCOMPARE(ask("GetBinTotalTime", {"checker", "BIN", "1", fe}, "s"), (QStringList{"GetBinTotalTime", "2.00"}));
        QCOMPARE(ask("GetBinTime", {"checker", fe, "BIN", "1"}, "s"), (QStringList{"GetBinTime", "2.00"}));
        const QStringList started = ask("SetStartTime", {"other", fe, "BIN", "1"}, "ss");
        QCOMPARE(started, (QStringList{"StartTimeSet", started.value(1), "2.00"}));
    }

    void continuingListsOpenOrdersByOwner()
    {
        const QString otherBin = startOrder("other");
        const QString ownBin = startOrder();
        const QString submitted = startOrder();
        QCOMPARE(ask("ChangeStatus", {"worker", "3", "BIN", "1"}), QStringList{"StatusChanged"});
        const QString checked = startOrder();
        putAt(4);

        // The asking user's own orders first, each owner's oldest first.
        QCOMPARE(ask("GetWorkOrders", {"worker"}, "s/sl"),
                 (QStringList{"WorkOrders", "2", "worker", QStringLiteral("[%1,%2]").arg(ownBin, submitted), "other",
                              "[" + otherBin + "]"}));
        QCOMPARE(ask("GetBin", {"worker", submitted}, "sssss"), (QStringList{"Bin", submitted, fe, "1", "3", "FER"}));
        QCOMPARE(ask("GetBin", {"worker", otherBin}), QStringList{"Error"});
        QCOMPARE(ask("GetBin", {"worker", checked}), QStringList{"Error"});
    }

    // A checker sends an order back while the bin's next repair, another
    // worker's, is open: each owner resumes their own order.
    void sentBackOrderResumesBesideANewerOne()
    {
        const QString bin = startOrder("worker", "20", "None", ro);
        QCOMPARE(ask("ChangeStatus", {"worker", "4", "BIN", "1"}), QStringList{"StatusChanged"});
        QCOMPARE(ask("StoreCurrentInfo", {"other", ro, "BIN", "20", "2", "None"}), QStringList{"InfoSaved"});
        QCOMPARE(ask("SendBinBack", {"worker", "BIN", "1", "3"}), QStringList{"SendBinBack"});

        QCOMPARE(ask("GetWorkOrders", {"other"}, "s/sl"),
                 (QStringList{"WorkOrders", "2", "other", "[" + bin + "]", "worker", "[" + bin + "]"}));
        // A roll-off order has no final checks: it reopens on its sheet (status 2).
        QCOMPARE(ask("GetBin", {"worker", bin}, "sssss"), (QStringList{"Bin", bin, ro, "1", "2", "ROR"}));
        QCOMPARE(ask("GetBin", {"other", bin}, "sssss"), (QStringList{"Bin", bin, ro, "2", "1", "ROR"}));
    }

    void ordersMoveOnlyAlongTheirLifecycle_data()
    {
        QTest::addColumn<QString>("workType");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("statusAfter");
        auto row = [](const char *name, const QString &workType, int status, const char *command,
                      const QStringList &arguments, const char *reply, const char *statusAfter) {
            QTest::newRow(name) << workType << status << QString(command) << arguments << QString(reply)
                                << QString(statusAfter);
        };
        auto checksWith
            = [](const char *status) { return QStringList{"worker", "TYPE", "BIN", "1", status, "34", "2"}; };

        // The steps the screens make, in order.
        row("front-end sheet submitted", fe, 2, "ChangeStatus", {"worker", "3", "BIN", "1"}, "StatusChanged", "3");
        row("sheet submitted without lines", fe, 1, "ChangeStatus", {"worker", "3", "BIN", "1"}, "StatusChanged", "3");
        row("final checks cancelled", fe, 3, "ChangeStatus", {"worker", "2", "BIN", "1"}, "StatusChanged", "2");
        row("final checks saved", fe, 3, "SaveChecks", checksWith("4"), "ChecksSaved", "4");
        row("roll-off sheet submitted", ro, 2, "ChangeStatus", {"worker", "4", "BIN", "1"}, "StatusChanged", "4");
        row("check passed", ro, 4, "ChangeStatus", {"worker", "5", "BIN", "1"}, "StatusChanged", "5");
        row("sent back for its final checks", fe, 4, "SendBinBack", {"worker", "BIN", "1", "3"}, "SendBinBack", "3");
        row("roll-off sent back to its sheet", ro, 4, "SendBinBack", {"worker", "BIN", "1", "3"}, "SendBinBack", "2");
        row("confirmed", fe, 5, "ChangeStatus", {"worker", "6", "BIN", "1"}, "StatusChanged", "6 finished");
        row("final checks saved while confirming", fe, 6, "SaveChecks", checksWith("6"), "ChecksSaved", "6 finished");
        row("returned to the checkers", ro, 5, "SendBinBack", {"worker", "BIN", "1", "4"}, "SendBinBack", "4");

        // Requests that move nothing: a worker's own sheet sends back bare; a
        // sheet whose timing never started is left with the stamp "0".
        row("bare send-back", fe, 2, "SendBinBack", {}, "SendBinBack", "2");
        row("sheet left untimed", fe, 2, "SetEndTime", {"worker", "TYPE", "BIN", "1", "0"}, "EndTimeSet", "2");

        // Anything else: a step from a status it does not start at, of the
        // other kind of bin, or with a status no step sends.
        row("started straight to confirmed", fe, 1, "ChangeStatus", {"worker", "6", "BIN", "1"}, "Error", "1");
        row("front end past its final checks", fe, 2, "ChangeStatus", {"worker", "4", "BIN", "1"}, "Error", "2");
        row("roll off to final checks", ro, 2, "ChangeStatus", {"worker", "3", "BIN", "1"}, "Error", "2");
        row("checks saved with status 5", fe, 4, "SaveChecks", checksWith("5"), "Error", "4");
        row("another worker's order", fe, 2, "ChangeStatus", {"other", "3", "BIN", "1"}, "Error", "2");
    }

    void ordersMoveOnlyAlongTheirLifecycle()
    {
        QFETCH(QString, workType);
        QFETCH(int, status);
        QFETCH(QString, command);
        QFETCH(QStringList, arguments);
        QFETCH(QString, reply);
        QFETCH(QString, statusAfter);
        QVERIFY(!startOrder("worker", "4", "None", workType).isEmpty());
        putAt(status);
        const QStringList before = snapshot();
        QCOMPARE(ask(command, arguments), QStringList{reply});
        QCOMPARE(orderValue("status || CASE WHEN finished_at IS NULL THEN '' ELSE ' finished' END").toString(),
                 statusAfter);
        if (reply == QLatin1String("Error"))
            QCOMPARE(snapshot(), before);
    }

    void badRequestsStoreNothing_data()
    {
        ReplyRows::columns();
        const auto refused = ReplyRows::refused;
        // "BIN" is the test's own order, with one line; "STAMP" its running time stamp.
        refused("unknown bin", "GetBinInfo", {"worker", fe, "KD-none", "1"});
        refused("unknown repair id", "SaveBinRepairInfo", {"worker", "2", fe, "BIN", "9", "4", "FEC1", "x", "1:0"});
        refused("order of another work type", "GetBinRepairInfo", {"worker", "Roll Off Repair", "BIN", "1"});
        refused("custom work", "GetNewBinId", {"Custom", "worker"});
        refused("unknown user", "StoreCurrentInfo", {"nobody", fe, "KD-new-9", "4", "1", "None"});
        refused("removed user", "SetStartTime", {"gone", fe, "BIN", "1"});
        refused("status 0", "ChangeStatus", {"worker", "0", "BIN", "1"});
        refused("status 7", "SendBinBack", {"worker", "BIN", "1", "7"});
        refused("time 1:75", "SaveBinRepairInfo", {"worker", "2", fe, "BIN", "1", "4", "FEC1", "x", "1:75"});
        refused("time abc", "EditBinRepair", {"worker", fe, "BIN", "1", "FEC1", "Lid", "FEC1", "x", "abc"});
        refused("unknown stamp", "SetEndTime", {"worker", fe, "BIN", "1", "99999"});
        refused("stamp of another user", "SetEndTime", {"other", fe, "BIN", "1", "STAMP"});
        refused("repair id 0", "GetChecksList", {fe, "BIN", "0"});
        refused("roll-off prefix on front end", "FindBin", {"worker", fe, "ROR123"});
        refused("label without ID", "MakeRepairId", {"KD123", fe});
        refused("verdict 2", "StorePreChecks", {"BIN", "1", fe, "1", "2", "1"});
        refused("unknown code list", "GetRepairCodes", {fe, "XYZ"});
        refused("materials too long", "SaveBinRepairInfo",
                {"worker", "2", fe, "BIN", "1", "4", "FEC1", QString(513, 'm'), "1:0"});
    }

    void badRequestsStoreNothing()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, arguments);
        QVERIFY(!startOrder().isEmpty());
        addLine("FEC1", "Lid", "0:30");
        names["STAMP"] = ask("SetStartTime", {"worker", fe, "BIN", "1"}, "ss").value(1);
        QVERIFY(!names["STAMP"].isEmpty());
        const QStringList before = snapshot();
        QCOMPARE(ask(command, arguments), QStringList{"Error"});
        QCOMPARE(snapshot(), before);
    }

private:
    // Starts an order of user on a proposed bin ID, which "BIN" then stands
    // for ("TYPE" for its work type); its bin ID, or nothing.
    QString startOrder(const QString &user = QStringLiteral("worker"), const QString &size = QStringLiteral("4"),
                       const QString &info = QStringLiteral("None"),
                       const QString &workType = QStringLiteral("Front End Repair"))
    {
        const QStringList proposal = client->ask("GetNewBinId", {workType, user}, "ss");
        const QString bin = names["BIN"] = proposal.value(1);
        names["TYPE"] = workType;
        const bool frontEnd = workType == fe;
        const bool started
            = proposal == QStringList{"NewBinID", bin, frontEnd ? "FER" : "ROR"}
              && bin.startsWith(QLatin1String(frontEnd ? "KD" : "ROR"))
              && client->ask("MakeRepairId", {"ID " + bin, workType}, "i") == QStringList{"NewRepairId", "1"}
              && client->ask("StoreCurrentInfo", {user, workType, bin, size, "1", info}) == QStringList{"InfoSaved"};
        return started ? bin : QString();
    }
    // Puts the test's order at status, as if it had got there step by step.
    void putAt(int status)
    {
        QVERIFY(server.execute("UPDATE bin_orders SET status = ?, finished_at = CASE WHEN ? = 6 THEN 500 END"
                               " WHERE id = ?",
                               {status, status, orderValue("id")}));
    }
    void addLine(const QString &code, const QString &materials, const QString &time)
    {
        QCOMPARE(ask("SaveBinRepairInfo", {"worker", "2", fe, "BIN", "1", "4", code, materials, time}),
                 QStringList{"BinRepairSaved"});
    }
    // The order's lines as its sheet shows them: code, materials, time, user.
    QStringList lines() { return ask("GetBinRepairInfo", {"checker", fe, "BIN", "1"}, "ss/ssss").mid(3); }
    QVariant orderValue(const QString &column, int repairId = 1)
    {
        return server.queryValue(QStringLiteral("SELECT o.%1 FROM bin_orders o JOIN bins b ON b.id = o.bin_ref"
                                                " WHERE b.bin_id = ? AND o.repair_id = ?")
                                     .arg(column),
                                 {names["BIN"], repairId});
    }
    // Everything the bin commands store.
    QStringList snapshot()
    {
        return server.rows("SELECT COUNT(*) FROM bins") + server.rows("SELECT id, status FROM bin_orders ORDER BY id")
               + server.rows("SELECT repair_code, materials, time_text FROM bin_repair_lines ORDER BY id")
               + server.rows("SELECT id, end_time FROM order_time_stamps ORDER BY id")
               + server.rows("SELECT (SELECT COUNT(*) FROM pre_checks), (SELECT COUNT(*) FROM final_checks)");
    }

    const QString fe = QStringLiteral("Front End Repair");
    const QString ro = QStringLiteral("Roll Off Repair");
};

QTEST_GUILESS_MAIN(BinCommandsTest)
#include "tst_bincommands.moc"
