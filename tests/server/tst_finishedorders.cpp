#include "inprocessserver.h"

#include <QtTest>

// The finished-orders browser and the repair records, over real
// connections, on a shop with finished, open and removed orders of several
// workers.
class FinishedOrdersTest : public ServerTestCase
{
    Q_OBJECT

private slots:
    void initTestCase();
    void replies_data();
    void replies();
    void finishingAndSendingBackMoveOrdersInAndOut();
    void removedOrdersAreKeptButSeenByNothing();

private:
    // Noon of a day in March 2016, local time: the lists show it as 3/<day>/2016.
    static qint64 march(int day) { return QDateTime(QDate(2016, 3, day), QTime(12, 0)).toSecsSinceEpoch(); }

    QStringList owners() { return ask("GetListOfUserOrders", {}, "l"); }
    QStringList frontEndOrders(const QString &user)
    {
        return ask("GetFERInfoView", {"FER", user, "New To Old"}, "s/slll");
    }
};

void FinishedOrdersTest::initTestCase()
{
    QVERIFY2(server.startError().isEmpty(), qPrintable(server.startError()));
    for (const char *user : {"anna", "bert", "carl", "dora"})
        QVERIFY(server.addUser(user, 1, "unused"));

    // Bins 1 to 3 (KD100, KD200, ROR300), numbered by the database, so that it goes on from there.
    // bert's KD200 and KD100 (repair 4) were finished in the same second, KD100 recorded later.
    addBinOrder("KD100", 1, "bert", 6, {{"completed_at", march(1)}});
    addBinOrder("KD200", 1, "bert", 4, {{"completed_at", march(3)}});
    addBinOrder("KD100", 4, "bert", 4, {{"completed_at", march(3)}});
    addBinOrder("KD100", 2, "anna", 5, {{"completed_at", march(2)}});
    addBinOrder("ROR300", 1, "anna", 4, {{"completed_at", march(2)}});
    // Not finished orders: still with the worker, or removed.
    addBinOrder("KD200", 2, "anna", 2);
    addBinOrder("KD100", 3, "carl", 4, {{"completed_at", march(5)}, {"removed_at", 1000}});

    addCustomJob(1, "bert", "Acme", "Tank_repair", 5, {{"completed_at", march(4)}});
    addCustomJob(2, "anna", "Bolt", "Lid", 3, {{"completed_at", march(2)}});
    addCustomJob(3, "anna", "Cask", "Weld", 6, {{"completed_at", march(1)}});
    addCustomJob(4, "bert", "Dunn", "Hinge", 2);
    addCustomJob(5, "dora", "Eton", "Wheels", 1);

    // The records: bert's KD100 repair 1 with checks, time and a line; custom
    // job 1 with 90 minutes and job 2 with two lines.
    QVERIFY(server.execute("INSERT INTO final_checks (order_id, lid_size, lid_tab_width, user_id, recorded_at)"
                           " SELECT o.id, '40', '2.5', o.owner_id, 0 FROM bin_orders o WHERE o.bin_ref = 1"
                           " AND o.repair_id = 1"));
    QVERIFY(
        server.execute("INSERT INTO order_time_stamps (bin_order_id, user_id, start_time, end_time)"
                       " SELECT o.id, o.owner_id, 0, 2700 FROM bin_orders o WHERE o.bin_ref = 1 AND o.repair_id = 1"));
    QVERIFY(
        server.execute("INSERT INTO bin_repair_lines (order_id, repair_code, materials, time_text, minutes,"
                       " user_id, created_at) SELECT o.id, 'FEC101', 'Plate', '0:45', 45, u.id, 0"
                       " FROM bin_orders o, users u WHERE o.bin_ref = 1 AND o.repair_id = 1 AND u.user_name = 'carl'"));
    QVERIFY(server.execute("INSERT INTO order_time_stamps (custom_order_id, user_id, start_time, end_time)"
                           " SELECT 1, id, 0, 5400 FROM users WHERE user_name = 'bert'"));
    QVERIFY(server.execute("INSERT INTO custom_repair_lines (order_id, description, materials, hours, minutes,"
                           " user_id, created_at) SELECT 2, 'Weld seam', 'Rod', 1, 5, id, 0 FROM users"
                           " WHERE user_name = 'anna'"));
    QVERIFY(server.execute("INSERT INTO custom_repair_lines (order_id, description, materials, hours, minutes,"
                           " user_id, created_at) SELECT 2, 'Paint', 'Red', 0, 30, id, 1 FROM users"
                           " WHERE user_name = 'anna'"));
}

void FinishedOrdersTest::replies_data()
{
    ReplyRows::columns();
    const auto row = ReplyRows::row;
    const auto refused = ReplyRows::refused;

    // Owners of finished orders of any kind, by name; the review's form with a status is another list.
    row("owners", "GetListOfUserOrders", {}, "l", {"ListOfUserOrders", "[anna,bert]"});
    row("review form", "GetListOfUserOrders", {"5"}, "ll", {"ListOfUserOrders", "[anna]", "[Yes]"});

    // Grouped by owner, each group by the time the worker finished.
    row("front end, new to old", "GetFERInfoView", {"FER", "All", "New To Old"}, "s/slll",
        {"GetFERInfoView", "2", "anna", "[KD100]", "[2]", "[3/2/2016]", "bert", "[KD100,KD200,KD100]", "[4,1,1]",
         "[3/3/2016,3/3/2016,3/1/2016]"});
    row("front end, old to new", "GetFERInfoView", {"FER", "All", "Old To New"}, "s/slll",
        {"GetFERInfoView", "2", "anna", "[KD100]", "[2]", "[3/2/2016]", "bert", "[KD100,KD200,KD100]", "[1,1,4]",
         "[3/1/2016,3/3/2016,3/3/2016]"});
    row("one user", "GetFERInfoView", {"FER", "anna", "Old To New"}, "s/slll",
        {"GetFERInfoView", "1", "anna", "[KD100]", "[2]", "[3/2/2016]"});
    row("roll off", "GetFERInfoView", {"ROR", "All", "New To Old"}, "s/slll",
        {"GetFERInfoView", "1", "anna", "[ROR300]", "[1]", "[3/2/2016]"});
    row("user without finished orders", "GetFERInfoView", {"ROR", "bert", "New To Old"}, "s/slll",
        {"GetFERInfoView", "0"});
    row("custom, new to old", "GetCustomInfoView", {"All", "New To Old"}, "s/slllll",
        {"GetCustomInfoView", "2", "anna", "[2,3]", "[Lid,Weld]", "[Bolt,Cask]", "[C-2,C-3]", "[3/2/2016,3/1/2016]",
         "bert", "[1]", "[Tank_repair]", "[Acme]", "[C-1]", "[3/4/2016]"});
    row("custom, one user, old to new", "GetCustomInfoView", {"anna", "Old To New"}, "s/slllll",
        {"GetCustomInfoView", "1", "anna", "[3,2]", "[Weld,Lid]", "[Cask,Bolt]", "[C-3,C-2]", "[3/1/2016,3/2/2016]"});
    row("custom, user with open jobs only", "GetCustomInfoView", {"dora", "New To Old"}, "s/slllll",
        {"GetCustomInfoView", "0"});

    // The records of finished orders.
    row("bin checks", "GetChecksList", {"Front End Repair", "KD100", "1"}, "ss", {"GetCheckList", "40", "2.5"});
    row("bin time", "GetBinTime", {"bert", "Front End Repair", "KD100", "1"}, "s", {"GetBinTime", "0.75"});
    row("bin lines", "GetBinRepairInfo", {"bert", "Front End Repair", "KD100", "1"}, "ss/ssss",
        {"BinRepairInfo", "", "1", "FEC101", "Plate", "0:45", "carl"});
    row("custom details", "GetCustomInfo", {"bert", "1", "Acme", "Tank_repair"}, "sssss",
        {"GetCustomInfo", "3/7/2016", "Kim", "555-0100", "kim@example.org", "1.50"});
    row("custom lines", "GetCustomInfoRepairData", {"anna", "2", "Bolt", "Lid"}, "lll",
        {"GetCustomInfoRepairData", "[Weld seam,Paint]", "[Rod,Red]", "[1:5,0:30]"});
    row("custom without lines", "GetCustomInfoRepairData", {"anna", "3", "Cask", "Weld"}, "lll",
        {"GetCustomInfoRepairData", "[]", "[]", "[]"});

    refused("list of unknown user", "GetFERInfoView", {"FER", "nobody", "New To Old"});
    refused("list key KD", "GetFERInfoView", {"KD", "All", "New To Old"});
    refused("unknown date order", "GetFERInfoView", {"FER", "All", "Newest"});
    refused("bin record of unknown repair", "GetChecksList", {"Front End Repair", "KD100", "9"});
    refused("custom record of open job", "GetCustomInfo", {"bert", "4", "Dunn", "Hinge"});
    refused("custom record of another owner", "GetCustomInfo", {"anna", "1", "Acme", "Tank_repair"});
    refused("custom record, job type before customer", "GetCustomInfo", {"bert", "1", "Tank_repair", "Acme"});
    refused("custom lines of unknown job", "GetCustomInfoRepairData", {"bert", "99", "Acme", "Tank_repair"});
    refused("remove an open order", "RemoveBin", {"anna", "KD200", "2"});
    refused("remove another owner's order", "RemoveBin", {"anna", "KD200", "1"});
    refused("remove with repair id 0", "RemoveBin", {"bert", "KD200", "0"});
    refused("remove an open job", "RemoveCustom", {"bert", "4", "Hinge", "Dunn"});
    refused("remove a job named wrongly", "RemoveCustom", {"bert", "1", "Acme", "Tank_repair"});
}

void FinishedOrdersTest::replies()
{
    ReplyRows::check(*client);
}

// A worker's bin order is listed from its final checks on, dated the day
// they were saved, and leaves the list when sent back; a custom job from
// its submission.
void FinishedOrdersTest::finishingAndSendingBackMoveOrdersInAndOut()
{
    const QString today = QDate::currentDate().toString("M/d/yyyy");
    QCOMPARE(ask("StoreCurrentInfo", {"dora", "Front End Repair", "KD900", "4", "1", "None"}),
             QStringList{"InfoSaved"});
    QCOMPARE(frontEndOrders("dora"), (QStringList{"GetFERInfoView", "0"}));
    QCOMPARE(ask("ChangeStatus", {"dora", "3", "KD900", "1"}), QStringList{"StatusChanged"});
    QCOMPARE(ask("SaveChecks", {"dora", "Front End Repair", "KD900", "1", "4", "40", "2"}), QStringList{"ChecksSaved"});
    QCOMPARE(frontEndOrders("dora"), (QStringList{"GetFERInfoView", "1", "dora", "[KD900]", "[1]", "[" + today + "]"}));
    QCOMPARE(ask("SendBinBack", {"dora", "KD900", "1", "3"}), QStringList{"SendBinBack"});
    QCOMPARE(frontEndOrders("dora"), (QStringList{"GetFERInfoView", "0"}));

    QCOMPARE(ask("SubmitCustomRepair", {"5", "Wheels", "Eton"}), QStringList{"SubmitCustomRepair"});
    QCOMPARE(ask("GetCustomInfoView", {"dora", "Old To New"}, "s/slllll"),
             (QStringList{"GetCustomInfoView", "1", "dora", "[5]", "[Wheels]", "[Eton]", "[C-5]", "[" + today + "]"}));
    QCOMPARE(owners(), (QStringList{"ListOfUserOrders", "[anna,bert,dora]"}));
}

// A removed order leaves every list and record, keeps its data, and its
// bin's repair ids go on counting; the removal names the user logged in at
// the terminal it came from.
void FinishedOrdersTest::removedOrdersAreKeptButSeenByNothing()
{
    QCOMPARE(ask("RemoveBin", {"bert", "KD100", "4"}), QStringList{"RemoveBin"});
    QCOMPARE(ask("RemoveBin", {"bert", "KD100", "4"}), QStringList{"Error"});
    QCOMPARE(frontEndOrders("bert"),
             (QStringList{"GetFERInfoView", "1", "bert", "[KD200,KD100]", "[1,1]", "[3/3/2016,3/1/2016]"}));
    QCOMPARE(ask("FindBin", {"bert", "Front End Repair", "KD100"}, "sss"), (QStringList{"BinFound", "KD100", "5", ""}));

    QCOMPARE(ask("RemoveBin", {"bert", "KD100", "1"}), QStringList{"RemoveBin"});
    for (const char *command : {"GetBinTime", "GetBinRepairInfo"})
        QCOMPARE(ask(command, {"bert", "Front End Repair", "KD100", "1"}), QStringList{"Error"});
    QCOMPARE(ask("GetChecksList", {"Front End Repair", "KD100", "1"}), QStringList{"Error"});
    QCOMPARE(server.queryValue("SELECT COUNT(*) FROM bin_repair_lines").toInt(), 1);
    QCOMPARE(server.queryValue("SELECT COUNT(*) FROM final_checks").toInt(), 2);

    // Once all of anna's finished orders are gone, she leaves the owners list.
    QCOMPARE(ask("RemoveCustom", {"anna", "2", "Lid", "Bolt"}), QStringList{"RemoveCustom"});
    QCOMPARE(ask("GetCustomInfoRepairData", {"anna", "2", "Bolt", "Lid"}), QStringList{"Error"});
    QCOMPARE(ask("RemoveCustom", {"anna", "3", "Weld", "Cask"}), QStringList{"RemoveCustom"});
    QCOMPARE(ask("RemoveBin", {"anna", "KD100", "2"}), QStringList{"RemoveBin"});
    QCOMPARE(owners(), (QStringList{"ListOfUserOrders", "[anna,bert,dora]"}));
    QCOMPARE(ask("RemoveBin", {"anna", "ROR300", "1"}), QStringList{"RemoveBin"});
    QCOMPARE(owners(), (QStringList{"ListOfUserOrders", "[bert,dora]"}));
    QCOMPARE(ask("GetCustomInfoView", {"anna", "New To Old"}, "s/slllll"), (QStringList{"GetCustomInfoView", "0"}));
    QCOMPARE(ask("GetNumberWorkToConfirm", {}, "ss"), (QStringList{"NumberOfOrdersToConfirm", "0", "2"}));
    QCOMPARE(server.queryValue("SELECT COUNT(*) FROM custom_repair_lines").toInt(), 2);

    QVERIFY(server.execute("UPDATE users SET permission_level = 3 WHERE user_name = 'carl'"));
    const auto carlsTerminal = server.terminalOf("carl");
    QVERIFY(carlsTerminal);
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    QCOMPARE(carlsTerminal->ask("RemoveCustom", {"bert", "1", "Tank_repair", "Acme"}), QStringList{"RemoveCustom"});
    QCOMPARE(server
                 .queryValue("SELECT u.user_name FROM custom_orders o JOIN users u ON u.id = o.removed_by"
                             " WHERE o.id = 1")
                 .toString(),
             QStringLiteral("carl"));
    QVERIFY(server.queryValue("SELECT removed_at FROM custom_orders WHERE id = 1").toLongLong() >= before);
}

QTEST_GUILESS_MAIN(FinishedOrdersTest)
#include "tst_finishedorders.moc"
