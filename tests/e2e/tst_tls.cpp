#include "app/logindialog.h"
#include "core/appstate.h"
#include "messagescript.h"
#include "serverprocess.h"
#include "widgetlookup.h"

#include <QFile>
#include <QLineEdit>
#include <QSslCertificate>
#include <QtTest>

// The real login screen against the real server serving TLS only, with the
// test certificate kept beside the tests.
class TlsEndToEndTest : public QObject
{
    Q_OBJECT

public:
    TlsEndToEndTest()
        : server({QStringLiteral("--tls-cert"), QStringLiteral(TLS_TEST_FILES "/server.crt"),
                  QStringLiteral("--tls-key"), QStringLiteral(TLS_TEST_FILES "/server.key")})
    { }

private slots:
    void initTestCase()
    {
        QVERIFY2(server.start(), qPrintable(server.output()));
        AppState::instance().configureServer(QStringLiteral("127.0.0.1"), server.port());
    }

    void cleanup()
    {
        AppState &state = AppState::instance();
        state.configureTls(false);
        state.resetUser();
        state.setLoggedIn(false);
    }

    void loginScreen_data()
    {
        QTest::addColumn<bool>("tls");
        QTest::addColumn<bool>("trustTestCertificate");
        QTest::addColumn<QStringList>("messages"); // empty: the login succeeds
        QTest::newRow("TLS, the server's certificate trusted") << true << true << QStringList();
        QTest::newRow("TLS, the server's certificate unknown")
            << true << false << QStringList{"The certificate is self-signed, and untrusted", "Disconnected"};
        QTest::newRow("plain TCP") << false << false << QStringList{"Disconnected"};
    }

    void loginScreen()
    {
        QFETCH(bool, tls);
        QFETCH(bool, trustTestCertificate);
        QFETCH(QStringList, messages);
        QFile certificate(QStringLiteral(TLS_TEST_FILES "/server.crt"));
        QVERIFY(certificate.open(QIODevice::ReadOnly));
        AppState &state = AppState::instance();
        state.configureTls(tls, trustTestCertificate ? QSslCertificate::fromData(certificate.readAll())
                                                     : QList<QSslCertificate>());

        MessageScript shown;
        LoginDialog login;
        child<QLineEdit>(&login, "lineEdit_UserName")->setText(QStringLiteral("manager"));
        child<QLineEdit>(&login, "lineEdit_Password")->setText(QStringLiteral("demo-manager"));
        press(login, "pushButton_Login");
        if (messages.isEmpty()) {
            QTRY_VERIFY(state.loggedIn());
            QCOMPARE(state.user(1), QStringLiteral("manager"));
        } else {
            QTRY_COMPARE(shown.shownTexts().join(" | "), messages.join(" | "));
            QVERIFY(!state.loggedIn());
        }
        QTest::qWait(200);
        QCOMPARE(shown.shownTexts(), messages);
    }

private:
    ServerProcess server;
};

QTEST_MAIN(TlsEndToEndTest)
#include "tst_tls.moc"
