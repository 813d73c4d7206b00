#include "bins/binrepairlinedialog.h"
#include "screens.h"

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
        QTest::newRow("own bin") << "own" << 1 << "FER"
                                 << "anna, 2, Front End Repair, KD1234, 17, 4, AB";
        QTest::newRow("checking") << "checking" << 2 << "FERC"
                                  << "bob, 4, Front End Repair, KD77, 8, 6, LONGCODE";
        QTest::newRow("confirming") << "confirming" << 0 << "FERK"
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
        QCOMPARE(e.combo()->itemText(1), QString("AB-Weld-seam"));
        QCOMPARE(e.combo("comboBox_Time")->count(), 9);
        e.combo()->setCurrentIndex(item);
        e.combo("comboBox_Time")->setCurrentText("2");
        e.combo("comboBox_Minutes")->setCurrentText("15");
        e.materials()->setPlainText("two plates");
        e.server.answer("SaveBinRepairInfo", wire::frame("BinRepairSaved"));
        press(e.screen, "pushButton_Submit");
        QTRY_VERIFY(!e.screen.isVisible());
        QCOMPARE(e.server.calls(), (QStringList{"GetRepairCodes(Front End Repair, " + codeList + ")",
                                                "SaveBinRepairInfo(" + saved + ", two plates, 2:15)"}));
        QVERIFY(e.messages.shown().isEmpty());
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
        QTest::newRow("own") << false << "1:30" << 1 << 2 << "bob, Front End Repair, KD1234, 17"
                             << "anna, 2, Front End Repair, KD1234, 17, 4";
        QTest::newRow("checking") << true << "10:00" << -1 << -1 << "bob, Front End Repair, KD77, 8"
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

    void materialsLimit()
    {
        Entry e;
        QAbstractButton *submit = child<QAbstractButton>(&e.screen, "pushButton_Submit");
        for (const int length : {512, 513, 514, 512}) {
            e.materials()->setPlainText(QString(length, 'm'));
            QCOMPARE(submit->isEnabled(), length <= 512);
        }
        QCOMPARE(e.messages.shownTexts(), (QStringList{"Sorry but your material list is too long: 513",
                                                       "Sorry but your material list is too long: 514"}));
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
        // A selected item is found whatever its case; a tag the entry does not know is an error.
        e.server.send(wire::frame("CurrentSelectedRepair", QString("ab-WELD-seam")) + wire::frame("Surprise"));
        QTRY_COMPARE(e.messages.shownTexts(), QStringList{"Error"});
        QCOMPARE(e.combo()->currentIndex(), 1);
        QCOMPARE(e.materials()->toPlainText(), QString("old plate"));
        QVERIFY(e.screen.isVisible());
        // An item the list does not have ends the entry after the message.
        e.server.send(wire::frame("CurrentSelectedRepair", QString("ZZ-Gone")));
        QTRY_VERIFY(!e.screen.isVisible());
        QCOMPARE(e.messages.shownTexts(), (QStringList{"Error", "Error"}));

        BinRepairLineDialog cancelled;
        QTRY_COMPARE(e.server.commands().count("GetRepairCodes"), 2);
        press(cancelled, "pushButton_Cancel");
        QVERIFY(!cancelled.isVisible());
        QTRY_COMPARE(e.server.openConnections(), 0);
        QVERIFY(!e.server.commands().contains("SaveBinRepairInfo"));
    }
};

QTEST_MAIN(BinRepairLineDialogTest)
#include "tst_binrepairlinedialog.moc"
