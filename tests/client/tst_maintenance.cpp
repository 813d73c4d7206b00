#include "management/departmentsdialog.h"
#include "management/repaircodeeditordialog.h"
#include "management/repaircodelistdialog.h"
#include "management/useradmindialog.h"
#include "screens.h"
#include "wire/passworddigest.h"

namespace {

const QByteArray FrontEndCodes
    = textFrame("GetRepairCodesForEdit", {"2", "FEC1", "Weld", "Weld the lid", "FEC2", "Paint", "Paint it"});

struct CodeList : ScreenTest<RepairCodeListDialog>
{
    QCheckBox *box(const char *name) { return child<QCheckBox>(&screen, name); }
    QTableView *table() { return child<QTableView>(&screen, "tableView_Codes"); }
    void showFrontEndCodes()
    {
        server.answer("GetRepairCodesForEdit", FrontEndCodes);
        box("checkBox_FER")->click();
        QTRY_COMPARE(table()->model()->rowCount(), 2);
    }
};

} // namespace

class RepairCodeListDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetClient(); }

    // The boxes act as one choice; unticking the ticked one keeps its list.
    void tickingAListShowsItsCodes()
    {
        CodeList c;
        QCOMPARE(c.table()->model()->headerData(2, Qt::Horizontal).toString(), QString("Description"));
        c.showFrontEndCodes();
        QCOMPARE(tableRows(c.table()).last(), QString("FEC2|Paint|Paint it"));
        c.server.answer("GetRepairCodesForEdit", textFrame("GetRepairCodesForEdit", {"1", "ROC1", "Patch", "Floor"}));
        c.box("checkBox_ROR")->click();
        QTRY_COMPARE(tableRows(c.table()), QStringList{"ROC1|Patch|Floor"});
        QVERIFY(!c.box("checkBox_FER")->isChecked());
        c.box("checkBox_ROR")->click();
        c.box("checkBox_KD")->click();
        QTRY_COMPARE(c.server.calls().size(), 3);
        QCOMPARE(c.server.calls(), (QStringList{"GetRepairCodesForEdit(FER)", "GetRepairCodesForEdit(ROR)",
                                                "GetRepairCodesForEdit(KD)"}));
        QVERIFY(c.messages.shown().isEmpty());
    }

    void removeAsksThenReloadsTheList()
    {
        CodeList c;
        c.showFrontEndCodes();
        selectRow(c.table(), 1);
        const QString question = "Are you sure you want to remove FEC2 Paint Paint it?";
        c.messages.expect(question, QMessageBox::Cancel);
        press(c.screen, "pushButton_Remove");
        c.messages.expect(question, QMessageBox::Yes);
        c.messages.expect("Repair Code Removed");
        c.server.answer("RemoveRepairCode", wire::frame("RemoveRepairCode"));
        c.server.answer("GetRepairCodesForEdit", textFrame("GetRepairCodesForEdit", {"1", "FEC1", "Weld", "Lid"}));
        press(c.screen, "pushButton_Remove");
        QTRY_COMPARE(c.table()->model()->rowCount(), 1);
        QCOMPARE(c.server.calls(),
                 (QStringList{"GetRepairCodesForEdit(FER)", "RemoveRepairCode(FER, FEC2, Paint, Paint it)",
                              "GetRepairCodesForEdit(FER)"}));
        QCOMPARE(c.messages.unexpected(), QStringList());
        QVERIFY(c.messages.pending().isEmpty());
    }

    // The editor runs on top of the list, which keeps its codes afterwards.
    void addAndEditOpenTheEditor()
    {
        CodeList c;
        QStringList handed;
        c.watcher.onScreen("RepairCodeEditorDialog", [&](QWidget *editor) {
            handed << (AppState::instance().editingCode() ? "edit " : "add ")
                          + stateFields(&AppState::editCode, 4).join(',');
            editor->close();
        });
        c.showFrontEndCodes();
        AppState::instance().setEditCode("x", "x", "x", "x");
        press(c.screen, "pushButton_Add");
        selectRow(c.table(), 0);
        press(c.screen, "pushButton_Edit");
        QCOMPARE(handed, (QStringList{"add x,x,x,x", "edit FER,FEC1,Weld,Weld the lid"}));
        QVERIFY(c.screen.isVisible());
        QCOMPARE(c.table()->model()->rowCount(), 2);
        QCOMPARE(c.server.calls(), QStringList{"GetRepairCodesForEdit(FER)"});
    }
};

namespace {

struct Editor : ScreenTest<RepairCodeEditorDialog>
{
    QComboBox *category() { return child<QComboBox>(&screen, "comboBox_Cata"); }
    QLineEdit *field(const char *name) { return child<QLineEdit>(&screen, name); }
    QTextEdit *description() { return child<QTextEdit>(&screen, "textEdit_RepairDesc"); }
    void fill(const QString &code, const QString &type, const QString &text)
    {
        field("lineEdit_RepairCode")->setText(code);
        field("lineEdit_RepairType")->setText(type);
        description()->setPlainText(text);
    }
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
    }
};

} // namespace

class RepairCodeEditorDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        resetClient();
        AppState::instance().setEditingCode(false);
        AppState::instance().setEditCode("FER", "FEC9", "Weld", "Weld the lid");
    }

    // Choosing a category replaces whatever was typed with its prefix.
    void categoryPutsItsPrefix()
    {
        Editor e;
        QCOMPARE(e.category()->currentText(), QString("Front End Repair"));
        QCOMPARE(e.field("lineEdit_RepairCode")->text(), QString("FEC"));
        QStringList prefixes;
        for (const char *chosen : {"Roll Off Repair", "Kestrel Disposal", "Front End Repair"}) {
            e.field("lineEdit_RepairCode")->setText("typed");
            e.category()->setCurrentText(chosen);
            prefixes << e.field("lineEdit_RepairCode")->text();
        }
        QCOMPARE(prefixes, (QStringList{"ROC", "KEC", "FEC"}));
        QVERIFY(e.messages.shown().isEmpty());
    }

    // A refused code leaves the entries for another try; a taken one closes.
    void addSendsTheCategoryAndClosesWhenTaken()
    {
        Editor e;
        e.category()->setCurrentText("Roll Off Repair");
        e.fill("ROC7", "Patch", "\n\n");
        e.submitRefusedThenTaken("AddRepairCode", wire::frame("RepairCode Already Used"),
                                 "Repair Code Already in DataBase", wire::frame("AddRepairCode"), "RepairCode Added");
        const QString add = "AddRepairCode(Roll Off Repair, ROC7, Patch, \n\n)";
        QCOMPARE(e.server.calls(), (QStringList{add, add}));
        QCOMPARE(e.messages.unexpected(), QStringList());
    }

    // The locked category is the one of the list the code came from, and
    // the edit names that list by its key.
    void editShowsTheCodeOfItsList_data()
    {
        QTest::addColumn<QString>("listKey");
        QTest::addColumn<QString>("category");
        QTest::newRow("front end") << QString("FER") << "Front End Repair";
        QTest::newRow("roll off") << QString("ROR") << "Roll Off Repair";
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
        QCOMPARE(e.description()->toPlainText(), QString("Weld the lid"));
        e.field("lineEdit_RepairType")->setText("Weld twice");
        e.submitRefusedThenTaken("EditRepairCode", wire::frame("EditRepairCodeNotFound"), "Repair Code Not Found",
                                 wire::frame("EditRepairCode"), "Repair Code Complete");
        QCOMPARE(e.server.lastArguments("EditRepairCode"), (QStringList{listKey, "X12", "Weld twice", "Weld the lid"}));
        QCOMPARE(e.messages.unexpected(), QStringList());
    }
};

namespace {

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
        QTRY_COMPARE(users()->count(), 2);
    }
    QListWidget *users() { return child<QListWidget>(&screen, "listWidget_Users"); }
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
        for (const QString &name : ModeBoxes) {
            if (child<QCheckBox>(&screen, name)->isChecked())
                ticked << name;
        }
        return ticked;
    }
};

} // namespace

class UserAdminDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetClient(); }

    void modeBoxesEnableTheFieldsTheyUse_data()
    {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QStringList>("ticked");
        // List, user name, password, re-typed, first, last, department, permissions.
        QTest::addColumn<QString>("enabled");
        QTest::addColumn<QString>("request");
        QTest::addColumn<QString>("userName");
        const auto row = [](const char *name, const QStringList &clicks, const QStringList &ticked, const char *enabled,
                            const char *request, const char *userName) {
            QTest::newRow(name) << clicks << ticked << QString(enabled) << QString(request) << QString(userName);
        };
        row("add", {"checkBox_Remove", "checkBox_Add"}, {"checkBox_Add"}, "01111111", "UpdateUserList", "");
        row("edit", {"checkBox_ResetPassword", "checkBox_Edit"}, {"checkBox_Edit"}, "10001111", "UpdateUserList",
            "dan");
        row("remove clicked twice", {"checkBox_Remove", "checkBox_Remove"}, {}, "10000000", "UpdateUserList", "dan");
        row("re-activate clicked twice", {"checkBox_Edit", "checkBox_ReActivate", "checkBox_ReActivate"},
            {"checkBox_ReActivate"}, "10000000", "GetFullUserList", "dan");
        row("reset password", {"checkBox_Add", "checkBox_ResetPassword"}, {"checkBox_ResetPassword"}, "10110000",
            "UpdateUserList", "dan");
    }

    void modeBoxesEnableTheFieldsTheyUse()
    {
        QFETCH(QStringList, clicks);
        QFETCH(QStringList, ticked);
        QFETCH(QString, enabled);
        QFETCH(QString, request);
        QFETCH(QString, userName);
        Admin a;
        QCOMPARE(a.enabledWidgets(), QString("00000000"));
        for (const QString &box : clicks) {
            a.field("lineEdit_UserName")->setText("dan");
            child<QCheckBox>(&a.screen, box)->click();
        }
        QCOMPARE(a.tickedBoxes(), ticked);
        QCOMPARE(a.enabledWidgets(), enabled);
        QCOMPARE(a.field("lineEdit_UserName")->text(), userName);
        // The same list asked again before its reply came goes out once.
        QTRY_COMPARE(a.server.commands().last(), request);
        QVERIFY(a.messages.shown().isEmpty());
    }

    // Past 50 characters Submit is off; any field back within the limit
    // turns it on again.
    void fieldsLongerThanFiftyTurnSubmitOff_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("prefix");
        for (const char *name : {"UserName", "Password", "RePassword", "FirstName", "LastName"})
            QTest::newRow(name) << QString("lineEdit_") + name << QString(name) + " length is too long: ";
    }

    void fieldsLongerThanFiftyTurnSubmitOff()
    {
        QFETCH(QString, field);
        QFETCH(QString, prefix);
        Admin a;
        a.field(field)->setText(QString(51, 'x'));
        QVERIFY(!a.submitEnabled());
        a.field(field)->setText(QString(50, 'x'));
        QVERIFY(a.submitEnabled());
        a.field(field)->setText(QString(52, 'x'));
        a.field(field == "lineEdit_LastName" ? "lineEdit_FirstName" : "lineEdit_LastName")->setText("Al");
        QVERIFY(a.submitEnabled());
        QCOMPARE(a.messages.shownTexts(), (QStringList{prefix + "51/50", prefix + "52/50"}));
    }

    void submitRefusesWhatCannotBeSent_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("message");
        QTest::newRow("new user without password")
            << "checkBox_Add" << QStringList{"dan", "", "pw"} << "RePassword is required";
        QTest::newRow("new user's password mistyped")
            << "checkBox_Add" << QStringList{"dan", "pw", ""} << "Passwords to not match";
        QTest::newRow("reset without password")
            << "checkBox_ResetPassword" << QStringList{"dan", "", ""} << "RePassword is required";
        QTest::newRow("reset password mistyped")
            << "checkBox_ResetPassword" << QStringList{"dan", "pw", "pW"} << "Passwords to not match";
        QTest::newRow("no mode") << "" << QStringList{"dan", "", "", "Dan", "Ray"} << "Error";
    }

    void submitRefusesWhatCannotBeSent()
    {
        QFETCH(QString, mode);
        QFETCH(QStringList, fields);
        QFETCH(QString, message);
        Admin a;
        if (!mode.isEmpty())
            child<QCheckBox>(&a.screen, mode)->click();
        a.fill(fields);
        press(a.screen, "pushButton_Submit");
        QCOMPARE(a.messages.shownTexts(), QStringList{message});
        QTRY_COMPARE(a.server.commands().size(), mode.isEmpty() ? 1 : 2);
    }

    // Each mode asks first and sends only on Yes; a new password goes as
    // typed, a reset one as its digest.
    void eachModeSendsItsRequestOnYes_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("question");
        QTest::addColumn<bool>("yesIsDefault");
        QTest::addColumn<QString>("request");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("reload");
        const auto row = [](const char *name, const char *mode, const QString &question, const QString &request,
                            const QByteArray &reply, const char *message, const char *reload) {
            QTest::newRow(name) << QString(mode) << question << (QString(mode) == "checkBox_Add") << request << reply
                                << QString(message) << QString(reload);
        };
        const QString add = "Are you sure you would like to add: dan Dan Ray Yard Office?";
        const QString addUser = "AddUser(dan, s3cret, Dan, Ray, Yard, 3)";
        row("add", "checkBox_Add", add, addUser, wire::frame("AddUser", QString("UserAdded")), "User Succesfully Added",
            "");
        row("add taken", "checkBox_Add", add, addUser, wire::frame("AddUser", QString("UserNameTaken")),
            "User Already in DB", "");
        row("edit", "checkBox_Edit", "Are you sure you would like to edit: dan Dan Ray Yard Office?",
            "EditUser(dan, , Dan, Ray, Yard, 3)", wire::frame("EditUser"), "User Successfully Edited",
            "UpdateUserList");
        row("remove", "checkBox_Remove", "Are you sure you want to remove: dan?", "RemoveUserInfo(dan)",
            wire::frame("RemoveUser"), "User Successfully Removed", "UpdateUserList");
        row("re-activate", "checkBox_ReActivate", "Are you sure you want to Re-Activate: dan?", "ReActivateUser(dan)",
            wire::frame("ReActivateUser"), "User Re-Activated", "GetFullUserList");
        row("reset password", "checkBox_ResetPassword", "Are you sure you would like to reset the password for: dan?",
            "ResetUserPassword(dan, " + wire::passwordDigest("s3cret") + ")", wire::frame("ResetUserPassword"),
            "Password has been changed", "UpdateUserList");
    }

    void eachModeSendsItsRequestOnYes()
    {
        QFETCH(QString, mode);
        QFETCH(QString, question);
        QFETCH(bool, yesIsDefault);
        QFETCH(QString, request);
        QFETCH(QByteArray, reply);
        QFETCH(QString, message);
        QFETCH(QString, reload);
        Admin a;
        child<QCheckBox>(&a.screen, mode)->click();
        QTRY_COMPARE(a.server.commands().size(), 2);
        const bool passwordsUsed = mode == "checkBox_Add" || mode == "checkBox_ResetPassword";
        a.fill({"dan", passwordsUsed ? "s3cret" : "", passwordsUsed ? "s3cret" : "", "Dan", "Ray"});
        a.combo("comboBox_Department")->setCurrentText("Yard");
        a.combo("comboBox_Permissions")->setCurrentText("Office");
        const QString command = request.left(request.indexOf('('));
        a.server.answer(command, reply);
        a.messages.expect(question, QMessageBox::Cancel);
        press(a.screen, "pushButton_Submit");
        a.messages.expect(question, QMessageBox::Yes);
        a.messages.expect(message);
        press(a.screen, "pushButton_Submit");
        QTRY_COMPARE(a.messages.shown().size(), 3);
        QCOMPARE(a.messages.shown().first().defaultButton, yesIsDefault ? QMessageBox::Yes : QMessageBox::Cancel);
        QCOMPARE(a.messages.unexpected(), QStringList());
        const QStringList expected
            = QStringList{request} + (reload.isEmpty() ? QStringList() : QStringList{reload + "()"});
        QTRY_COMPARE(a.server.calls().mid(2), expected);
    }
};

namespace {

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

class DepartmentsDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetClient(); }

    // Blanks are warned about once each, on every keystroke, and still sent.
    void addWarnsOfBlanksThenReloads()
    {
        Departments d;
        press(d.screen, "pushButton_Add");
        QTest::keyClicks(d.name(), "a b ");
        QCOMPARE(d.messages.shownTexts(),
                 (QStringList{"No department entered", "No Spaces", "No Spaces", "No Spaces", "No Spaces"}));
        d.server.answer("AddDepartment", wire::frame("AddDepartment"));
        d.server.answer("GetDepartments", wire::frame("GetDepartments", QStringList{"a b ", "Shop", "Yard"}));
        press(d.screen, "pushButton_Add");
        QTRY_COMPARE(d.combo()->count(), 3);
        QCOMPARE(d.messages.shownTexts().last(), QString("Department Has Been Added"));
        QCOMPARE(d.name()->text(), QString("a b "));
        QCOMPARE(d.server.calls(), (QStringList{"GetDepartments()", "AddDepartment(a b )", "GetDepartments()"}));
    }

    void removeAsksFirst()
    {
        Departments d;
        d.combo()->setCurrentText("Yard");
        const QString question = "Are you sure you would like to remove: Yard";
        d.messages.expect(question, QMessageBox::No);
        press(d.screen, "pushButton_Remove");
        QCOMPARE(d.messages.shown().first().defaultButton, QMessageBox::No);
        d.server.answer("RemoveDepartment", wire::frame("Error"));
        d.server.answer("RemoveDepartment", wire::frame("RemoveDepartment"));
        d.server.answer("GetDepartments", wire::frame("GetDepartments", QStringList()));
        d.messages.expect(question, QMessageBox::Yes);
        d.messages.expect("Error Error");
        press(d.screen, "pushButton_Remove");
        QTRY_COMPARE(d.messages.shown().size(), 3);
        d.messages.expect(question, QMessageBox::Yes);
        d.messages.expect("Department Removed");
        d.messages.expect("No department selected");
        press(d.screen, "pushButton_Remove");
        QTRY_COMPARE(d.combo()->count(), 0);
        press(d.screen, "pushButton_Remove");
        QCOMPARE(d.messages.unexpected(), QStringList());
        QCOMPARE(d.server.calls(), (QStringList{"GetDepartments()", "RemoveDepartment(Yard)", "RemoveDepartment(Yard)",
                                                "GetDepartments()"}));
    }
};

SCREEN_TESTS_MAIN(RepairCodeListDialogTest, RepairCodeEditorDialogTest, UserAdminDialogTest, DepartmentsDialogTest)
#include "tst_maintenance.moc"
