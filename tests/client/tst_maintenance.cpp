#include "management/departmentsdialog.h"
#include "management/repaircodeeditordialog.h"
#include "management/repaircodelistdialog.h"
#include "management/useradmindialog.h"
#include "screens.h"
#include "wire/passworddigest.h"

namespace {

struct CodeList : ScreenTest<RepairCodeListDialog>
{
    QCheckBox *box(const char *name) { return child<QCheckBox>(&screen, name); }
    QTableView *table() { return child<QTableView>(&screen, "tableView_Codes"); }
    // Clicks the button and waits for the codes it brings: a count, then three fields a code.
    void clickForList(const char *button, const QStringList &codes)
    {
        server.answer("GetRepairCodesForEdit", textFrame("GetRepairCodesForEdit", codes));
        press(screen, button);
        QStringList rows;
        for (int field = 1; field < codes.size(); field += 3)
            rows << codes.mid(field, 3).join('|');
        QTRY_COMPARE(tableRows(table()), rows);
    }
};

struct Editor : ScreenTest<RepairCodeEditorDialog>
{
    QComboBox *category() { return child<QComboBox>(&screen, "comboBox_Cata"); }
    QLineEdit *field(const char *name) { return child<QLineEdit>(&screen, name); }
    // Submits twice: the server refuses the first command, the screen
    // stays for another try, and takes the second, and the screen closes.
    void submitRefusedThenTaken(const char *command, const QByteArray &refusal, const QString &refusalText,
                                const QByteArray &taken, const QString &takenText)
    {
        server.answer(command, refusal);
        server.answer(command, taken);
        messages.expect(refusalText);
        messages.expect(takenText);
        press(screen, "pushButton_Submit");
        QTRY_COMPARE(messages.shown().size(), 1);
        QVERIFY(screen.isVisible());
        press(screen, "pushButton_Submit");
        QTRY_VERIFY(!screen.isVisible());
        QCOMPARE(messages.unexpected(), QStringList());
    }
};

const QStringList FormWidgets{"listWidget_Users",   "lineEdit_UserName", "lineEdit_Password",   "lineEdit_RePassword",
                              "lineEdit_FirstName", "lineEdit_LastName", "comboBox_Department", "comboBox_Permissions"};
const QStringList ModeBoxes{"checkBox_Add", "checkBox_Edit", "checkBox_Remove", "checkBox_ReActivate",
                            "checkBox_ResetPassword"};

struct Admin : ScreenTest<UserAdminDialog>
{
    Admin()
    {
        server.answer("UserFormStartUp",
                      wire::frame("UserFormStartUp", QStringList{"Shop", "Yard"}, QStringList{"bob", "dan"}));
        QTRY_COMPARE(child<QListWidget>(&screen, "listWidget_Users")->count(), 2);
    }
    QLineEdit *field(const QString &name) { return child<QLineEdit>(&screen, name); }
    QComboBox *combo(const char *name) { return child<QComboBox>(&screen, name); }
    bool submitEnabled() { return child<QWidget>(&screen, "pushButton_Submit")->isEnabled(); }
    // The five line edits, from the user name to the last name.
    void fill(const QStringList &texts)
    {
        for (int i = 0; i < texts.size(); ++i)
            field(FormWidgets.at(i + 1))->setText(texts.at(i));
    }
    QString enabledWidgets()
    {
        QString flags;
        for (const QString &name : FormWidgets)
            flags += child<QWidget>(&screen, name)->isEnabled() ? '1' : '0';
        return flags;
    }
    QStringList tickedBoxes()
    {
        QStringList ticked;
        for (const QString &name : ModeBoxes)
            if (child<QCheckBox>(&screen, name)->isChecked())
                ticked << name;
        return ticked;
    }
};

struct Departments : ScreenTest<DepartmentsDialog>
{
    Departments()
    {
        server.answer("GetDepartments", wire::frame("GetDepartments", QStringList{"Shop", "Yard"}));
        QTRY_COMPARE(combo()->count(), 2);
    }
    QComboBox *combo() { return child<QComboBox>(&screen, "comboBox_Remove"); }
    QLineEdit *name() { return child<QLineEdit>(&screen, "lineEdit_Add"); }
};

} // namespace

class RepairCodeListDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetClient(); }

    // The editor runs on top of the list, which keeps its codes; removal asks,
    // then reloads. The boxes act as one choice; unticking keeps the list.
    void listsTheCodesToEditAndRemove()
    {
        CodeList c;
        QStringList handed;
        c.watcher.onScreen("RepairCodeEditorDialog", [&](QWidget *editor) {
            handed << (AppState::instance().editingCode() ? "edit " : "add ")
                          + stateFields(&AppState::editCode, 4).join(',');
            editor->close();
        });
        c.clickForList("checkBox_FER", {"2", "FEC1", "Weld", "Weld the lid", "FEC2", "Paint", "Paint it"});
        AppState::instance().setEditCode("x", "x", "x", "x");
        press(c.screen, "pushButton_Add");
        selectRow(c.table(), 0);
        press(c.screen, "pushButton_Edit");
        QCOMPARE(handed, (QStringList{"add x,x,x,x", "edit FER,FEC1,Weld,Weld the lid"}));
        QVERIFY(c.screen.isVisible());
        QCOMPARE(c.table()->model()->rowCount(), 2);

        selectRow(c.table(), 1);
        const QString question = "Are you sure you want to remove FEC2 Paint Paint it?";
        c.messages.expectCancelThenYes(question);
        c.messages.expect("Repair Code Removed");
        c.server.answer("RemoveRepairCode", wire::frame("RemoveRepairCode"));
        press(c.screen, "pushButton_Remove");
        c.clickForList("pushButton_Remove", {"1", "FEC1", "Weld", "Lid"});

        c.clickForList("checkBox_ROR", {"1", "ROC1", "Patch", "Floor"});
        QVERIFY(!c.box("checkBox_FER")->isChecked());
        c.box("checkBox_ROR")->click();
        c.box("checkBox_KD")->click();
        QTRY_COMPARE(
            c.server.calls(),
            (QStringList{"GetRepairCodesForEdit(FER)", "RemoveRepairCode(FER, FEC2, Paint, Paint it)",
                         "GetRepairCodesForEdit(FER)", "GetRepairCodesForEdit(ROR)", "GetRepairCodesForEdit(KD)"}));
        QCOMPARE(c.messages.unexpected() + c.messages.pending(), QStringList());
    }
};

class RepairCodeEditorDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        resetClient();
        AppState::instance().setEditingCode(false);
    }

    // Choosing a category replaces whatever was typed with its prefix; a
    // refused code leaves the entries for another try, a taken one closes.
    void addPutsTheCategorysPrefixAndSendsTheCategory()
    {
        Editor e;
        QCOMPARE(e.category()->currentText(), QString("Front End Repair"));
        QCOMPARE(e.field("lineEdit_RepairCode")->text(), QString("FEC"));
        QStringList prefixes;
        for (const char *chosen : {"Kestrel Disposal", "Front End Repair", "Roll Off Repair"}) {
            e.field("lineEdit_RepairCode")->setText("typed");
            e.category()->setCurrentText(chosen);
            prefixes << e.field("lineEdit_RepairCode")->text();
        }
        QCOMPARE(prefixes, (QStringList{"KEC", "FEC", "ROC"}));
        e.field("lineEdit_RepairCode")->setText("ROC7");
        e.field("lineEdit_RepairType")->setText("Patch");
        child<QTextEdit>(&e.screen, "textEdit_RepairDesc")->setPlainText("\n\n");
        e.submitRefusedThenTaken("AddRepairCode", wire::frame("RepairCode Already Used"),
                                 "Repair Code Already in DataBase", wire::frame("AddRepairCode"), "RepairCode Added");
        const QString add = "AddRepairCode(Roll Off Repair, ROC7, Patch, \n\n)";
        QCOMPARE(e.server.calls(), (QStringList{add, add}));
    }

    // The locked category is the one of the list the code came from, and
    // the edit names that list by its key.
    void editShowsTheCodeOfItsList_data()
    {
        QTest::addColumn<QString>("listKey");
        QTest::addColumn<QString>("category");
        QTest::newRow("front end") << QString("FER") << "Front End Repair";
        QTest::newRow("kestrel") << QString("KD") << "Kestrel Disposal";
    }

    void editShowsTheCodeOfItsList()
    {
        QFETCH(QString, listKey);
        QFETCH(QString, category);
        AppState::instance().setEditingCode(true);
        AppState::instance().setEditCode(listKey, "X12", "Weld", "Weld the lid");
        Editor e;
        QTRY_COMPARE(e.field("lineEdit_RepairCode")->text(), QString("X12"));
        QCOMPARE(e.category()->currentText(), category);
        QVERIFY(!e.category()->isEnabled());
        QCOMPARE(e.field("lineEdit_RepairType")->text(), QString("Weld"));
        e.field("lineEdit_RepairType")->setText("Weld twice");
        e.submitRefusedThenTaken("EditRepairCode", wire::frame("EditRepairCodeNotFound"), "Repair Code Not Found",
                                 wire::frame("EditRepairCode"), "Repair Code Complete");
        QCOMPARE(e.server.lastArguments("EditRepairCode"), (QStringList{listKey, "X12", "Weld twice", "Weld the lid"}));
    }
};

class UserAdminDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetClient(); }

    // Past 50 characters Submit is off, with a word naming the field; any
    // field back within the limit turns it on again.
    void fieldsLongerThanFiftyTurnSubmitOff()
    {
        Admin a;
        QStringList expected;
        for (const QString name : {"UserName", "Password", "RePassword", "FirstName", "LastName"}) {
            a.field("lineEdit_" + name)->setText(QString(51, 'x'));
            QVERIFY(!a.submitEnabled());
            a.field("lineEdit_" + name)->setText(QString(50, 'x'));
            QVERIFY(a.submitEnabled());
            expected << name + " length is too long: 51/50";
        }
        a.field("lineEdit_LastName")->setText(QString(52, 'x'));
        a.field("lineEdit_FirstName")->setText("Al");
        QVERIFY(a.submitEnabled());
        QCOMPARE(a.messages.shownTexts(), expected << "LastName length is too long: 52/50");
    }

    // Nothing goes out without a mode, nor with a new password missing or
    // mistyped. A second click unticks Remove, with its fields still on.
    void submitRefusesWhatCannotBeSent()
    {
        Admin a;
        child<QCheckBox>(&a.screen, "checkBox_Remove")->click();
        child<QCheckBox>(&a.screen, "checkBox_Remove")->click();
        QCOMPARE(a.tickedBoxes(), QStringList());
        QCOMPARE(a.enabledWidgets(), QString("10000000"));
        a.fill({"dan", "", "", "Dan", "Ray"});
        press(a.screen, "pushButton_Submit");
        for (const char *mode : {"checkBox_Add", "checkBox_ResetPassword"}) {
            child<QCheckBox>(&a.screen, mode)->click();
            for (const QStringList &passwords : {QStringList{"", "pw"}, QStringList{"pw", "pW"}}) {
                a.fill(QStringList{"dan"} + passwords);
                press(a.screen, "pushButton_Submit");
            }
        }
        QCOMPARE(a.messages.shownTexts(), (QStringList{"Error", "RePassword is required", "Passwords to not match",
                                                       "RePassword is required", "Passwords to not match"}));
        QTRY_COMPARE(a.server.commands(), (QStringList{"UserFormStartUp", "UpdateUserList"}));
    }

    // A mode box enables its fields and asks for its user list (Add clears the
    // entries, Re-Activate stays ticked); Submit asks, Yes the default for Add
    // alone, and sends on Yes: a new password as typed, a reset one as its digest.
    void eachModeSendsItsRequestOnYes_data()
    {
        QTest::addColumn<QStringList>("clicks");
        // List, user name, password, re-typed, first, last, department, permissions.
        QTest::addColumn<QString>("enabled");
        QTest::addColumn<QStringList>("lists");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("message");
        const auto row = [](const char *name, const QStringList &clicks, const char *enabled, const QStringList &lists,
                            const QString &question, const QStringList &sent, const QByteArray &reply,
                            const char *message) {
            QTest::newRow(name) << clicks << QString(enabled) << lists << question << sent << reply << QString(message);
        };
        const QStringList updated{"UpdateUserList()"};
        row("add", {"checkBox_Remove", "checkBox_Add"}, "01111111", updated,
            "Are you sure you would like to add: dan Dan Ray Yard Office?", {"AddUser(dan, s3cret, Dan, Ray, Yard, 3)"},
            wire::frame("AddUser", QString("UserNameTaken")), "User Already in DB");
        row("edit", {"checkBox_ResetPassword", "checkBox_Edit"}, "10001111", updated,
            "Are you sure you would like to edit: dan Dan Ray Yard Office?",
            {"EditUser(dan, , Dan, Ray, Yard, 3)", "UpdateUserList()"}, wire::frame("EditUser"),
            "User Successfully Edited");
        row("remove", {"checkBox_Edit", "checkBox_Remove"}, "10000000", updated,
            "Are you sure you want to remove: dan?", {"RemoveUserInfo(dan)", "UpdateUserList()"},
            wire::frame("RemoveUser"), "User Successfully Removed");
        row("re-activate clicked twice", {"checkBox_Edit", "checkBox_ReActivate", "checkBox_ReActivate"}, "10000000",
            {"UpdateUserList()", "GetFullUserList()"}, "Are you sure you want to Re-Activate: dan?",
            {"ReActivateUser(dan)", "GetFullUserList()"}, wire::frame("ReActivateUser"), "User Re-Activated");
        row("reset password", {"checkBox_Add", "checkBox_ResetPassword"}, "10110000", updated,
            "Are you sure you would like to reset the password for: dan?",
            {"ResetUserPassword(dan, " + wire::passwordDigest("s3cret") + ")", "UpdateUserList()"},
            wire::frame("ResetUserPassword"), "Password has been changed");
    }

    void eachModeSendsItsRequestOnYes()
    {
        QFETCH(QStringList, clicks);
        QFETCH(QString, enabled);
        QFETCH(QStringList, lists);
        QFETCH(QString, question);
        QFETCH(QStringList, sent);
        QFETCH(QByteArray, reply);
        QFETCH(QString, message);
        Admin a;
        QCOMPARE(a.enabledWidgets(), QString("00000000"));
        for (const QString &box : clicks) {
            a.field("lineEdit_UserName")->setText("dan");
            child<QCheckBox>(&a.screen, box)->click();
        }
        const QString mode = clicks.last();
        QCOMPARE(a.tickedBoxes(), QStringList{mode});
        QCOMPARE(a.enabledWidgets(), enabled);
        QCOMPARE(a.field("lineEdit_UserName")->text(), QString(mode == "checkBox_Add" ? "" : "dan"));
        // The same list asked again before its reply came goes out once.
        QTRY_COMPARE(a.server.calls().mid(1), lists);

        const QString password = enabled.at(2) == '1' ? "s3cret" : "";
        a.fill({"dan", password, password, "Dan", "Ray"});
        a.combo("comboBox_Department")->setCurrentText("Yard");
        a.combo("comboBox_Permissions")->setCurrentText("Office");
        a.server.answer(sent.first().left(sent.first().indexOf('(')), reply);
        a.messages.expect(question, QMessageBox::Cancel);
        press(a.screen, "pushButton_Submit");
        a.messages.expect(question, QMessageBox::Yes);
        a.messages.expect(message);
        press(a.screen, "pushButton_Submit");
        QTRY_COMPARE(a.messages.unexpected() + a.messages.pending(), QStringList());
        QCOMPARE(a.messages.shown().first().defaultButton,
                 mode == "checkBox_Add" ? QMessageBox::Yes : QMessageBox::Cancel);
        QTRY_COMPARE(a.server.calls().mid(1 + lists.size()), sent);
    }
};

class DepartmentsDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetClient(); }

    // Blanks are warned about once each, on every keystroke, and still sent;
    // a removal asks first, No the default. Each change reloads the list.
    void addAndRemoveReloadTheList()
    {
        Departments d;
        press(d.screen, "pushButton_Add");
        QTest::keyClicks(d.name(), "a b ");
        d.server.answer("AddDepartment", wire::frame("AddDepartment"));
        d.server.answer("GetDepartments", wire::frame("GetDepartments", QStringList{"a b ", "Shop", "Yard"}));
        press(d.screen, "pushButton_Add");
        QTRY_COMPARE(d.combo()->count(), 3);
        QCOMPARE(d.name()->text(), QString("a b "));

        const QString question = "Are you sure you would like to remove: Yard";
        d.messages.expect(question, QMessageBox::No);
        d.messages.expect(question, QMessageBox::Yes);
        d.server.answer("RemoveDepartment", wire::frame("RemoveDepartment"));
        d.server.answer("GetDepartments", wire::frame("GetDepartments", QStringList()));
        d.combo()->setCurrentText("Yard");
        press(d.screen, "pushButton_Remove");
        press(d.screen, "pushButton_Remove");
        QTRY_COMPARE(d.combo()->count(), 0);
        press(d.screen, "pushButton_Remove");
        QCOMPARE(d.messages.shownTexts(), (QStringList{"No department entered", "No Spaces", "No Spaces", "No Spaces",
                                                       "No Spaces", "Department Has Been Added", question, question,
                                                       "Department Removed", "No department selected"}));
        QCOMPARE(d.messages.shown().at(6).defaultButton, QMessageBox::No);
        QCOMPARE(d.server.calls(), (QStringList{"GetDepartments()", "AddDepartment(a b )", "GetDepartments()",
                                                "RemoveDepartment(Yard)", "GetDepartments()"}));
    }
};

SCREEN_TESTS_MAIN(RepairCodeListDialogTest, RepairCodeEditorDialogTest, UserAdminDialogTest, DepartmentsDialogTest)
#include "tst_maintenance.moc"
