#include "bins/continueorderdialog.h"
#include "screens.h"

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

    void listsEveryUsersOrdersAndPreselectsTheBinInProgress_data()
    {
        QTest::addColumn<bool>("continueBin");
        QTest::addColumn<QString>("binId");
        QTest::addColumn<int>("currentRow");
        QTest::newRow("from the main window") << false << "KD7" << -1;
        QTest::newRow("bin in progress") << true << "KD7" << 1;
        QTest::newRow("bin not listed") << true << "KD9" << -1;
    }

    void listsEveryUsersOrdersAndPreselectsTheBinInProgress()
    {
        QFETCH(bool, continueBin);
        QFETCH(QString, binId);
        QFETCH(int, currentRow);
        AppState::instance().setContinueBin(continueBin, binId);
        Continue c;
        QTRY_COMPARE(itemTexts(c.list()), (QStringList{"KD1", "KD7", "KD7"}));
        QCOMPARE(c.server.requests().first().arguments(), QStringList{"anna"});
        QCOMPARE(c.list()->currentRow(), currentRow);
        QCOMPARE(c.list()->selectedItems().size(), currentRow < 0 ? 0 : 1);
        QVERIFY(c.messages.shown().isEmpty());
    }

    // The order goes out under the user it is listed under, who owns it unless
    // that is the worker; the server's reply opens the screen of its status.
    void chosenOrderIsLoadedAndOpensTheScreenOfItsStatus_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("owner");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("sheet");
        QTest::newRow("bob's order being repaired") << 2 << "bob"
                                                    << "2"
                                                    << "BinRepairSheetDialog";
        QTest::newRow("own order at the final checks") << 1 << ""
                                                       << "3"
                                                       << "FinalChecksDialog";
    }

    void chosenOrderIsLoadedAndOpensTheScreenOfItsStatus()
    {
        QFETCH(int, row);
        QFETCH(QString, owner);
        QFETCH(QString, status);
        QFETCH(QString, sheet);
        Continue c;
        c.server.answer("GetBin", textFrame("Bin", {"ROR20", "Roll Off Repair", "58", status, "ROR"}));
        c.watcher.closeScreen(sheet);
        QTRY_COMPARE(c.list()->count(), 3);
        press(c.screen, "pushButton_Continue");
        QCOMPARE(c.messages.shownTexts(), QStringList{"Please select a Work Order before continuing"});
        c.choose(row);
        QTRY_COMPARE(c.watcher.seen(), QStringList{sheet});
        QCOMPARE(c.server.calls().mid(0, 2),
                 (QStringList{"GetWorkOrders(anna)", "GetBin(" + (owner.isEmpty() ? "anna" : owner) + ", KD7)"}));
        QCOMPARE(AppState::instance().orderOwner(), owner);
        QCOMPARE(AppState::instance().workType(), QString("Roll Off Repair"));
        QCOMPARE(stateFields(&AppState::currentBin, 4), (QStringList{"ROR20", "", "ROR", "58"}));
        QCOMPARE(AppState::instance().orderStatus(), status.toInt());
        QCOMPARE(c.messages.shown().size(), 1);
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
        QCOMPARE(c.server.requests().first().arguments(), QStringList());

        c.choose(0);
        QTRY_COMPARE(c.watcher.seen(), QStringList{"CustomJobSheetDialog"});
        QCOMPARE(c.server.commands().mid(0, 2), (QStringList{"GetCustomWorkOrders", "ContinueCustomOrder"}));
        QCOMPARE(c.server.lastArguments("ContinueCustomOrder"), (QStringList{"27", "Tank repair", "Acme"}));
        QCOMPARE(state.customOrderId(), 27);
        QCOMPARE(stateFields(&AppState::customOrder, 8),
                 (QStringList{"3/7/2016", "Al", "Tank repair", "Acme", "C-9", "Ann", "555", "ann@acme.example"}));
        QCOMPARE(c.messages.unexpected(), QStringList());
    }

    void unknownReplyOrShortListIsAnErrorAndCancelLeavesQuietly()
    {
        AppState::instance().setContinueCustom(true);
        Continue c(false);
        QVERIFY(c.server.waitForRequest("GetCustomWorkOrders") >= 0);
        // A count that the groups after it do not fill is as wrong as a strange tag.
        c.server.send(wire::frame("Surprise")
                      + wire::frame("WorkOrders", QString("2"), QString("anna"), QStringList{"KD1"}));
        QTRY_COMPARE(c.messages.shownTexts(), (QStringList{"Error", "Error"}));
        QCOMPARE(c.list()->count(), 0);

        press(c.screen, "pushButton_Cancel");
        QVERIFY(!c.screen.isVisible());
        QVERIFY(!AppState::instance().continueCustom());
        QTRY_COMPARE(c.server.openConnections(), 0);
        QCOMPARE(c.messages.shown().size(), 2);
    }
};

QTEST_MAIN(ContinueOrderDialogTest)
#include "tst_continueorderdialog.moc"
