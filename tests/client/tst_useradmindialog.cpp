#include "management/useradmindialog.h"
#include "screens.h"
#include "wire/passworddigest.h"

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
        QTest::newRow("add") << QStringList{"checkBox_Remove", "checkBox_Add"} << QStringList{"checkBox_Add"}
                             << "01111111"
                             << "UpdateUserList"
                             << "";
        QTest::newRow("edit") << QStringList{"checkBox_ResetPassword", "checkBox_Edit"} << QStringList{"checkBox_Edit"}
                              << "10001111"
                              << "UpdateUserList"
                              << "dan";
        QTest::newRow("remove clicked twice")
            << QStringList{"checkBox_Remove", "checkBox_Remove"} << QStringList() << "10000000"
            << "UpdateUserList"
            << "dan";
        QTest::newRow("re-activate clicked twice")
            << QStringList{"checkBox_Edit", "checkBox_ReActivate", "checkBox_ReActivate"}
            << QStringList{"checkBox_ReActivate"} << "10000000"
            << "GetFullUserList"
            << "dan";
        QTest::newRow("reset password") << QStringList{"checkBox_Add", "checkBox_ResetPassword"}
                                        << QStringList{"checkBox_ResetPassword"} << "10110000"
                                        << "UpdateUserList"
                                        << "dan";
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
        QTest::newRow("user name") << "lineEdit_UserName"
                                   << "UserName length is too long: ";
        QTest::newRow("password") << "lineEdit_Password"
                                  << "Password length is too long: ";
        QTest::newRow("re-typed") << "lineEdit_RePassword"
                                  << "RePassword length is too long: ";
        QTest::newRow("first name") << "lineEdit_FirstName"
                                    << "FirstName length is too long: ";
        QTest::newRow("last name") << "lineEdit_LastName"
                                   << "LastName length is too long: ";
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
        const QString details = "dan Dan Ray Yard Office?";
        QTest::newRow("add") << "checkBox_Add"
                             << "Are you sure you would like to add: " + details << true
                             << "AddUser(dan, s3cret, Dan, Ray, Yard, 3)"
                             << wire::frame("AddUser", QString("UserAdded")) << "User Succesfully Added"
                             << "";
        QTest::newRow("add taken") << "checkBox_Add"
                                   << "Are you sure you would like to add: " + details << true
                                   << "AddUser(dan, s3cret, Dan, Ray, Yard, 3)"
                                   << wire::frame("AddUser", QString("UserNameTaken")) << "User Already in DB"
                                   << "";
        QTest::newRow("edit") << "checkBox_Edit"
                              << "Are you sure you would like to edit: " + details << false
                              << "EditUser(dan, , Dan, Ray, Yard, 3)" << wire::frame("EditUser")
                              << "User Successfully Edited"
                              << "UpdateUserList";
        QTest::newRow("remove") << "checkBox_Remove"
                                << "Are you sure you want to remove: dan?" << false << "RemoveUserInfo(dan)"
                                << wire::frame("RemoveUser") << "User Successfully Removed"
                                << "UpdateUserList";
        QTest::newRow("re-activate") << "checkBox_ReActivate"
                                     << "Are you sure you want to Re-Activate: dan?" << false << "ReActivateUser(dan)"
                                     << wire::frame("ReActivateUser") << "User Re-Activated"
                                     << "GetFullUserList";
        QTest::newRow("reset password") << "checkBox_ResetPassword"
                                        << "Are you sure you would like to reset the password for: dan?" << false
                                        << "ResetUserPassword(dan, " + wire::passwordDigest("s3cret") + ")"
                                        << wire::frame("ResetUserPassword") << "Password has been changed"
                                        << "UpdateUserList";
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

QTEST_MAIN(UserAdminDialogTest)
#include "tst_useradmindialog.moc"
