#include "app/mainwindow.h"
#include "flowhelpers.h"
#include "messagescript.h"
#include "screenwatcher.h"

#include <QLineEdit>
#include <QtTest>

namespace {

// Logs in as the user on every login screen that appears.
void logInOnScreen(ScreenWatcher &watcher, const QString &user, const QString &password)
{
    watcher.onScreen(QStringLiteral("LoginDialog"), [user, password](QWidget *login) {
        child<QLineEdit>(login, "lineEdit_UserName")->setText(user);
        child<QLineEdit>(login, "lineEdit_Password")->setText(password);
        press(login, "pushButton_Login");
    });
}

} // namespace

// Logging in and out, and clocking, against the real server program with its demo shop.
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

        press(&window, "pushButton_Clock");
        QTRY_COMPARE(userLabel->text(), QStringLiteral("manager : is clocked Out"));
        QCOMPARE(queryValue("SELECT COUNT(*) FROM clock_records WHERE end_time IS NOT NULL").toInt(), 1);

        // The worker is asked to clock in and declines; the manager's clock
        // state stays with the manager.
        messages.expect(ClockPrompt, QMessageBox::Cancel);
        logInOnScreen(watcher, QStringLiteral("worker"), QStringLiteral("demo-worker"));
        press(&window, "pushButton_LogOut");
        QTRY_COMPARE(userLabel->text(), QStringLiteral("worker : is clocked "));
        QTRY_COMPARE(messages.shown().size(), 2);
        QCOMPARE(messages.unexpected().join(" | "), QString());
        QVERIFY(messages.exits().isEmpty());
    }

private:
    ServerProcess server;
};

QTEST_MAIN(SessionEndToEndTest)
#include "tst_session.moc"
