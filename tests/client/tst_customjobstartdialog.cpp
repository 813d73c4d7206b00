#include "custom/customjobstartdialog.h"
#include "screens.h"

#include <QDate>

class CustomJobStartDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void nextNeedsTheRequiredFieldsThenHandsTheJobToItsSheet()
    {
        MessageScript messages;
        resetClient();
        AppState &state = AppState::instance();
        // Leftovers of earlier orders must not describe the new job.
        state.setOrderOwner("carol");
        state.setCheckingCustom(true);
        FakeServer server;
        // A reply the screen does not know keeps it open for another try.
        server.answer("StartCustomRepair", wire::frame("Surprise"));
        server.answer("StartCustomRepair", wire::frame("StartCustomRepair", QString("32"), QString("5")));
        ScreenWatcher watcher;
        CustomJobStartDialog dialog;
        bool handedOver = false;
        watcher.onScreen("CustomJobSheetDialog", [&](QWidget *sheet) {
            handedOver = state.customOrderId() == 32;
            sheet->close();
        });
        const auto type = [&dialog](const char *field, const QString &text) {
            QTest::keyClicks(child<QLineEdit>(&dialog, field), text);
        };

        // Spaces become underscores as they are typed, in the three required fields only.
        press(dialog, "pushButton_Next");
        type("lineEdit_Worker", "Al Ray");
        QCOMPARE(child<QLineEdit>(&dialog, "lineEdit_Worker")->text(), QString("Al_Ray"));
        press(dialog, "pushButton_Next");
        type("lineEdit_JobType", "Tank repair");
        press(dialog, "pushButton_Next");
        type("lineEdit_Customer", "Acme Bins");
        type("lineEdit_ContactName", "Ann Lee");
        press(dialog, "pushButton_Next");
        QTRY_COMPARE(messages.shownTexts(),
                     (QStringList{"Worker is required", "Job Type is required", "Customer is required", "Error"}));
        QVERIFY(dialog.isVisible());
        press(dialog, "pushButton_Next");
        QTRY_COMPARE(watcher.seen(), QStringList{"CustomJobSheetDialog"});
        QVERIFY(handedOver);

        const QDate today = QDate::currentDate();
        const QString date = QString("%1/%2/%3").arg(today.month()).arg(today.day()).arg(today.year());
        QCOMPARE(labelText(dialog, "label_DateValue"), date);
        const QStringList job{date, "Al_Ray", "Tank_repair", "Acme_Bins", "", "Ann Lee", "", ""};
        QCOMPARE(server.commands().mid(0, 2), (QStringList{"StartCustomRepair", "StartCustomRepair"}));
        QCOMPARE(server.requests().first().arguments(), QStringList{"anna"} + job);
        QCOMPARE(stateFields(&AppState::customOrder, 8), job);
        QCOMPARE(state.orderOwner(), QString());
        QVERIFY(!state.checkingCustom());
        QCOMPARE(messages.shown().size(), 4);
    }
};

QTEST_MAIN(CustomJobStartDialogTest)
#include "tst_customjobstartdialog.moc"
