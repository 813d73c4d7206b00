#include "bins/binintakedialog.h"
#include "bins/binrepairlinedialog.h"
#include "bins/binrepairsheetdialog.h"
#include "bins/continueorderdialog.h"
#include "bins/finalchecksdialog.h"
#include "bins/precheckdialog.h"
#include "core/liveclock.h"
#include "screens.h"

#include <QDate>

namespace {

const QString NotFound = "The Bin ID you are looking for is not in the DataBase. Would you like to add it in?";
const QString InProgress = "This bin is already in progress.\nWould you like to continue?";

// The intake on a server that proposes bin KD1001 with code-list key FER.
struct Intake : ScreenTest<BinIntakeDialog>
{
    void open()
    {
        QTRY_COMPARE(server.commands(), QStringList{"GetNewBinId"});
        server.send(wire::frame("NewBinID", QString("KD1001"), QString("FER")));
        QTRY_COMPARE(labelText(screen, "label_ID"), QString("ID KD1001"));
    }
    QComboBox *sizes() { return child<QComboBox>(&screen, "comboBox_BinSize"); }
    void edit(const QString &typed)
    {
        const bool rollOff = AppState::instance().workType() == "Roll Off Repair";
        messages.expectText(rollOff ? "eg(ror20168211)\nBin ID:" : "eg(KD1234)\nBin ID:", typed);
        press(screen, "pushButton_Edit");
    }
};

} // namespace

class BinIntakeDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        resetClient();
        // Left over from another user's order that was continued and submitted.
        AppState::instance().setOrderOwner("bob");
        AppState::instance().setOrderStatus(3);
    }

    void enterStartsANewOrderAndHandsOverToThePreCheck_data()
    {
        QTest::addColumn<QString>("workType");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("info");
        QTest::newRow("front end") << QString("Front End Repair") << QString("6") << QString("Slant");
        QTest::newRow("roll off") << QString("Roll Off Repair") << QString("50") << QString("Enclosed");
    }

    void enterStartsANewOrderAndHandsOverToThePreCheck()
    {
        QFETCH(QString, workType);
        QFETCH(QString, size);
        QFETCH(QString, info);
        AppState::instance().setWorkType(workType);
        Intake i;
        i.open();
        QCOMPARE(labelText(i.screen, "label_Date"), QDate::currentDate().toString("d-M-yyyy"));
        i.server.answer("MakeRepairId", wire::frame("NewRepairId", qint32(42)));
        i.server.answer("StoreCurrentInfo", wire::frame("InfoSaved"));
        i.watcher.closeScreen("PreCheckDialog");
        i.sizes()->setCurrentText(size);
        child<QComboBox>(&i.screen, "comboBox_Addit_Info")->setCurrentText(info);
        press(i.screen, "pushButton_Enter");
        QTRY_COMPARE(i.watcher.seen(), QStringList{"PreCheckDialog"});
        QCOMPARE(i.server.calls(),
                 (QStringList{"GetNewBinId(" + workType + ", anna)", "MakeRepairId(ID KD1001, " + workType + ")",
                              QString("StoreCurrentInfo(anna, %1, KD1001, %2, 42, %3)").arg(workType, size, info)}));
        QCOMPARE(stateFields(&AppState::currentBin, 4), (QStringList{"KD1001", size, "FER", "42"}));
        // A new order is the worker's own and starts at the beginning.
        QCOMPARE(AppState::instance().orderOwner(), QString());
        QCOMPARE(AppState::instance().orderStatus(), 1);
        QVERIFY(i.messages.shown().isEmpty());
    }

    // A typed ID is checked, then searched; each box is answered as the row
    // says. A bin found, or added on Yes, starts the order.
    void searchedBinId_data()
    {
        QTest::addColumn<QString>("workType");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<QString>("sizeSelected");
        const auto row = [](const char *name, const char *workType, const char *typed, const QByteArray &reply,
                            const QString &shown, int answer = QMessageBox::Ok, const QStringList &order = {},
                            const char *sizeSelected = "") {
            QTest::newRow(name) << QString(workType) << QString(typed) << reply << shown << answer << order
                                << QString(sizeSelected);
        };
        const char *frontEnd = "Front End Repair";
        const char *rollOff = "Roll Off Repair";
        row("lower-case kd", frontEnd, "kd1234", {}, "Bin ID can only start with KD");
        row("blank inside", frontEnd, "KD 1234", {}, "No spaces in Bin ID");
        row("cancelled", frontEnd, "", {}, "");
        row("lower-case ror", rollOff, "ror2016", {}, "Bin ID can only start with ROR");
        row("not found, No", frontEnd, "KD5", textFrame("BinNotFound", {"KD5"}), NotFound, QMessageBox::No);
        row("in progress, No", frontEnd, "KD9", textFrame("BinInProgress", {"KD9"}), InProgress, QMessageBox::No);
        row("found, size offered", frontEnd, "KD77", textFrame("BinFound", {"KD77", "12", "4"}), "KD77 12 4",
            QMessageBox::Ok, {"KD77", "4", "FER", "12"}, "4");
        // The order records the size the server knows, even one the choices lack.
        row("found, size unknown", frontEnd, "KD77", textFrame("BinFound", {"KD77", "12", "5"}), "KD77 12 5",
            QMessageBox::Ok, {"KD77", "5", "FER", "12"}, "8");
        // A bin added on Yes is repair 1 of the size selected.
        row("not found, Yes", frontEnd, "KD77", textFrame("BinNotFound", {"KD77"}), NotFound, QMessageBox::Yes,
            {"KD77", "8", "FER", "1"}, "8");
    }

    void searchedBinId()
    {
        QFETCH(QString, workType);
        QFETCH(QString, typed);
        QFETCH(QByteArray, reply);
        QFETCH(QString, shown);
        QFETCH(int, answer);
        QFETCH(QStringList, order);
        QFETCH(QString, sizeSelected);
        AppState::instance().setWorkType(workType);
        Intake i;
        if (!reply.isEmpty())
            i.server.answer("FindBin", reply);
        i.open();
        i.sizes()->setCurrentText("8");
        if (!shown.isEmpty())
            i.messages.expect(shown, QMessageBox::StandardButton(answer));
        i.edit(typed);
        QTRY_COMPARE(i.messages.shownTexts(), shown.isEmpty() ? QStringList() : QStringList{shown});
        QStringList sent;
        if (!reply.isEmpty())
            sent << "FindBin(anna, " + workType + ", " + typed + ")";
        if (order.isEmpty()) {
            // Nothing else went out: the next request on the link is the one Enter sends.
            press(i.screen, "pushButton_Enter");
            QVERIFY(i.server.waitForRequest("MakeRepairId"));
            QCOMPARE(i.server.calls().mid(1), sent << "MakeRepairId(ID KD1001, " + workType + ")");
            return;
        }
        QVERIFY(i.server.waitForRequest("StoreCurrentInfo"));
        sent << QString("StoreCurrentInfo(anna, Front End Repair, KD77, %1, %2, None)").arg(order.at(1), order.at(3));
        QCOMPARE(i.server.calls().mid(1), sent);
        QCOMPARE(stateFields(&AppState::currentBin, 4), order);
        QCOMPARE(i.sizes()->currentText(), sizeSelected);
        if (shown != NotFound)
            QCOMPARE(labelText(i.screen, "label_ID"), QString("ID KD77"));
    }

    void binInProgressIsContinuedOnYes()
    {
        Intake i;
        i.server.answer("FindBin", wire::frame("BinInProgress", QString("KD9")));
        i.open();
        QStringList whileContinuing;
        i.watcher.onScreen("ContinueOrderDialog", [&](QWidget *screen) {
            const AppState &state = AppState::instance();
            whileContinuing << QString::number(state.continueBin()) << state.continueBinId();
            screen->close();
        });
        i.messages.expect(InProgress, QMessageBox::Yes);
        i.edit("KD9");
        QTRY_COMPARE(i.watcher.seen(), QStringList{"ContinueOrderDialog"});
        // The bin is only continued on a Yes it does not default to.
        QCOMPARE(i.messages.shown().first().defaultButton, QMessageBox::No);
        QCOMPARE(whileContinuing, (QStringList{"1", "KD9"}));
        QVERIFY(!AppState::instance().continueBin());
        QCOMPARE(AppState::instance().continueBinId(), QString());
    }
};

namespace {

void click(QWidget &dialog, const QString &box)
{
    press(dialog, "checkBox_" + box);
}

// The six boxes, a pair at a time: G for a ticked Good, B for a ticked Bad.
QString ticks(QWidget &dialog)
{
    QString state;
    for (const QString pair : {"Lids", "Chains", "LidRod"}) {
        state += child<QCheckBox>(&dialog, "checkBox_" + pair + "Good")->isChecked() ? 'G' : '-';
        state += child<QCheckBox>(&dialog, "checkBox_" + pair + "Bad")->isChecked() ? 'B' : '-';
    }
    return state;
}

} // namespace

class PreCheckDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetClient(); }

    void nextReportsUndecidedPairsThenStoresAndOpensTheSheet()
    {
        ScreenTest<PreCheckDialog> p;
        p.server.answer("StorePreChecks", wire::frame("PreChecksSaved"));
        p.watcher.closeScreen("BinRepairSheetDialog");
        waitForLink(p.screen);
        press(p.screen, "pushButton_Next");
        // A press in a pair's box ticks the nearer of the two, which releases the other.
        auto *lids = child<QWidget>(&p.screen, "groupBox_Lids");
        QTest::mouseClick(lids, Qt::LeftButton, {}, QPoint(lids->width() - 3, lids->height() - 3));
        QCOMPARE(ticks(p.screen), QString("-B----"));
        QTest::mouseClick(lids, Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(ticks(p.screen), QString("G-----"));
        press(p.screen, "pushButton_Next");
        click(p.screen, "ChainsBad");
        press(p.screen, "pushButton_Next");
        // The two boxes of a pair exclude each other, and a pair may be clear again.
        for (const QString box : {"LidsBad", "ChainsGood", "LidRodBad", "LidRodGood"})
            click(p.screen, box);
        QCOMPARE(ticks(p.screen), QString("-BG-G-"));
        click(p.screen, "LidRodGood");
        QCOMPARE(ticks(p.screen), QString("-BG---"));
        press(p.screen, "pushButton_Next");
        QCOMPARE(p.messages.shownTexts(), (QStringList{"Please Check Lid", "Please Check Chains",
                                                       "Please Check Lid Rod", "Please Check Lid Rod"}));

        click(p.screen, "LidRodGood");
        press(p.screen, "pushButton_Next");
        QTRY_COMPARE(p.watcher.seen(), QStringList{"BinRepairSheetDialog"});
        // Nothing went out on connecting or for the refused presses.
        QCOMPARE(p.server.calls().first(), QString("StorePreChecks(KD1234, 17, Front End Repair, 0, 1, 1)"));
        QCOMPARE(p.messages.shown().size(), 4);
    }

    void checkingOrderShowsTheStoredVerdicts()
    {
        AppState::instance().setCheckOrder(true, "bob", "KD3", 7, "FER", "4");
        ScreenTest<PreCheckDialog> p;
        QVERIFY(p.server.waitForRequest("GetPreForChecks"));
        QCOMPARE(p.server.calls(), QStringList{"GetPreForChecks(bob, Front End Repair, KD3, 7)"});
        click(p.screen, "ChainsGood");
        p.server.send(wire::frame("PreForChecks", QString("1"), QString("0"), QString("good")));
        QTRY_COMPARE(ticks(p.screen), QString("G--B-B"));
        QVERIFY(p.messages.shown().isEmpty());
    }
};

namespace {

// The continue screen on a server that lists anna's orders KD1 and KD7,
// then bob's KD7: the same text under two users.
struct Continue : ScreenTest<ContinueOrderDialog>
{
    explicit Continue(bool listTwoUsers = true)
    {
        if (listTwoUsers)
            server.answer("GetWorkOrders", wire::frame("WorkOrders", QString("2"), QString("anna"),
                                                       QStringList{"KD1", "KD7"}, QString("bob"), QStringList{"KD7"}));
    }
    QListWidget *list() { return child<QListWidget>(&screen, "listWidget_WorkOrders"); }
    void choose(int row)
    {
        list()->setCurrentRow(row);
        press(screen, "pushButton_Continue");
    }
};

} // namespace

class ContinueOrderDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        resetClient();
        AppState::instance().setOrderOwner("carol");
    }

    // The bin in progress is preselected, another order is chosen. The order
    // goes out under the user it is listed under, who owns it unless that is
    // the worker; the server's reply opens the screen of its status.
    void chosenOrderIsLoadedAndOpensTheScreenOfItsStatus_data()
    {
        QTest::addColumn<QString>("binId");
        QTest::addColumn<bool>("continueBin");
        QTest::addColumn<QString>("owner");
        QTest::addColumn<int>("status");
        QTest::newRow("bob's order, from the main window") << "KD7" << false << "bob" << 2;
        QTest::newRow("bin in progress not listed") << "KD9" << true << "bob" << 2;
        QTest::newRow("own bin in progress") << "KD7" << true << "" << 3;
    }

    void chosenOrderIsLoadedAndOpensTheScreenOfItsStatus()
    {
        QFETCH(QString, binId);
        QFETCH(bool, continueBin);
        QFETCH(QString, owner);
        QFETCH(int, status);
        const QString sheet = status == 3 ? "FinalChecksDialog" : "BinRepairSheetDialog";
        AppState::instance().setContinueBin(continueBin, binId);
        Continue c;
        c.server.answer("GetBin", textFrame("Bin", {"ROR20", "Roll Off Repair", "58", QString::number(status), "ROR"}));
        c.watcher.closeScreen(sheet);
        QTRY_COMPARE(itemTexts(c.list()), (QStringList{"KD1", "KD7", "KD7"}));
        QCOMPARE(c.list()->selectedItems().size(), owner.isEmpty() ? 1 : 0);
        press(c.screen, "pushButton_Continue");
        if (!owner.isEmpty()) {
            QCOMPARE(c.messages.shownTexts(), QStringList{"Please select a Work Order before continuing"});
            c.choose(2);
        }
        QTRY_COMPARE(c.watcher.seen(), QStringList{sheet});
        QCOMPARE(c.server.calls().mid(0, 2),
                 (QStringList{"GetWorkOrders(anna)", "GetBin(" + (owner.isEmpty() ? "anna" : owner) + ", KD7)"}));
        QCOMPARE(AppState::instance().orderOwner(), owner);
        QCOMPARE(AppState::instance().workType(), QString("Roll Off Repair"));
        QCOMPARE(stateFields(&AppState::currentBin, 4), (QStringList{"ROR20", "", "ROR", "58"}));
        QCOMPARE(AppState::instance().orderStatus(), status);
        QCOMPARE(c.messages.shown().size(), owner.isEmpty() ? 0 : 1);
    }

    void customJobsAreListedAndResumedWithTheirOwnFields()
    {
        AppState &state = AppState::instance();
        state.setContinueCustom(true);
        state.setCustomOrderId(0);
        Continue c(false);
        // Order 27: job type "Tank repair" (second field), customer "Acme" (third field).
        c.server.answer("GetCustomWorkOrders",
                        textFrame("GetCustomWorkOrders", {"2", "27", "Tank repair", "Acme", "007", "Lid", "Bolt_Co"}));
        c.server.answer("ContinueCustomOrder",
                        textFrame("ContinueCustomOrder", {"3/7/2016", "Al", "C-9", "Ann", "555", "ann@acme.example",
                                                          "unused", "27", "Tank repair", "Acme"}));
        c.watcher.closeScreen("CustomJobSheetDialog");
        QTRY_COMPARE(itemTexts(c.list()), (QStringList{"27 Acme Tank repair", "7 Bolt_Co Lid"}));
        c.choose(0);
        QTRY_COMPARE(c.watcher.seen(), QStringList{"CustomJobSheetDialog"});
        QCOMPARE(c.server.calls().mid(0, 2),
                 (QStringList{"GetCustomWorkOrders()", "ContinueCustomOrder(27, Tank repair, Acme)"}));
        QCOMPARE(state.customOrderId(), 27);
        QCOMPARE(stateFields(&AppState::customOrder, 8),
                 (QStringList{"3/7/2016", "Al", "Tank repair", "Acme", "C-9", "Ann", "555", "ann@acme.example"}));
        QCOMPARE(c.messages.unexpected(), QStringList());
    }

    void cancelLeavesAndEndsTheContinuation()
    {
        AppState::instance().setContinueCustom(true);
        Continue c(false);
        press(c.screen, "pushButton_Cancel");
        QVERIFY(!c.screen.isVisible());
        QVERIFY(!AppState::instance().continueCustom());
        QVERIFY(c.messages.shown().isEmpty());
    }
};

namespace {

const QString OwnBin = "anna, Front End Repair, KD1234, 17";

// Repair lines of four cells each: code, materials, time, user.
QByteArray repairInfo(const QString &size, const QStringList &cells)
{
    return textFrame("BinRepairInfo", QStringList{size, QString::number(cells.size() / 4)} + cells);
}

struct Sheet : ScreenTest<BinRepairSheetDialog>
{
    QTableView *table() { return screen.findChild<QTableView *>(); }
    QString label(const char *name) { return labelText(screen, name); }
};

} // namespace

class BinRepairSheetDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetClient(); }

    // Opening starts the timing (see the core test of timed screens).
    void ownBinFromOpeningToTheFinalChecks()
    {
        AppState &state = AppState::instance();
        Sheet s;
        // Timing starts with stamp 42 and 1.5 hours booked so far; the bin is 4 wide.
        s.server.answer("SetStartTime", wire::frame("StartTimeSet", QString("42"), QString("1.5")));
        s.server.answer("GetBinInfo", wire::frame("BinSize", QString("4")));
        QList<QStringList> linesSeen;
        s.watcher.onScreen("BinRepairLineDialog", [&](QWidget *entry) {
            linesSeen << stateFields(&AppState::editRepairLine, 3);
            entry->close();
        });
        s.watcher.closeScreen("FinalChecksDialog");
        QTRY_COMPARE(s.label("label_Size"), QString("Size 4"));
        QCOMPARE(s.label("label_Date"), QDate::currentDate().toString("d-M-yyyy"));
        QCOMPARE(state.elapsedHours(), 1.5f);
        QTRY_VERIFY(s.label("label_TotalTime").startsWith("Total Time: 00:00:0"));

        // Lines arrive with their user, and with the bin's size.
        s.server.send(repairInfo("6", {"W1", "plate", "1:30", "anna", "P2", "paint", "0:15", "bob"}));
        QTRY_COMPARE(s.table()->model()->rowCount(), 2);
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

        // Submit: the clock stops, the owner of a continued order gets status 3.
        state.setOrderOwner("bob");
        s.server.answer("ChangeStatus", wire::frame("StatusChanged"));
        press(s.screen, "pushButton_Submit");
        QVERIFY(!state.liveClockRunning() && s.screen.findChild<LiveClock *>()->isFinished());
        QTRY_COMPARE(s.watcher.seen().last(), QString("FinalChecksDialog"));
        QCOMPARE(s.server.calls().filter("ChangeStatus"), QStringList{"ChangeStatus(bob, 3, KD1234, 17)"});
        QCOMPARE(state.orderStatus(), 3);
        QVERIFY(state.timerRunning());
        QVERIFY(s.messages.shown().isEmpty());
    }

    // A review works on the order under review and leaves it by Submit, or by
    // Back with the question whether to send the order back.
    void reviewWorksOnTheOrderUnderReview_data()
    {
        QTest::addColumn<bool>("checking");
        QTest::addColumn<int>("back");
        QTest::addColumn<QString>("last");
        QTest::newRow("checking roll off") << true << 0 << "ChangeStatus(bob, 5, KD77, 8)";
        QTest::newRow("checking, Back kept") << true << int(QMessageBox::No) << "";
        QTest::newRow("checking, sent back") << true << int(QMessageBox::Yes) << "SendBinBack(bob, KD77, 8, 3)";
        QTest::newRow("confirming, sent back") << false << int(QMessageBox::Yes) << "SendBinBack(carl, KD0001, 3, 4)";
    }

    void reviewWorksOnTheOrderUnderReview()
    {
        QFETCH(bool, checking);
        QFETCH(int, back);
        QFETCH(QString, last);
        // Roll-off orders are checked here; front-end orders go on to their
        // final checks (see the end-to-end flows), so they are confirmed here.
        const QString workType = checking ? "Roll Off Repair" : "Front End Repair";
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
        s.messages.expectCancelThenYes(question);
        s.server.answer("RemoveFromRepairList", wire::frame("RepairRemoved"));
        press(s.screen, "pushButton_Remove");
        QCOMPARE(s.messages.shown().last().defaultButton, QMessageBox::Cancel);
        press(s.screen, "pushButton_Remove");
        QTRY_COMPARE(
            s.server.calls().mid(2),
            (QStringList{QString("RemoveFromRepairList(%1, %2, %3, W1, steel plate)").arg(workType, o[1], o[2]),
                         orderInfo}));

        if (back)
            s.messages.expect("Would you like to send this repair back?", QMessageBox::StandardButton(back));
        press(s.screen, back ? "pushButton_Back" : "pushButton_Submit");
        // Nothing times a review.
        QTRY_COMPARE(s.server.calls().mid(4), last.isEmpty() ? QStringList() : QStringList{last});
        QCOMPARE(s.messages.unexpected(), QStringList());
        if (!back)
            return;
        QCOMPARE(s.messages.shown().last().defaultButton, QMessageBox::No);
        QTRY_VERIFY(!s.screen.isVisible());
        if (back == QMessageBox::Yes) {
            QVERIFY(!state.checkingOrder() && !state.confirmingOrders());
            QCOMPARE(checking ? state.checkOrder(2) : state.confirmOrder(2), QString());
        }
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
};

namespace {

// The entry on a server whose catalogue holds W1, AB and LONGCODE12.
struct Entry : ScreenTest<BinRepairLineDialog>
{
    Entry()
    {
        server.answer("GetRepairCodes",
                      textFrame("RepairCodes", {"3", "W1", "Weld lid", "AB", "Weld-seam", "LONGCODE12", "Patch"}));
    }
    QComboBox *combo(const char *name = "comboBox") { return child<QComboBox>(&screen, name); }
    QTextEdit *materials() { return child<QTextEdit>(&screen, "textEdit"); }
};

} // namespace

class BinRepairLineDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        resetClient();
        AppState &state = AppState::instance();
        state.setOrderStatus(2);
        state.setCheckOrder(false, "bob", "KD77", 8, "FERC", "6");
        state.setConfirmOrder("carl", "KD0001", 3, "FERK");
        state.setConfirmBinSize("8");
    }

    void newLineGoesToTheOrderAtHand_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("codeList");
        QTest::addColumn<QString>("saved");
        // The code is what comes before the first "-", at most 8 characters.
        QTest::newRow("own bin") << QString("own") << 1 << QString("FER")
                                 << "anna, 2, Front End Repair, KD1234, 17, 4, AB";
        QTest::newRow("checking") << QString("checking") << 2 << QString("FERC")
                                  << "bob, 4, Front End Repair, KD77, 8, 6, LONGCODE";
        QTest::newRow("confirming") << QString("confirming") << 0 << QString("FERK")
                                    << "carl, 5, Front End Repair, KD0001, 3, 8, W1";
    }

    void newLineGoesToTheOrderAtHand()
    {
        QFETCH(QString, mode);
        QFETCH(int, item);
        QFETCH(QString, codeList);
        QFETCH(QString, saved);
        AppState::instance().setCheckOrder(mode == "checking", "bob", "KD77", 8, "FERC", "6");
        AppState::instance().setConfirmingOrders(mode == "confirming");
        Entry e;
        QTRY_COMPARE(e.combo()->count(), 3);
        e.combo()->setCurrentIndex(item);
        e.combo("comboBox_Time")->setCurrentText("2");
        e.combo("comboBox_Minutes")->setCurrentText("15");
        // Materials up to 512 characters are taken.
        for (const int length : {512, 513}) {
            e.materials()->setPlainText(QString(length, 'm'));
            QCOMPARE(child<QAbstractButton>(&e.screen, "pushButton_Submit")->isEnabled(), length == 512);
        }
        e.materials()->setPlainText("two plates");
        e.server.answer("SaveBinRepairInfo", wire::frame("BinRepairSaved"));
        press(e.screen, "pushButton_Submit");
        QTRY_VERIFY(!e.screen.isVisible());
        QCOMPARE(e.server.calls(), (QStringList{"GetRepairCodes(Front End Repair, " + codeList + ")",
                                                "SaveBinRepairInfo(" + saved + ", two plates, 2:15)"}));
        QCOMPARE(e.messages.shownTexts(), QStringList{"Sorry but your material list is too long: 513"});
    }

    // A continued order's lines are edited under its owner. A time outside
    // the choices selects none and is kept unless the user picks another.
    void editedLineIsPrefilledAndSentAsAnEdit_data()
    {
        QTest::addColumn<bool>("checking");
        QTest::addColumn<QString>("time");
        QTest::addColumn<int>("hoursIndex");
        QTest::addColumn<int>("minutesIndex");
        QTest::addColumn<QString>("order");
        QTest::addColumn<QString>("saved");
        QTest::newRow("own") << false << QString("1:30") << 1 << 2 << QString("bob, Front End Repair, KD1234, 17")
                             << "anna, 2, Front End Repair, KD1234, 17, 4";
        QTest::newRow("checking") << true << QString("10:00") << -1 << -1 << QString("bob, Front End Repair, KD77, 8")
                                  << "bob, 4, Front End Repair, KD77, 8, 6";
    }

    void editedLineIsPrefilledAndSentAsAnEdit()
    {
        QFETCH(bool, checking);
        QFETCH(QString, time);
        QFETCH(int, hoursIndex);
        QFETCH(int, minutesIndex);
        QFETCH(QString, order);
        QFETCH(QString, saved);
        AppState &state = AppState::instance();
        state.setEditRepairLine("AB", "old plate", time);
        state.setOrderOwner("bob");
        state.setCheckOrder(checking, "bob", "KD77", 8, "FERC", "6");
        Entry e;
        QTRY_COMPARE(e.combo()->currentText(), QString("AB-Weld-seam"));
        QCOMPARE(e.materials()->toPlainText(), QString("old plate"));
        QCOMPARE(e.combo("comboBox_Time")->currentIndex(), hoursIndex);
        QCOMPARE(e.combo("comboBox_Minutes")->currentIndex(), minutesIndex);
        e.combo()->setCurrentIndex(0);
        e.materials()->setPlainText("new plate");
        e.server.answer("EditBinRepair", wire::frame("BinRepairSaved"));
        press(e.screen, "pushButton_Submit");
        QTRY_VERIFY(!e.screen.isVisible());
        QTRY_COMPARE(e.server.calls().mid(1),
                     (QStringList{"EditBinRepair(" + order + ", AB, old plate, W1, new plate, " + time + ")",
                                  "SaveBinRepairInfo(" + saved + ", W1, new plate, " + time + ")"}));
        QVERIFY(e.messages.shown().isEmpty());
    }

    void repliesSelectCloseOrReport()
    {
        AppState::instance().setEditRepairLine("ab", "old plate", "1:30");
        Entry e;
        QTRY_COMPARE(e.combo()->count(), 3);
        // "ab" is matched case-sensitively: the catalogue's "AB" is not pre-filled.
        QCOMPARE(e.combo()->currentIndex(), 0);
        QCOMPARE(e.materials()->toPlainText(), QString());
        QCOMPARE(e.combo("comboBox_Time")->currentText(), QString("0"));
        // A selected item is found whatever its case.
        e.server.send(wire::frame("CurrentSelectedRepair", QString("ab-WELD-seam")));
        QTRY_COMPARE(e.combo()->currentIndex(), 1);
        QCOMPARE(e.materials()->toPlainText(), QString("old plate"));
        QVERIFY(e.screen.isVisible());
        // An item the list does not have ends the entry after the message.
        e.server.send(wire::frame("CurrentSelectedRepair", QString("ZZ-Gone")));
        QTRY_VERIFY(!e.screen.isVisible());
        QCOMPARE(e.messages.shownTexts(), QStringList{"Error"});

        BinRepairLineDialog cancelled;
        QTRY_COMPARE(e.server.commands().count("GetRepairCodes"), 2);
        press(cancelled, "pushButton_Cancel");
        QVERIFY(!cancelled.isVisible());
        QVERIFY(!e.server.commands().contains("SaveBinRepairInfo"));
    }
};

namespace {

struct Checks : ScreenTest<FinalChecksDialog>
{
    QLineEdit *edit(const char *name) { return child<QLineEdit>(&screen, name); }
    QList<QCheckBox *> boxes()
    {
        QList<QCheckBox *> all;
        for (const char *name : {"ID", "Cracks", "LockTab", "Tracks", "Channels", "Pockets", "Guessets", "LidBridge"})
            all << child<QCheckBox>(&screen, QString("checkBox_") + name);
        return all;
    }
    // Types into the emptied field as a user would, then presses Submit.
    void submitTyped(const char *field, const QString &typed)
    {
        edit(field)->clear();
        QTest::keyClicks(edit(field), typed);
        press(screen, "pushButton_Submit");
    }
};

} // namespace

class FinalChecksDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        resetClient();
        AppState::instance().setCheckOrder(false, "", "", 0, "", "6");
        AppState::instance().setTimerRunning(true);
        AppState::instance().setTimeStampId(42);
    }

    void ownBinReportsEachMissingCheckThenSavesAndEndsTheTiming()
    {
        AppState &state = AppState::instance();
        state.setOrderOwner("bob");
        Checks c;
        c.server.answer("SaveChecks", wire::frame("ChecksSaved"));
        c.server.answer("SetEndTime", wire::frame("EndTimeSet"));
        waitForLink(c.screen);
        const QString lidSizeWrong = "Lid Size must be a number of inches, more than 0 and at most 120";
        const QString lidTabWidthWrong = "Lid Tab Width must be a number of inches, more than 0 and at most 12";
        QStringList expected{"Please enter Lid Size",      lidSizeWrong,     lidSizeWrong,
                             "Please enter Lid Tab Width", lidTabWidthWrong, lidTabWidthWrong};
        for (const char *check :
             {"Bin ID", "Cracks", "Lock Tab", "Tracks", "Channels", "Pockets", "Gussets", "Lid Bridge"})
            expected << QString("Please check ") + check;

        // Each Submit reports the first gap or wrong length; then it is put right.
        // Lengths are typed as inches: letters are not taken.
        press(c.screen, "pushButton_Submit");
        for (const char *typed : {"0", "121", "2O.5 in"})
            c.submitTyped("lineEdit_LidSize", typed);
        QCOMPARE(c.edit("lineEdit_LidSize")->text(), QString("2.5"));
        for (const char *typed : {".", "12.5", "1.25"})
            c.submitTyped("lineEdit", typed);
        for (QCheckBox *box : c.boxes()) {
            box->setChecked(true);
            press(c.screen, "pushButton_Submit");
        }
        QTRY_VERIFY(!c.screen.isVisible());
        QCOMPARE(c.messages.shownTexts(), expected << "Finished");
        // Only the last Submit went out. The owner of a continued order is the
        // one whose checks these are; the timing is the worker's.
        QCOMPARE(c.server.calls(), (QStringList{"SaveChecks(bob, Front End Repair, KD1234, 17, 4, 2.5, 1.25)",
                                                "SetEndTime(anna, Front End Repair, KD1234, 17, 42)"}));
        QVERIFY(!state.timerRunning());
        QCOMPARE(state.timeStampId(), 0);
        QCOMPARE(state.checkOrder(5), QString("6"));
    }

    // A check shows the stored checks and passes the order on, or is cancelled;
    // it never ends the worker's timing. A manager's confirmation saves the
    // checks in the end-to-end flow.
    void checkingShowsTheStoredChecks_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("passed") << "pushButton_Submit" << QStringList{"ChangeStatus(bob, 5, KD77, 8)"};
        QTest::newRow("cancelled") << "pushButton_Cancel" << QStringList();
    }

    void checkingShowsTheStoredChecks()
    {
        QFETCH(QString, button);
        QFETCH(QStringList, sent);
        AppState &state = AppState::instance();
        state.setCheckOrder(true, "bob", "KD77", 8, "FER", "6");
        Checks c;
        c.server.answer("GetChecksList", textFrame("GetCheckList", {"20", "1.5"}));
        c.server.answer("ChangeStatus", wire::frame("StatusChanged"));
        QTRY_COMPARE(c.edit("lineEdit_LidSize")->text(), QString("20"));
        QCOMPARE(c.edit("lineEdit")->text(), QString("1.5"));
        // Every check ticked, in ticks a gloved finger can hit: as tall as a line
        // of the screen's font (a press beside a tick is tested on the pre-check).
        for (QCheckBox *box : c.boxes()) {
            QStyleOptionButton option;
            option.initFrom(box);
            QVERIFY(box->isChecked());
            QVERIFY(box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box).height()
                    >= QFontMetrics(c.screen.font()).height());
        }

        press(c.screen, button);
        QTRY_VERIFY(!c.screen.isVisible());
        QCOMPARE(c.server.calls(), QStringList{"GetChecksList(Front End Repair, KD77, 8)"} + sent);
        QVERIFY(c.messages.shown().isEmpty());
        QVERIFY(state.timerRunning());
        // A passed check leaves nothing of the checked order but its size.
        if (!sent.isEmpty()) {
            QVERIFY(!state.checkingOrder());
            QCOMPARE(stateFields(&AppState::checkOrder, 5), (QStringList{"", "", "0", "", "6"}));
        }
    }
};

SCREEN_TESTS_MAIN(BinIntakeDialogTest, PreCheckDialogTest, ContinueOrderDialogTest, BinRepairSheetDialogTest,
                  BinRepairLineDialogTest, FinalChecksDialogTest)
#include "tst_bins.moc"
