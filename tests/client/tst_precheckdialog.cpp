#include "bins/precheckdialog.h"
#include "screens.h"

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
        MessageScript messages;
        FakeServer server;
        server.answer("StorePreChecks", wire::frame("PreChecksSaved"));
        PreCheckDialog dialog;
        waitForLink(dialog);
        ScreenWatcher watcher;
        watcher.closeScreen("BinRepairSheetDialog");
        press(dialog, "pushButton_Next");
        click(dialog, "LidsGood");
        press(dialog, "pushButton_Next");
        click(dialog, "ChainsBad");
        press(dialog, "pushButton_Next");
        // The two boxes of a pair exclude each other, and a pair may be clear again.
        for (const QString box : {"LidsBad", "ChainsGood", "LidRodBad", "LidRodGood"})
            click(dialog, box);
        QCOMPARE(ticks(dialog), QString("-BG-G-"));
        click(dialog, "LidRodGood");
        QCOMPARE(ticks(dialog), QString("-BG---"));
        press(dialog, "pushButton_Next");
        QCOMPARE(messages.shownTexts(), (QStringList{"Please Check Lid", "Please Check Chains", "Please Check Lid Rod",
                                                     "Please Check Lid Rod"}));

        click(dialog, "LidRodGood");
        press(dialog, "pushButton_Next");
        QTRY_COMPARE(watcher.seen(), QStringList{"BinRepairSheetDialog"});
        // Nothing went out on connecting or for the refused presses.
        QCOMPARE(server.commands().first(), QString("StorePreChecks"));
        QCOMPARE(server.requests().first().arguments(),
                 (QStringList{"KD1234", "17", "Front End Repair", "0", "1", "1"}));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(messages.shown().size(), 4);
    }

    // A press in a pair's box ticks the nearer of the two, which releases the other.
    void pressingBesideATickTicksIt()
    {
        MessageScript messages;
        FakeServer server;
        PreCheckDialog dialog;
        auto *lids = child<QWidget>(&dialog, "groupBox_Lids");
        QTest::mouseClick(lids, Qt::LeftButton, {}, QPoint(lids->width() - 3, lids->height() - 3));
        QCOMPARE(ticks(dialog), QString("-B----"));
        QTest::mouseClick(lids, Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(ticks(dialog), QString("G-----"));
    }

    void checkingOrderShowsTheStoredVerdicts()
    {
        MessageScript messages;
        AppState::instance().setCheckOrder(true, "bob", "KD3", 7, "FER", "4");
        FakeServer server;
        PreCheckDialog dialog;
        QVERIFY(server.waitForRequest("GetPreForChecks") >= 0);
        QCOMPARE(server.requests().first().arguments(), (QStringList{"bob", "Front End Repair", "KD3", "7"}));
        click(dialog, "ChainsGood");
        server.send(wire::frame("PreForChecks", QString("1"), QString("0"), QString("good")));
        QTRY_COMPARE(ticks(dialog), QString("G--B-B"));
        QVERIFY(messages.shown().isEmpty());

        // A strange tag, or verdicts short of a pair, change nothing.
        server.send(wire::frame("Surprise") + wire::frame("PreForChecks", QString("0")));
        QTRY_COMPARE(messages.shownTexts(), (QStringList{"Error", "Error"}));
        QCOMPARE(ticks(dialog), QString("G--B-B"));
        QVERIFY(dialog.isVisible());
    }
};

QTEST_MAIN(PreCheckDialogTest)
#include "tst_precheckdialog.moc"
