#include "inprocessserver.h"

#include "auth/passwordhasher.h"

#include <commands.h>
#include <passworddigest.h>
#include <replytags.h>

#include <QSqlError>
#include <QtTest>

#include <fcntl.h>
#include <sys/resource.h>

// What a careless or hostile peer can hold of the server, with small limits:
// memory, connections, time, log lines, and the database.
class LimitsTest : public QObject
{
    Q_OBJECT

private slots:
    void halfSentFramesShareBoundedRoom();
    void silentConnections_data();
    void silentConnections();
    void unreadRepliesAreCapped();
    void connectionCaps();
    void refusedAcceptRestsInsteadOfSpinning();
    void repeatedEventsAreSummarized();
    void heldDatabaseLockDelaysOnlyTheWriter();

private:
    static QHostAddress from(int lastByte) { return QHostAddress(QStringLiteral("127.0.0.%1").arg(lastByte)); }
    // Whether the connection is served: a request gets its answer (from an
    // address without a session, the refusal of a command other than Login).
    static bool usable(ServerTestClient &connection) { return connection.request(Command::GetWork).received; }
};

void LimitsTest::halfSentFramesShareBoundedRoom()
{
    ServerLimits limits;
    limits.requestAllowance = 1 << 10;
    limits.socketReadAhead = 1 << 10;
    limits.bufferedRequestBytes = 96 << 10;
    limits.frameTimeoutMs = 1000;
    InProcessServer server({}, limits);
    QVERIFY2(server.startError().isEmpty(), qPrintable(server.startError()));

    // Each announces the largest request and holds back its last byte.
    const QByteArray largest
        = ServerTestClient::sizeField(wire::MaximumRequestSize) + QByteArray(wire::MaximumRequestSize - 8, 'x');
    std::vector<std::unique_ptr<ServerTestClient>> senders;
    for (int i = 0; i < 5; ++i) {
        senders.push_back(server.connect(from(10 + i)));
        QVERIFY(senders.back());
        senders.back()->sendRaw(largest.chopped(1));
    }
    QTRY_COMPARE(server.repairServer().heldRequestBytes(), limits.bufferedRequestBytes);
    QTest::qWait(50);
    QCOMPARE(server.repairServer().heldRequestBytes(), limits.bufferedRequestBytes);

    // Terminals are served from their own allowance meanwhile.
    std::unique_ptr<ServerTestClient> terminal = server.connect();
    QVERIFY(terminal);
    QVERIFY(usable(*terminal));

    // The senders run out of time, and the room comes back.
    for (const std::unique_ptr<ServerTestClient> &sender : senders)
        QVERIFY(sender->waitForDisconnected());
    QTRY_COMPARE(server.repairServer().heldRequestBytes(), 0);

    // A request of the largest size still gets through, and is answered
    // (as meaningless).
    terminal->sendRaw(largest);
    QCOMPARE(terminal->receive().tag, ReplyTag::Error);
    QVERIFY(usable(*terminal));
}

void LimitsTest::silentConnections_data()
{
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<bool>("loggedIn");
    QTest::addColumn<bool>("closed");
    const QByteArray getWork = wire::frame(Command::GetWork);
    QTest::newRow("nothing, no session") << QByteArray() << false << true;
    QTest::newRow("nothing, logged in") << QByteArray() << true << false;
    QTest::newRow("a request, then nothing") << getWork << false << true;
    QTest::newRow("half a request") << getWork.left(10) << true << true;
}

// A connection must complete a request it began; one from an address
// without a session must also keep sending requests.
void LimitsTest::silentConnections()
{
    QFETCH(QByteArray, sent);
    QFETCH(bool, loggedIn);
    QFETCH(bool, closed);
    ServerLimits limits;
    limits.frameTimeoutMs = 200;
    limits.idleTimeoutMs = 200;
    InProcessServer server({}, limits);
    QVERIFY2(server.startError().isEmpty(), qPrintable(server.startError()));
    server.repairServer().setSessionCheck([loggedIn](const QHostAddress &) { return loggedIn; });

    std::unique_ptr<ServerTestClient> client = server.connect();
    QVERIFY(client);
    client->sendRaw(sent);
    if (closed) {
        QVERIFY(client->waitForDisconnected());
        QTRY_COMPARE(server.repairServer().openConnections(), 0);
        return;
    }
    QTest::qWait(5 * limits.idleTimeoutMs);
    QVERIFY(usable(*client));
}

void LimitsTest::unreadRepliesAreCapped()
{
    ServerLimits limits;
    limits.unsentReplyBytes = 64 << 10;
    limits.replyTimeoutMs = 1000;
    InProcessServer server({}, limits);
    QVERIFY2(server.startError().isEmpty(), qPrintable(server.startError()));
    // A code list whose reply is about 3 MB.
    QVERIFY(server.execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 7000)"
                           " INSERT INTO repair_codes (code_list, code, code_type, description)"
                           " SELECT 'FER', printf('FEC%05d', i), 'Front End Repair', hex(zeroblob(100)) FROM n"));
    const QByteArray ask
        = wire::frame(Command::GetRepairCodes, QStringLiteral("Front End Repair"), QStringLiteral("FER"));
    std::unique_ptr<ServerTestClient> reader = server.connect();
    QVERIFY(reader);
    reader->sendRaw(ask);
    const std::optional<QByteArray> reply = reader->receiveFrame();
    QVERIFY(reply && reply->size() > (2 << 20));

    // A client with a small window asks many times and reads nothing.
    QTcpSocket nonReader;
    nonReader.setReadBufferSize(1);
    nonReader.connectToHost(QHostAddress::LocalHost, server.port());
    QVERIFY(nonReader.waitForConnected(5000));
    nonReader.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 8192);
    for (int i = 0; i < 10; ++i)
        nonReader.write(ask);

    // It holds one reply at most, and while that fills the shared room,
    // others wait; the reply stops moving and the connection goes.
    QTRY_VERIFY(server.repairServer().heldReplyBytes() > 0);
    QVERIFY(server.repairServer().heldReplyBytes() <= reply->size());
    reader->send(Command::GetWork);
    QTest::qWait(50);
    const bool answeredEarly = reader->hasReplyWaiting();
    QCOMPARE(reader->receive().tag, QStringLiteral("WorkType"));
    QVERIFY(!answeredEarly);
    QCOMPARE(server.repairServer().openConnections(), 1);
    QCOMPARE(server.repairServer().heldReplyBytes(), 0);
}

void LimitsTest::connectionCaps()
{
    ServerLimits limits;
    limits.connectionsPerAddress = 3;
    limits.connections = 5;
    InProcessServer server({}, limits);
    QVERIFY2(server.startError().isEmpty(), qPrintable(server.startError()));

    std::vector<std::unique_ptr<ServerTestClient>> first;
    for (int i = 0; i < 3; ++i) {
        first.push_back(server.connect(from(2)));
        QVERIFY(first.back());
        QVERIFY(usable(*first.back()));
    }
    // One address past its share is turned away; another is served.
    std::unique_ptr<ServerTestClient> oneTooMany = server.connect(from(2));
    QVERIFY(!oneTooMany || oneTooMany->waitForDisconnected());
    std::vector<std::unique_ptr<ServerTestClient>> second;
    for (int i = 0; i < 2; ++i) {
        second.push_back(server.connect(from(3)));
        QVERIFY(second.back());
        QVERIFY(usable(*second.back()));
    }
    QCOMPARE(server.repairServer().openConnections(), 5);

    // At the overall limit a newcomer waits until someone leaves.
    std::unique_ptr<ServerTestClient> newcomer = server.connect(from(4));
    QVERIFY(newcomer);
    newcomer->send(Command::GetWork);
    QTest::qWait(50);
    QVERIFY(!newcomer->hasReplyWaiting());
    first.pop_back();
    QVERIFY(newcomer->receive().received);
}

void LimitsTest::refusedAcceptRestsInsteadOfSpinning()
{
    ServerLimits limits;
    limits.acceptPauseMs = 100;
    InProcessServer server({}, limits);
    QVERIFY2(server.startError().isEmpty(), qPrintable(server.startError()));
    std::unique_ptr<ServerTestClient> terminal = server.connect();
    QVERIFY(terminal);

    // Once the newcomer has its descriptor, the process may open no more, so
    // the server cannot accept it.
    rlimit before{};
    QVERIFY(getrlimit(RLIMIT_NOFILE, &before) == 0);
    QTcpSocket newcomer;
    newcomer.connectToHost(QHostAddress::LocalHost, server.port());
    int lowestFree = 0;
    while (fcntl(lowestFree, F_GETFD) != -1)
        ++lowestFree;
    const rlimit exhausted{rlim_t(lowestFree), before.rlim_max};
    QVERIFY(setrlimit(RLIMIT_NOFILE, &exhausted) == 0);
    QTest::qWait(10 * limits.acceptPauseMs);
    QVERIFY(setrlimit(RLIMIT_NOFILE, &before) == 0);
    const int refused = server.repairServer().refusedAccepts();
    QVERIFY2(refused >= 1 && refused <= 20, qPrintable(QString::number(refused)));

    QVERIFY(usable(*terminal));
    newcomer.write(wire::frame(Command::GetWork));
    QTRY_VERIFY(newcomer.bytesAvailable() > 0);
}

namespace {

QStringList logged;

void keepMessage(QtMsgType, const QMessageLogContext &, const QString &message)
{
    logged << message;
}

} // namespace

void LimitsTest::repeatedEventsAreSummarized()
{
    InProcessServer server;
    QVERIFY2(server.startError().isEmpty(), qPrintable(server.startError()));
    logged.clear();
    const QtMessageHandler previous = qInstallMessageHandler(keepMessage);
    for (int i = 0; i < 20; ++i) {
        std::unique_ptr<ServerTestClient> client = server.connect(from(i < 15 ? 5 : 6));
        QVERIFY(client);
        client->sendRaw(ServerTestClient::sizeField(-1) + "junk");
        QVERIFY(client->waitForDisconnected());
    }
    server.repairServer().log().summarize();
    qInstallMessageHandler(previous);
    QCOMPARE(
        logged.filter("impossible size"),
        QStringList({"127.0.0.5 sent a frame with an impossible size", "127.0.0.6 sent a frame with an impossible size",
                     "127.0.0.5 sent a frame with an impossible size again 14 times",
                     "127.0.0.6 sent a frame with an impossible size again 4 times"}));
}

void LimitsTest::heldDatabaseLockDelaysOnlyTheWriter()
{
    InProcessServer server;
    QVERIFY2(server.startError().isEmpty(), qPrintable(server.startError()));
    QVERIFY(server.addUser("anna", 1, PasswordHasher::hash(wire::passwordDigest("pw"))));
    std::unique_ptr<ServerTestClient> writer = server.connect(), reader = server.connect();
    QVERIFY(writer && reader);

    // Another program (a backup, the sqlite3 shell) holds the write lock.
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other program"));
        other.setDatabaseName(server.databasePath());
        QVERIFY(other.open());
        QSqlQuery lock(other);
        QVERIFY2(lock.exec("BEGIN IMMEDIATE"), qPrintable(lock.lastError().text()));

        writer->send(Command::ClockIn, QStringLiteral("anna"));
        QTest::qWait(50);
        QCOMPARE(reader->ask(Command::GetClockStatus, {"anna"}), QStringList({"GetClockStatus", ""}));
        QVERIFY(!writer->hasReplyWaiting());
        QVERIFY(lock.exec("ROLLBACK"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other program"));

    QCOMPARE(writer->receive().tag, QStringLiteral("ClockIn"));
    QCOMPARE(reader->ask(Command::GetClockStatus, {"anna"}), QStringList({"GetClockStatus", "In"}));
}

QTEST_GUILESS_MAIN(LimitsTest)
#include "tst_limits.moc"
