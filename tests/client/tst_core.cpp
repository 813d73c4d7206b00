#include "appstate.h"
#include "fakeserver.h"
#include "frame.h"
#include "liveclock.h"
#include "messagescript.h"
#include "serverlink.h"

#include <QDialog>
#include <QTcpSocket>
#include <QtTest>

#include <memory>

// The smallest screen with a link: it records the replies it is handed.
class LinkedScreen : public QDialog
{
    Q_OBJECT

public:
    explicit LinkedScreen(ServerLink::AfterLoss afterLoss = ServerLink::AfterLoss::ExitProgram)
        : link(new ServerLink(this, afterLoss, QStringLiteral("Error: ")))
    {
        link->replies()
            .on("Text", [this](const QString &text) { texts << text; })
            .on("Number", [this](qint32 number) { texts << QString::number(number); })
            .otherwise([this]() { texts << QStringLiteral("fallback"); });
        link->open();
    }

    ServerLink *link;
    QStringList texts;
    int connections = 0;

private slots:
    void readyRead() { link->collect(); }
    void connected() { ++connections; }
    void disconnected() { link->reportLoss(); }
    void displayError(QAbstractSocket::SocketError error) { link->reportError(error); }
};

class CoreTest : public QObject
{
    Q_OBJECT

private slots:
    void userAndBinGettersAnswerErrorOutOfRange();
    void otherGroupsAnswerTheirLastFieldOutOfRange();
    void logOutResetClearsOnlyTheUser();

    void replyInPiecesIsHandledOnceComplete();
    void framesArrivingTogetherAreAllHandledInOrder();
    void unknownTagOrCorruptFieldsTakeTheFallback();
    void impossibleReplySizeCountsAsALostLink();
    void lostLinkShowsDisconnectedAndExits();
    void ownCloseShowsNothingAndReopenConnectsAgain();
    void socketErrorsShowTheirPrefixExceptRemoteClose();
    void destroyingAScreenNeverEndsTheProgram();

    void clockStartedWithTheFlagClearedEmitsNothing();
    void clockStopsPromptlyAndDeliversNothingAfterward();
    void sheetDestroyedAtOnceTakesItsClockWithIt();
    void clockTextWrapsAtADay();
};

void CoreTest::userAndBinGettersAnswerErrorOutOfRange()
{
    AppState &state = AppState::instance();
    state.setUser("anna", "digest");
    QCOMPARE(state.user(1), QString("anna"));
    QCOMPARE(state.user(2), QString("digest"));
    QCOMPARE(state.user(3), QString("Error"));
    state.setCurrentBin("KD1001", "4", "FER", 0);
    QCOMPARE(state.currentBin(4), QString("0"));
    QCOMPARE(state.currentBin(0), QString("Error"));
    QCOMPARE(state.currentBin(5), QString("Error"));
    state.setCurrentBin("KD1001", "4", "FER", -3);
    QCOMPARE(state.currentBin(4), QString("-3"));
}

void CoreTest::otherGroupsAnswerTheirLastFieldOutOfRange()
{
    AppState &state = AppState::instance();
    state.setCheckOrder(true, "bob", "KD7", 2, "FER", "6");
    QVERIFY(state.checkingOrder());
    QCOMPARE(state.checkOrder(3), QString("2"));
    QCOMPARE(state.checkOrder(9), QString("6"));
    QCOMPARE(state.checkOrder(0), QString("6"));
    state.setConfirmOrder("carl", "ROR9", 4, "ROR");
    QCOMPARE(state.confirmOrder(7), QString("ROR"));
    state.setCustomOrder("d", "w", "j", "c", "i", "n", "p", "e");
    QCOMPARE(state.customOrder(2), QString("w"));
    QCOMPARE(state.customOrder(42), QString("e"));
    state.setTimeStampEdit("s", "e", 10, 4294967295u);
    QCOMPARE(state.timeStampEdit(3), QString("10"));
    QCOMPARE(state.timeStampEdit(-1), QString("4294967295"));
    state.setTimeStampUser("eve", 2025);
    QCOMPARE(state.timeStampUser(2), QString("2025"));
}

void CoreTest::logOutResetClearsOnlyTheUser()
{
    AppState &state = AppState::instance();
    state.setUser("anna", "digest");
    state.setLoggedIn(true);
    state.setWorkType("Roll Off Repair");
    state.setCurrentBin("ROR12", "20", "ROR", 3);
    state.resetUser();
    QCOMPARE(state.user(1), QString());
    QCOMPARE(state.user(2), QString());
    QVERIFY(!state.loggedIn());
    QCOMPARE(state.workType(), QString("Roll Off Repair"));
    QCOMPARE(state.currentBin(1), QString("ROR12"));
}

void CoreTest::replyInPiecesIsHandledOnceComplete()
{
    FakeServer server;
    LinkedScreen screen;
    QTRY_COMPARE(screen.connections, 1);
    const QByteArray reply = wire::frame("Text", QString("first"));
    server.send(reply.left(3));
    QTest::qWait(30);
    server.send(reply.mid(3, 9));
    QTest::qWait(30);
    QVERIFY(screen.texts.isEmpty());
    server.send(reply.mid(12));
    QTRY_COMPARE(screen.texts, QStringList{"first"});
}

void CoreTest::framesArrivingTogetherAreAllHandledInOrder()
{
    FakeServer server;
    LinkedScreen screen;
    QTRY_COMPARE(screen.connections, 1);
    server.send(wire::frame("Text", QString("a")) + wire::frame("Number", qint32(7)) + wire::frame("Text", QString("b")));
    QTRY_COMPARE(screen.texts, (QStringList{"a", "7", "b"}));
}

void CoreTest::unknownTagOrCorruptFieldsTakeTheFallback()
{
    FakeServer server;
    LinkedScreen screen;
    QTRY_COMPARE(screen.connections, 1);
    server.send(wire::frame("Unheard"));
    // "Number" promises an int, but only two bytes follow the tag.
    QByteArray shortNumber = wire::frame("Number");
    shortNumber.append("\x00\x01", 2);
    QDataStream(&shortNumber, QIODevice::WriteOnly) << qint64(shortNumber.size());
    server.send(shortNumber);
    QTRY_COMPARE(screen.texts, (QStringList{"fallback", "fallback"}));
}

void CoreTest::impossibleReplySizeCountsAsALostLink()
{
    MessageScript messages;
    messages.expect("Disconnected");
    FakeServer server;
    LinkedScreen screen;
    QTRY_COMPARE(screen.connections, 1);
    QByteArray huge;
    QDataStream(&huge, QIODevice::WriteOnly) << qint64(wire::MaximumReplySize + 1) << QString("Text");
    server.send(huge);
    QTRY_COMPARE(messages.exits(), QList<int>{0});
    QVERIFY(screen.texts.isEmpty());
    QCOMPARE(messages.unexpected(), QStringList());
}

void CoreTest::lostLinkShowsDisconnectedAndExits()
{
    MessageScript messages;
    messages.expect("Disconnected");
    FakeServer server;
    LinkedScreen screen;
    QTRY_COMPARE(screen.connections, 1);
    server.dropConnections();
    QTRY_COMPARE(messages.exits(), QList<int>{0});
    QCOMPARE(messages.unexpected(), QStringList());
}

void CoreTest::ownCloseShowsNothingAndReopenConnectsAgain()
{
    MessageScript messages;
    FakeServer server;
    LinkedScreen screen;
    QTRY_COMPARE(screen.connections, 1);
    screen.link->close();
    QTRY_COMPARE(server.openConnections(), 0);
    QTest::qWait(30);
    screen.link->reopen();
    QTRY_COMPARE(screen.connections, 2);
    server.send(wire::frame("Text", QString("again")));
    QTRY_COMPARE(screen.texts, QStringList{"again"});
    // The reopened link reports a loss again.
    messages.expect("Disconnected");
    server.dropConnections();
    QTRY_COMPARE(messages.exits().size(), 1);
    QCOMPARE(messages.shownTexts(), QStringList{"Disconnected"});
}

void CoreTest::socketErrorsShowTheirPrefixExceptRemoteClose()
{
    MessageScript messages;
    AppState::instance().configureServer("127.0.0.1", 1);
    LinkedScreen screen(ServerLink::AfterLoss::KeepScreen);
    QTRY_COMPARE(messages.shown().size(), 1);
    QVERIFY(messages.shownTexts().first().startsWith("Error: "));
    QVERIFY(messages.shownTexts().first().size() > 7);
    screen.link->reportError(QAbstractSocket::RemoteHostClosedError);
    QCOMPARE(messages.shown().size(), 1);
    QVERIFY(messages.exits().isEmpty());
}

void CoreTest::destroyingAScreenNeverEndsTheProgram()
{
    MessageScript messages;
    FakeServer server;
    auto screen = std::make_unique<LinkedScreen>();
    QTRY_COMPARE(screen->connections, 1);
    screen.reset();
    QTRY_COMPARE(server.openConnections(), 0);
    QTest::qWait(30);
    QVERIFY(messages.shown().isEmpty());
    QVERIFY(messages.exits().isEmpty());
}

void CoreTest::clockStartedWithTheFlagClearedEmitsNothing()
{
    AppState::instance().setLiveClockRunning(false);
    LiveClock clock(nullptr);
    QSignalSpy updates(&clock, &LiveClock::LiveClockUpdate);
    clock.start();
    QVERIFY(clock.wait(2000));
    QCOMPARE(updates.count(), 0);
}

void CoreTest::clockStopsPromptlyAndDeliversNothingAfterward()
{
    QObject sheet;
    QStringList shown;
    AppState::instance().setLiveClockRunning(true);
    auto *clock = new LiveClock(&sheet);
    connect(clock, &LiveClock::LiveClockUpdate, &sheet, [&shown](const QString &text) { shown << text; });
    clock->start(QThread::InheritPriority);
    QTRY_VERIFY(!shown.isEmpty());
    QVERIFY(shown.first() == "00:00:00" || shown.first() == "00:00:01");

    clock->stop();
    QVERIFY(clock->isFinished());
    QVERIFY(!AppState::instance().liveClockRunning());
    QCoreApplication::processEvents();
    const int delivered = shown.size();
    QTest::qWait(1200);
    QCOMPARE(shown.size(), delivered);
}

void CoreTest::sheetDestroyedAtOnceTakesItsClockWithIt()
{
    auto *sheet = new QObject;
    int shown = 0;
    AppState::instance().setLiveClockRunning(true);
    auto *clock = new LiveClock(sheet);
    connect(clock, &LiveClock::LiveClockUpdate, sheet, [&shown]() { ++shown; });
    clock->start();
    delete sheet;
    QVERIFY(!AppState::instance().liveClockRunning());
    const int delivered = shown;
    QTest::qWait(200);
    QCOMPARE(shown, delivered);
}

void CoreTest::clockTextWrapsAtADay()
{
    QCOMPARE(LiveClock::elapsedText(0), QString("00:00:00"));
    QCOMPARE(LiveClock::elapsedText(3725), QString("01:02:05"));
    QCOMPARE(LiveClock::elapsedText(90000), QString("01:00:00"));
}

QTEST_MAIN(CoreTest)
#include "tst_core.moc"
