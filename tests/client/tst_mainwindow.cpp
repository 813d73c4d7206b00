#include "appstate.h"
#include "fakeserver.h"
#include "frame.h"
#include "mainwindow.h"
#include "messagescript.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>

// A main window whose child screens are stand-ins: each records what the
// world looked like while it ran, then returns at once.
class TestMainWindow : public MainWindow
{
public:
    struct Visit
    {
        ChildScreen screen;
        bool mainWindowVisible;
        int serverConnections;
        QString workType;
    };

    explicit TestMainWindow(FakeServer &server)
        : server(server)
    {
    }

    QList<Visit> visits;

protected:
    std::unique_ptr<QDialog> createChildScreen(ChildScreen screen) override
    {
        auto child = std::make_unique<QDialog>();
        QDialog *dialog = child.get();
        QTimer::singleShot(50, dialog, [this, dialog, screen]() {
            visits << Visit{screen, isVisible(), server.openConnections(), AppState::instance().workType()};
            dialog->accept();
        });
        return child;
    }

private:
    FakeServer &server;
};

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void startUpChainFillsTheWindow();
    void permissionLevelsDecideTheButtons_data();
    void permissionLevelsDecideTheButtons();
    void userNeverClockedIsAskedAndYesClocksIn();
    void cancelledPromptSendsNothing();
    void exemptUsersAreNeverAsked();
    void clockButtonFollowsTheStateAndTheLabelTheReply();
    void statusAndUnknownReplies();
    void nextOpensTheIntakeAroundAClosedLink();
    void nextWithoutAWorkTypeOpensNothing();
    void continueKeepsTheLinkOpen();
    void continueReplyOpensTheScreenOfItsStatus();
    void logOutLogsInAnotherUser();
    void lostServerEndsTheProgram();

private:
    // Answers the start-up chain up to the permission level.
    static void answerStartUp(FakeServer &server, const QString &level, const QString &clock);
    static QPushButton *button(QWidget &window, const char *name) { return window.findChild<QPushButton *>(name); }
    static QString label(QWidget &window, const char *name) { return window.findChild<QLabel *>(name)->text(); }
};

void MainWindowTest::init()
{
    AppState &state = AppState::instance();
    state.setUser("anna", "digest");
    state.setLoggedIn(true);
    state.setContinueCustom(false);
    state.setWorkType(QString());
}

void MainWindowTest::answerStartUp(FakeServer &server, const QString &level, const QString &clock)
{
    server.answer("GetWork", wire::frame("WorkType", QStringList{"Front End Repair", "Roll Off Repair", "Custom"}));
    server.answer("GetPermissions", wire::frame("Permissions", level));
    server.answer("GetNumberOfOrders", wire::frame("NumberOfOrders", QString("5")));
    server.answer("GetClockStatus", wire::frame("GetClockStatus", clock));
}

void MainWindowTest::startUpChainFillsTheWindow()
{
    MessageScript messages;
    FakeServer server;
    answerStartUp(server, "3", "In");
    TestMainWindow window(server);
    QVERIFY(window.isVisible());
    QTRY_COMPARE(label(window, "label_UserName"), QString("anna : is clocked In"));
    QCOMPARE(server.commands(), (QStringList{"GetWork", "GetPermissions", "GetNumberOfOrders", "GetClockStatus"}));
    QCOMPARE(server.requests().at(1).arguments(), QStringList{"anna"});
    QCOMPARE(server.requests().at(3).arguments(), QStringList{"anna"});
    auto *combo = window.findChild<QComboBox *>("comboBox");
    QCOMPARE(combo->count(), 3);
    QCOMPARE(combo->currentText(), QString("Front End Repair"));
    QCOMPARE(label(window, "label_Orders"), QString("5"));
    QVERIFY(messages.shown().isEmpty());
}

void MainWindowTest::permissionLevelsDecideTheButtons_data()
{
    QTest::addColumn<QString>("level");
    QTest::addColumn<bool>("reviews");
    QTest::addColumn<bool>("manages");
    QTest::newRow("office") << "3" << true << true;
    QTest::newRow("management") << "2" << true << false;
    QTest::newRow("standard") << "1" << false << false;
    QTest::newRow("none") << "0" << false << false;
    QTest::newRow("not a number") << "three" << false << false;
}

void MainWindowTest::permissionLevelsDecideTheButtons()
{
    QFETCH(QString, level);
    QFETCH(bool, reviews);
    QFETCH(bool, manages);
    MessageScript messages;
    FakeServer server;
    answerStartUp(server, level, "In");
    TestMainWindow window(server);
    QTRY_COMPARE(label(window, "label_UserName"), QString("anna : is clocked In"));
    QCOMPARE(button(window, "pushButton_Orders")->isVisible(), reviews);
    QCOMPARE(button(window, "pushButton_Orders")->isEnabled(), reviews);
    QCOMPARE(window.findChild<QLabel *>("label_Orders")->isVisible(), reviews);
    QCOMPARE(button(window, "pushButton_Management")->isVisible(), manages);
    QCOMPARE(button(window, "pushButton_Management")->isEnabled(), manages);
    QCOMPARE(server.commands().contains("GetNumberOfOrders"), reviews);
}

void MainWindowTest::userNeverClockedIsAskedAndYesClocksIn()
{
    MessageScript messages;
    messages.expect("You are currently not clocked in!\nWould you like to clock in now?", QMessageBox::Yes);
    FakeServer server;
    answerStartUp(server, "1", "");
    server.answer("ClockIn", wire::frame("ClockIn"));
    TestMainWindow window(server);
    QTRY_COMPARE(label(window, "label_UserName"), QString("anna : is clocked In"));
    const MessageRequest prompt = messages.shown().first();
    QCOMPARE(prompt.buttons, QMessageBox::Yes | QMessageBox::Cancel);
    QCOMPARE(prompt.defaultButton, QMessageBox::Yes);
    QCOMPARE(server.commands().last(), QString("ClockIn"));
    QCOMPARE(server.requests().last().arguments(), QStringList{"anna"});
    QCOMPARE(messages.unexpected(), QStringList());
}

void MainWindowTest::cancelledPromptSendsNothing()
{
    MessageScript messages;
    messages.expect("You are currently not clocked in!\nWould you like to clock in now?", QMessageBox::Cancel);
    FakeServer server;
    answerStartUp(server, "1", "Out");
    TestMainWindow window(server);
    QTRY_COMPARE(messages.shown().size(), 1);
    QTest::qWait(50);
    QCOMPARE(server.commands(), (QStringList{"GetWork", "GetPermissions", "GetClockStatus"}));
    QCOMPARE(label(window, "label_UserName"), QString("anna : is clocked Out"));
}

void MainWindowTest::exemptUsersAreNeverAsked()
{
    for (const QString user : {"Quill", "RenVasko"}) {
        MessageScript messages;
        AppState::instance().setUser(user, "digest");
        FakeServer server;
        answerStartUp(server, "1", "Out");
        TestMainWindow window(server);
        QTRY_COMPARE(label(window, "label_UserName"), user + " : is clocked Out");
        QTest::qWait(30);
        QVERIFY(messages.shown().isEmpty());
    }
}

void MainWindowTest::clockButtonFollowsTheStateAndTheLabelTheReply()
{
    MessageScript messages;
    FakeServer server;
    answerStartUp(server, "1", "In");
    TestMainWindow window(server);
    QTRY_COMPARE(label(window, "label_UserName"), QString("anna : is clocked In"));
    button(window, "pushButton_Clock")->click();
    QVERIFY(server.waitForRequest("ClockOut") >= 0);
    QCOMPARE(label(window, "label_UserName"), QString("anna : is clocked In"));
    server.send(wire::frame("ClockOut"));
    QTRY_COMPARE(label(window, "label_UserName"), QString("anna : is clocked Out"));
    QCOMPARE(button(window, "pushButton_Clock")->text(), QString("Clock"));
    button(window, "pushButton_Clock")->click();
    QVERIFY(server.waitForRequest("ClockIn") >= 0);
}

void MainWindowTest::statusAndUnknownReplies()
{
    MessageScript messages;
    FakeServer server;
    answerStartUp(server, "1", "In");
    TestMainWindow window(server);
    QTRY_COMPARE(label(window, "label_UserName"), QString("anna : is clocked In"));
    server.send(wire::frame("GetStatus", QString("Out")));
    QTRY_COMPARE(button(window, "pushButton_Clock")->text(), QString("Punch In"));
    server.send(wire::frame("GetStatus", QString("In")));
    QTRY_COMPARE(button(window, "pushButton_Clock")->text(), QString("Punch Out"));
    messages.expect("Punch Status Error");
    messages.expect("Error");
    server.send(wire::frame("GetStatus", QString("Lunch")) + wire::frame("Surprise"));
    QTRY_COMPARE(messages.shown().size(), 2);
    QCOMPARE(messages.unexpected(), QStringList());
    QCOMPARE(button(window, "pushButton_Clock")->text(), QString("Punch Out"));
}

void MainWindowTest::nextOpensTheIntakeAroundAClosedLink()
{
    MessageScript messages;
    FakeServer server;
    answerStartUp(server, "2", "In");
    TestMainWindow window(server);
    QTRY_COMPARE(label(window, "label_UserName"), QString("anna : is clocked In"));
    window.findChild<QComboBox *>("comboBox")->setCurrentText("Roll Off Repair");
    answerStartUp(server, "2", "In");
    button(window, "pushButton_Next")->click();

    QCOMPARE(window.visits.size(), 1);
    const TestMainWindow::Visit visit = window.visits.first();
    QVERIFY(visit.screen == TestMainWindow::ChildScreen::BinIntake);
    QVERIFY(!visit.mainWindowVisible);
    QCOMPARE(visit.serverConnections, 0);
    QCOMPARE(visit.workType, QString("Roll Off Repair"));
    QVERIFY(window.isVisible());
    // The reopened link refreshes permissions, order count and clock state.
    QTRY_COMPARE(server.commands().size(), 7);
    QCOMPARE(server.commands().mid(4), (QStringList{"GetPermissions", "GetNumberOfOrders", "GetClockStatus"}));
    QVERIFY(messages.shown().isEmpty());
}

void MainWindowTest::nextWithoutAWorkTypeOpensNothing()
{
    MessageScript messages;
    messages.expect("Error");
    FakeServer server;
    server.answer("GetWork", wire::frame("WorkType", QStringList()));
    server.answer("GetPermissions", wire::frame("Permissions", QString("1")));
    server.answer("GetClockStatus", wire::frame("GetClockStatus", QString("In")));
    TestMainWindow window(server);
    QTRY_COMPARE(label(window, "label_UserName"), QString("anna : is clocked In"));
    button(window, "pushButton_Next")->click();
    QCOMPARE(messages.shownTexts(), QStringList{"Error"});
    QVERIFY(window.visits.isEmpty());
    QCOMPARE(server.openConnections(), 1);
    QCOMPARE(AppState::instance().workType(), QString());
}

void MainWindowTest::continueKeepsTheLinkOpen()
{
    MessageScript messages;
    FakeServer server;
    answerStartUp(server, "1", "In");
    TestMainWindow window(server);
    QTRY_COMPARE(label(window, "label_UserName"), QString("anna : is clocked In"));
    button(window, "pushButton_Continue")->click();
    QVERIFY(!AppState::instance().continueCustom());
    button(window, "pushButton_Continue_Custom")->click();
    QVERIFY(AppState::instance().continueCustom());
    QCOMPARE(window.visits.size(), 2);
    for (const TestMainWindow::Visit &visit : qAsConst(window.visits)) {
        QVERIFY(visit.screen == TestMainWindow::ChildScreen::ContinueWork);
        QVERIFY(!visit.mainWindowVisible);
        QCOMPARE(visit.serverConnections, 1);
    }
    QTest::qWait(30);
    QCOMPARE(server.commands().size(), 3);
}

void MainWindowTest::continueReplyOpensTheScreenOfItsStatus()
{
    MessageScript messages;
    FakeServer server;
    answerStartUp(server, "1", "In");
    TestMainWindow window(server);
    QTRY_COMPARE(label(window, "label_UserName"), QString("anna : is clocked In"));
    answerStartUp(server, "1", "In");
    server.send(wire::frame("Continue", qint32(3)));
    QTRY_COMPARE(window.visits.size(), 1);
    QVERIFY(window.visits.first().screen == TestMainWindow::ChildScreen::FinalChecks);
    QCOMPARE(AppState::instance().orderStatus(), 3);
    QTRY_COMPARE(server.commands().count("GetClockStatus"), 2);

    messages.expect("Error2");
    server.send(wire::frame("Continue", qint32(4)));
    QTRY_COMPARE(messages.shown().size(), 1);
    QCOMPARE(window.visits.size(), 1);
}

void MainWindowTest::logOutLogsInAnotherUser()
{
    MessageScript messages;
    FakeServer server;
    answerStartUp(server, "3", "In");
    AppState::instance().setOrderOwner("someone");
    TestMainWindow window(server);
    QTRY_COMPARE(label(window, "label_UserName"), QString("anna : is clocked In"));

    server.answer("Login", wire::frame("Success"));
    server.answer("GetPermissions", wire::frame("Permissions", QString("1")));
    server.answer("GetClockStatus", wire::frame("GetClockStatus", QString("In")));
    bool windowHiddenDuringLogin = false;
    QTimer driver;
    connect(&driver, &QTimer::timeout, [&]() {
        QWidget *login = nullptr;
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->inherits("LoginDialog") && widget->isVisible())
                login = widget;
        }
        if (!login || login->findChild<QLineEdit *>("lineEdit_UserName")->text() == "bob")
            return;
        windowHiddenDuringLogin = !window.isVisible();
        login->findChild<QLineEdit *>("lineEdit_UserName")->setText("bob");
        login->findChild<QPushButton *>("pushButton_Login")->click();
    });
    driver.start(20);
    button(window, "pushButton_LogOut")->click();
    driver.stop();

    QVERIFY(windowHiddenDuringLogin);
    QVERIFY(window.isVisible());
    QCOMPARE(AppState::instance().user(1), QString("bob"));
    QCOMPARE(AppState::instance().orderOwner(), QString());
    QTRY_COMPARE(label(window, "label_UserName"), QString("bob : is clocked In"));
    const int permissions = server.commands().lastIndexOf("GetPermissions");
    QCOMPARE(server.requests().at(permissions).arguments(), QStringList{"bob"});
    QVERIFY(!button(window, "pushButton_Management")->isVisible());
    QVERIFY(messages.shown().isEmpty());
}

void MainWindowTest::lostServerEndsTheProgram()
{
    MessageScript messages;
    messages.expect("Disconnected");
    FakeServer server;
    answerStartUp(server, "1", "In");
    TestMainWindow window(server);
    QTRY_COMPARE(label(window, "label_UserName"), QString("anna : is clocked In"));
    server.dropConnections();
    QTRY_COMPARE(messages.exits(), QList<int>{0});
    QCOMPARE(messages.unexpected(), QStringList());
}

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
