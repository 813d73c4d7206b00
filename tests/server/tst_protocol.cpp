#include "inprocessserver.h"

#include "auth/passwordhasher.h"

#include <passworddigest.h>

#include <QtEndian>

#include <mutex>
#include <QtTest>

// How the server treats the byte stream: framing, bad requests, ordering,
// and keeping connections apart.
class ProtocolTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void badCommandIsAnsweredWithError_data();
    void badCommandIsAnsweredWithError();
    void malformedArgumentsStoreNothing_data();
    void malformedArgumentsStoreNothing();

    void impossibleFrameSizeClosesOnlyThatConnection_data();
    void impossibleFrameSizeClosesOnlyThatConnection();
    void framesSplitOrJoinedInTransit();

    void pendingLoginHoldsOnlyItsOwnConnection();
    void clientLeavingDuringLoginLeavesServerWorking();
    void unknownUserIsRefusedOnlyAfterAFullCheck();

private:
    static QByteArray sizeField(qint64 size);
    void expectUsable(ServerTestClient &client);
    qint64 clockRows();

    QMutex loginGate;
    std::unique_ptr<InProcessServer> server;
    std::unique_ptr<ServerTestClient> client;
    const QString password = QStringLiteral("s3cret");
    const QString longName = QString(51, QLatin1Char('x'));
};

void ProtocolTest::initTestCase()
{
    // Logins wait at a gate the test can hold shut.
    server = std::make_unique<InProcessServer>([this](const QByteArray &hash, const QString &digest) {
        QMutexLocker pass(&loginGate);
        return LoginVerifier::passwordCheck(hash, digest);
    });
    QVERIFY2(server->startError().isEmpty(), qPrintable(server->startError()));
    const QByteArray hash = PasswordHasher::hash(wire::passwordDigest(password));
    QVERIFY(server->addUser(QStringLiteral("anna"), 3, hash));
    // Longer than any name the server accepts, so only a check made before
    // the database is touched keeps this account from being clocked in.
    QVERIFY(server->addUser(longName, 1, hash));
}

void ProtocolTest::init()
{
    client = server->connect();
    QVERIFY(client);
}

QByteArray ProtocolTest::sizeField(qint64 size)
{
    QByteArray bytes(8, '\0');
    qToBigEndian(size, bytes.data());
    return bytes;
}

void ProtocolTest::expectUsable(ServerTestClient &connection)
{
    ServerTestClient::Reply reply = connection.request(QStringLiteral("GetWork"));
    QCOMPARE(reply.tag, QStringLiteral("WorkType"));
}

qint64 ProtocolTest::clockRows()
{
    return server->queryValue(QStringLiteral("SELECT COUNT(*) FROM clock_records")).toLongLong();
}

void ProtocolTest::badCommandIsAnsweredWithError_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("unknown command") << wire::frame(QStringLiteral("FlyToTheMoon"));
    QTest::newRow("command in the wrong case") << wire::frame(QStringLiteral("getwork"));
    QTest::newRow("empty command") << wire::frame(QString());
    // 8 size bytes, then a string length of 3 bytes: half a character.
    QTest::newRow("unreadable command") << sizeField(15) + QByteArray::fromHex("00000003414243");
}

void ProtocolTest::badCommandIsAnsweredWithError()
{
    QFETCH(QByteArray, frame);
    client->sendRaw(frame);
    ServerTestClient::Reply reply = client->receive();
    QCOMPARE(reply.tag, QStringLiteral("Error"));
    QVERIFY(!reply.fields.string().isEmpty());
    QVERIFY(reply.fields.atEnd());
    expectUsable(*client);
}

void ProtocolTest::malformedArgumentsStoreNothing_data()
{
    QTest::addColumn<QByteArray>("frame");
    const QString anna = QStringLiteral("anna");
    QByteArray truncated = wire::frame(QStringLiteral("ClockIn"), anna);
    qToBigEndian<quint32>(100, truncated.data() + truncated.size() - 4 - 2 * anna.size());

    QTest::newRow("no argument") << wire::frame(QStringLiteral("ClockIn"));
    QTest::newRow("one argument too many") << wire::frame(QStringLiteral("ClockIn"), anna, anna);
    QTest::newRow("int instead of text") << wire::frame(QStringLiteral("ClockIn"), qint32(7));
    QTest::newRow("list instead of text") << wire::frame(QStringLiteral("ClockIn"), QStringList{anna});
    QTest::newRow("text longer than the frame") << truncated;
    QTest::newRow("name over 50 characters") << wire::frame(QStringLiteral("ClockIn"), longName);
    QTest::newRow("argument to a command without any") << wire::frame(QStringLiteral("GetWork"), anna);
    QTest::newRow("login without digest") << wire::frame(QStringLiteral("Login"), anna);
}

void ProtocolTest::malformedArgumentsStoreNothing()
{
    QFETCH(QByteArray, frame);
    const qint64 before = clockRows();
    client->sendRaw(frame);
    ServerTestClient::Reply reply = client->receive();
    QCOMPARE(reply.tag, QStringLiteral("Error"));
    QVERIFY(!reply.fields.string().isEmpty());
    QVERIFY(reply.fields.atEnd());
    QCOMPARE(clockRows(), before);
    expectUsable(*client);
}

void ProtocolTest::impossibleFrameSizeClosesOnlyThatConnection_data()
{
    QTest::addColumn<qint64>("size");
    QTest::newRow("smaller than its size field") << qint64(4);
    QTest::newRow("too small for a command") << qint64(11);
    QTest::newRow("negative") << qint64(-1);
    QTest::newRow("over the request limit") << wire::MaximumRequestSize + 1;
}

void ProtocolTest::impossibleFrameSizeClosesOnlyThatConnection()
{
    QFETCH(qint64, size);
    std::unique_ptr<ServerTestClient> bystander = server->connect();
    QVERIFY(bystander);

    client->sendRaw(sizeField(size) + QByteArray(16, 'z'));
    QVERIFY(!client->receiveFrame());
    QVERIFY(client->waitForDisconnected());

    expectUsable(*bystander);
    std::unique_ptr<ServerTestClient> newcomer = server->connect();
    QVERIFY(newcomer);
    expectUsable(*newcomer);
}

void ProtocolTest::framesSplitOrJoinedInTransit()
{
    const QByteArray getWork = wire::frame(QStringLiteral("GetWork"));
    for (const char byte : getWork) {
        client->sendRaw(QByteArray(1, byte));
        QTest::qWait(1);
    }
    QCOMPARE(client->receive().tag, QStringLiteral("WorkType"));

    client->sendRaw(wire::frame(QStringLiteral("GetPermissions"), QStringLiteral("anna")) + getWork
                    + wire::frame(QStringLiteral("GetNumberOfOrders")) + wire::frame(QStringLiteral("Nonsense")));
    QCOMPARE(client->receive().tag, QStringLiteral("Permissions"));
    QCOMPARE(client->receive().tag, QStringLiteral("WorkType"));
    QCOMPARE(client->receive().tag, QStringLiteral("NumberOfOrders"));
    QCOMPARE(client->receive().tag, QStringLiteral("Error"));
}

void ProtocolTest::pendingLoginHoldsOnlyItsOwnConnection()
{
    std::unique_ptr<ServerTestClient> other = server->connect();
    QVERIFY(other);

    // While the login is being checked, the GetWork behind it on the same
    // connection waits its turn; the other connection is served.
    std::unique_lock<QMutex> shut(loginGate);
    client->sendRaw(wire::frame(QStringLiteral("Login"), QStringLiteral("anna"), wire::passwordDigest(password))
                    + wire::frame(QStringLiteral("GetWork")));
    QTRY_COMPARE(server->loginVerifier().pendingChecks(), 1);
    ServerTestClient::Reply otherReply = other->request(QStringLiteral("GetWork"));
    QCOMPARE(otherReply.tag, QStringLiteral("WorkType"));
    QTest::qWait(20);
    const bool answeredEarly = client->hasReplyWaiting();
    shut.unlock();
    QVERIFY(!answeredEarly);

    QCOMPARE(client->receive().tag, QStringLiteral("Success"));
    QCOMPARE(client->receive().tag, QStringLiteral("WorkType"));
}

void ProtocolTest::clientLeavingDuringLoginLeavesServerWorking()
{
    std::unique_ptr<ServerTestClient> leaving = server->connect();
    QVERIFY(leaving);
    std::unique_lock<QMutex> shut(loginGate);
    leaving->send(QStringLiteral("Login"), QStringLiteral("anna"), wire::passwordDigest(password));
    QTRY_COMPARE(server->loginVerifier().pendingChecks(), 1);
    leaving->disconnect();
    leaving.reset();
    QTRY_COMPARE(server->repairServer().openConnections(), 1);
    shut.unlock();

    // The outcome arrives for a connection that is gone, and is dropped.
    QTRY_COMPARE(server->loginVerifier().pendingChecks(), 0);
    expectUsable(*client);
}

void ProtocolTest::unknownUserIsRefusedOnlyAfterAFullCheck()
{
    // A name that does not exist goes through the same slow check as a
    // wrong password, so the time to answer does not give it away.
    std::unique_lock<QMutex> shut(loginGate);
    client->send(QStringLiteral("Login"), QStringLiteral("nobody"), wire::passwordDigest(password));
    QTRY_COMPARE(server->loginVerifier().pendingChecks(), 1);
    QVERIFY(!client->hasReplyWaiting());
    shut.unlock();
    QCOMPARE(client->receive().tag, QStringLiteral("Wrong"));
}

QTEST_GUILESS_MAIN(ProtocolTest)
#include "tst_protocol.moc"
