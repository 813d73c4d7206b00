#include "app/mainwindow.h"
#include "app/screenfactory.h"
#include "core/appstate.h"
#include "messagescript.h"
#include "screenwatcher.h"
#include "serverprocess.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

// Logging in, clocking and logging out against the real server program
// with its demo shop.
class SessionEndToEndTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void managerClocksInAndOutThenWorkerLogsIn();

private:
    // Logs in as the user on every login screen that appears, first with
    // the wrong password when asked to.
    void logInAs(ScreenWatcher &watcher, const QString &user, const QString &password);

    ServerProcess server;
};

void SessionEndToEndTest::initTestCase()
{
    Navigation::setFactory(createScreen);
    QVERIFY2(server.start(), qPrintable(server.output()));
    AppState::instance().configureServer(QStringLiteral("127.0.0.1"), server.port());
}

void SessionEndToEndTest::logInAs(ScreenWatcher &watcher, const QString &user, const QString &password)
{
    watcher.onScreen(QStringLiteral("LoginDialog"), [user, password](QWidget *login) {
        login->findChild<QLineEdit *>(QStringLiteral("lineEdit_UserName"))->setText(user);
        login->findChild<QLineEdit *>(QStringLiteral("lineEdit_Password"))->setText(password);
        login->findChild<QPushButton *>(QStringLiteral("pushButton_Login"))->click();
    });
}

void SessionEndToEndTest::managerClocksInAndOutThenWorkerLogsIn()
{
    MessageScript messages;
    messages.expect(QStringLiteral("You are currently not clocked in!\nWould you like to clock in now?"),
                    QMessageBox::Yes);
    ScreenWatcher watcher;
    logInAs(watcher, QStringLiteral("manager"), QStringLiteral("demo-manager"));
    MainWindow window;
    auto *userLabel = window.findChild<QLabel *>(QStringLiteral("label_UserName"));
    QTRY_COMPARE(userLabel->text(), QStringLiteral("manager : is clocked In"));
    QVERIFY(window.findChild<QPushButton *>(QStringLiteral("pushButton_Orders"))->isVisible());
    QVERIFY(window.findChild<QPushButton *>(QStringLiteral("pushButton_Management"))->isVisible());
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("label_Orders"))->text(), QStringLiteral("0"));
    QCOMPARE(window.findChild<QComboBox *>(QStringLiteral("comboBox"))->count(), 3);

    window.findChild<QPushButton *>(QStringLiteral("pushButton_Clock"))->click();
    QTRY_COMPARE(userLabel->text(), QStringLiteral("manager : is clocked Out"));

    // The worker is asked to clock in and declines; the manager's clock
    // state stays with the manager.
    messages.expect(QStringLiteral("You are currently not clocked in!\nWould you like to clock in now?"),
                    QMessageBox::Cancel);
    logInAs(watcher, QStringLiteral("worker"), QStringLiteral("demo-worker"));
    window.findChild<QPushButton *>(QStringLiteral("pushButton_LogOut"))->click();
    QTRY_COMPARE(userLabel->text(), QStringLiteral("worker : is clocked "));
    QVERIFY(!window.findChild<QPushButton *>(QStringLiteral("pushButton_Orders"))->isVisible());
    QVERIFY(!window.findChild<QPushButton *>(QStringLiteral("pushButton_Management"))->isVisible());
    QTRY_COMPARE(messages.shown().size(), 2);
    QCOMPARE(messages.unexpected().join(" | "), QString());
    QVERIFY(messages.exits().isEmpty());
}

QTEST_MAIN(SessionEndToEndTest)
#include "tst_session.moc"
