#include "core/handover.h"
#include "core/liveclock.h"
#include "core/serverlink.h"
#include "core/tablecolumns.h"
#include "screens.h"

#include <QDialog>
#include <QHeaderView>
#include <QHelpEvent>
#include <QMessageBox>
#include <QPushButton>
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

// A screen whose way out is a Back button that only counts its presses.
class ScreenWithBack : public QDialog
{
public:
    ScreenWithBack()
    {
        back->setObjectName("pushButton_Back");
        connect(back, &QPushButton::clicked, this, [this]() { ++backs; });
    }
    QPushButton *back = new QPushButton(this);
    int backs = 0;
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

    // A screen that gave way acts on nothing more its link had received, and
    // its link hears nothing while the next screen runs.
    void aScreenThatGaveWayHandlesNoFurtherReply()
    {
        FakeServer server;
        ScreenWatcher watcher;
        int opened = 0;
        Navigation::setFactory([&opened](ScreenKind) {
            ++opened;
            return std::make_unique<QDialog>();
        });
        watcher.closeScreen("QDialog");
        LinkedScreen screen;
        bool handedOver = false;
        screen.link->replies().on("Moved", [&]() {
            handOver(&screen, screen.link, ScreenKind::PreCheck);
            handedOver = true;
        });
        screen.show();
        QTRY_COMPARE(screen.connections, 1);
        server.send(wire::frame("Moved") + wire::frame("Moved") + wire::frame("Text", QString("late")));
        QTRY_VERIFY(handedOver);
        QTest::qWait(50);
        QCOMPARE(opened, 1);
        QVERIFY(screen.texts.isEmpty());
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

    void escapeAndCloseButtonTakeTheScreensWayOut_data()
    {
        QTest::addColumn<Leaving>("how");
        QTest::newRow("Esc") << Leaving::Escape;
        QTest::newRow("close button") << Leaving::CloseButton;
    }

    void escapeAndCloseButtonTakeTheScreensWayOut()
    {
        QFETCH(Leaving, how);
        Navigation::setFactory(
            [](ScreenKind) -> std::unique_ptr<QDialog> { return std::make_unique<ScreenWithBack>(); });
        const std::unique_ptr<QDialog> opened = Navigation::create(ScreenKind::BinRepairSheet);
        auto &screen = static_cast<ScreenWithBack &>(*opened);
        screen.show();
        QVERIFY(QTest::qWaitForWindowExposed(&screen));
        leave(screen, how);
        // The screen stays until its Back ends it; while Back is disabled, nothing leaves.
        QCOMPARE(screen.backs, 1);
        QVERIFY(screen.isVisible());
        screen.back->setEnabled(false);
        leave(screen, how);
        QCOMPARE(screen.backs, 1);
        QVERIFY(screen.isVisible());

        // A screen without a way out of its own closes as any dialog does.
        Navigation::setFactory([](ScreenKind) { return std::make_unique<QDialog>(); });
        const std::unique_ptr<QDialog> plain = Navigation::create(ScreenKind::PreCheck);
        plain->show();
        QVERIFY(QTest::qWaitForWindowExposed(plain.get()));
        leave(*plain, how);
        QVERIFY(!plain->isVisible());
    }

    // Nothing ends a timed screen without ending its timing.
    void leavingATimedScreenEndsItsTiming_data()
    {
        QTest::addColumn<ScreenKind>("kind");
        QTest::addColumn<Leaving>("how");
        QTest::addColumn<QStringList>("calls");
        const QString bin = "anna, Front End Repair, KD1234, 17";
        QTest::newRow("bin sheet, Esc") << ScreenKind::BinRepairSheet << Leaving::Escape
                                        << QStringList{"SetStartTime(" + bin + ")", "GetBinInfo(" + bin + ")",
                                                       "SetEndTime(" + bin + ", 5)"};
        QTest::newRow("final checks, close button")
            << ScreenKind::FinalChecks << Leaving::CloseButton
            << QStringList{"SetStartTime(" + bin + ")", "ChangeStatus(anna, 2, KD1234, 17)",
                           "SetEndTime(" + bin + ", 5)"};
        QTest::newRow("custom sheet, Esc") << ScreenKind::CustomJobSheet << Leaving::Escape
                                           << QStringList{"SetCustomStartTime(anna, 31, Tank_repair, Acme)",
                                                          "SetCustomEndTime(anna, 31, Tank_repair, Acme, 5)"};
    }

    void leavingATimedScreenEndsItsTiming()
    {
        QFETCH(ScreenKind, kind);
        QFETCH(Leaving, how);
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
        leave(*screen, how);
        QTRY_VERIFY(!screen->isVisible());
        QCOMPARE(server.calls(), calls);
        QCOMPARE(AppState::instance().timeStampId(), 0);
        QVERIFY(!AppState::instance().timerRunning() && !AppState::instance().liveClockRunning());
        QVERIFY(messages.shown().isEmpty());
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

namespace {

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

} // namespace

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
        const QHeaderView *header = s.table->horizontalHeader();
        QCOMPARE(header->length(), s.table->viewport()->width());
        const int oneLine = s.table->fontMetrics().height();
        const QRect cell = s.table->visualRect(s.model->index(0, 1));
        for (int column : {0, 2, 3})
            QVERIFY(s.table->columnWidth(column) < s.table->columnWidth(1));
        QCOMPARE(cell.height() > 2 * oneLine, !shownWhole);

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
