#include "core/handover.h"
#include "core/liveclock.h"
#include "core/serverlink.h"
#include "screens.h"

#include <QDialog>
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
        link->whenConnected([this]() { ++connections; });
        link->open();
    }

    ServerLink *link;
    QStringList texts;
    int connections = 0;
};

class CoreTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetClient(); }

    void gettersOutOfRange()
    {
        AppState &state = AppState::instance();
        // The user and the current bin answer "Error" outside their fields...
        QCOMPARE(stateFields(&AppState::user, 3), (QStringList{"anna", "digest", "Error"}));
        QCOMPARE(stateFields(&AppState::currentBin, 5), (QStringList{"KD1234", "4", "FER", "17", "Error"}));
        QCOMPARE(state.currentBin(0), QString("Error"));
        // ...every other group with its last one.
        state.setCheckOrder(true, "bob", "KD7", 2, "FER", "6");
        QCOMPARE(stateFields(&AppState::checkOrder, 6), (QStringList{"bob", "KD7", "2", "FER", "6", "6"}));
        state.setConfirmOrder("carl", "ROR9", 4, "ROR");
        QCOMPARE(stateFields(&AppState::confirmOrder, 5), (QStringList{"carl", "ROR9", "4", "ROR", "ROR"}));
        state.setCustomOrder("d", "w", "j", "c", "i", "n", "p", "e");
        QCOMPARE(stateFields(&AppState::customOrder, 9), (QStringList{"d", "w", "j", "c", "i", "n", "p", "e", "e"}));
        state.setTimeStampEdit("s", "e", 10, 4294967295u);
        QCOMPARE(stateFields(&AppState::timeStampEdit, 4), (QStringList{"s", "e", "10", "4294967295"}));
        QCOMPARE(state.timeStampEdit(-1), QString("4294967295"));
        state.setTimeStampUser("eve", 2025);
        QCOMPARE(stateFields(&AppState::timeStampUser, 3), (QStringList{"eve", "2025", "2025"}));
    }

    void logOutResetClearsOnlyTheUser()
    {
        AppState &state = AppState::instance();
        state.resetUser();
        QCOMPARE(stateFields(&AppState::user, 2), (QStringList{"", ""}));
        QVERIFY(!state.loggedIn());
        QCOMPARE(state.workType(), QString("Front End Repair"));
        QCOMPARE(state.currentBin(1), QString("KD1234"));
    }

    void repliesAreHandledWholeAndInOrderAndTheRestTakesTheFallback()
    {
        FakeServer server;
        LinkedScreen screen;
        QTRY_COMPARE(screen.connections, 1);
        const QByteArray reply = wire::frame("Text", QString("first"));
        server.send(reply.left(3));
        QTest::qWait(30);
        server.send(reply.mid(3, 9));
        QTest::qWait(30);
        // "Number" promises an int, but only two bytes follow the tag.
        QByteArray shortNumber = wire::frame("Number");
        shortNumber.append("\x00\x01", 2);
        QDataStream(&shortNumber, QIODevice::WriteOnly) << qint64(shortNumber.size());
        // The rest of the reply arrives together with several more.
        server.send(reply.mid(12) + wire::frame("Number", qint32(7)) + wire::frame("Unheard") + shortNumber
                    + wire::frame("Text", QString("b")));
        QTRY_COMPARE(screen.texts, (QStringList{"first", "7", "fallback", "fallback", "b"}));
    }

    void impossibleReplySizeCountsAsALostLink()
    {
        MessageScript messages;
        FakeServer server;
        LinkedScreen screen;
        QTRY_COMPARE(screen.connections, 1);
        QByteArray huge;
        QDataStream(&huge, QIODevice::WriteOnly) << qint64(wire::MaximumReplySize + 1) << QString("Text");
        server.send(huge);
        QTRY_COMPARE(messages.exits(), QList<int>{0});
        QCOMPARE(messages.shownTexts(), QStringList{"Disconnected"});
        QVERIFY(screen.texts.isEmpty());
    }

    // Neither a screen's own close nor its destruction shows anything; a loss
    // after reopening shows "Disconnected" alone, no error for the remote close.
    void onlyALostLinkIsReported()
    {
        MessageScript messages;
        FakeServer server;
        LinkedScreen screen;
        auto destroyed = std::make_unique<LinkedScreen>();
        QTRY_COMPARE(screen.connections + destroyed->connections, 2);
        destroyed.reset();
        screen.link->close();
        QTRY_COMPARE(server.openConnections(), 0);
        QVERIFY(messages.shown().isEmpty());
        screen.link->reopen();
        QTRY_COMPARE(screen.connections, 2);
        server.send(wire::frame("Text", QString("again")));
        QTRY_COMPARE(screen.texts, QStringList{"again"});
        server.dropConnections();
        QTRY_COMPARE(messages.exits(), QList<int>{0});
        QCOMPARE(messages.shownTexts(), QStringList{"Disconnected"});
    }

    void socketErrorsShowTheirPrefixExceptRemoteClose()
    {
        MessageScript messages;
        AppState::instance().configureServer("127.0.0.1", 1);
        LinkedScreen screen(ServerLink::AfterLoss::KeepScreen);
        QTRY_COMPARE(messages.shown().size(), 1);
        QVERIFY(messages.shownTexts().first().startsWith("Error: "));
        QVERIFY(messages.shownTexts().first().size() > 7);
        QVERIFY(messages.exits().isEmpty());
    }

    // Handing over closes the link quietly and hides the screen while the
    // next one runs, then closes it; running another on top shows the screen
    // again afterwards on a fresh connection.
    void handOverAndRunOnTop()
    {
        MessageScript messages;
        FakeServer server;
        LinkedScreen screen;
        screen.show();
        QTRY_COMPARE(screen.connections, 1);
        QStringList whileNextRan;
        Navigation::setFactory([&](ScreenKind kind) {
            auto next = std::make_unique<QDialog>();
            QTimer::singleShot(0, next.get(), [&, kind, next = next.get()]() {
                const bool linkClosed = QTest::qWaitFor([&server]() { return server.openConnections() == 0; }, 2000);
                whileNextRan << QString("%1, %2, %3")
                                    .arg(int(kind))
                                    .arg(screen.isVisible() ? "shown" : "hidden")
                                    .arg(linkClosed ? "link closed" : "link open");
                next->close();
            });
            return next;
        });
        QTRY_COMPARE(server.openConnections(), 1);
        runWithLinkClosed(&screen, screen.link, ScreenKind::FinalChecks);
        QVERIFY(screen.isVisible());
        QTRY_COMPARE(screen.connections, 2);
        handOver(&screen, screen.link, ScreenKind::PreCheck);
        QCOMPARE(whileNextRan, (QStringList{QString("%1, hidden, link closed").arg(int(ScreenKind::FinalChecks)),
                                            QString("%1, hidden, link closed").arg(int(ScreenKind::PreCheck))}));
        QVERIFY(!screen.isVisible());
        QTRY_COMPARE(server.openConnections(), 0);
        QVERIFY(messages.shown().isEmpty());
    }

    void liveClock()
    {
        // Started with the flag cleared, it returns at once without a word.
        AppState::instance().setLiveClockRunning(false);
        QObject sheet;
        QStringList shown;
        auto *idle = new LiveClock(&sheet);
        connect(idle, &LiveClock::LiveClockUpdate, &sheet, [&shown](const QString &text) { shown << text; });
        idle->start();
        QTRY_VERIFY(idle->isFinished());
        QCoreApplication::processEvents();
        QVERIFY(shown.isEmpty());

        // Started with the flag set, it counts from zero until stopped.
        AppState::instance().setLiveClockRunning(true);
        auto *clock = new LiveClock(&sheet);
        connect(clock, &LiveClock::LiveClockUpdate, &sheet, [&shown](const QString &text) { shown << text; });
        clock->start(QThread::InheritPriority);
        QTRY_VERIFY(!shown.isEmpty());
        QVERIFY(shown.first() == "00:00:00" || shown.first() == "00:00:01");
        clock->stop();
        QVERIFY(clock->isFinished() && !AppState::instance().liveClockRunning());

        // Destroying its sheet stops it too.
        auto *other = new QObject;
        AppState::instance().setLiveClockRunning(true);
        (new LiveClock(other))->start();
        delete other;
        QVERIFY(!AppState::instance().liveClockRunning());

        QCOMPARE(LiveClock::elapsedText(0), QString("00:00:00"));
        QCOMPARE(LiveClock::elapsedText(3725), QString("01:02:05"));
        QCOMPARE(LiveClock::elapsedText(90000), QString("01:00:00"));
    }
};

QTEST_MAIN(CoreTest)
#include "tst_core.moc"
