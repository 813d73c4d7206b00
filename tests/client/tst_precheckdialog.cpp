#include "appstate.h"
#include "fakeserver.h"
#include "frame.h"
#include "messagescript.h"
#include "precheckdialog.h"
#include "screenwatcher.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTcpSocket>
#include <QtTest>

namespace {

void click(QWidget &dialog, const QString &box) { dialog.findChild<QCheckBox *>("checkBox_" + box)->click(); }

// The six boxes, a pair at a time: G for a ticked Good, B for a ticked Bad.
QString ticks(QWidget &dialog)
{
    QString state;
    for (const char *pair : {"Lids", "Chains", "LidRod"}) {
        state += dialog.findChild<QCheckBox *>(QString("checkBox_%1Good").arg(pair))->isChecked() ? 'G' : '-';
        state += dialog.findChild<QCheckBox *>(QString("checkBox_%1Bad").arg(pair))->isChecked() ? 'B' : '-';
    }
    return state;
}

// Waits until the dialog's link is up and its connected() slot has run.
void waitForLink(QWidget &dialog)
{
    QTRY_COMPARE(dialog.findChild<QTcpSocket *>()->state(), QAbstractSocket::ConnectedState);
}

} // namespace

class PreCheckDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        AppState &state = AppState::instance();
        state.setUser("anna", "digest");
        state.setWorkType("Front End Repair");
        state.setCurrentBin("KD1001", "6", "FER", 42);
        state.setCheckOrder(false, QString(), QString(), 0, QString(), QString());
    }

    void eachPairExcludesItselfAndMayBeClear()
    {
        MessageScript messages;
        FakeServer server;
        PreCheckDialog dialog;
        for (const QString pair : {"Lids", "Chains", "LidRod"}) {
            click(dialog, pair + "Good");
            click(dialog, pair + "Bad");
        }
        QCOMPARE(ticks(dialog), QString("-B-B-B"));
        click(dialog, "ChainsGood");
        click(dialog, "LidRodBad");
        QCOMPARE(ticks(dialog), QString("-BG---"));
    }

    void nextReportsUndecidedPairsThenStoresAndOpensTheSheet()
    {
        MessageScript messages;
        FakeServer server;
        server.answer("StorePreChecks", wire::frame("PreChecksSaved"));
        PreCheckDialog dialog;
        waitForLink(dialog);
        ScreenWatcher watcher;
        watcher.closeScreen("FERDialog");
        QPushButton *next = dialog.findChild<QPushButton *>("pushButton_Next");
        next->click();
        click(dialog, "LidsGood");
        next->click();
        click(dialog, "ChainsBad");
        next->click();
        QCOMPARE(messages.shownTexts(), (QStringList{"Please Check Lid", "Please Check Chains", "Please Check Lid Rod"}));

        click(dialog, "LidRodGood");
        next->click();
        QTRY_COMPARE(watcher.seen(), QStringList{"FERDialog"});
        // Nothing went out on connecting or for the refused presses.
        QCOMPARE(server.commands().first(), QString("StorePreChecks"));
        QCOMPARE(server.requests().first().arguments(),
                 (QStringList{"KD1001", "42", "Front End Repair", "1", "0", "1"}));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(messages.shown().size(), 3);
        QVERIFY(messages.exits().isEmpty());
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
    }

    void unknownOrShortReplyIsAnError()
    {
        MessageScript messages;
        messages.expect("Error");
        messages.expect("Error");
        FakeServer server;
        PreCheckDialog dialog;
        waitForLink(dialog);
        click(dialog, "LidsBad");
        server.send(wire::frame("Surprise") + wire::frame("PreForChecks", QString("1")));
        QTRY_COMPARE(messages.shown().size(), 2);
        QCOMPARE(messages.unexpected(), QStringList());
        QCOMPARE(ticks(dialog), QString("-B----"));
        QVERIFY(dialog.isVisible());
    }
};

QTEST_MAIN(PreCheckDialogTest)
#include "tst_precheckdialog.moc"
