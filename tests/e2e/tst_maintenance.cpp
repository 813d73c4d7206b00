#include "app/logindialog.h"
#include "app/screenfactory.h"
#include "core/appstate.h"
#include "flowhelpers.h"
#include "management/managementpaneldialog.h"
#include "messagescript.h"
#include "screenwatcher.h"
#include "serverprocess.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

// A manager adds an account with the real screens and the real server
// program; the new user logs in at once.
class MaintenanceEndToEndTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void managerAddsAUserWhoThenLogsIn();

private:
    ServerProcess server;
};

void MaintenanceEndToEndTest::initTestCase()
{
    Navigation::setFactory(createScreen);
    QVERIFY2(server.start(), qPrintable(server.output()));
    AppState::instance().configureServer(QStringLiteral("127.0.0.1"), server.port());
    QVERIFY(openServerDatabase(server.databasePath()));
}

void MaintenanceEndToEndTest::managerAddsAUserWhoThenLogsIn()
{
    QVERIFY(server.logIn(QStringLiteral("manager")));
    MessageScript messages;
    messages.expect(QStringLiteral("Are you sure you would like to add: dana Dana Reyes Roll Off Shop Management?"),
                    QMessageBox::Yes);
    messages.expect(QStringLiteral("User Succesfully Added"));
    ScreenWatcher watcher;
    watcher.onScreen(
        QStringLiteral("UserAdminDialog"),
        [&messages](QWidget *users) {
            click(users, "checkBox_Add");
            const QStringList typed{"dana", "s3cret-pass", "s3cret-pass", "Dana", "Reyes"};
            const QStringList fields{"lineEdit_UserName", "lineEdit_Password", "lineEdit_RePassword",
                                     "lineEdit_FirstName", "lineEdit_LastName"};
            for (int i = 0; i < fields.size(); ++i)
                child<QLineEdit>(users, fields.at(i))->setText(typed.at(i));
            child<QComboBox>(users, "comboBox_Department")->setCurrentText(QStringLiteral("Roll Off Shop"));
            child<QComboBox>(users, "comboBox_Permissions")->setCurrentText(QStringLiteral("Management"));
            click(users, "pushButton_Submit");
            QVERIFY(QTest::qWaitFor([&messages]() { return messages.shown().size() == 2; }));
            click(users, "pushButton_Back");
        },
        [](QWidget *users) { return child<QComboBox>(users, "comboBox_Department")->count() > 0; });

    ManagementPanelDialog panel;
    click(&panel, "pushButton_EditUsers");
    QCOMPARE(watcher.seen(), QStringList{"UserAdminDialog"});
    QCOMPARE(messages.unexpected().join(" | "), QString());
    QVERIFY(!panel.isVisible());
    QCOMPARE(queryValue("SELECT d.name || ' ' || u.permission_level FROM users u JOIN departments d"
                        " ON d.id = u.department_id WHERE u.user_name = 'dana'")
                 .toString(),
             QStringLiteral("Roll Off Shop 2"));

    AppState::instance().setLoggedIn(false);
    LoginDialog login;
    child<QLineEdit>(&login, "lineEdit_UserName")->setText(QStringLiteral("dana"));
    child<QLineEdit>(&login, "lineEdit_Password")->setText(QStringLiteral("s3cret-pass"));
    click(&login, "pushButton_Login");
    QTRY_VERIFY(AppState::instance().loggedIn());
    QCOMPARE(AppState::instance().user(1), QStringLiteral("dana"));
    QCOMPARE(messages.shown().size(), 2);
}

QTEST_MAIN(MaintenanceEndToEndTest)
#include "tst_maintenance.moc"
