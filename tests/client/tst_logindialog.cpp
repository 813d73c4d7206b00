#include "app/logindialog.h"
#include "screens.h"
#include "wire/passworddigest.h"

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

    // The form sits in the middle of the maximized dialog, not along its top.
    void formIsCentred()
    {
        Login l;
        QTRY_VERIFY(l.screen.isVisible());
        const auto within = [&l](const QString &name) {
            auto *widget = child<QWidget>(&l.screen, name);
            return QRect(widget->mapTo(&l.screen, QPoint(0, 0)), widget->size());
        };
        const QRect form = within("label_UserName").united(within("pushButton_Cancel"));
        const QPoint middle = l.screen.rect().center();
        QVERIFY(qAbs(form.center().x() - middle.x()) <= 2);
        QVERIFY(qAbs(form.center().y() - middle.y()) <= l.screen.height() / 20);
        QVERIFY(within("lineEdit_UserName").width() <= l.screen.width() * 3 / 5);
    }

    void successRecordsTheUserAndClosesQuietly()
    {
        Login l;
        l.server.answer("Login", wire::frame("Success"));
        QVERIFY(l.screen.isVisible());
        l.type(" anna ", "pässwörd");
        QTRY_VERIFY(AppState::instance().loggedIn());
        const QStringList typed{" anna ", wire::passwordDigest("pässwörd")};
        QCOMPARE(l.server.requests().first().arguments(), typed);
        QCOMPARE(stateFields(&AppState::user, 2), typed);
        QVERIFY(!l.screen.isVisible());
        QTRY_COMPARE(l.server.openConnections(), 0);
        QVERIFY(l.messages.shown().isEmpty());
    }

    void refusalClearsThePasswordForAnotherTry_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("message");
        QTest::newRow("wrong password") << wire::frame("Wrong") << "Wrong UserName or Password";
        QTest::newRow("another tag") << wire::frame("Permissions", QString("3")) << "Error";
    }

    void refusalClearsThePasswordForAnotherTry()
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

        l.type("anna", "right");
        QTRY_VERIFY(AppState::instance().loggedIn());
        QCOMPARE(l.server.requests().size(), 2);
        QCOMPARE(l.server.lastArguments("Login").last(), wire::passwordDigest("right"));
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

QTEST_MAIN(LoginDialogTest)
#include "tst_logindialog.moc"
