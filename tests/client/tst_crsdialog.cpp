#include "appstate.h"
#include "crsdialog.h"
#include "fakeserver.h"
#include "frame.h"
#include "messagescript.h"
#include "screenwatcher.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

QLineEdit *field(QWidget &dialog, const char *name) { return dialog.findChild<QLineEdit *>(name); }
void press(QWidget &dialog, const char *name) { dialog.findChild<QPushButton *>(name)->click(); }

} // namespace

class CRSDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void nextNeedsTheRequiredFieldsThenHandsTheJobToItsSheet()
    {
        MessageScript messages;
        messages.expect("Worker is required");
        messages.expect("Job Type is required");
        messages.expect("Customer is required");
        AppState &state = AppState::instance();
        state.setUser("anna", "digest");
        // Leftovers of earlier orders must not describe the new job.
        state.setOrderOwner("carol");
        state.setCheckingCustom(true);
        FakeServer server;
        server.answer("StartCustomRepair", wire::frame("StartCustomRepair", QString("31"), QString("5")));
        ScreenWatcher watcher;
        bool handedOver = false;
        CRSDialog dialog;
        watcher.onScreen("CRMDialog", [&](QWidget *sheet) {
            handedOver = !dialog.isVisible() && state.customOrderId() == 31;
            sheet->close();
        });

        // Spaces become underscores as they are typed, in the three required fields only.
        press(dialog, "pushButton_Next");
        QTest::keyClicks(field(dialog, "lineEdit_Worker"), "Al Ray");
        QCOMPARE(field(dialog, "lineEdit_Worker")->text(), QString("Al_Ray"));
        press(dialog, "pushButton_Next");
        QTest::keyClicks(field(dialog, "lineEdit_JobType"), "Tank repair");
        press(dialog, "pushButton_Next");
        QTest::keyClicks(field(dialog, "lineEdit_Customer"), "Acme Bins");
        QTest::keyClicks(field(dialog, "lineEdit_ContactName"), "Ann Lee");
        press(dialog, "pushButton_Next");
        QTRY_COMPARE(watcher.seen(), QStringList{"CRMDialog"});
        QVERIFY(handedOver && !dialog.isVisible());

        const QDate today = QDate::currentDate();
        const QString date = QString("%1/%2/%3").arg(today.month()).arg(today.day()).arg(today.year());
        QCOMPARE(dialog.findChild<QLabel *>("label_DateValue")->text(), date);
        const QStringList job{date, "Al_Ray", "Tank_repair", "Acme_Bins", "", "Ann Lee", "", ""};
        QCOMPARE(server.commands().first(), QString("StartCustomRepair"));
        QCOMPARE(server.requests().first().arguments(), QStringList{"anna"} + job);
        QStringList stored;
        for (int index = 1; index <= 8; ++index)
            stored << state.customOrder(index);
        QCOMPARE(stored, job);
        QCOMPARE(state.orderOwner(), QString());
        QVERIFY(!state.checkingCustom());
        QCOMPARE(messages.unexpected(), QStringList());
    }

    void unknownReplyKeepsTheDialogAndCancelLeavesQuietly()
    {
        MessageScript messages;
        messages.expect("Error");
        FakeServer server;
        server.answer("StartCustomRepair", wire::frame("Surprise"));
        CRSDialog dialog;
        field(dialog, "lineEdit_Worker")->setText("Al");
        field(dialog, "lineEdit_JobType")->setText("Tank");
        field(dialog, "lineEdit_Customer")->setText("Acme");
        press(dialog, "pushButton_Next");
        QTRY_COMPARE(messages.shown().size(), 1);
        QVERIFY(dialog.isVisible());

        press(dialog, "pushButton_Cancel");
        QVERIFY(!dialog.isVisible());
        QTRY_COMPARE(server.openConnections(), 0);
        QCOMPARE(server.commands(), QStringList{"StartCustomRepair"});
        QCOMPARE(messages.unexpected(), QStringList());
    }
};

QTEST_MAIN(CRSDialogTest)
#include "tst_crsdialog.moc"
