#include "bins/binrepairsheetdialog.h"
#include "core/liveclock.h"
#include "screens.h"

#include <QDate>

namespace {

const QString OwnBin = "anna, Front End Repair, KD1234, 17";

// Repair lines of four cells each: code, materials, time, user.
QByteArray repairInfo(const QString &size, const QStringList &cells)
{
    return textFrame("BinRepairInfo", QStringList{size, QString::number(cells.size() / 4)} + cells);
}

struct Sheet : ScreenTest<BinRepairSheetDialog>
{
    // Answers the opening of an own bin: timing starts with stamp 42, the bin is 4 wide.
    void answerOpening()
    {
        server.answer("SetStartTime", wire::frame("StartTimeSet", QString("42"), QString("1.5")));
        server.answer("GetBinInfo", wire::frame("BinSize", QString("4")));
    }
    QTableView *table() { return screen.findChild<QTableView *>(); }
    QString label(const char *name) { return labelText(screen, name); }
    bool clockStopped()
    {
        return !AppState::instance().liveClockRunning() && screen.findChild<LiveClock *>()->isFinished();
    }
};

} // namespace

class BinRepairSheetDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetClient(); }

    void ownBinFromOpeningToTheFinalChecks()
    {
        AppState &state = AppState::instance();
        state.setCurrentBin("KD1234", "", "FER", 17);
        Sheet s;
        s.answerOpening();
        QList<QStringList> linesSeen;
        s.watcher.onScreen("BinRepairLineDialog", [&](QWidget *entry) {
            linesSeen << stateFields(&AppState::editRepairLine, 3);
            entry->close();
        });
        s.watcher.closeScreen("FinalChecksDialog");
        QCOMPARE(s.label("label_Date"), QDate::currentDate().toString("d-M-yyyy"));
        QTRY_COMPARE(s.label("label_Size"), QString("Size 4"));
        QCOMPARE(s.server.calls(), (QStringList{"SetStartTime(" + OwnBin + ")", "GetBinInfo(" + OwnBin + ")"}));
        QCOMPARE(s.label("label_ID"), QString("ID KD1234"));
        QCOMPARE(state.currentBin(2), QString("4"));
        QCOMPARE(state.timeStampId(), 42);
        QCOMPARE(state.elapsedHours(), 1.5f);
        QVERIFY(state.timerRunning());
        QTRY_VERIFY(s.label("label_TotalTime").startsWith("Total Time: 00:00:0"));

        // Lines arrive with their user; a tag the sheet does not know is named.
        s.server.send(repairInfo("6", {"W1", "plate", "1:30", "anna", "P2", "paint", "0:15", "bob"})
                      + wire::frame("Surprise"));
        QTRY_COMPARE(s.messages.shownTexts(), QStringList{"Error Surprise"});
        QCOMPARE(s.table()->model()->rowCount(), 2);
        QCOMPARE(s.table()->model()->headerData(3, Qt::Horizontal).toString(), QString("UserName"));
        QTRY_VERIFY(columnsShowWholeTexts(s.table()));
        QCOMPARE(s.label("label_Size"), QString("Size 6"));

        // Edit hands the chosen line over and clears it afterwards; with no row
        // chosen the entry opens as for a new line. Each return reloads the lines.
        selectRow(s.table(), 1);
        press(s.screen, "pushButton_Edit");
        QCOMPARE(state.editRepairLine(1), QString());
        s.table()->setCurrentIndex(QModelIndex());
        press(s.screen, "pushButton_Edit");
        press(s.screen, "pushButton_Add");
        QCOMPARE(linesSeen, (QList<QStringList>{{"P2", "paint", "0:15"}, {"", "", ""}, {"", "", ""}}));
        const QString reload = "GetBinRepairInfo(" + OwnBin + ")";
        QTRY_COMPARE(s.server.calls().filter("GetBinRepairInfo"), (QStringList{reload, reload, reload}));

        // Submit: the clock stops, the owner of a continued order gets status 3, the final checks open.
        state.setOrderOwner("bob");
        s.server.answer("ChangeStatus", wire::frame("StatusChanged"));
        press(s.screen, "pushButton_Submit");
        QVERIFY(s.clockStopped());
        QTRY_COMPARE(s.watcher.seen().last(), QString("FinalChecksDialog"));
        QVERIFY(!s.screen.isVisible());
        QCOMPARE(s.server.calls().filter("ChangeStatus"), QStringList{"ChangeStatus(bob, 3, KD1234, 17)"});
        QCOMPARE(state.orderStatus(), 3);
        QVERIFY(state.timerRunning());
        QCOMPARE(s.messages.shown().size(), 1);
    }

    // A review works on the order under review and leaves it by Submit, or by
    // Back with the question whether to send the order back.
    void reviewWorksOnTheOrderUnderReview_data()
    {
        QTest::addColumn<bool>("checking");
        QTest::addColumn<QString>("workType");
        QTest::addColumn<int>("back");
        QTest::addColumn<QString>("last");
        QTest::newRow("checking roll off") << true << "Roll Off Repair" << 0 << "ChangeStatus(bob, 5, KD77, 8)";
        // A checked front-end order goes on to its final checks instead.
        QTest::newRow("checking front end") << true << "Front End Repair" << 0 << "";
        QTest::newRow("confirming") << false << "Front End Repair" << 0 << "ChangeStatus(carl, 6, KD0001, 3)";
        QTest::newRow("checking, Back kept") << true << "Roll Off Repair" << int(QMessageBox::No) << "";
        QTest::newRow("checking, sent back")
            << true << "Roll Off Repair" << int(QMessageBox::Yes) << "SendBinBack(bob, KD77, 8, 3)";
        QTest::newRow("confirming, sent back")
            << false << "Front End Repair" << int(QMessageBox::Yes) << "SendBinBack(carl, KD0001, 3, 4)";
    }

    void reviewWorksOnTheOrderUnderReview()
    {
        QFETCH(bool, checking);
        QFETCH(QString, workType);
        QFETCH(int, back);
        QFETCH(QString, last);
        AppState &state = AppState::instance();
        state.setWorkType(workType);
        state.setCheckOrder(checking, "bob", "KD77", 8, "FER", "");
        state.setConfirmOrder("carl", "KD0001", 3, "FER");
        state.setConfirmingOrders(!checking);
        // Another user's order continued earlier does not make the review refuse its lines.
        state.setOrderOwner("dave");
        const QStringList o = checking ? QStringList{"bob", "KD77", "8"} : QStringList{"carl", "KD0001", "3"};
        const QString orderInfo = QString("GetBinRepairInfo(%1, %2, %3, %4)").arg(o[0], workType, o[1], o[2]);
        Sheet s;
        s.server.answer("GetBinTotalTime", wire::frame("GetBinTotalTime", QString("3.25")));
        s.server.answer("GetBinRepairInfo", repairInfo("6", {"W1", "steel plate", "1:30", o[0]}));
        s.server.answer("SendBinBack", wire::frame("SendBinBack"));
        s.watcher.closeScreen("FinalChecksDialog");
        QTRY_COMPARE(s.label("label_Size"), QString("Size 6"));
        QCOMPARE(s.server.calls(),
                 (QStringList{QString("GetBinTotalTime(%1, %2, %3, %4)").arg(o[0], o[1], o[2], workType), orderInfo}));
        QCOMPARE(s.label("label_TotalTime"), QString("Total Time: 3.25"));
        QCOMPARE(s.label("label_ID"), "ID " + o[1]);
        QCOMPARE(state.orderStatus(), 2);
        QCOMPARE(checking ? state.checkOrder(5) : state.confirmBinSize(), QString("6"));

        // Removing asks with the row number counted from 0; only Yes removes, from this order.
        selectRow(s.table(), 0);
        const QString question = "Are you sure you want to remove: 0 W1 steel plate?";
        s.messages.expect(question, QMessageBox::Cancel);
        s.messages.expect(question, QMessageBox::Yes);
        s.server.answer("RemoveFromRepairList", wire::frame("RepairRemoved"));
        press(s.screen, "pushButton_Remove");
        QCOMPARE(s.messages.shown().last().buttons, QMessageBox::Yes | QMessageBox::Cancel);
        QCOMPARE(s.messages.shown().last().defaultButton, QMessageBox::Cancel);
        press(s.screen, "pushButton_Remove");
        QTRY_COMPARE(s.server.calls().size(), 4);
        QCOMPARE(s.server.calls().mid(2),
                 (QStringList{QString("RemoveFromRepairList(%1, %2, %3, W1, steel plate)").arg(workType, o[1], o[2]),
                              orderInfo}));

        if (back)
            s.messages.expect("Would you like to send this repair back?", QMessageBox::StandardButton(back));
        press(s.screen, back ? "pushButton_Back" : "pushButton_Submit");
        QTRY_VERIFY(!last.isEmpty() || !s.screen.isVisible());
        // Nothing times a review.
        const auto ends
            = [&s]() { return s.server.calls().filter(QRegularExpression("^(ChangeStatus|SendBinBack|Set)")); };
        QTRY_COMPARE(ends(), last.isEmpty() ? QStringList() : QStringList{last});
        QCOMPARE(s.messages.unexpected(), QStringList());
        if (back)
            QCOMPARE(s.messages.shown().last().defaultButton, QMessageBox::No);
        if (last.startsWith("SendBinBack")) {
            QTRY_VERIFY(!s.screen.isVisible());
            QVERIFY(!state.checkingOrder() && !state.confirmingOrders());
            QCOMPARE(checking ? state.checkOrder(2) : state.confirmOrder(2), QString());
        }
        if (workType == "Front End Repair" && checking && !back)
            QCOMPARE(s.watcher.seen(), QStringList{"FinalChecksDialog"});
    }

    void runningTimerAndAnotherUsersOrder()
    {
        AppState &state = AppState::instance();
        state.setTimerRunning(true);
        state.setTimeStampId(9);
        state.setOrderOwner("bob");
        Sheet s;
        s.watcher.closeScreen("BinRepairLineDialog");
        waitForLink(s.screen);
        press(s.screen, "pushButton_Edit");
        press(s.screen, "pushButton_Remove");
        press(s.screen, "pushButton_Back");
        // Opening with the timer running sends nothing; the refusals send nothing either.
        QTRY_COMPARE(s.server.calls(), QStringList{"SetEndTime(" + OwnBin + ", 9)"});
        QVERIFY(s.watcher.seen().isEmpty());
        QCOMPARE(s.messages.shownTexts(), (QStringList{"Sorry but you can't edit another users Repair!",
                                                       "Sorry but you can't Remove another users Repair!"}));
    }

    void rollOffTimingEndsBySubmitOrBack_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("requests");
        QTest::addColumn<QStringList>("shown");
        const QString endTime = "SetEndTime(anna, Roll Off Repair, KD1234, 17, 42)";
        QTest::newRow("submit finishes") << "pushButton_Submit"
                                         << QStringList{"ChangeStatus(anna, 4, KD1234, 17)", endTime}
                                         << QStringList{"Finished"};
        // Back stops the timing without asking, and does not finish the order.
        QTest::newRow("back stops") << "pushButton_Back" << QStringList{endTime} << QStringList();
    }

    void rollOffTimingEndsBySubmitOrBack()
    {
        QFETCH(QString, button);
        QFETCH(QStringList, requests);
        QFETCH(QStringList, shown);
        AppState &state = AppState::instance();
        state.setWorkType("Roll Off Repair");
        Sheet s;
        s.answerOpening();
        s.server.answer("ChangeStatus", wire::frame("StatusChanged"));
        s.server.answer("SetEndTime", wire::frame("EndTimeSet"));
        QTRY_COMPARE(s.label("label_Size"), QString("Size 4"));
        press(s.screen, button);
        QVERIFY(!state.liveClockRunning());
        QTRY_VERIFY(!s.screen.isVisible());
        QCOMPARE(s.server.calls().mid(2), requests);
        QCOMPARE(s.messages.shownTexts(), shown);
        QVERIFY(!state.timerRunning());
        QCOMPARE(state.timeStampId(), 0);
        QVERIFY(s.clockStopped());
    }
};

QTEST_MAIN(BinRepairSheetDialogTest)
#include "tst_binrepairsheetdialog.moc"
