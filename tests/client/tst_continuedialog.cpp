#include "appstate.h"
#include "continuedialog.h"
#include "fakeserver.h"
#include "frame.h"
#include "messagescript.h"
#include "screenwatcher.h"

#include <QListWidget>
#include <QPushButton>
#include <QtTest>

namespace {

const QString SelectFirst = "Please select a Work Order before continuing";

// anna's orders KD1 and KD7, then bob's KD7: the same text under two users.
QByteArray twoUsersOrders()
{
    return wire::frame("WorkOrders", QString("2"), QString("anna"), QStringList{"KD1", "KD7"}, QString("bob"),
                       QStringList{"KD7"});
}

QListWidget *list(QWidget &dialog) { return dialog.findChild<QListWidget *>("listWidget_WorkOrders"); }
void press(QWidget &dialog, const char *name) { dialog.findChild<QPushButton *>(name)->click(); }

QStringList rows(QWidget &dialog)
{
    QStringList texts;
    for (int row = 0; row < list(dialog)->count(); ++row)
        texts << list(dialog)->item(row)->text();
    return texts;
}

} // namespace

class ContinueDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        AppState &state = AppState::instance();
        state.setUser("anna", "digest");
        state.setContinueBin(false, QString());
        state.setContinueCustom(false);
        state.setOrderOwner("carol");
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
        MessageScript messages;
        AppState::instance().setContinueBin(continueBin, binId);
        FakeServer server;
        server.answer("GetWorkOrders", twoUsersOrders());
        ContinueDialog dialog;
        QTRY_COMPARE(rows(dialog), (QStringList{"KD1", "KD7", "KD7"}));
        QCOMPARE(server.requests().first().arguments(), QStringList{"anna"});
        QCOMPARE(list(dialog)->currentRow(), currentRow);
        QCOMPARE(list(dialog)->selectedItems().size(), currentRow < 0 ? 0 : 1);
        QVERIFY(messages.shown().isEmpty());
    }

    void ownerComesFromTheChosenRow()
    {
        MessageScript messages;
        FakeServer server;
        server.answer("GetWorkOrders", twoUsersOrders());
        ContinueDialog dialog;
        QTRY_COMPARE(list(dialog)->count(), 3);
        list(dialog)->setCurrentRow(2);
        press(dialog, "pushButton_Continue");
        QVERIFY(server.waitForRequest("GetBin") >= 0);
        QCOMPARE(server.requests().last().arguments(), (QStringList{"bob", "KD7"}));
        QCOMPARE(AppState::instance().orderOwner(), QString("bob"));

        // The same text listed under the worker's own name is the worker's order.
        list(dialog)->setCurrentRow(1);
        press(dialog, "pushButton_Continue");
        QTRY_COMPARE(server.commands().count("GetBin"), 2);
        QCOMPARE(server.requests().last().arguments(), (QStringList{"anna", "KD7"}));
        QCOMPARE(AppState::instance().orderOwner(), QString());
        QVERIFY(messages.shown().isEmpty());
    }

    void continueNeedsOneSelectedOrder()
    {
        MessageScript messages;
        messages.expect(SelectFirst);
        messages.expect(SelectFirst);
        FakeServer server;
        server.answer("GetWorkOrders", wire::frame("WorkOrders", QString("0")));
        ContinueDialog dialog;
        QVERIFY(server.waitForRequest("GetWorkOrders") >= 0);
        press(dialog, "pushButton_Continue");
        server.send(wire::frame("WorkOrders", QString("1"), QString("anna"), QStringList{"KD1"}));
        QTRY_COMPARE(list(dialog)->count(), 1);
        press(dialog, "pushButton_Continue");
        QCOMPARE(messages.pending(), QStringList());

        list(dialog)->setCurrentRow(0);
        press(dialog, "pushButton_Continue");
        QVERIFY(server.waitForRequest("GetBin") >= 0);
        QCOMPARE(server.commands(), (QStringList{"GetWorkOrders", "GetBin"}));
        QCOMPARE(messages.unexpected(), QStringList());
    }

    void binReplyLoadsTheOrderAndOpensItsScreen_data()
    {
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("screen");
        QTest::newRow("being repaired") << "2" << "FERDialog";
        QTest::newRow("at the final checks") << "3" << "FerChecksDialog";
    }

    void binReplyLoadsTheOrderAndOpensItsScreen()
    {
        QFETCH(QString, status);
        QFETCH(QString, screen);
        MessageScript messages;
        AppState::instance().setCurrentBin("KD1", "6", "FER", 3);
        FakeServer server;
        server.answer("GetWorkOrders", twoUsersOrders());
        server.answer("GetBin", wire::frame("Bin", QString("ROR20"), QString("Roll Off Repair"), QString("58"),
                                            status, QString("ROR")));
        ContinueDialog dialog;
        ScreenWatcher watcher;
        bool dialogHidden = false;
        watcher.onScreen(screen, [&](QWidget *opened) {
            dialogHidden = !dialog.isVisible();
            opened->close();
        });
        QTRY_COMPARE(list(dialog)->count(), 3);
        list(dialog)->setCurrentRow(0);
        press(dialog, "pushButton_Continue");

        QTRY_COMPARE(watcher.seen(), QStringList{screen});
        QVERIFY(dialogHidden && !dialog.isVisible());
        const AppState &state = AppState::instance();
        QCOMPARE(state.workType(), QString("Roll Off Repair"));
        QCOMPARE((QStringList{state.currentBin(1), state.currentBin(2), state.currentBin(3), state.currentBin(4)}),
                 (QStringList{"ROR20", "", "ROR", "58"}));
        QCOMPARE(state.orderStatus(), status.toInt());
        QCOMPARE(messages.unexpected(), QStringList());
    }

    void customJobsAreListedAndResumedWithTheirOwnFields()
    {
        MessageScript messages;
        AppState &state = AppState::instance();
        state.setContinueCustom(true);
        state.setCustomOrderId(0);
        FakeServer server;
        // Order 27: job type "Tank repair" (second field), customer "Acme" (third field).
        server.answer("GetCustomWorkOrders",
                      wire::frame("GetCustomWorkOrders", QString("2"), QString("27"), QString("Tank repair"),
                                  QString("Acme"), QString("007"), QString("Lid"), QString("Bolt_Co")));
        server.answer("ContinueCustomOrder",
                      wire::frame("ContinueCustomOrder", QString("3/7/2016"), QString("Al"), QString("C-9"),
                                  QString("Ann"), QString("555"), QString("ann@acme.example"), QString("unused"),
                                  QString("27"), QString("Tank repair"), QString("Acme")));
        ContinueDialog dialog;
        ScreenWatcher watcher;
        bool dialogHidden = false;
        watcher.onScreen("CRMDialog", [&](QWidget *sheet) {
            dialogHidden = !dialog.isVisible();
            sheet->close();
        });
        QTRY_COMPARE(rows(dialog), (QStringList{"27 Acme Tank repair", "7 Bolt_Co Lid"}));
        QCOMPARE(server.requests().first().arguments(), QStringList());

        list(dialog)->setCurrentRow(0);
        press(dialog, "pushButton_Continue");
        QTRY_COMPARE(watcher.seen(), QStringList{"CRMDialog"});
        QVERIFY(dialogHidden && !dialog.isVisible());
        QCOMPARE(server.commands().mid(0, 2), (QStringList{"GetCustomWorkOrders", "ContinueCustomOrder"}));
        QCOMPARE(server.requests().at(1).arguments(), (QStringList{"27", "Tank repair", "Acme"}));
        QCOMPARE(state.customOrderId(), 27);
        QStringList job;
        for (int index = 1; index <= 8; ++index)
            job << state.customOrder(index);
        QCOMPARE(job, (QStringList{"3/7/2016", "Al", "Tank repair", "Acme", "C-9", "Ann", "555", "ann@acme.example"}));
        QCOMPARE(messages.unexpected(), QStringList());
    }

    void cancelClosesQuietly()
    {
        MessageScript messages;
        AppState::instance().setContinueCustom(true);
        FakeServer server;
        ContinueDialog dialog;
        QTRY_COMPARE(server.openConnections(), 1);
        press(dialog, "pushButton_Cancel");
        QVERIFY(!dialog.isVisible());
        QVERIFY(!AppState::instance().continueCustom());
        QTRY_COMPARE(server.openConnections(), 0);
        QVERIFY(messages.shown().isEmpty());
    }

    void unknownReplyOrShortListIsAnError()
    {
        MessageScript messages;
        messages.expect("Error");
        messages.expect("Error");
        FakeServer server;
        ContinueDialog dialog;
        QVERIFY(server.waitForRequest("GetWorkOrders") >= 0);
        // A count that the groups after it do not fill is as wrong as a strange tag.
        server.send(wire::frame("Surprise") +
                    wire::frame("WorkOrders", QString("2"), QString("anna"), QStringList{"KD1"}));
        QTRY_COMPARE(messages.shown().size(), 2);
        QCOMPARE(messages.unexpected(), QStringList());
        QCOMPARE(rows(dialog), QStringList());
        QVERIFY(dialog.isVisible());
    }
};

QTEST_MAIN(ContinueDialogTest)
#include "tst_continuedialog.moc"
