#include "inprocessserver.h"

#include "auth/passwordhasher.h"

#include <passworddigest.h>

#include <QtEndian>

#include <QtTest>
#include <mutex>

// How the server treats the byte stream: framing, bad requests, ordering,
// and keeping connections apart.
class ProtocolTest : public ServerTestCase
{
    Q_OBJECT

public:
    // Logins wait at a gate the test can hold shut.
    ProtocolTest()
        : ServerTestCase([this](const QByteArray &hash, const QString &digest) {
            QMutexLocker pass(&loginGate);
            return PasswordWorkers::passwordCheck(hash, digest);
        })
    { }

private slots:
    void initTestCase()
    {
        QVERIFY2(server.startError().isEmpty(), qPrintable(server.startError()));
        const QByteArray hash = PasswordHasher::hash(wire::passwordDigest(password));
        QVERIFY(server.addUser("anna", 3, hash));
        // Longer than any name the server accepts, so only a check made before
        // the database is touched keeps this account from being clocked in.
        QVERIFY(server.addUser(longName, 1, hash));
    }

    void badRequestIsAnsweredWithError_data()
    {
        QTest::addColumn<QByteArray>("frame");
        const QString anna = QStringLiteral("anna");
        QByteArray truncated = wire::frame(QStringLiteral("ClockIn"), anna);
        qToBigEndian<quint32>(100, truncated.data() + truncated.size() - 4 - 2 * anna.size());

        QTest::newRow("unknown command") << wire::frame(QStringLiteral("FlyToTheMoon"));
        QTest::newRow("command in the wrong case") << wire::frame(QStringLiteral("getwork"));
        QTest::newRow("empty command") << wire::frame(QString());
        // 8 size bytes, then a string length of 3 bytes: half a character.
        QTest::newRow("unreadable command") << ServerTestClient::sizeField(15) + QByteArray::fromHex("00000003414243");
        QTest::newRow("no argument") << wire::frame(QStringLiteral("ClockIn"));
        QTest::newRow("one argument too many") << wire::frame(QStringLiteral("ClockIn"), anna, anna);
        QTest::newRow("int instead of text") << wire::frame(QStringLiteral("ClockIn"), qint32(7));
        QTest::newRow("text longer than the frame") << truncated;
        QTest::newRow("name over 50 characters") << wire::frame(QStringLiteral("ClockIn"), longName);
    }

    void badRequestIsAnsweredWithError()
    {
        QFETCH(QByteArray, frame);
        const QVariant before = server.queryValue("SELECT COUNT(*) FROM clock_records");
        client->sendRaw(frame);
        QCOMPARE(client->receive().text(), QStringList{"Error"});
        QCOMPARE(server.queryValue("SELECT COUNT(*) FROM clock_records"), before);
        QCOMPARE(usable(*client), QStringLiteral("WorkType"));
    }

    void impossibleFrameSizeClosesOnlyThatConnection_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::newRow("smaller than its size field") << qint64(4);
        QTest::newRow("over the request limit") << wire::MaximumRequestSize + 1;
    }

    void impossibleFrameSizeClosesOnlyThatConnection()
    {
        QFETCH(qint64, size);
        std::unique_ptr<ServerTestClient> bystander = server.connect();
        QVERIFY(bystander);
        client->sendRaw(ServerTestClient::sizeField(size) + QByteArray(16, 'z'));
        QVERIFY(!client->receiveFrame());
        QVERIFY(client->waitForDisconnected());

        QCOMPARE(usable(*bystander), QStringLiteral("WorkType"));
        std::unique_ptr<ServerTestClient> newcomer = server.connect();
        QVERIFY(newcomer);
        QCOMPARE(usable(*newcomer), QStringLiteral("WorkType"));
    }

    // How the bytes are split into frames is the frame reader's to test.
    void requestsSentTogetherAreAnsweredInOrder()
    {
        const QByteArray getWork = wire::frame(QStringLiteral("GetWork"));
        client->sendRaw(wire::frame(QStringLiteral("GetPermissions"), QStringLiteral("anna")) + getWork
                        + wire::frame(QStringLiteral("GetNumberOfOrders")) + wire::frame(QStringLiteral("Nonsense")));
        for (const char *tag : {"Permissions", "WorkType", "NumberOfOrders", "Error"})
            QCOMPARE(client->receive().tag, QString::fromLatin1(tag));
    }

    void slowLoginsHoldOnlyTheirOwnConnections()
    {
        std::unique_ptr<ServerTestClient> stranger = server.connect(), leaving = server.connect(),
                                          other = server.connect();
        QVERIFY(stranger && leaving && other);

        // While a login is being checked, the GetWork behind it on the same
        // connection waits its turn; other connections are served. A name that
        // does not exist goes through the same slow check as a wrong password.
        std::unique_lock<QMutex> shut(loginGate);
        client->sendRaw(login("anna") + wire::frame(QStringLiteral("GetWork")));
        stranger->sendRaw(login("nobody"));
        leaving->sendRaw(login("anna"));
        QTRY_COMPARE(server.passwords().pending(), 3);
        QCOMPARE(usable(*other), QStringLiteral("WorkType"));
        // A client that leaves before its login is decided.
        leaving.reset();
        QTRY_COMPARE(server.repairServer().openConnections(), 3);
        QTest::qWait(20);
        const bool answeredEarly = client->hasReplyWaiting() || stranger->hasReplyWaiting();
        shut.unlock();
        QVERIFY(!answeredEarly);

        QCOMPARE(client->receive().tag, QStringLiteral("Success"));
        QCOMPARE(client->receive().tag, QStringLiteral("WorkType"));
        QCOMPARE(stranger->receive().tag, QStringLiteral("Wrong"));
        QTRY_COMPARE(server.passwords().pending(), 0);
        QCOMPARE(usable(*other), QStringLiteral("WorkType"));
    }

private:
    static QString usable(ServerTestClient &connection) { return connection.request(QStringLiteral("GetWork")).tag; }
    QByteArray login(const QString &userName)
    {
        return wire::frame(QStringLiteral("Login"), userName, wire::passwordDigest(password));
    }

    QMutex loginGate;
    const QString password = QStringLiteral("s3cret");
    const QString longName = QString(51, QLatin1Char('x'));
};

QTEST_GUILESS_MAIN(ProtocolTest)
#include "tst_protocol.moc"
