#include "inprocessserver.h"

#include "storage/useraccounts.h"

#include <QtTest>

// The management panel's counts and the order review, over real
// connections, on a shop with orders of several workers and statuses.
class ReviewCommandsTest : public ServerTestCase
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(server.startError().isEmpty(), qPrintable(server.startError()));
        for (const char *user : {"anna", "bert", "carl", "dora"})
            QVERIFY(server.addUser(user, 1, "unused"));
        QVERIFY(UserAccounts(server.store()).setActive("dora", false));

        // Waiting for a check: bert's KD200 and KD100, carl's KD100, started in
        // the same second as bert's KD200 but recorded later.
        addBinOrder("KD100", 1, "bert", 4, {{"created_at", 300}});
        addBinOrder("KD200", 1, "bert", 4, {{"created_at", 100}});
        addBinOrder("KD100", 2, "carl", 4, {{"created_at", 100}});
        // Waiting for confirmation: bert's KD400 (the oldest) and carl's ROR300,
        // and dora's KD200: a removed worker's orders are still reviewed.
        addBinOrder("ROR300", 1, "carl", 5, {{"created_at", 400}});
        addBinOrder("KD400", 1, "bert", 5, {{"created_at", 200}});
        addBinOrder("KD200", 2, "dora", 5, {{"created_at", 500}});
        // Not listed: removed, still being worked on, finished.
        addBinOrder("KD400", 2, "anna", 4, {{"created_at", 10}, {"removed_at", 1000}});
        addBinOrder("ROR300", 2, "anna", 2, {{"created_at", 10}});
        addBinOrder("KD100", 3, "anna", 6, {{"created_at", 10}});

        // Custom jobs waiting for confirmation: bert's 1 and 5, carl's 2 (changed
        // while checked, the oldest); open and confirmed ones are not.
        addCustomJob(1, "bert", "Acme", "Tank_repair", 5, {{"created_at", 100}});
        addCustomJob(2, "carl", "Bolt", "Lid", 3, {{"created_at", 50}});
        addCustomJob(3, "carl", "Cask", "Weld", 2, {{"created_at", 10}});
        addCustomJob(4, "bert", "Dunn", "Hinge", 6, {{"created_at", 10}});
        addCustomJob(5, "bert", "Acme", "Wheels", 5, {{"created_at", 150}});
    }

    void replies_data()
    {
        ReplyRows::columns();
        const auto row = ReplyRows::row;
        const auto refused = ReplyRows::refused;

        row("counts to confirm", "GetNumberWorkToConfirm", {}, "ss", {"NumberOfOrdersToConfirm", "3", "3"});
        row("count to check", "GetNumberOfOrders", {}, "s", {"NumberOfOrders", "3"});

        // Workers in name order; "Yes" for the one whose order waited longest.
        row("check list workers", "GetListOfUserOrders", {"4"}, "ll", {"ListOfUserOrders", "[bert,carl]", "[Yes,No]"});
        row("confirm list workers", "GetListOfUserOrders", {"5"}, "ll",
            {"ListOfUserOrders", "[bert,carl,dora]", "[Yes,No,No]"});
        row("bin work", "CheckBinWork", {}, "ll", {"ListOfUserOrders", "[bert,carl,dora]", "[Yes,No,No]"});
        row("custom work", "CheckCustomWork", {}, "ll", {"ListOfUserOrders", "[bert,carl]", "[No,Yes]"});
        row("status without orders", "GetListOfUserOrders", {"3"}, "ll", {"ListOfUserOrders", "[]", "[]"});

        // Each worker's orders oldest first.
        row("all work", "GetAllWork", {"All", "4"}, "ss/sl",
            {"GetAllWork", "All", "2", "bert", "[KD200,KD100]", "carl", "[KD100]"});
        row("all work, none", "GetAllWork", {"All", "1"}, "ss/sl", {"GetAllWork", "All", "0"});
        row("one worker's", "ListWorkOrders", {"bert"}, "l", {"ListWorkOrders", "[KD200,KD100]"});
        row("one worker's to confirm", "ListWorkOrdersToConfirm", {"carl"}, "l", {"ListWorkOrders", "[ROR300]"});
        row("one worker's, none", "ListWorkOrders", {"anna"}, "l", {"ListWorkOrders", "[]"});
        row("all custom work", "GetAllCustomWork", {}, "s/slll",
            {"GetAllCustomWork", "2", "bert", "[1,5]", "[Acme,Acme]", "[Tank_repair,Wheels]", "carl", "[2]", "[Bolt]",
             "[Lid]"});
        row("one worker's custom work", "ListCustomWorkToConfirm", {"bert"}, "ss/sss",
            {"ListCustomWorkToConfirm", "bert", "2", "1", "Acme", "Tank_repair", "5", "Acme", "Wheels"});

        // A listed line, sent back with its worker, opens that worker's order.
        row("bin to check", "GetBinForCheck", {"bert", "KD100"}, "sssss",
            {"GetBinForCheck", "bert", "FER", "Front End Repair", "KD100", "1"});
        row("same bin, other worker", "GetBinForCheck", {"carl", "KD100"}, "sssss",
            {"GetBinForCheck", "carl", "FER", "Front End Repair", "KD100", "2"});
        row("roll-off bin to confirm", "GetBinForConfirmCheck", {"carl", "ROR300"}, "sssss",
            {"GetBinForConfirmCheck", "carl", "ROR", "Roll Off Repair", "ROR300", "1"});
        row("removed worker's bin", "GetBinForConfirmCheck", {"dora", "KD200"}, "sssss",
            {"GetBinForConfirmCheck", "dora", "FER", "Front End Repair", "KD200", "2"});
        row("custom job to confirm", "GetCustomForCheck", {"carl", "2 Bolt Lid"}, "ssssssssss",
            {"GetCustomForCheck", "carl", "2", "Lid", "Bolt", "3/7/2016", "Sam", "C-2", "Kim", "555-0100",
             "kim@example.org"});

        refused("status 7", "GetListOfUserOrders", {"7"});
        refused("status with a blank", "GetAllWork", {"All", "4 "});
        refused("selection other than All", "GetAllWork", {"bert", "4"});
        refused("unknown worker's orders", "ListWorkOrders", {"nobody"});
        refused("unknown worker's custom work", "ListCustomWorkToConfirm", {"nobody"});
        refused("unknown worker's bin", "GetBinForCheck", {"nobody", "KD100"});
        refused("bin of another worker", "GetBinForCheck", {"anna", "KD100"});
        refused("bin not waiting for a check", "GetBinForCheck", {"carl", "ROR300"});
        refused("removed order", "GetBinForCheck", {"anna", "KD400"});
        refused("not a bin ID", "GetBinForCheck", {"bert", "XX100"});
        refused("job of another worker", "GetCustomForCheck", {"bert", "2 Bolt Lid"});
        refused("open job", "GetCustomForCheck", {"carl", "3 Cask Weld"});
        refused("line that no longer matches", "GetCustomForCheck", {"bert", "1 Acme Wheels"});
        refused("number with a leading zero", "GetCustomForCheck", {"bert", "01 Acme Tank_repair"});
    }

    void replies() { ReplyRows::check(*client); }
};

QTEST_GUILESS_MAIN(ReviewCommandsTest)
#include "tst_reviewcommands.moc"
