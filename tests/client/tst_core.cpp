#include "core/handover.h"
#include "core/liveclock.h"
#include "core/serverlink.h"
#include "core/tablecolumns.h"
#include "screens.h"

#include <QDialog>
#include <QHeaderView>
#include <QHelpEvent>
#include <QMessageBox>
#include <QStandardItemModel>
#include <QToolTip>
#include <QVBoxLayout>
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

enum class Leaving { Escape, CloseButton };
Q_DECLARE_METATYPE(Leaving)
Q_DECLARE_METATYPE(ScreenKind)

// Esc, or the window system's close as the title bar's button sends it.
void leave(QDialog &screen, Leaving how)
{
    if (how == Leaving::Escape) {
        QTest::keyClick(&screen, Qt::Key_Escape);
        return;
    }
    QCloseEvent close;
    QCoreApplication::sendEvent(screen.windowHandle(), &close);
}

class CoreTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetClient(); }

    // A reply of an impossible size ends the link as a lost one.
    void repliesAreHandledWholeAndInOrderAndTheRestTakesTheFallback()
    {
        MessageScript messages;
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

        QByteArray huge;
        QDataStream(&huge, QIODevice::WriteOnly) << qint64(wire::MaximumReplySize + 1) << QString("Text");
        server.send(huge);
        QTRY_COMPARE(messages.exits(), QList<int>{0});
        QCOMPARE(messages.shownTexts(), QStringList{"Disconnected"});
        QCOMPARE(screen.texts.size(), 5);
    }

    // Only a lost link is reported, "Disconnected" alone: not a screen's own
    // close, its destruction, nor the remote close; other errors get the prefix.
    void onlyALostLinkOrASocketErrorIsReported()
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

        AppState::instance().configureServer("127.0.0.1", 1);
        LinkedScreen refused(ServerLink::AfterLoss::KeepScreen);
        QTRY_COMPARE(messages.shown().size(), 2);
        QVERIFY(messages.shownTexts().last().startsWith("Error: "));
        QVERIFY(messages.shownTexts().last().size() > 7);
        QCOMPARE(messages.exits().size(), 1);
    }

    // A double press sends its request once; after another request, or once
    // its reply came, the same request goes out again.
    void aRequestAwaitingItsReplyIsNotSentAgain()
    {
        FakeServer server;
        LinkedScreen screen;
        QTRY_COMPARE(screen.connections, 1);
        const QByteArray start = wire::frame("StartCustomRepair", QString("Acme"));
        screen.link->send(start);
        screen.link->send(start);
        screen.link->send(wire::frame("StartCustomRepair", QString("Bolt")));
        screen.link->send(start);
        screen.link->send(start);
        QTRY_COMPARE(server.calls().size(), 3);
        server.send(wire::frame("Text", QString("1")) + wire::frame("Text", QString("2"))
                    + wire::frame("Text", QString("3")));
        QTRY_COMPARE(screen.texts.size(), 3);
        screen.link->send(start);
        QTRY_COMPARE(server.calls().size(), 4);
        QTest::qWait(30);
        QCOMPARE(server.calls(), (QStringList{"StartCustomRepair(Acme)", "StartCustomRepair(Bolt)",
                                              "StartCustomRepair(Acme)", "StartCustomRepair(Acme)"}));
    }

    // Esc and the window's close button take a screen's way out, which ends
    // a timed screen's timing; while the way out is disabled, nothing leaves.
    void leavingATimedScreenEndsItsTiming_data()
    {
        QTest::addColumn<ScreenKind>("kind");
        QTest::addColumn<Leaving>("how");
        QTest::addColumn<QString>("wayOut");
        QTest::addColumn<QStringList>("calls");
        const QString bin = "anna, Front End Repair, KD1234, 17";
        QTest::newRow("bin sheet, Esc") << ScreenKind::BinRepairSheet << Leaving::Escape << "pushButton_Back"
                                        << QStringList{"SetStartTime(" + bin + ")", "GetBinInfo(" + bin + ")",
                                                       "SetEndTime(" + bin + ", 5)"};
        QTest::newRow("final checks, close button")
            << ScreenKind::FinalChecks << Leaving::CloseButton << "pushButton_Cancel"
            << QStringList{"SetStartTime(" + bin + ")", "ChangeStatus(anna, 2, KD1234, 17)",
                           "SetEndTime(" + bin + ", 5)"};
        QTest::newRow("custom sheet, Esc") << ScreenKind::CustomJobSheet << Leaving::Escape << "pushButton_Cancel"
                                           << QStringList{"SetCustomStartTime(anna, 31, Tank_repair, Acme)",
                                                          "SetCustomEndTime(anna, 31, Tank_repair, Acme, 5)"};
    }

    void leavingATimedScreenEndsItsTiming()
    {
        QFETCH(ScreenKind, kind);
        QFETCH(Leaving, how);
        QFETCH(QString, wayOut);
        QFETCH(QStringList, calls);
        MessageScript messages;
        FakeServer server;
        server.answer("SetStartTime", textFrame("StartTimeSet", {"5", "0"}));
        server.answer("SetCustomStartTime", textFrame("SetCustomStartTime", {"5"}));
        server.answer("ChangeStatus", wire::frame("StatusChanged"));
        server.answer("SetEndTime", wire::frame("EndTimeSet"));
        server.answer("SetCustomEndTime", wire::frame("SetCustomEndTime"));
        const std::unique_ptr<QDialog> screen = Navigation::create(kind);
        QVERIFY(QTest::qWaitForWindowExposed(screen.get()));
        QTRY_COMPARE(AppState::instance().timeStampId(), 5);
        child<QAbstractButton>(screen.get(), wayOut)->setEnabled(false);
        leave(*screen, how);
        QVERIFY(screen->isVisible());
        child<QAbstractButton>(screen.get(), wayOut)->setEnabled(true);
        leave(*screen, how);
        // The screen stays until its way out ends it, once the timing has ended.
        QVERIFY(screen->isVisible());
        QTRY_VERIFY(!screen->isVisible());
        QCOMPARE(server.calls(), calls);
        QCOMPARE(AppState::instance().timeStampId(), 0);
        QVERIFY(!AppState::instance().timerRunning() && !AppState::instance().liveClockRunning());
        QVERIFY(messages.shown().isEmpty());
    }

    // A screen without a way out of its own closes on Esc as any dialog does.
    void aScreenWithoutAWayOutClosesOnEscape()
    {
        Navigation::setFactory([](ScreenKind) { return std::make_unique<QDialog>(); });
        const std::unique_ptr<QDialog> plain = Navigation::create(ScreenKind::PreCheck);
        plain->show();
        QVERIFY(QTest::qWaitForWindowExposed(plain.get()));
        leave(*plain, Leaving::Escape);
        QVERIFY(!plain->isVisible());
    }

    // Running another screen on top hides this one with its link closed, then
    // shows it on a fresh link; handing over closes it, acting on no later reply.
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
                whileNextRan << QString::number(int(kind)) + (screen.isVisible() ? " shown" : " hidden")
                                    + (linkClosed ? ", link closed" : ", link open");
                next->close();
            });
            return next;
        });
        QTRY_COMPARE(server.openConnections(), 1);
        runWithLinkClosed(&screen, screen.link, ScreenKind::FinalChecks);
        QVERIFY(screen.isVisible());
        QTRY_COMPARE(screen.connections, 2);
        screen.link->replies().on("Moved", [&]() { handOver(&screen, screen.link, ScreenKind::PreCheck); });
        server.send(wire::frame("Moved") + wire::frame("Moved") + wire::frame("Text", QString("late")));
        QTRY_VERIFY(!screen.isVisible());
        QTest::qWait(50);
        QCOMPARE(whileNextRan, (QStringList{QString::number(int(ScreenKind::FinalChecks)) + " hidden, link closed",
                                            QString::number(int(ScreenKind::PreCheck)) + " hidden, link closed"}));
        QVERIFY(screen.texts.isEmpty());
        QTRY_COMPARE(server.openConnections(), 0);
        QVERIFY(messages.shown().isEmpty());
    }

    // Started with the flag cleared, a live clock returns at once without a
    // word; with it set, it runs until stopped (see the sheets) or its sheet goes.
    void liveClock()
    {
        QStringList shown;
        const auto start = [&shown](bool running, QObject *owner) {
            AppState::instance().setLiveClockRunning(running);
            auto *clock = new LiveClock(owner);
            connect(clock, &LiveClock::LiveClockUpdate, owner, [&shown](const QString &text) { shown << text; });
            clock->start();
            return clock;
        };
        QObject sheet;
        const LiveClock *idle = start(false, &sheet);
        QTRY_VERIFY(idle->isFinished());
        QCoreApplication::processEvents();
        QVERIFY(shown.isEmpty());

        auto *other = new QObject;
        start(true, other);
        delete other;
        QVERIFY(!AppState::instance().liveClockRunning());
        QCOMPARE(LiveClock::elapsedText(3725), QString("01:02:05"));
        QCOMPARE(LiveClock::elapsedText(90000), QString("01:00:00"));
    }
};

// A maximized screen as the terminals show them: a large font and one table.
struct TableScreen
{
    explicit TableScreen(int width)
    {
        QFont font = screen.font();
        font.setPointSize(28);
        screen.setFont(font);
        (new QVBoxLayout(&screen))->addWidget(table);
        model->setHorizontalHeaderLabels({"Repair Code", "Materials", "Time", "UserName"});
        table->setModel(model);
        fitColumnsToContents(table);
        screen.resize(width, 600);
        screen.show();
    }

    QDialog screen;
    QTableView *table = new QTableView(&screen);
    QStandardItemModel *model = new QStandardItemModel(&screen);
};

class TerminalLookTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetClient(); }

    void tablesShowWhatTheyHold_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("materials");
        QTest::addColumn<bool>("shownWhole");
        QTest::newRow("room to spare") << 1400 << "steel plate" << true;
        QTest::newRow("too narrow: wraps, the rest in a tooltip")
            << 1000 << "steel plate 3 mm, two hinges, welding wire and a tin of red primer" << false;
    }

    void tablesShowWhatTheyHold()
    {
        QFETCH(int, width);
        QFETCH(QString, materials);
        QFETCH(bool, shownWhole);
        TableScreen s(width);
        // Rows arrive after the screen is laid out, as replies do.
        for (const char *code : {"FEC101", "FEC2"})
            s.model->appendRow({new QStandardItem(code), new QStandardItem(materials), new QStandardItem("1:30"),
                                new QStandardItem("anna")});
        QTRY_COMPARE(columnsShowWholeTexts(s.table), shownWhole);
        QCOMPARE(s.table->horizontalHeader()->length(), s.table->viewport()->width());
        for (int column : {0, 2, 3})
            QVERIFY(s.table->columnWidth(column) < s.table->columnWidth(1));
        const QRect cell = s.table->visualRect(s.model->index(0, 1));
        QCOMPARE(cell.height() > 2 * s.table->fontMetrics().height(), !shownWhole);

        QHelpEvent hover(QEvent::ToolTip, cell.center(), s.table->viewport()->mapToGlobal(cell.center()));
        QApplication::sendEvent(s.table->viewport(), &hover);
        QCOMPARE(QToolTip::text(), shownWhole ? QString() : materials);
    }

    // A box reads at its screen's size: its font, half its width, all its text.
    void messageBoxesTakeTheirScreensSize()
    {
        UserMessages::setPresenter({});
        TableScreen s(1000);
        QFont seen;
        int boxWidth = 0;
        bool wholeText = false;
        QTimer::singleShot(0, [&]() {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            seen = box->font();
            boxWidth = box->width();
            const auto *label = box->findChild<QLabel *>("qt_msgbox_label");
            wholeText = label->height() >= label->heightForWidth(label->width());
            box->accept();
        });
        UserMessages::ask(&s.screen, "You are currently not clocked in!\nWould you like to clock in now?",
                          QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Yes);
        QCOMPARE(seen.pointSize(), 28);
        QVERIFY(boxWidth >= 500);
        QVERIFY(wholeText);
    }
};

SCREEN_TESTS_MAIN(CoreTest, TerminalLookTest)
#include "tst_core.moc"
