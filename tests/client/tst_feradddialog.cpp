#include "appstate.h"
#include "fakeserver.h"
#include "feradddialog.h"
#include "frame.h"
#include "messagescript.h"

#include <QComboBox>
#include <QPushButton>
#include <QTextEdit>
#include <QtTest>

class FerAddDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void newLineGoesToTheOrderAtHand_data();
    void newLineGoesToTheOrderAtHand();
    void editedLineIsPrefilledAndSentAsAnEdit();
    void editedLineOutsideTheChoicesKeepsItsTime();
    void materialsLimit();
    void repliesSelectCloseOrReport();

private:
    static QComboBox *combo(QWidget &entry, const char *name) { return entry.findChild<QComboBox *>(name); }
    static QTextEdit *materials(QWidget &entry) { return entry.findChild<QTextEdit *>("textEdit"); }
    static QPushButton *button(QWidget &entry, const char *name) { return entry.findChild<QPushButton *>(name); }
    static QByteArray catalogue()
    {
        return wire::frame("RepairCodes", QString("3"), QString("W1"), QString("Weld lid"), QString("AB"),
                           QString("Weld-seam"), QString("LONGCODE12"), QString("Patch"));
    }
};

void FerAddDialogTest::init()
{
    AppState &state = AppState::instance();
    state.setUser("anna", "digest");
    state.setWorkType("Front End Repair");
    state.setOrderStatus(2);
    state.setCurrentBin("KD1234", "4", "FER", 17);
    state.setCheckOrder(false, "bob", "KD77", 8, "FERC", "6");
    state.setConfirmOrder("carl", "KD0001", 3, "FERK");
    state.setConfirmBinSize("8");
    state.setConfirmingOrders(false);
    state.setOrderOwner("");
    state.setEditRepairLine("", "", "");
}

void FerAddDialogTest::newLineGoesToTheOrderAtHand_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("item");
    QTest::addColumn<QStringList>("saved");
    // The code is what comes before the first "-", at most 8 characters.
    QTest::newRow("own bin") << "own" << 1
                             << QStringList{"FER", "anna", "2", "Front End Repair", "KD1234", "17", "4", "AB"};
    QTest::newRow("checking") << "checking" << 2
                              << QStringList{"FERC", "bob", "4", "Front End Repair", "KD77", "8", "6", "LONGCODE"};
    QTest::newRow("confirming") << "confirming" << 0
                                << QStringList{"FERK", "carl", "5", "Front End Repair", "KD0001", "3", "8", "W1"};
}

void FerAddDialogTest::newLineGoesToTheOrderAtHand()
{
    QFETCH(QString, mode);
    QFETCH(int, item);
    QFETCH(QStringList, saved);
    AppState &state = AppState::instance();
    state.setCheckOrder(mode == "checking", "bob", "KD77", 8, "FERC", "6");
    state.setConfirmingOrders(mode == "confirming");
    MessageScript messages;
    FakeServer server;
    server.answer("GetRepairCodes", catalogue());
    FerAddDialog entry;
    QTRY_COMPARE(combo(entry, "comboBox")->count(), 3);
    const QString codeListKey = saved.takeFirst();
    QCOMPARE(server.requests().first().arguments(), (QStringList{"Front End Repair", codeListKey}));
    QCOMPARE(combo(entry, "comboBox")->itemText(1), QString("AB-Weld-seam"));
    QCOMPARE(combo(entry, "comboBox_Time")->count(), 9);

    combo(entry, "comboBox")->setCurrentIndex(item);
    combo(entry, "comboBox_Time")->setCurrentText("2");
    combo(entry, "comboBox_Minutes")->setCurrentText("15");
    materials(entry)->setPlainText("two plates");
    server.answer("SaveBinRepairInfo", wire::frame("BinRepairSaved"));
    button(entry, "pushButton_Submit")->click();
    QTRY_VERIFY(!entry.isVisible());
    QCOMPARE(server.commands(), (QStringList{"GetRepairCodes", "SaveBinRepairInfo"}));
    QCOMPARE(server.requests().last().arguments(), (saved + QStringList{"two plates", "2:15"}));
    QVERIFY(messages.shown().isEmpty());
}

void FerAddDialogTest::editedLineIsPrefilledAndSentAsAnEdit()
{
    MessageScript messages;
    AppState &state = AppState::instance();
    state.setEditRepairLine("AB", "old plate", "1:30");
    state.setOrderOwner("bob");
    FakeServer server;
    server.answer("GetRepairCodes", catalogue());
    FerAddDialog entry;
    QTRY_COMPARE(combo(entry, "comboBox")->currentText(), QString("AB-Weld-seam"));
    QCOMPARE(materials(entry)->toPlainText(), QString("old plate"));
    QCOMPARE(combo(entry, "comboBox_Time")->currentText(), QString("1"));
    QCOMPARE(combo(entry, "comboBox_Minutes")->currentText(), QString("30"));

    combo(entry, "comboBox")->setCurrentIndex(0);
    materials(entry)->setPlainText("new plate");
    server.answer("EditBinRepair", wire::frame("BinRepairSaved"));
    button(entry, "pushButton_Submit")->click();
    QVERIFY(server.waitForRequest("SaveBinRepairInfo") >= 0);
    QTRY_VERIFY(!entry.isVisible());
    QCOMPARE(server.commands(), (QStringList{"GetRepairCodes", "EditBinRepair", "SaveBinRepairInfo"}));
    QCOMPARE(server.requests().at(1).arguments(),
             (QStringList{"bob", "Front End Repair", "KD1234", "17", "AB", "old plate", "W1", "new plate", "1:30"}));
    QCOMPARE(server.requests().at(2).arguments(),
             (QStringList{"anna", "2", "Front End Repair", "KD1234", "17", "4", "W1", "new plate", "1:30"}));
    QVERIFY(messages.shown().isEmpty());
}

void FerAddDialogTest::editedLineOutsideTheChoicesKeepsItsTime()
{
    MessageScript messages;
    AppState &state = AppState::instance();
    state.setEditRepairLine("AB", "old plate", "10:00");
    state.setCheckOrder(true, "bob", "KD77", 8, "FERC", "6");
    FakeServer server;
    server.answer("GetRepairCodes", catalogue());
    FerAddDialog entry;
    QTRY_COMPARE(combo(entry, "comboBox")->currentText(), QString("AB-Weld-seam"));
    QCOMPARE(combo(entry, "comboBox_Time")->currentIndex(), -1);
    QCOMPARE(combo(entry, "comboBox_Minutes")->currentIndex(), -1);
    button(entry, "pushButton_Submit")->click();
    QVERIFY(server.waitForRequest("SaveBinRepairInfo") >= 0);
    QCOMPARE(server.requests().at(1).arguments(),
             (QStringList{"bob", "Front End Repair", "KD77", "8", "AB", "old plate", "AB", "old plate", "10:00"}));

    // The code is matched case-sensitively: "ab" is not in the catalogue, so nothing is pre-filled.
    state.setEditRepairLine("ab", "old plate", "1:30");
    server.answer("GetRepairCodes", catalogue() + wire::frame("Surprise"));
    messages.expect("Error");
    FerAddDialog other;
    QTRY_COMPARE(messages.shown().size(), 1);
    QCOMPARE(combo(other, "comboBox")->currentIndex(), 0);
    QCOMPARE(materials(other)->toPlainText(), QString());
    QCOMPARE(combo(other, "comboBox_Time")->currentText(), QString("0"));
}

void FerAddDialogTest::materialsLimit()
{
    MessageScript messages;
    FakeServer server;
    FerAddDialog entry;
    QPushButton *submit = button(entry, "pushButton_Submit");
    materials(entry)->setPlainText(QString(512, 'm'));
    QVERIFY(submit->isEnabled());
    QVERIFY(messages.shown().isEmpty());
    messages.expect("Sorry but your material list is too long: 513");
    messages.expect("Sorry but your material list is too long: 514");
    materials(entry)->setPlainText(QString(513, 'm'));
    QVERIFY(!submit->isEnabled());
    materials(entry)->setPlainText(QString(514, 'm'));
    QVERIFY(!submit->isEnabled());
    materials(entry)->setPlainText(QString(512, 'm'));
    QVERIFY(submit->isEnabled());
    QCOMPARE(messages.shown().size(), 2);
    QCOMPARE(messages.unexpected(), QStringList());
}

void FerAddDialogTest::repliesSelectCloseOrReport()
{
    AppState::instance().setEditRepairLine("AB", "old plate", "1:30");
    MessageScript messages;
    messages.expect("Error");
    FakeServer server;
    server.answer("GetRepairCodes", catalogue());
    FerAddDialog entry;
    QTRY_COMPARE(combo(entry, "comboBox")->count(), 3);
    materials(entry)->clear();
    server.send(wire::frame("CurrentSelectedRepair", QString("w1-weld LID")) + wire::frame("Surprise"));
    QTRY_COMPARE(messages.shown().size(), 1);
    QCOMPARE(combo(entry, "comboBox")->currentIndex(), 0);
    QCOMPARE(materials(entry)->toPlainText(), QString("old plate"));
    QVERIFY(entry.isVisible());

    // An item the list does not have ends the entry after the message.
    messages.expect("Error");
    server.send(wire::frame("CurrentSelectedRepair", QString("ZZ-Gone")));
    QTRY_VERIFY(!entry.isVisible());
    QCOMPARE(messages.unexpected(), QStringList());

    FerAddDialog cancelled;
    QTRY_COMPARE(server.commands().count("GetRepairCodes"), 2);
    button(cancelled, "pushButton_Cancel")->click();
    QVERIFY(!cancelled.isVisible());
    QTRY_COMPARE(server.openConnections(), 0);
    QVERIFY(!server.commands().contains("SaveBinRepairInfo"));
    QVERIFY(messages.exits().isEmpty());
}

QTEST_MAIN(FerAddDialogTest)
#include "tst_feradddialog.moc"
