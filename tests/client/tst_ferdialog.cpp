#include "appstate.h"
#include "fakeserver.h"
#include "ferdialog.h"
#include "frame.h"
#include "liveclock.h"
#include "messagescript.h"
#include "screenwatcher.h"

#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTcpSocket>
#include <QtTest>

#include <atomic>

class FERDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void ownBinFromOpeningToTheFinalChecks();
    void reviewWorksOnTheOrderUnderReview_data();
    void reviewWorksOnTheOrderUnderReview();
    void checkedFrontEndOrderGoesStraightToTheFinalChecks();
    void runningTimerAndAnotherUsersOrder();
    void rollOffTimingEndsBySubmitOrBack_data();
    void rollOffTimingEndsBySubmitOrBack();
    void backWhenNotTimingOffersToSendTheOrderBack();
    void sheetDestroyedWhileTimingStopsItsClock();

private:
    static QByteArray repairInfo(const QString &size, const QList<QStringList> &rows);
    static QStringList argumentsOf(FakeServer &server, const QString &command);
    static QString text(QWidget &sheet, const char *name) { return sheet.findChild<QLabel *>(name)->text(); }
    static void press(QWidget &sheet, const char *name) { sheet.findChild<QPushButton *>(name)->click(); }
    static QAbstractItemModel *rows(QWidget &sheet) { return sheet.findChild<QTableView *>()->model(); }
    static void selectRow(QWidget &sheet, int row)
    {
        sheet.findChild<QTableView *>()->setCurrentIndex(rows(sheet)->index(row, 0));
    }
    static void waitUntilConnected(QWidget &sheet)
    {
        QTRY_COMPARE(sheet.findChild<QTcpSocket *>()->state(), QAbstractSocket::ConnectedState);
    }
    // Answers the opening of an own bin: timing starts with stamp 42, the bin is 4 wide.
    static void answerOpening(FakeServer &server)
    {
        server.answer("SetStartTime", wire::frame("StartTimeSet", QString("42"), QString("1.5")));
        server.answer("GetBinInfo", wire::frame("BinSize", QString("4")));
    }
};

void FERDialogTest::init()
{
    AppState &state = AppState::instance();
    state.setUser("anna", "digest");
    state.setWorkType("Front End Repair");
    state.setOrderStatus(1);
    state.setCurrentBin("KD1234", "", "FER", 17);
    state.setCheckOrder(false, "", "", 0, "", "");
    state.setConfirmOrder("carl", "KD0001", 3, "FER");
    state.setConfirmingOrders(false);
    state.setOrderOwner("");
    state.setTimerRunning(false);
    state.setLiveClockRunning(false);
    state.setEditRepairLine("", "", "");
}

QByteArray FERDialogTest::repairInfo(const QString &size, const QList<QStringList> &rows)
{
    wire::FrameWriter writer("BinRepairInfo");
    writer << size << QString::number(rows.size());
    for (const QStringList &row : rows)
        for (const QString &cell : row)
            writer << cell;
    return writer.frame();
}

QStringList FERDialogTest::argumentsOf(FakeServer &server, const QString &command)
{
    const int index = server.commands().lastIndexOf(command);
    return index < 0 ? QStringList{"<not sent>"} : server.requests().at(index).arguments();
}

void FERDialogTest::ownBinFromOpeningToTheFinalChecks()
{
    MessageScript messages;
    FakeServer server;
    answerOpening(server);
    ScreenWatcher watcher;
    AppState &state = AppState::instance();
    QList<QStringList> linesSeen;
    watcher.onScreen("FerAddDialog", [&](QWidget *entry) {
        linesSeen << QStringList{state.editRepairLine(1), state.editRepairLine(2), state.editRepairLine(3)};
        entry->close();
    });
    watcher.closeScreen("FerChecksDialog");
    FERDialog sheet;
    const QDate today = QDate::currentDate();
    QCOMPARE(text(sheet, "label_Date"), QString("%1-%2-%3").arg(today.day()).arg(today.month()).arg(today.year()));
    QTRY_COMPARE(text(sheet, "label_Size"), QString("Size 4"));
    QCOMPARE(server.commands(), (QStringList{"SetStartTime", "GetBinInfo"}));
    for (const FakeServer::Request &request : server.requests())
        QCOMPARE(request.arguments(), (QStringList{"anna", "Front End Repair", "KD1234", "17"}));
    QCOMPARE(text(sheet, "label_ID"), QString("ID KD1234"));
    QCOMPARE(state.currentBin(2), QString("4"));
    QCOMPARE(state.timeStampId(), 42);
    QCOMPARE(state.elapsedHours(), 1.5f);
    QVERIFY(state.timerRunning());
    QTRY_VERIFY(text(sheet, "label_TotalTime").startsWith("Total Time: 00:00:0"));

    // Lines arrive with their user; a tag the sheet does not know is named.
    messages.expect("Error Surprise");
    server.send(repairInfo("6", {{"W1", "plate", "1:30", "anna"}, {"P2", "paint", "0:15", "bob"}}) +
                wire::frame("Surprise"));
    QTRY_COMPARE(messages.shown().size(), 1);
    QCOMPARE(rows(sheet)->rowCount(), 2);
    QCOMPARE(rows(sheet)->headerData(3, Qt::Horizontal).toString(), QString("UserName"));
    QCOMPARE(text(sheet, "label_Size"), QString("Size 6"));

    // Edit hands the chosen line over and clears it afterwards; with no row
    // chosen the entry opens as for a new line. Each return reloads the lines.
    selectRow(sheet, 1);
    press(sheet, "pushButton_Edit");
    QCOMPARE(state.editRepairLine(1), QString());
    sheet.findChild<QTableView *>()->setCurrentIndex(QModelIndex());
    press(sheet, "pushButton_Edit");
    press(sheet, "pushButton_Add");
    QCOMPARE(linesSeen, (QList<QStringList>{{"P2", "paint", "0:15"}, {"", "", ""}, {"", "", ""}}));
    QTRY_COMPARE(server.commands().count("GetBinRepairInfo"), 3);
    QCOMPARE(argumentsOf(server, "GetBinRepairInfo"), (QStringList{"anna", "Front End Repair", "KD1234", "17"}));

    // Submit: the clock stops, the owner of a continued order gets status 3, the final checks open.
    state.setOrderOwner("bob");
    server.answer("ChangeStatus", wire::frame("StatusChanged"));
    press(sheet, "pushButton_Submit");
    QVERIFY(!state.liveClockRunning());
    QVERIFY(sheet.findChild<LiveClock *>()->isFinished());
    QTRY_COMPARE(watcher.seen().last(), QString("FerChecksDialog"));
    QVERIFY(!sheet.isVisible());
    QCOMPARE(argumentsOf(server, "ChangeStatus"), (QStringList{"bob", "3", "KD1234", "17"}));
    QCOMPARE(state.orderStatus(), 3);
    QVERIFY(state.timerRunning());
    QCOMPARE(messages.unexpected(), QStringList());
}

void FERDialogTest::reviewWorksOnTheOrderUnderReview_data()
{
    QTest::addColumn<bool>("checking");
    QTest::addColumn<QString>("workType");
    QTest::addColumn<QStringList>("order");
    QTest::addColumn<QString>("status");
    QTest::newRow("checking") << true << "Roll Off Repair" << QStringList{"bob", "KD77", "8"} << "5";
    QTest::newRow("confirming") << false << "Front End Repair" << QStringList{"carl", "KD0001", "3"} << "6";
}

void FERDialogTest::reviewWorksOnTheOrderUnderReview()
{
    QFETCH(bool, checking);
    QFETCH(QString, workType);
    QFETCH(QStringList, order);
    QFETCH(QString, status);
    MessageScript messages;
    AppState &state = AppState::instance();
    state.setWorkType(workType);
    // While checking, the confirmOrder leftovers of an earlier confirmation must not be asked for.
    state.setCheckOrder(checking, "bob", "KD77", 8, "FER", "");
    state.setConfirmingOrders(!checking);
    FakeServer server;
    server.answer("GetBinTotalTime", wire::frame("GetBinTotalTime", QString("3.25")));
    server.answer("GetBinRepairInfo", repairInfo("6", {{"W1", "steel plate", "1:30", order.at(0)}}));
    FERDialog sheet;
    QTRY_COMPARE(text(sheet, "label_Size"), QString("Size 6"));
    QCOMPARE(server.commands(), (QStringList{"GetBinTotalTime", "GetBinRepairInfo"}));
    QCOMPARE(server.requests().at(0).arguments(), order + QStringList{workType});
    const QStringList orderInfo{order.at(0), workType, order.at(1), order.at(2)};
    QCOMPARE(server.requests().at(1).arguments(), orderInfo);
    QCOMPARE(text(sheet, "label_TotalTime"), QString("Total Time: 3.25"));
    QCOMPARE(text(sheet, "label_ID"), "ID " + order.at(1));
    QCOMPARE(state.orderStatus(), 2);
    QCOMPARE(checking ? state.checkOrder(5) : state.confirmBinSize(), QString("6"));

    // Removing asks with the row number counted from 0; only Yes removes, from this order.
    selectRow(sheet, 0);
    const QString question = "Are you sure you want to remove: 0 W1 steel plate?";
    messages.expect(question, QMessageBox::Cancel);
    messages.expect(question, QMessageBox::Yes);
    server.answer("RemoveFromRepairList", wire::frame("RepairRemoved"));
    press(sheet, "pushButton_Remove");
    QCOMPARE(messages.shown().last().buttons, QMessageBox::Yes | QMessageBox::Cancel);
    QCOMPARE(messages.shown().last().defaultButton, QMessageBox::Cancel);
    press(sheet, "pushButton_Remove");
    QTRY_COMPARE(server.commands().count("GetBinRepairInfo"), 2);
    QCOMPARE(server.commands().count("RemoveFromRepairList"), 1);
    QCOMPARE(argumentsOf(server, "RemoveFromRepairList"),
             (QStringList{workType, order.at(1), order.at(2), "W1", "steel plate"}));
    QCOMPARE(argumentsOf(server, "GetBinRepairInfo"), orderInfo);

    press(sheet, "pushButton_Submit");
    QVERIFY(server.waitForRequest("ChangeStatus") >= 0);
    QCOMPARE(argumentsOf(server, "ChangeStatus"), (QStringList{order.at(0), status, order.at(1), order.at(2)}));
    QVERIFY(!server.commands().contains("SetStartTime"));
    QCOMPARE(messages.unexpected(), QStringList());
}

void FERDialogTest::checkedFrontEndOrderGoesStraightToTheFinalChecks()
{
    MessageScript messages;
    AppState::instance().setCheckOrder(true, "bob", "KD77", 8, "FER", "");
    FakeServer server;
    ScreenWatcher watcher;
    watcher.closeScreen("FerChecksDialog");
    FERDialog sheet;
    waitUntilConnected(sheet);
    press(sheet, "pushButton_Submit");
    QCOMPARE(watcher.seen(), QStringList{"FerChecksDialog"});
    QVERIFY(!sheet.isVisible());
    QVERIFY(!server.commands().contains("ChangeStatus"));
}

void FERDialogTest::runningTimerAndAnotherUsersOrder()
{
    MessageScript messages;
    messages.expect("Sorry but you can't edit another users Repair!");
    messages.expect("Sorry but you can't Remove another users Repair!");
    AppState &state = AppState::instance();
    state.setTimerRunning(true);
    state.setTimeStampId(9);
    state.setOrderOwner("bob");
    FakeServer server;
    ScreenWatcher watcher;
    watcher.closeScreen("FerAddDialog");
    FERDialog sheet;
    waitUntilConnected(sheet);
    press(sheet, "pushButton_Edit");
    press(sheet, "pushButton_Remove");
    press(sheet, "pushButton_Back");
    QVERIFY(server.waitForRequest("SetEndTime") >= 0);
    // Opening with the timer running sends nothing; the refusals send nothing either.
    QCOMPARE(server.commands(), QStringList{"SetEndTime"});
    QCOMPARE(server.requests().at(0).arguments(), (QStringList{"anna", "Front End Repair", "KD1234", "17", "9"}));
    QVERIFY(watcher.seen().isEmpty());
    QCOMPARE(messages.unexpected(), QStringList());
}

void FERDialogTest::rollOffTimingEndsBySubmitOrBack_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("requests");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("submit finishes") << "pushButton_Submit" << QStringList{"ChangeStatus", "SetEndTime"}
                                     << QStringList{"Finished"};
    // Back stops the timing without asking, and does not finish the order.
    QTest::newRow("back stops") << "pushButton_Back" << QStringList{"SetEndTime"} << QStringList();
}

void FERDialogTest::rollOffTimingEndsBySubmitOrBack()
{
    QFETCH(QString, button);
    QFETCH(QStringList, requests);
    QFETCH(QStringList, shown);
    MessageScript messages;
    for (const QString &text : shown)
        messages.expect(text);
    AppState &state = AppState::instance();
    state.setWorkType("Roll Off Repair");
    FakeServer server;
    answerOpening(server);
    server.answer("ChangeStatus", wire::frame("StatusChanged"));
    server.answer("SetEndTime", wire::frame("EndTimeSet"));
    FERDialog sheet;
    QTRY_COMPARE(text(sheet, "label_Size"), QString("Size 4"));
    press(sheet, button.toLatin1());
    QVERIFY(!state.liveClockRunning());
    QTRY_VERIFY(!sheet.isVisible());
    QCOMPARE(server.commands().mid(2), requests);
    QCOMPARE(argumentsOf(server, "SetEndTime"), (QStringList{"anna", "Roll Off Repair", "KD1234", "17", "42"}));
    if (requests.contains("ChangeStatus"))
        QCOMPARE(argumentsOf(server, "ChangeStatus"), (QStringList{"anna", "4", "KD1234", "17"}));
    QCOMPARE(messages.shownTexts(), shown);
    QVERIFY(!state.timerRunning());
    QCOMPARE(state.timeStampId(), 0);
    QVERIFY(sheet.findChild<LiveClock *>()->isFinished());
}

void FERDialogTest::backWhenNotTimingOffersToSendTheOrderBack()
{
    const QString question = "Would you like to send this repair back?";
    AppState &state = AppState::instance();
    {
        MessageScript messages;
        messages.expect(question, QMessageBox::No);
        state.setCheckOrder(true, "bob", "KD77", 8, "FER", "");
        FakeServer server;
        FERDialog sheet;
        waitUntilConnected(sheet);
        press(sheet, "pushButton_Back");
        QCOMPARE(messages.shown().first().defaultButton, QMessageBox::No);
        QVERIFY(!sheet.isVisible());
        QTRY_COMPARE(server.openConnections(), 0);
        QCOMPARE(server.commands(), QStringList{"GetBinTotalTime"});
        QVERIFY(messages.exits().isEmpty());
    }
    for (const bool checking : {true, false}) {
        MessageScript messages;
        messages.expect(question, QMessageBox::Yes);
        state.setCheckOrder(checking, "bob", "KD77", 8, "FER", "");
        state.setConfirmOrder("carl", "KD0001", 3, "FER");
        state.setConfirmingOrders(!checking);
        FakeServer server;
        server.answer("SendBinBack", wire::frame("SendBinBack"));
        FERDialog sheet;
        waitUntilConnected(sheet);
        press(sheet, "pushButton_Back");
        QTRY_VERIFY(!sheet.isVisible());
        QCOMPARE(argumentsOf(server, "SendBinBack"),
                 (checking ? QStringList{"bob", "KD77", "8", "3"} : QStringList{"carl", "KD0001", "3", "4"}));
        QVERIFY(!state.checkingOrder() && !state.confirmingOrders());
        QCOMPARE(checking ? state.checkOrder(2) : state.confirmOrder(2), QString());
    }
}

void FERDialogTest::sheetDestroyedWhileTimingStopsItsClock()
{
    MessageScript messages;
    FakeServer server;
    answerOpening(server);
    std::atomic<bool> clockReturned{false};
    {
        FERDialog sheet;
        QTRY_VERIFY(sheet.findChild<LiveClock *>());
        connect(sheet.findChild<LiveClock *>(), &QThread::finished, [&clockReturned]() { clockReturned = true; });
        QTRY_VERIFY(text(sheet, "label_TotalTime").startsWith("Total Time: 00:00:"));
    }
    QVERIFY(clockReturned);
    QVERIFY(!AppState::instance().liveClockRunning());
    QVERIFY(messages.shown().isEmpty() && messages.exits().isEmpty());
}

QTEST_MAIN(FERDialogTest)
#include "tst_ferdialog.moc"
