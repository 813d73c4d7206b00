#include "appstate.h"
#include "fakeserver.h"
#include "frame.h"
#include "managementpaneldialog.h"
#include "messagescript.h"
#include "screenwatcher.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace {

QString label(QWidget &panel, const char *name) { return panel.findChild<QLabel *>(name)->text(); }

} // namespace

class ManagementPanelDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void countsAreShownAsReceived()
    {
        MessageScript messages;
        FakeServer server;
        server.answer("GetNumberWorkToConfirm", wire::frame("NumberOfOrdersToConfirm", QString("0"), QString("007")));
        ManagementPanelDialog panel;
        QCOMPARE(label(panel, "label_OrdersToCheck") + label(panel, "label_CustomOrders"), QString("Bins #Custom #"));
        QTRY_COMPARE(label(panel, "label_OrdersToCheck"), QString("Bins 0"));
        QCOMPARE(label(panel, "label_CustomOrders"), QString("Custom 007"));
        QCOMPARE(server.requests().first().frame, wire::frame("GetNumberWorkToConfirm"));
        QVERIFY(messages.shown().isEmpty());
    }

    // The review confirms for exactly as long as the panel runs it, however it ends.
    void confirmOrdersRunsTheReviewInConfirmMode()
    {
        MessageScript messages;
        AppState::instance().setConfirmingOrders(false);
        FakeServer server;
        ManagementPanelDialog panel;
        QTRY_COMPARE(server.openConnections(), 1);
        ScreenWatcher watcher;
        bool confirmingWhileOpen = false;
        bool panelHidden = false;
        QStringList reviewAsked;
        watcher.onScreen("ListOrdersDialog", [&](QWidget *review) {
            confirmingWhileOpen = AppState::instance().confirmingOrders();
            panelHidden = !panel.isVisible();
            const int index = server.waitForRequest("GetListOfUserOrders");
            reviewAsked = index < 0 ? QStringList() : server.requests().at(index).arguments();
            review->close();
        });
        panel.findChild<QPushButton *>("pushButton_ConfirmOrders")->click();

        QCOMPARE(watcher.seen(), QStringList{"ListOrdersDialog"});
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
