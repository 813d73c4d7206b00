#include "management/managementpaneldialog.h"
#include "screens.h"

class ManagementPanelDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetClient(); }

    // The counts are shown as received; the review confirms for exactly as
    // long as the panel runs it.
    void showsTheCountsAndRunsTheReviewInConfirmMode()
    {
        MessageScript messages;
        AppState::instance().setConfirmingOrders(false);
        FakeServer server;
        server.answer("GetNumberWorkToConfirm", wire::frame("NumberOfOrdersToConfirm", QString("0"), QString("007")));
        ManagementPanelDialog panel;
        QTRY_COMPARE(labelText(panel, "label_OrdersToCheck"), QString("Bins 0"));
        QCOMPARE(labelText(panel, "label_CustomOrders"), QString("Custom 007"));
        QCOMPARE(server.requests().first().frame, wire::frame("GetNumberWorkToConfirm"));

        ScreenWatcher watcher;
        bool confirmingWhileOpen = false;
        bool panelHidden = false;
        QStringList reviewAsked;
        watcher.onScreen("OrderReviewDialog", [&](QWidget *review) {
            confirmingWhileOpen = AppState::instance().confirmingOrders();
            panelHidden = !panel.isVisible();
            if (server.waitForRequest("GetListOfUserOrders") >= 0)
                reviewAsked = server.lastArguments("GetListOfUserOrders");
            review->close();
        });
        press(panel, "pushButton_ConfirmOrders");
        QCOMPARE(watcher.seen(), QStringList{"OrderReviewDialog"});
        QVERIFY(confirmingWhileOpen && panelHidden);
        QCOMPARE(reviewAsked, QStringList{"5"});
        QVERIFY(!AppState::instance().confirmingOrders());
        QVERIFY(!panel.isVisible());
        QTRY_COMPARE(server.openConnections(), 0);
        QVERIFY(messages.shown().isEmpty());
    }
};

QTEST_MAIN(ManagementPanelDialogTest)
#include "tst_managementpaneldialog.moc"
