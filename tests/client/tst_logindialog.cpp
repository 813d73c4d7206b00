#include "appstate.h"
#include "fakeserver.h"
#include "frame.h"
#include "logindialog.h"
#include "messagescript.h"
#include "passworddigest.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class LoginDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void successRecordsTheUserAndClosesQuietly();
    void wrongPasswordClearsThePasswordAndAllowsAnotherTry();
    void unexpectedReplyIsAnError();
    void noServerShowsTheSocketErrorAlone();
    void eachPressAnswersOnItsOwnConnection();
    void cancelEndsTheProgram();

private:
    static void type(LoginDialog &dialog, const QString &user, const QString &password);
    static void press(LoginDialog &dialog, const char *button);
};

void LoginDialogTest::init()
{
    AppState::instance().resetUser();
}

void LoginDialogTest::type(LoginDialog &dialog, const QString &user, const QString &password)
{
    dialog.findChild<QLineEdit *>("lineEdit_UserName")->setText(user);
    dialog.findChild<QLineEdit *>("lineEdit_Password")->setText(password);
}

void LoginDialogTest::press(LoginDialog &dialog, const char *button)
{
    dialog.findChild<QPushButton *>(button)->click();
}

void LoginDialogTest::successRecordsTheUserAndClosesQuietly()
{
    MessageScript messages;
    FakeServer server;
    server.answer("Login", wire::frame("Success"));
    LoginDialog dialog;
    QVERIFY(dialog.isVisible());
    type(dialog, " anna ", "pässwörd");
    press(dialog, "pushButton_Login");
    QTRY_VERIFY(AppState::instance().loggedIn());
    QCOMPARE(server.requests().first().arguments(), (QStringList{" anna ", wire::passwordDigest("pässwörd")}));
    QCOMPARE(AppState::instance().user(1), QString(" anna "));
    QCOMPARE(AppState::instance().user(2), wire::passwordDigest("pässwörd"));
    QVERIFY(!dialog.isVisible());
    QTRY_COMPARE(server.openConnections(), 0);
    QTest::qWait(30);
    QVERIFY(messages.shown().isEmpty());
}

void LoginDialogTest::wrongPasswordClearsThePasswordAndAllowsAnotherTry()
{
    MessageScript messages;
    messages.expect("Wrong UserName or Password");
    messages.expect("Disconnected");
    FakeServer server;
    server.answer("Login", wire::frame("Wrong"));
    LoginDialog dialog;
    type(dialog, "anna", "guess");
    press(dialog, "pushButton_Login");
    QTRY_COMPARE(messages.shown().size(), 2);
    QCOMPARE(messages.unexpected(), QStringList());
    QCOMPARE(dialog.findChild<QLineEdit *>("lineEdit_Password")->text(), QString());
    QCOMPARE(dialog.findChild<QLineEdit *>("lineEdit_UserName")->text(), QString("anna"));
    QVERIFY(!AppState::instance().loggedIn());
    QVERIFY(dialog.isVisible());
    QVERIFY(messages.exits().isEmpty());

    server.answer("Login", wire::frame("Success"));
    type(dialog, "anna", "right");
    press(dialog, "pushButton_Login");
    QTRY_VERIFY(AppState::instance().loggedIn());
    QCOMPARE(server.requests().size(), 2);
    QCOMPARE(server.requests().last().arguments().last(), wire::passwordDigest("right"));
}

void LoginDialogTest::unexpectedReplyIsAnError()
{
    MessageScript messages;
    messages.expect("Error");
    messages.expect("Disconnected");
    FakeServer server;
    server.answer("Login", wire::frame("Permissions", QString("3")));
    LoginDialog dialog;
    type(dialog, "anna", "secret");
    press(dialog, "pushButton_Login");
    QTRY_COMPARE(messages.shown().size(), 2);
    QCOMPARE(messages.unexpected(), QStringList());
    QVERIFY(!AppState::instance().loggedIn());
    QCOMPARE(dialog.findChild<QLineEdit *>("lineEdit_Password")->text(), QString());
}

void LoginDialogTest::noServerShowsTheSocketErrorAlone()
{
    MessageScript messages;
    AppState::instance().configureServer("127.0.0.1", 1);
    LoginDialog dialog;
    press(dialog, "pushButton_Login");
    QTRY_COMPARE(messages.shown().size(), 1);
    QVERIFY(!messages.shownTexts().first().startsWith("Error"));
    QVERIFY(!messages.shownTexts().first().isEmpty());
    QVERIFY(dialog.isVisible());
    QVERIFY(messages.exits().isEmpty());
}

void LoginDialogTest::eachPressAnswersOnItsOwnConnection()
{
    MessageScript messages;
    messages.expect("Wrong UserName or Password");
    messages.expect("Disconnected");
    FakeServer server;
    LoginDialog dialog;
    type(dialog, "anna", "first");
    press(dialog, "pushButton_Login");
    press(dialog, "pushButton_Login");
    QTRY_COMPARE(server.requests().size(), 2);
    // The first connection is refused, the second accepted.
    server.requests().at(0).connection->write(wire::frame("Wrong"));
    QTRY_COMPARE(messages.shown().size(), 2);
    QVERIFY(!AppState::instance().loggedIn());
    server.requests().at(1).connection->write(wire::frame("Success"));
    QTRY_VERIFY(AppState::instance().loggedIn());
    QCOMPARE(messages.unexpected(), QStringList());
}

void LoginDialogTest::cancelEndsTheProgram()
{
    MessageScript messages;
    LoginDialog dialog;
    press(dialog, "pushButton_Cancel");
    QCOMPARE(messages.exits(), QList<int>{0});
}

QTEST_MAIN(LoginDialogTest)
#include "tst_logindialog.moc"
