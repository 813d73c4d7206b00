#include "app/mainwindow.h"
#include "flowhelpers.h"
#include "management/managementpaneldialog.h"
#include "messagescript.h"
#include "screenwatcher.h"

#include <QLineEdit>
#include <QTableView>
#include <QtTest>

namespace {

// Logs in as the user on every login screen that appears.
void logInOnScreen(ScreenWatcher &watcher, const QString &user, const QString &password)
{
    watcher.onScreen(QStringLiteral("LoginDialog"), [user, password](QWidget *login) {
        child<QLineEdit>(login, "lineEdit_UserName")->setText(user);
        child<QLineEdit>(login, "lineEdit_Password")->setText(password);
        click(login, "pushButton_Login");
    });
}

int rowCount(QWidget *screen)
{
    const QAbstractItemModel *model = child<QTableView>(screen, "tableView")->model();
    return model ? model->rowCount() : 0;
}

QString totalShown(QWidget *browser)
{
    return child<QLabel>(browser, "label_TotalTime")->text();
}

} // namespace

// Logging in and out, clocking, and the office's user administration and
// time corrections, against the real server program with its demo shop.
class SessionEndToEndTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { startForScreens(server); }

    void managerClocksInAndOutThenWorkerLogsIn()
    {
        MessageScript messages;
        messages.expect(ClockPrompt, QMessageBox::Yes);
        ScreenWatcher watcher;
        logInOnScreen(watcher, QStringLiteral("manager"), QStringLiteral("demo-manager"));
        MainWindow window;
        auto *userLabel = child<QLabel>(&window, "label_UserName");
        QTRY_COMPARE(userLabel->text(), QStringLiteral("manager : is clocked In"));
        QCOMPARE(child<QLabel>(&window, "label_Orders")->text(), QStringLiteral("0"));

        click(&window, "pushButton_Clock");
        QTRY_COMPARE(userLabel->text(), QStringLiteral("manager : is clocked Out"));
        QCOMPARE(queryValue("SELECT COUNT(*) FROM clock_records WHERE end_time IS NOT NULL").toInt(), 1);

        // The worker is asked to clock in and declines; the manager's clock
        // state stays with the manager.
        messages.expect(ClockPrompt, QMessageBox::Cancel);
        logInOnScreen(watcher, QStringLiteral("worker"), QStringLiteral("demo-worker"));
        click(&window, "pushButton_LogOut");
        QTRY_COMPARE(userLabel->text(), QStringLiteral("worker : is clocked "));
        QTRY_COMPARE(messages.shown().size(), 2);
        QCOMPARE(messages.unexpected().join(" | "), QString());
        QVERIFY(messages.exits().isEmpty());
    }

    // Logging in as the added user is the server's to test, the login
    // screen against the server the TLS flow's.
    void managerAddsAUser()
    {
        logInAs(server, QStringLiteral("manager"));
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
        QCOMPARE(queryValue("SELECT d.name || ' ' || u.permission_level FROM users u JOIN departments d"
                            " ON d.id = u.department_id WHERE u.user_name = 'dana'")
                     .toString(),
                 QStringLiteral("Roll Off Shop 2"));
    }

    // The manager moves the start of the period clocked above to midnight; the
    // browser shows the new total as soon as the editor closes.
    void managerCorrectsTheClockedPeriod()
    {
        const qint64 clockedOut = queryValue("SELECT end_time FROM clock_records").toLongLong();
        const qint64 midnight = QDateTime(QDateTime::fromSecsSinceEpoch(clockedOut).date(), {0, 0}).toSecsSinceEpoch();
        const qint64 endToTheMinute = clockedOut - clockedOut % 60;
        const QString newTotal = QStringLiteral("Total Time: ")
                                 + QString::number(qRound((endToTheMinute - midnight) / 36.0) / 100.0, 'g', 10);

        logInAs(server, QStringLiteral("manager"));
        MessageScript messages;
        messages.expect(ClockPrompt, QMessageBox::Cancel);
        messages.expect(QStringLiteral("Time Saved"));
        ScreenWatcher watcher;
        planClicks(watcher, QStringLiteral("ManagementPanelDialog"), {"pushButton_TimeStamp"}, panelStartedUp);
        planClicks(watcher, QStringLiteral("ClockOverviewDialog"), {"pushButton_TimeStamp"},
                   [](QWidget *overview) { return rowCount(overview) > 0; });
        QString totalBefore;
        QString totalAfter;
        watcher.onScreen(
            QStringLiteral("TimeStampBrowserDialog"),
            [&](QWidget *browser) {
                child<QComboBox>(browser, "comboBox_UserList")->setCurrentText(QStringLiteral("manager"));
                QTRY_COMPARE(AppState::instance().timeStampUser(1), QStringLiteral("manager"));
                click(browser, "pushButton_Search");
                QTRY_COMPARE(rowCount(browser), 1);
                totalBefore = totalShown(browser);
                auto *table = child<QTableView>(browser, "tableView");
                table->setCurrentIndex(table->model()->index(0, 0));
                click(browser, "pushButton_Edit");
                QTRY_COMPARE(totalShown(browser), newTotal);
                totalAfter = totalShown(browser);
                click(browser, "pushButton_Back");
            },
            [](QWidget *browser) { return child<QComboBox>(browser, "comboBox_UserList")->count() > 0; });
        watcher.onScreen(QStringLiteral("TimeStampEditorDialog"), [](QWidget *editor) {
            child<QComboBox>(editor, "comboBox_Hour")->setCurrentText(QStringLiteral("00"));
            child<QComboBox>(editor, "comboBox_Minute")->setCurrentText(QStringLiteral("00"));
            click(editor, "pushButton_Submit");
        });

        MainWindow window;
        waitForStartUp(&window);
        click(&window, "pushButton_Management");
        QCOMPARE(watcher.seen(), (QStringList{"ManagementPanelDialog", "ClockOverviewDialog", "TimeStampBrowserDialog",
                                              "TimeStampEditorDialog"}));
        QCOMPARE(messages.unexpected().join(" | "), QString());
        QCOMPARE(totalBefore, QStringLiteral("Total Time: 0"));
        QCOMPARE(totalAfter, newTotal);
        QCOMPARE(queryValue("SELECT start_time FROM clock_records").toLongLong(), midnight);
        QCOMPARE(queryValue("SELECT end_time FROM clock_records").toLongLong(), endToTheMinute);
        QCOMPARE(queryValue("SELECT COUNT(*) FROM clock_records").toInt(), 1);
    }

private:
    ServerProcess server;
};

QTEST_MAIN(SessionEndToEndTest)
#include "tst_session.moc"
