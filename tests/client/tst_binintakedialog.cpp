#include "bins/binintakedialog.h"
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
        QTest::newRow("front end") << "Front End Repair"
                                   << "6"
                                   << "Slant";
        QTest::newRow("roll off") << "Roll Off Repair"
                                  << "50"
                                  << "Enclosed";
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

    void unknownWorkTypeOffersNothing()
    {
        AppState::instance().setWorkType("Custom");
        Intake i;
        QCOMPARE(i.sizes()->count(), 0);
        press(i.screen, "pushButton_Edit");
        QVERIFY(i.messages.asked().isEmpty());
        QCOMPARE(i.messages.shownTexts(), (QStringList{"Work Type Error", "WorkType Error"}));
    }

    // Each box here is answered No.
    void editThatStartsNothing_data()
    {
        QTest::addColumn<QString>("workType");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("found");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char *name, const char *workType, const char *typed, const QByteArray &found,
                            const QString &shown) { QTest::newRow(name) << workType << typed << found << shown; };
        row("lower-case kd", "Front End Repair", "kd1234", {}, "Bin ID can only start with KD");
        row("shorter than KD", "Front End Repair", "K", {}, "Bin ID can only start with KD");
        row("blank inside", "Front End Repair", "KD 1234", {}, "No spaces in Bin ID");
        row("cancelled", "Front End Repair", "", {}, "");
        row("lower-case ror", "Roll Off Repair", "ror2016", {}, "Bin ID can only start with ROR");
        row("shorter than ROR", "Roll Off Repair", "RO", {}, "Bin ID can only start with ROR");
        row("not found, No", "Front End Repair", "KD5", textFrame("BinNotFound", {"KD5"}), NotFound);
        row("in progress, No", "Front End Repair", "KD9", textFrame("BinInProgress", {"KD9"}), InProgress);
    }

    void editThatStartsNothing()
    {
        QFETCH(QString, workType);
        QFETCH(QString, typed);
        QFETCH(QByteArray, found);
        QFETCH(QString, shown);
        AppState::instance().setWorkType(workType);
        Intake i;
        if (!found.isEmpty())
            i.server.answer("FindBin", found);
        i.open();
        if (!shown.isEmpty())
            i.messages.expect(shown, QMessageBox::No);
        i.edit(typed);
        QCOMPARE(i.messages.asked().first().title, QString("Search Bin ID"));
        QTRY_COMPARE(i.messages.shownTexts(), shown.isEmpty() ? QStringList() : QStringList{shown});
        QCOMPARE(i.messages.pending(), QStringList());
        // The bin in progress is only continued on a Yes it does not default to.
        if (shown == InProgress)
            QCOMPARE(i.messages.shown().first().defaultButton, QMessageBox::No);
        // Nothing else went out: the next request on the link is the one Enter sends.
        press(i.screen, "pushButton_Enter");
        QVERIFY(i.server.waitForRequest("MakeRepairId") >= 0);
        const QStringList search{"FindBin(anna, " + workType + ", " + typed + ")"};
        QCOMPARE(i.server.calls().mid(1),
                 (found.isEmpty() ? QStringList() : search) + QStringList{"MakeRepairId(ID KD1001, " + workType + ")"});
    }

    void searchStartsTheOrder_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("found, size offered") << textFrame("BinFound", {"KD77", "12", "4"}) << "KD77 12 4"
                                             << "4" << QStringList{"KD77", "4", "FER", "12"};
        // The order records the size the server knows, even one the choices lack.
        QTest::newRow("found, size unknown") << textFrame("BinFound", {"KD77", "12", "5"}) << "KD77 12 5"
                                             << "8" << QStringList{"KD77", "5", "FER", "12"};
        // A bin added on Yes is repair 1 of the size selected.
        QTest::newRow("not found, Yes") << textFrame("BinNotFound", {"KD77"}) << NotFound << "8"
                                        << QStringList{"KD77", "8", "FER", "1"};
    }

    void searchStartsTheOrder()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QString, shown);
        QFETCH(QString, selected);
        QFETCH(QStringList, order);
        Intake i;
        i.server.answer("FindBin", reply);
        i.open();
        i.sizes()->setCurrentText("8");
        i.messages.expect(shown, QMessageBox::Yes);
        i.edit("KD77");
        QVERIFY(i.server.waitForRequest("StoreCurrentInfo") >= 0);
        QCOMPARE(i.server.calls().mid(1),
                 (QStringList{"FindBin(anna, Front End Repair, KD77)",
                              QString("StoreCurrentInfo(anna, Front End Repair, KD77, %1, %2, None)")
                                  .arg(order.at(1), order.at(3))}));
        QCOMPARE(i.sizes()->currentText(), selected);
        QCOMPARE(stateFields(&AppState::currentBin, 4), order);
        QCOMPARE(AppState::instance().orderOwner(), QString());
        QCOMPARE(AppState::instance().orderStatus(), 1);
        QCOMPARE(i.messages.shownTexts(), QStringList{shown});
        if (shown != NotFound)
            QCOMPARE(labelText(i.screen, "label_ID"), QString("ID KD77"));
    }

    void binInProgressIsContinuedOnYes()
    {
        Intake i;
        i.server.answer("FindBin", wire::frame("BinInProgress", QString("KD9")));
        i.open();
        // Replies the intake does not know, or too short, are shown behind "Error2".
        i.server.send(wire::frame("Surprise") + wire::frame("NewBinID"));
        QTRY_COMPARE(i.messages.shownTexts(), (QStringList{"Error2Surprise", "Error2NewBinID"}));
        QCOMPARE(labelText(i.screen, "label_ID"), QString("ID KD1001"));
        QStringList whileContinuing;
        i.watcher.onScreen("ContinueOrderDialog", [&](QWidget *screen) {
            const AppState &state = AppState::instance();
            whileContinuing << QString::number(state.continueBin()) << state.continueBinId()
                            << QString::number(i.screen.isVisible());
            screen->close();
        });
        i.messages.expect(InProgress, QMessageBox::Yes);
        i.edit("KD9");
        QTRY_COMPARE(i.watcher.seen(), QStringList{"ContinueOrderDialog"});
        QCOMPARE(whileContinuing, (QStringList{"1", "KD9", "0"}));
        QVERIFY(!AppState::instance().continueBin());
        QCOMPARE(AppState::instance().continueBinId(), QString());
    }
};

QTEST_MAIN(BinIntakeDialogTest)
#include "tst_binintakedialog.moc"
