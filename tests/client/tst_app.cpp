#include "app/logindialog.h"
#include "app/mainwindow.h"
#include "core/navigation.h"
#include "screens.h"
#include "wire/passworddigest.h"

#include <QDialog>

namespace {

struct Login : ScreenTest<LoginDialog>
{
    void type(const QString &user, const QString &password)
    {
        child<QLineEdit>(&screen, "lineEdit_UserName")->setText(user);
        child<QLineEdit>(&screen, "lineEdit_Password")->setText(password);
        press(screen, "pushButton_Login");
    }
};

} // namespace

class LoginDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { AppState::instance().resetUser(); }

    // A refusal clears the password for another try; a success records the
    // user as typed, with the password's digest, and closes quietly.
    void refusalClearsThePasswordThenSuccessRecordsTheUser_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("message");
        QTest::newRow("wrong password") << wire::frame("Wrong") << "Wrong UserName or Password";
        QTest::newRow("another tag") << wire::frame("Permissions", QString("3")) << "Error";
    }

    void refusalClearsThePasswordThenSuccessRecordsTheUser()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QString, message);
        Login l;
        l.server.answer("Login", reply);
        l.server.answer("Login", wire::frame("Success"));
        l.type("anna", "guess");
        QTRY_COMPARE(l.messages.shownTexts(), (QStringList{message, "Disconnected"}));
        QCOMPARE(child<QLineEdit>(&l.screen, "lineEdit_Password")->text(), QString());
        QCOMPARE(child<QLineEdit>(&l.screen, "lineEdit_UserName")->text(), QString("anna"));
        QVERIFY(!AppState::instance().loggedIn());
        QVERIFY(l.screen.isVisible() && l.messages.exits().isEmpty());

        l.type(" anna ", "pässwörd");
        QTRY_VERIFY(AppState::instance().loggedIn());
        const QStringList typed{" anna ", wire::passwordDigest("pässwörd")};
        QCOMPARE(l.server.lastArguments("Login"), typed);
        QCOMPARE(stateFields(&AppState::user, 2), typed);
        QVERIFY(!l.screen.isVisible());
        QCOMPARE(l.messages.shown().size(), 2);
    }

    void eachPressAnswersOnItsOwnConnection()
    {
        Login l;
        l.type("anna", "first");
        press(l.screen, "pushButton_Login");
        QTRY_COMPARE(l.server.requests().size(), 2);
        // The first connection is refused, the second accepted.
        l.server.requests().at(0).connection->write(wire::frame("Wrong"));
        QTRY_COMPARE(l.messages.shownTexts(), (QStringList{"Wrong UserName or Password", "Disconnected"}));
        QVERIFY(!AppState::instance().loggedIn());
        l.server.requests().at(1).connection->write(wire::frame("Success"));
        QTRY_VERIFY(AppState::instance().loggedIn());
    }

    void noServerShowsTheSocketErrorAloneAndCancelEndsTheProgram()
    {
        MessageScript messages;
        AppState::instance().configureServer("127.0.0.1", 1);
        LoginDialog screen;
        press(screen, "pushButton_Login");
        QTRY_COMPARE(messages.shown().size(), 1);
        QVERIFY(!messages.shownTexts().first().startsWith("Error"));
        QVERIFY(!messages.shownTexts().first().isEmpty());
        QVERIFY(screen.isVisible() && messages.exits().isEmpty());
        press(screen, "pushButton_Cancel");
        QCOMPARE(messages.exits(), QList<int>{0});
    }
};

namespace {

const QStringList WorkTypes{"Front End Repair", "Roll Off Repair", "Custom"};

void answerStartUp(FakeServer &server, const QString &level, const QString &clock = "In",
                   const QStringList &workTypes = WorkTypes)
{
    server.answer("GetWork", wire::frame("WorkType", workTypes));
    server.answer("GetPermissions", wire::frame("Permissions", level));
    server.answer("GetNumberOfOrders", wire::frame("NumberOfOrders", QString("5")));
    server.answer("GetClockStatus", wire::frame("GetClockStatus", clock));
}

// The logged-in user's main window on a server that answers the start-up chain.
struct Session
{
    explicit Session(const QString &level = "1", const QString &clock = "In", const QStringList &workTypes = WorkTypes)
    {
        answerStartUp(server, level, clock, workTypes);
        // Stand-ins for the screens the window opens: each records what the world
        // looked like while it ran, leaves another user's order at hand, then
        // returns at once: "screen (custom while continuing custom jobs), window
        // shown or hidden, open server connections, work type".
        Navigation::setFactory([this](ScreenKind kind) -> std::unique_ptr<QDialog> {
            static const QMap<ScreenKind, QString> names{{ScreenKind::BinIntake, "BinIntake"},
                                                         {ScreenKind::ContinueOrder, "ContinueWork"},
                                                         {ScreenKind::FinalChecks, "FinalChecks"}};
            auto child = std::make_unique<QDialog>();
            QTimer::singleShot(50, child.get(), [this, dialog = child.get(), name = names.value(kind)]() {
                AppState &state = AppState::instance();
                state.setOrderOwner("bob");
                visits << QStringList{name + (state.continueCustom() ? " custom" : ""),
                                      window.isVisible() ? "shown" : "hidden",
                                      QString::number(server.openConnections()), state.workType()}
                              .join(", ");
                dialog->accept();
            });
            return child;
        });
    }
    QString userLabel() { return labelText(window, "label_UserName"); }
    QAbstractButton *button(const char *name) { return child<QAbstractButton>(&window, name); }

    MessageScript messages;
    FakeServer server;
    QStringList visits;
    MainWindow window;
};

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetClient(); }

    void startUpChainFollowsThePermissionLevel_data()
    {
        QTest::addColumn<QString>("level");
        QTest::addColumn<bool>("reviews");
        QTest::addColumn<bool>("manages");
        QTest::newRow("office") << "3" << true << true;
        QTest::newRow("management") << "2" << true << false;
        QTest::newRow("standard") << "1" << false << false;
    }

    void startUpChainFollowsThePermissionLevel()
    {
        QFETCH(QString, level);
        QFETCH(bool, reviews);
        QFETCH(bool, manages);
        Session s(level);
        QTRY_COMPARE(s.userLabel(), QString("anna : is clocked In"));
        QStringList chain{"GetWork()", "GetPermissions(anna)", "GetNumberOfOrders()", "GetClockStatus(anna)"};
        if (!reviews)
            chain.removeAt(2);
        QCOMPARE(s.server.calls(), chain);
        QCOMPARE(child<QComboBox>(&s.window, "comboBox")->count(), 3);
        QCOMPARE(child<QComboBox>(&s.window, "comboBox")->currentText(), QString("Front End Repair"));
        QCOMPARE(s.button("pushButton_Orders")->isVisible(), reviews);
        QCOMPARE(child<QLabel>(&s.window, "label_Orders")->isVisible(), reviews);
        QCOMPARE(labelText(s.window, "label_Orders"), reviews ? QString("5") : QString());
        QCOMPARE(s.button("pushButton_Management")->isVisible(), manages);
        QVERIFY(s.messages.shown().isEmpty());
    }

    // The prompt's Yes is the end-to-end session's; here the only ClockIn sent
    // is the one a press of Clock asks for.
    void clockPrompt_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<bool>("asked");
        QTest::newRow("clocked out, Cancel") << QString("anna") << true;
        QTest::newRow("Quill is never asked") << QString("Quill") << false;
    }

    void clockPrompt()
    {
        QFETCH(QString, user);
        QFETCH(bool, asked);
        AppState::instance().setUser(user, "digest");
        Session s("1", "Out");
        if (asked)
            s.messages.expect("You are currently not clocked in!\nWould you like to clock in now?",
                              QMessageBox::Cancel);
        s.server.answer("ClockIn", wire::frame("ClockIn"));
        QTRY_COMPARE(s.userLabel(), user + " : is clocked Out");
        s.button("pushButton_Clock")->click();
        QTRY_COMPARE(s.userLabel(), user + " : is clocked In");
        QCOMPARE(s.server.calls(), (QStringList{"GetWork()", "GetPermissions(" + user + ")",
                                                "GetClockStatus(" + user + ")", "ClockIn(" + user + ")"}));
        QCOMPARE(s.messages.unexpected() + s.messages.pending(), QStringList());
        if (asked)
            QCOMPARE(s.messages.shown().first().defaultButton, QMessageBox::Yes);
    }

    void clockStatusFollowsTheServersReplies()
    {
        Session s;
        QTRY_COMPARE(s.userLabel(), QString("anna : is clocked In"));
        // The label follows the server's reply, not the press.
        s.button("pushButton_Clock")->click();
        QVERIFY(s.server.waitForRequest("ClockOut"));
        QCOMPARE(s.userLabel(), QString("anna : is clocked In"));
        s.server.send(wire::frame("ClockOut"));
        QTRY_COMPARE(s.userLabel(), QString("anna : is clocked Out"));
        QCOMPARE(s.button("pushButton_Clock")->text(), QString("Clock"));

        s.server.send(wire::frame("GetStatus", QString("Out")));
        QTRY_COMPARE(s.button("pushButton_Clock")->text(), QString("Punch In"));
        s.server.send(wire::frame("GetStatus", QString("In")));
        QTRY_COMPARE(s.button("pushButton_Clock")->text(), QString("Punch Out"));
        s.server.send(wire::frame("GetStatus", QString("Lunch")));
        QTRY_COMPARE(s.messages.shownTexts(), QStringList{"Punch Status Error"});
        QCOMPARE(s.button("pushButton_Clock")->text(), QString("Punch Out"));
    }

    void screensRunAroundAClosedLinkThatIsRefreshedAfterwards()
    {
        Session s("2");
        QTRY_COMPARE(s.userLabel(), QString("anna : is clocked In"));
        child<QComboBox>(&s.window, "comboBox")->setCurrentText("Roll Off Repair");
        answerStartUp(s.server, "2");
        s.button("pushButton_Next")->click();
        QCOMPARE(s.visits, QStringList{"BinIntake, hidden, 0, Roll Off Repair"});
        QVERIFY(s.window.isVisible());
        QTRY_COMPARE(s.server.commands().mid(4),
                     (QStringList{"GetPermissions", "GetNumberOfOrders", "GetClockStatus"}));

        // "Continue" opens the screen of the order's status, and refreshes likewise.
        answerStartUp(s.server, "2");
        s.server.send(wire::frame("Continue", qint32(3)));
        QTRY_COMPARE(s.visits.size(), 2);
        QCOMPARE(s.visits.last(), QString("FinalChecks, hidden, 0, Roll Off Repair"));
        QCOMPARE(AppState::instance().orderStatus(), 3);
        QTRY_COMPARE(s.server.commands().count("GetClockStatus"), 3);
        s.server.send(wire::frame("Continue", qint32(4)));
        QTRY_COMPARE(s.messages.shownTexts(), QStringList{"Error2"});
        QCOMPARE(s.visits.size(), 2);

        // The continue screens run with the link kept open: neither closed nor reconnected afterwards.
        // Continue Custom lists custom jobs only while its screen runs; what the screens left is forgotten.
        s.button("pushButton_Continue")->click();
        s.button("pushButton_Continue_Custom")->click();
        QCOMPARE(s.visits.mid(2), (QStringList{"ContinueWork, hidden, 1, Roll Off Repair",
                                               "ContinueWork custom, hidden, 1, Roll Off Repair"}));
        QVERIFY(!AppState::instance().continueCustom());
        QCOMPARE(AppState::instance().orderOwner(), QString());
        QCOMPARE(s.window.findChild<QTcpSocket *>()->state(), QAbstractSocket::ConnectedState);
    }

    void nextWithoutAWorkTypeOpensNothing()
    {
        AppState::instance().setWorkType(QString());
        Session s("1", "In", {});
        QTRY_COMPARE(s.userLabel(), QString("anna : is clocked In"));
        s.button("pushButton_Next")->click();
        QCOMPARE(s.messages.shownTexts(), QStringList{"Error"});
        QVERIFY(s.visits.isEmpty());
        QCOMPARE(s.server.openConnections(), 1);
        QCOMPARE(AppState::instance().workType(), QString());
    }

    void logOutLogsInAnotherUser()
    {
        AppState::instance().setOrderOwner("someone");
        Session s("3");
        QTRY_COMPARE(s.userLabel(), QString("anna : is clocked In"));
        answerStartUp(s.server, "1");
        s.server.answer("Login", wire::frame("Success"));
        ScreenWatcher watcher;
        bool windowHiddenDuringLogin = false;
        QStringList stateDuringLogin;
        watcher.onScreen("LoginDialog", [&](QWidget *login) {
            windowHiddenDuringLogin = !s.window.isVisible();
            // The user is forgotten; the terminal's work type and bin stay.
            const AppState &state = AppState::instance();
            stateDuringLogin = stateFields(&AppState::user, 2)
                               << QString::number(state.loggedIn()) << state.workType() << state.currentBin(1);
            child<QLineEdit>(login, "lineEdit_UserName")->setText("bob");
            press(*login, "pushButton_Login");
        });
        s.button("pushButton_LogOut")->click();
        QVERIFY(windowHiddenDuringLogin && s.window.isVisible());
        QCOMPARE(stateDuringLogin, (QStringList{"", "", "0", "Front End Repair", "KD1234"}));
        QCOMPARE(AppState::instance().orderOwner(), QString());
        QTRY_COMPARE(s.userLabel(), QString("bob : is clocked In"));
        QCOMPARE(s.server.lastArguments("GetPermissions"), QStringList{"bob"});
        QVERIFY(s.messages.shown().isEmpty());
    }
};

SCREEN_TESTS_MAIN(LoginDialogTest, MainWindowTest)
#include "tst_app.moc"
