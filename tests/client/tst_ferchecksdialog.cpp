#include "appstate.h"
#include "fakeserver.h"
#include "ferchecksdialog.h"
#include "frame.h"
#include "messagescript.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpSocket>
#include <QtTest>

class FerChecksDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void submitReportsTheFirstMissingCheckAndSendsNothing();
    void ownBinSavesTheChecksThenEndsTheTiming();
    void ownBinStartsTimingAndCancelEndsIt();
    void checkingShowsTheStoredChecksAndPassesWithStatusFive();
    void confirmingSavesWithStatusSixAndEndsNoTiming();

private:
    static void press(QWidget &dialog, const char *name) { dialog.findChild<QPushButton *>(name)->click(); }
    static void waitUntilConnected(QWidget &dialog)
    {
        QTRY_COMPARE(dialog.findChild<QTcpSocket *>()->state(), QAbstractSocket::ConnectedState);
    }
    static const QList<const char *> checkBoxes;
};

const QList<const char *> FerChecksDialogTest::checkBoxes = {
    "checkBox_ID",       "checkBox_Cracks",  "checkBox_LockTab",  "checkBox_Tracks",
    "checkBox_Channels", "checkBox_Pockets", "checkBox_Guessets", "checkBox_LidBridge"};

void FerChecksDialogTest::init()
{
    AppState &state = AppState::instance();
    state.setUser("anna", "digest");
    state.setWorkType("Front End Repair");
    state.setCurrentBin("KD1234", "4", "FER", 17);
    state.setCheckOrder(false, "", "", 0, "", "");
    state.setConfirmOrder("", "", 0, "");
    state.setConfirmingOrders(false);
    state.setOrderOwner("");
    state.setTimerRunning(true);
    state.setTimeStampId(42);
}

void FerChecksDialogTest::submitReportsTheFirstMissingCheckAndSendsNothing()
{
    MessageScript messages;
    FakeServer server;
    FerChecksDialog dialog;
    waitUntilConnected(dialog);
    QStringList expected{"Please enter Lid Size", "Please enter Lid Tab Width"};
    for (const char *check : {"Bin ID", "Cracks", "Lock Tab", "Tracks", "Channels", "Pockets", "Gussets", "Lid Bridge"})
        expected << QString("Please check ") + check;
    for (const QString &text : expected)
        messages.expect(text);

    // Each Submit reports the first gap; then that gap is filled.
    press(dialog, "pushButton_Submit");
    dialog.findChild<QLineEdit *>("lineEdit_LidSize")->setText("20.5");
    press(dialog, "pushButton_Submit");
    dialog.findChild<QLineEdit *>("lineEdit")->setText("1.25");
    for (const char *name : checkBoxes) {
        press(dialog, "pushButton_Submit");
        dialog.findChild<QCheckBox *>(name)->setChecked(true);
    }
    QCOMPARE(messages.shownTexts(), expected);
    QCOMPARE(messages.unexpected(), QStringList());
    QVERIFY(server.requests().isEmpty());

    press(dialog, "pushButton_Submit");
    QVERIFY(server.waitForRequest("SaveChecks") >= 0);
    QCOMPARE(server.commands(), QStringList{"SaveChecks"});
    QCOMPARE(messages.shown().size(), 10);
}

void FerChecksDialogTest::ownBinSavesTheChecksThenEndsTheTiming()
{
    MessageScript messages;
    messages.expect("Finished");
    AppState &state = AppState::instance();
    state.setOrderOwner("bob");
    state.setCheckOrder(false, "", "", 0, "", "6");
    FakeServer server;
    server.answer("SaveChecks", wire::frame("ChecksSaved"));
    server.answer("SetEndTime", wire::frame("EndTimeSet"));
    FerChecksDialog dialog;
    dialog.findChild<QLineEdit *>("lineEdit_LidSize")->setText("20.5");
    dialog.findChild<QLineEdit *>("lineEdit")->setText("1.25");
    for (const char *name : checkBoxes)
        dialog.findChild<QCheckBox *>(name)->setChecked(true);
    press(dialog, "pushButton_Submit");
    QTRY_VERIFY(!dialog.isVisible());
    QCOMPARE(server.commands(), (QStringList{"SaveChecks", "SetEndTime"}));
    // The owner of a continued order is the one whose checks these are; the timing is the worker's.
    QCOMPARE(server.requests().at(0).arguments(),
             (QStringList{"bob", "Front End Repair", "KD1234", "17", "4", "20.5", "1.25"}));
    QCOMPARE(server.requests().at(1).arguments(), (QStringList{"anna", "Front End Repair", "KD1234", "17", "42"}));
    QVERIFY(!state.timerRunning());
    QCOMPARE(state.checkOrder(5), QString("6"));
    QCOMPARE(messages.shownTexts(), QStringList{"Finished"});
}

void FerChecksDialogTest::ownBinStartsTimingAndCancelEndsIt()
{
    MessageScript messages;
    messages.expect("Error");
    AppState &state = AppState::instance();
    state.setTimerRunning(false);
    FakeServer server;
    server.answer("SetStartTime",
                  wire::frame("StartTimeSet", QString("77"), QString("0.75")) + wire::frame("Surprise"));
    server.answer("ChangeStatus", wire::frame("StatusChanged"));
    server.answer("SetEndTime", wire::frame("EndTimeSet"));
    FerChecksDialog dialog;
    QTRY_COMPARE(messages.shown().size(), 1);
    QVERIFY(state.timerRunning());
    QCOMPARE(state.timeStampId(), 77);
    QCOMPARE(state.elapsedHours(), 0.75f);
    QVERIFY(dialog.isVisible());

    // Cancel hands the order back to work (status 2), then ends the timing.
    press(dialog, "pushButton_Cancel");
    QTRY_VERIFY(!dialog.isVisible());
    QCOMPARE(server.commands(), (QStringList{"SetStartTime", "ChangeStatus", "SetEndTime"}));
    QCOMPARE(server.requests().at(0).arguments(), (QStringList{"anna", "Front End Repair", "KD1234", "17"}));
    QCOMPARE(server.requests().at(1).arguments(), (QStringList{"anna", "2", "KD1234", "17"}));
    QCOMPARE(server.requests().at(2).arguments(), (QStringList{"anna", "Front End Repair", "KD1234", "17", "77"}));
    QVERIFY(!state.timerRunning());
    QCOMPARE(state.timeStampId(), 0);
    QCOMPARE(messages.unexpected(), QStringList());
}

void FerChecksDialogTest::checkingShowsTheStoredChecksAndPassesWithStatusFive()
{
    AppState &state = AppState::instance();
    {
        MessageScript messages;
        state.setCheckOrder(true, "bob", "KD77", 8, "FER", "6");
        FakeServer server;
        server.answer("GetChecksList", wire::frame("GetCheckList", QString("20"), QString("1.5")));
        server.answer("ChangeStatus", wire::frame("StatusChanged"));
        FerChecksDialog dialog;
        QTRY_VERIFY(dialog.findChild<QCheckBox *>("checkBox_LidBridge")->isChecked());
        QCOMPARE(server.requests().first().arguments(), (QStringList{"Front End Repair", "KD77", "8"}));
        QCOMPARE(dialog.findChild<QLineEdit *>("lineEdit_LidSize")->text(), QString("20"));
        QCOMPARE(dialog.findChild<QLineEdit *>("lineEdit")->text(), QString("1.5"));
        press(dialog, "pushButton_Submit");
        QTRY_VERIFY(!dialog.isVisible());
        QCOMPARE(server.commands(), (QStringList{"GetChecksList", "ChangeStatus"}));
        QCOMPARE(server.requests().at(1).arguments(), (QStringList{"bob", "5", "KD77", "8"}));
        QVERIFY(!state.checkingOrder());
        QCOMPARE(state.checkOrder(1), QString());
        QCOMPARE(state.checkOrder(5), QString("6"));
        QVERIFY(state.timerRunning());
        QVERIFY(messages.shown().isEmpty());
    }
    {
        MessageScript messages;
        state.setCheckOrder(true, "bob", "KD77", 8, "FER", "6");
        FakeServer server;
        FerChecksDialog dialog;
        QVERIFY(server.waitForRequest("GetChecksList") >= 0);
        press(dialog, "pushButton_Cancel");
        QVERIFY(!dialog.isVisible());
        QTRY_COMPARE(server.openConnections(), 0);
        QCOMPARE(server.commands(), QStringList{"GetChecksList"});
        QVERIFY(messages.shown().isEmpty());
    }
}

void FerChecksDialogTest::confirmingSavesWithStatusSixAndEndsNoTiming()
{
    MessageScript messages;
    messages.expect("Finished");
    AppState &state = AppState::instance();
    state.setConfirmOrder("carl", "KD0001", 3, "FER");
    state.setConfirmingOrders(true);
    FakeServer server;
    server.answer("GetChecksList", wire::frame("GetCheckList", QString("20"), QString("1.5")));
    server.answer("SaveChecks", wire::frame("ChecksSaved"));
    FerChecksDialog dialog;
    QTRY_VERIFY(dialog.findChild<QCheckBox *>("checkBox_ID")->isChecked());
    QCOMPARE(server.requests().first().arguments(), (QStringList{"Front End Repair", "KD0001", "3"}));
    press(dialog, "pushButton_Submit");
    QTRY_VERIFY(!dialog.isVisible());
    QCOMPARE(server.commands(), (QStringList{"GetChecksList", "SaveChecks"}));
    QCOMPARE(server.requests().at(1).arguments(),
             (QStringList{"carl", "Front End Repair", "KD0001", "3", "6", "20", "1.5"}));
    QCOMPARE(messages.shownTexts(), QStringList{"Finished"});
    QVERIFY(state.confirmingOrders());
}

QTEST_MAIN(FerChecksDialogTest)
#include "tst_ferchecksdialog.moc"
