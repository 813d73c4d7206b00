#include "inprocessserver.h"

#include "storage/departments.h"
#include "storage/repaircodes.h"

#include <passworddigest.h>

#include <QtTest>

#include <map>
#include <memory>

// The repair-code catalogue, the user administration and the departments,
// as a manager's screens use them, and what each change stores.
class MaintenanceCommandsTest : public ServerTestCase
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(server.startError().isEmpty(), qPrintable(server.startError()));
        Departments shop(server.store());
        QVERIFY(shop.ensure("Welding") && shop.ensure("Paint"));
        // The office account every test acts as; logins are made only with
        // accounts the commands add, so any hash will do here.
        QVERIFY(server.addUser("anna", 3, "unused"));
        QVERIFY(server.addUser("bert", 1, "unused"));
        RepairCodes codes(server.store());
        QCOMPARE(codes.add({"FER", "FEC2", "Weld", "Weld-seam"}), RepairCodes::AddResult::Added);
        QCOMPARE(codes.add({"FER", "FEC1", "Lid", "New lid"}), RepairCodes::AddResult::Added);
    }

    void repairCodeCatalogue()
    {
        // Each step: command, arguments, reply (codes with "s/sss").
        const QList<std::tuple<QString, QStringList, QStringList>> steps = {
            {"AddRepairCode", {"Front End Repair", "FEC10", "Hinge", "New\nhinge"}, {"AddRepairCode"}},
            {"AddRepairCode", {"Front End Repair", "FEC10", "Other", "Other"}, {"RepairCode Already Used"}},
            // Codes are unique within their list only.
            {"AddRepairCode", {"Kestrel Disposal", "FEC10", "Wheel", "Wheel"}, {"AddRepairCode"}},
            {"GetRepairCodesForEdit",
             {"FER"},
             {"GetRepairCodesForEdit", "3", "FEC1", "Lid", "New lid", "FEC10", "Hinge", "New\nhinge", "FEC2", "Weld",
              "Weld-seam"}},
            {"GetRepairCodesForEdit", {"KD"}, {"GetRepairCodesForEdit", "1", "FEC10", "Wheel", "Wheel"}},
            {"GetRepairCodesForEdit", {"ROR"}, {"GetRepairCodesForEdit", "0"}},
            {"EditRepairCode", {"FER", "FEC10", "Hinges", "Two hinges"}, {"EditRepairCode"}},
            {"EditRepairCode", {"ROR", "FEC10", "Hinges", "Two hinges"}, {"EditRepairCodeNotFound"}},
            {"RemoveRepairCode", {"FER", "FEC10", "Hinges", "Two hinges"}, {"RemoveRepairCode"}},
            // Removed: no longer offered to the bin screens, edited or removed.
            {"GetRepairCodes",
             {"Front End Repair", "FER"},
             {"RepairCodes", "2", "FEC1", "New lid", "FEC2", "Weld-seam"}},
            {"EditRepairCode", {"FER", "FEC10", "Hinges", "Two hinges"}, {"EditRepairCodeNotFound"}},
            {"RemoveRepairCode", {"FER", "FEC10", "Hinges", "Two hinges"}, {"Error"}},
            {"GetRepairCodesForEdit", {"KD"}, {"GetRepairCodesForEdit", "1", "FEC10", "Wheel", "Wheel"}},
            // Adding it again brings it back with what is typed now.
            {"AddRepairCode", {"Front End Repair", "FEC10", "Pin", "Pin"}, {"AddRepairCode"}},
            {"GetRepairCodes",
             {"Front End Repair", "FER"},
             {"RepairCodes", "3", "FEC1", "New lid", "FEC10", "Pin", "FEC2", "Weld-seam"}},
        };
        for (const auto &[command, arguments, reply] : steps)
            QCOMPARE(manager(command, arguments,
                             command == "GetRepairCodesForEdit" ? "s/sss"
                             : command == "GetRepairCodes"      ? "s/ss"
                                                                : "/s"),
                     reply);

        // A change made beside the server (the sqlite3 shell, psql) is offered at once.
        QVERIFY(server.execute("UPDATE repair_codes SET description = 'Steel pin' WHERE code = 'FEC10'"));
        QCOMPARE(manager("GetRepairCodes", {"Front End Repair", "FER"}, "s/ss"),
                 (QStringList{"RepairCodes", "3", "FEC1", "New lid", "FEC10", "Steel pin", "FEC2", "Weld-seam"}));
    }

    void refusedRequestsChangeNothing_data()
    {
        ReplyRows::columns();
        const auto refused = ReplyRows::refused;
        refused("list by category", "GetRepairCodesForEdit", {"Front End Repair"});
        refused("code list key as category", "AddRepairCode", {"FER", "FEC9", "Lid", "Lid"});
        refused("code with a dash", "AddRepairCode", {"Front End Repair", "FEC-9", "Lid", "Lid"});
        refused("code of 9 characters", "AddRepairCode", {"Front End Repair", "FEC123456", "Lid", "Lid"});
        refused("no type", "AddRepairCode", {"Front End Repair", "FEC9", "", "Lid"});
        refused("description of 513", "AddRepairCode", {"Front End Repair", "FEC9", "Lid", QString(513, 'd')});
        refused("edit by category", "EditRepairCode", {"Front End Repair", "FEC1", "Lid", "Lid"});
        refused("remove unknown code", "RemoveRepairCode", {"ROR", "ROC1", "Door", "Door"});

        refused("info of unknown user", "GetUserInfo", {"nobody"});
        refused("edit unknown user", "EditUser", {"nobody", "", "No", "Body", "", "1"});
        refused("edit to level 4", "EditUser", {"bert", "", "Bert", "Brown", "", "4"});
        refused("edit to unknown department", "EditUser", {"bert", "", "Bert", "Brown", "Sales", "1"});
        refused("edit with password of 51", "EditUser", {"bert", QString(51, 'p'), "Bert", "Brown", "", "1"});
        refused("remove unknown user", "RemoveUserInfo", {"nobody"});
        refused("re-activate unknown user", "ReActivateUser", {"nobody"});
        refused("reset unknown user", "ResetUserPassword", {"nobody", wire::passwordDigest("x")});
        refused("add user without level", "AddUser", {"carl", "pw", "Carl", "Cole", ""});

        refused("add listed department", "AddDepartment", {"Paint"});
        refused("add empty department", "AddDepartment", {""});
        refused("add department with leading blank", "AddDepartment", {" Sales"});
        refused("add department of 51", "AddDepartment", {QString(51, 'd')});
        refused("remove unknown department", "RemoveDepartment", {"Sales"});
    }

    void refusedRequestsChangeNothing()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, arguments);
        const QStringList before = snapshot();
        QCOMPARE(manager(command, arguments), QStringList{"Error"});
        QCOMPARE(snapshot(), before);
    }

    void addedUserLogsInAndAddRefusalsAreWords()
    {
        QCOMPARE(manager("AddUser", {"Dana Roe", "pässword 1", "Dana", "Roe", "Welding", "1"}),
                 (QStringList{"AddUser", "UserAdded"}));
        QCOMPARE(login("Dana Roe", "pässword 1"), QStringLiteral("Success"));
        QCOMPARE(login("Dana Roe", "password 1"), QStringLiteral("Wrong"));
        QCOMPARE(manager("GetUserInfo", {"Dana Roe"}, "sssss"),
                 (QStringList{"GetUserInfo", "Dana Roe", "Dana", "Roe", "Welding", "1"}));
        QCOMPARE(manager("UpdateUserList", {}, "l"), (QStringList{"UpdateUserList", "[anna,bert,Dana Roe,desk]"}));

        QVERIFY(Departments(server.store()).remove("Paint", 1));
        const QList<std::pair<QStringList, QString>> refused = {
            {{"Dana Roe", "pw", "", "", "", "2"}, "UserNameTaken"},
            {{"", "pw", "", "", "", "2"}, "InvalidUserName"},
            {{" eve", "pw", "", "", "", "2"}, "InvalidUserName"},
            {{QString(51, 'e'), "pw", "", "", "", "2"}, "InvalidUserName"},
            {{"eve", "", "", "", "", "2"}, "InvalidPassword"},
            {{"eve", "pw", "E\tve", "", "", "2"}, "InvalidName"},
            {{"eve", "pw", "", "", "Sales", "2"}, "UnknownDepartment"},
            {{"eve", "pw", "", "", "Paint", "2"}, "UnknownDepartment"},
            {{"eve", "pw", "", "", "", "0"}, "InvalidPermission"},
        };
        const QStringList before = snapshot();
        for (const auto &[arguments, word] : refused)
            QCOMPARE(manager("AddUser", arguments), (QStringList{"AddUser", word}));
        QCOMPARE(snapshot(), before);
        QVERIFY(Departments(server.store()).ensure("Paint"));
    }

    void editResetRemoveAndReActivate()
    {
        QCOMPARE(manager("AddUser", {"fred", "first", "Fred", "Fox", "", "1"}), (QStringList{"AddUser", "UserAdded"}));
        // An empty password keeps the one there is; the department may be none.
        QCOMPARE(manager("EditUser", {"fred", "", "Frederick", "Fox", "Paint", "2"}), QStringList{"EditUser"});
        QCOMPARE(manager("GetUserInfo", {"fred"}, "sssss"),
                 (QStringList{"GetUserInfo", "fred", "Frederick", "Fox", "Paint", "2"}));
        QCOMPARE(login("fred", "first"), QStringLiteral("Success"));
        QCOMPARE(manager("EditUser", {"fred", "second", "Frederick", "Fox", "", "2"}), QStringList{"EditUser"});
        QCOMPARE(login("fred", "second"), QStringLiteral("Success"));
        QCOMPARE(manager("ResetUserPassword", {"fred", wire::passwordDigest("third")}),
                 QStringList{"ResetUserPassword"});
        QCOMPARE(login("fred", "second"), QStringLiteral("Wrong"));
        QCOMPARE(login("fred", "third"), QStringLiteral("Success"));

        // Removed: refused at login, still in the full list and its details.
        QCOMPARE(manager("RemoveUserInfo", {"fred"}), QStringList{"RemoveUser"});
        QCOMPARE(manager("RemoveUserInfo", {"fred"}), QStringList{"RemoveUser"});
        QCOMPARE(login("fred", "third"), QStringLiteral("Wrong"));
        QVERIFY(!manager("UpdateUserList", {}, "l").value(1).contains("fred"));
        QVERIFY(manager("GetFullUserList", {}, "l").value(1).contains("fred"));
        QCOMPARE(manager("GetUserInfo", {"fred"}, "sssss").value(2), QStringLiteral("Frederick"));

        QCOMPARE(manager("ReActivateUser", {"fred"}), QStringList{"ReActivateUser"});
        QCOMPARE(login("fred", "third"), QStringLiteral("Success"));
    }

    void shopCannotLockItselfOut()
    {
        // anna is the only active office account while the test desk steps aside.
        QVERIFY(server.execute("UPDATE users SET active = 0 WHERE user_name = 'desk'"));
        const QStringList before = snapshot();
        QCOMPARE(manager("RemoveUserInfo", {"anna"}), QStringList{"Error"});
        QCOMPARE(manager("EditUser", {"anna", "", "Anna", "Ames", "", "2"}), QStringList{"Error"});
        QCOMPARE(snapshot(), before);
        QCOMPARE(manager("EditUser", {"anna", "", "Anna", "Ames", "", "3"}), QStringList{"EditUser"});

        QCOMPARE(manager("AddUser", {"gina", "pw", "", "", "", "3"}), (QStringList{"AddUser", "UserAdded"}));
        QCOMPARE(manager("RemoveUserInfo", {"anna"}), QStringList{"Error"});
        QCOMPARE(as("gina", "RemoveUserInfo", {"gina"}), QStringList{"Error"});
        QCOMPARE(as("gina", "RemoveUserInfo", {"anna"}), QStringList{"RemoveUser"});
        QCOMPARE(as("gina", "EditUser", {"gina", "", "", "", "", "1"}), QStringList{"Error"});
        QCOMPARE(as("gina", "ReActivateUser", {"anna"}), QStringList{"ReActivateUser"});
        // Her removal ended anna's session: she logs in again.
        terminals.erase(QStringLiteral("anna"));
        QCOMPARE(manager("EditUser", {"gina", "", "", "", "", "1"}), QStringList{"EditUser"});
        QVERIFY(server.execute("UPDATE users SET active = 1 WHERE user_name = 'desk'"));
    }

    void departments()
    {
        QCOMPARE(manager("AddDepartment", {"assembly hall"}), QStringList{"AddDepartment"});
        QCOMPARE(manager("GetDepartments", {}, "l"), (QStringList{"GetDepartments", "[assembly hall,Paint,Welding]"}));
        QCOMPARE(manager("EditUser", {"bert", "", "Bert", "Brown", "assembly hall", "1"}), QStringList{"EditUser"});
        QCOMPARE(manager("RemoveDepartment", {"assembly hall"}), QStringList{"RemoveDepartment"});
        QCOMPARE(manager("RemoveDepartment", {"assembly hall"}), QStringList{"Error"});
        QCOMPARE(manager("GetDepartments", {}, "l"), (QStringList{"GetDepartments", "[Paint,Welding]"}));
        // bert keeps it, also through an edit of his names.
        QCOMPARE(manager("EditUser", {"bert", "", "Bertram", "Brown", "assembly hall", "1"}), QStringList{"EditUser"});
        QCOMPARE(manager("GetUserInfo", {"bert"}, "sssss").value(4), QStringLiteral("assembly hall"));
        QCOMPARE(manager("AddDepartment", {"assembly hall"}), QStringList{"AddDepartment"});
        QCOMPARE(manager("UserFormStartUp", {}, "ll").value(1), QStringLiteral("[assembly hall,Paint,Welding]"));
    }

    void auditKeepsWhoWhatBeforeAndAfter()
    {
        QCOMPARE(as("desk", "EditRepairCode", {"FER", "FEC1", "Lid", "Lid and rod"}), QStringList{"EditRepairCode"});
        QCOMPARE(as("desk", "ResetUserPassword", {"anna", wire::passwordDigest("new")}),
                 QStringList{"ResetUserPassword"});
        const auto last = [this](int back) {
            return server
                .rows("SELECT actor, command, subject, before_value, after_value FROM audit_log"
                      " ORDER BY id DESC LIMIT 1 OFFSET ?",
                      {back})
                .value(0);
        };
        QCOMPARE(last(1),
                 QStringLiteral("desk|EditRepairCode|repair code FER FEC1|{\"description\":\"New lid\",\"type\":"
                                "\"Lid\"}|{\"description\":\"Lid and rod\",\"type\":\"Lid\"}"));
        QCOMPARE(last(0), QStringLiteral("desk|ResetUserPassword|user anna||{\"password\":\"changed\"}"));
        // Every change of the earlier tests is there, and no password or hash.
        QVERIFY(server.queryValue("SELECT COUNT(*) FROM audit_log").toInt() > 20);
        QCOMPARE(server
                     .queryValue("SELECT COUNT(*) FROM audit_log a JOIN users u ON a.after_value LIKE '%'"
                                 " || u.password_hash || '%' OR a.after_value LIKE '%pässword%'")
                     .toInt(),
                 0);
    }

private:
    // Answers a request as the server does for a terminal where actor is
    // logged in; the reply as ServerTestClient::Reply::text() reads it.
    QStringList as(const QString &actor, const QString &command, const QStringList &arguments = {},
                   const QString &types = QStringLiteral("/s"))
    {
        std::unique_ptr<ServerTestClient> &terminal = terminals[actor];
        if (!terminal)
            terminal = server.terminalOf(actor);
        return terminal ? terminal->ask(command, arguments, types) : QStringList{QStringLiteral("<no terminal>")};
    }
    QStringList manager(const QString &command, const QStringList &arguments = {},
                        const QString &types = QStringLiteral("/s"))
    {
        return as(QStringLiteral("anna"), command, arguments, types);
    }
    // A login at a terminal of its own, so that no session of the tests is replaced.
    QString login(const QString &userName, const QString &password)
    {
        const auto terminal = server.connect(QHostAddress(QStringLiteral("127.0.2.1")));
        return terminal->ask("Login", {userName, wire::passwordDigest(password)}).value(0);
    }
    // Everything these commands store.
    QStringList snapshot()
    {
        return server.rows("SELECT user_name, first_name, last_name, permission_level, active, department_id,"
                           " password_hash FROM users ORDER BY id")
               + server.rows("SELECT code_list, code, code_type, description, removed_at FROM repair_codes ORDER BY id")
               + server.rows("SELECT name, removed_at FROM departments ORDER BY id")
               + server.rows("SELECT COUNT(*) FROM audit_log");
    }

    std::map<QString, std::unique_ptr<ServerTestClient>> terminals;
};

QTEST_GUILESS_MAIN(MaintenanceCommandsTest)
#include "tst_maintenancecommands.moc"
