#include "app/mainwindow.h"
#include "flowhelpers.h"
#include "messagescript.h"
#include "screens.h"
#include "screenwatcher.h"

#include <memory>

namespace {

// What the worker does on the screens of a new bin: the intake takes the
// proposed bin ID (written to *binId); the pre-check finds lids and chains
// good, the lid rod bad.
void planNewBin(ScreenWatcher &watcher, QString *binId)
{
    watcher.onScreen(
        QStringLiteral("BinIntakeDialog"),
        [binId](QWidget *intake) {
            *binId = child<QLabel>(intake, "label_ID")->text().mid(3);
            press(intake, "pushButton_Enter");
        },
        [](QWidget *intake) { return child<QLabel>(intake, "label_ID")->text().startsWith(QLatin1String("ID ")); });
    planClicks(watcher, QStringLiteral("PreCheckDialog"),
               {"checkBox_LidsGood", "checkBox_ChainsGood", "checkBox_LidRodBad", "pushButton_Next"});
}

// One repair line: the first code of the catalogue, 1:30, with materials.
void planRepairLine(ScreenWatcher &watcher)
{
    watcher.onScreen(
        QStringLiteral("BinRepairLineDialog"),
        [](QWidget *entry) {
            child<QComboBox>(entry, "comboBox")->setCurrentIndex(0);
            child<QComboBox>(entry, "comboBox_Time")->setCurrentText(QStringLiteral("1"));
            child<QComboBox>(entry, "comboBox_Minutes")->setCurrentText(QStringLiteral("30"));
            child<QTextEdit>(entry, "textEdit")->setPlainText(QStringLiteral("Two steel plates"));
            press(entry, "pushButton_Submit");
        },
        [](QWidget *entry) { return child<QComboBox>(entry, "comboBox")->count() > 0; });
}

bool binSheetIsTiming(QWidget *sheet)
{
    return child<QLabel>(sheet, "label_Size")->text().startsWith(QLatin1String("Size "))
           && AppState::instance().timerRunning();
}

bool totalTimeShown(QWidget *sheet)
{
    return child<QLabel>(sheet, "label_TotalTime")->text().startsWith(QLatin1String("Total Time: "));
}

// Final checks that came filled from the server are submitted as they are.
void planFilledChecksSubmitted(ScreenWatcher &watcher)
{
    planClicks(watcher, QStringLiteral("FinalChecksDialog"), {"pushButton_Submit"},
               [](QWidget *checks) { return !child<QLineEdit>(checks, "lineEdit_LidSize")->text().isEmpty(); });
}

// Picks the one line of the screen's list that starts with line, once it is
// listed, and continues with it; ticks the box first when one is named.
void planPick(ScreenWatcher &watcher, const QString &screen, const char *list, const QString &line,
              const char *tick = nullptr)
{
    watcher.onScreen(screen, [list, line, tick](QWidget *shown) {
        auto *items = child<QListWidget>(shown, list);
        if (tick)
            press(shown, tick);
        QVERIFY(QTest::qWaitFor([items, line]() { return items->findItems(line, Qt::MatchStartsWith).size() == 1; }));
        QListWidgetItem *item = items->findItems(line, Qt::MatchStartsWith).first();
        item->setSelected(true);
        items->setCurrentItem(item);
        press(shown, "pushButton_Continue");
    });
}

// On its first visit the job sheet is left with leaveButton; on the second
// a line is added and the job finished with finishButton. Counts the visits.
std::shared_ptr<int> planLeaveThenFinish(ScreenWatcher &watcher, const QString &sheetName, const char *leaveButton,
                                         const char *finishButton, ScreenWatcher::Condition ready)
{
    auto visits = std::make_shared<int>(0);
    watcher.onScreen(
        sheetName,
        [visits, leaveButton, finishButton](QWidget *sheet) {
            if (++*visits == 1) {
                press(sheet, leaveButton);
                return;
            }
            press(sheet, "pushButton_Add");
            press(sheet, finishButton);
        },
        std::move(ready));
    return visits;
}

} // namespace

// A worker's bin and custom jobs from the main window's Next to "Finished",
// then the front-end bin and the custom job passed on to the checker and the
// manager, with the real server program, and what each step stored.
class WorkflowsEndToEndTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void rollOffJobFromNextToFinished();
    void jobLeftWithBackIsResumedThroughContinue();
    void customJobLeftWithCancelIsResumedThroughContinueCustom();
    void checkerChecksTheBin();
    void managerConfirmsTheBinAndTheCustomJob();

private:
    ServerProcess server;
    QString lastBinId;
    qint64 customJob = 0;
};

void WorkflowsEndToEndTest::initTestCase()
{
    startForScreens(server);
    // The worker logs in at this terminal; the login screen is tested elsewhere.
    logInAs(server, QStringLiteral("worker"));
}

void WorkflowsEndToEndTest::rollOffJobFromNextToFinished()
{
    MessageScript messages;
    messages.expect(ClockPrompt, QMessageBox::Yes);
    messages.expect(QStringLiteral("Finished"));
    ScreenWatcher watcher;
    planNewBin(watcher, &lastBinId);
    planRepairLine(watcher);
    planClicks(watcher, QStringLiteral("BinRepairSheetDialog"), {"pushButton_Add", "pushButton_Submit"},
               binSheetIsTiming);

    MainWindow window;
    startJob(&window, QStringLiteral("Roll Off Repair"));
    QCOMPARE(watcher.seen(),
             (QStringList{"BinIntakeDialog", "PreCheckDialog", "BinRepairSheetDialog", "BinRepairLineDialog"}));
    QCOMPARE(messages.unexpected().join(" | "), QString());
    QCOMPARE(binOrderValue("o.status", lastBinId).toInt(), 4);
}

void WorkflowsEndToEndTest::jobLeftWithBackIsResumedThroughContinue()
{
    MessageScript messages;
    ScreenWatcher watcher;
    planNewBin(watcher, &lastBinId);
    planRepairLine(watcher);
    watcher.onScreen(QStringLiteral("FinalChecksDialog"), [](QWidget *checks) {
        child<QLineEdit>(checks, "lineEdit_LidSize")->setText(QStringLiteral("34"));
        child<QLineEdit>(checks, "lineEdit")->setText(QStringLiteral("2.5"));
        for (QCheckBox *box : checks->findChildren<QCheckBox *>())
            box->setChecked(true);
        press(checks, "pushButton_Submit");
    });
    const auto sheetVisits = planLeaveThenFinish(watcher, QStringLiteral("BinRepairSheetDialog"), "pushButton_Back",
                                                 "pushButton_Submit", binSheetIsTiming);

    MainWindow window;
    startJob(&window, QStringLiteral("Front End Repair"));
    QTRY_VERIFY(window.isVisible());

    messages.expect(QStringLiteral("Finished"));
    planPick(watcher, QStringLiteral("ContinueOrderDialog"), "listWidget_WorkOrders", lastBinId);
    press(&window, "pushButton_Continue");

    QCOMPARE(watcher.seen(),
             (QStringList{"BinIntakeDialog", "PreCheckDialog", "BinRepairSheetDialog", "ContinueOrderDialog",
                          "BinRepairSheetDialog", "BinRepairLineDialog", "FinalChecksDialog"}));
    QCOMPARE(messages.unexpected().join(" | "), QString());
    // The order waits for its check with its pre-check, final checks and two
    // closed stretches of time.
    QCOMPARE(binOrderValue("o.status", lastBinId).toInt(), 4);
    QCOMPARE(binOrderValue("(SELECT p.lid_rod_good FROM pre_checks p WHERE p.order_id = o.id)", lastBinId).toInt(), 0);
    QCOMPARE(binOrderValue("(SELECT f.lid_size || ' ' || f.lid_tab_width FROM final_checks f WHERE f.order_id = o.id)",
                           lastBinId)
                 .toString(),
             QStringLiteral("34 2.5"));
    QCOMPARE(binOrderValue("(SELECT COUNT(*) FROM order_time_stamps t WHERE t.bin_order_id = o.id)", lastBinId).toInt(),
             2);
}

// A custom job left with Cancel and resumed through Continue Custom until
// "Custom Repair Saved"; the worker clocked in during the first flow.
void WorkflowsEndToEndTest::customJobLeftWithCancelIsResumedThroughContinueCustom()
{
    MessageScript messages;
    ScreenWatcher watcher;
    watcher.onScreen(QStringLiteral("CustomJobStartDialog"), [](QWidget *start) {
        child<QLineEdit>(start, "lineEdit_Worker")->setText(QStringLiteral("Wes"));
        child<QLineEdit>(start, "lineEdit_JobType")->setText(QStringLiteral("Tank repair"));
        child<QLineEdit>(start, "lineEdit_Customer")->setText(QStringLiteral("Acme Waste"));
        child<QLineEdit>(start, "lineEdit_PhoneNum")->setText(QStringLiteral("555-0100"));
        press(start, "pushButton_Next");
    });
    watcher.onScreen(QStringLiteral("CustomRepairLineDialog"), [](QWidget *entry) {
        child<QTextEdit>(entry, "textEdit_RepairDescription")->setPlainText(QStringLiteral("Weld the outlet"));
        child<QTextEdit>(entry, "textEdit_Materials")->setPlainText(QStringLiteral("Steel flange"));
        child<QComboBox>(entry, "comboBox_Hours")->setCurrentText(QStringLiteral("2"));
        child<QComboBox>(entry, "comboBox_Minutes")->setCurrentText(QStringLiteral("15"));
        press(entry, "pushButton_Add");
    });
    const auto sheetVisits
        = planLeaveThenFinish(watcher, QStringLiteral("CustomJobSheetDialog"), "pushButton_Cancel", "pushButton_Finish",
                              [](QWidget *) { return AppState::instance().liveClockRunning(); });

    MainWindow window;
    startJob(&window, QStringLiteral("Custom"));
    QTRY_VERIFY(window.isVisible());
    // Blanks in the customer became "_".
    customJob = queryValue("SELECT id FROM custom_orders WHERE customer = 'Acme_Waste'").toLongLong();
    QVERIFY(customJob > 0);

    messages.expect(QStringLiteral("Repair Saved"));
    messages.expect(QStringLiteral("Are you sure you want to finish this job?"), QMessageBox::Yes);
    messages.expect(QStringLiteral("Custom Repair Saved"));
    planPick(watcher, QStringLiteral("ContinueOrderDialog"), "listWidget_WorkOrders",
             QString::number(customJob) + QLatin1Char(' '));
    press(&window, "pushButton_Continue_Custom");

    QCOMPARE(*sheetVisits, 2);
    QCOMPARE(messages.unexpected().join(" | "), QString());
    // The job waits for confirmation with its line.
    QCOMPARE(queryValue("SELECT job_type || ' ' || phone || ' ' || status FROM custom_orders WHERE id = ?", {customJob})
                 .toString(),
             QStringLiteral("Tank_repair 555-0100 5"));
    QCOMPARE(queryValue("SELECT description || '|' || materials || '|' || hours || ':' || minutes"
                        " FROM custom_repair_lines WHERE order_id = ?",
                        {customJob})
                 .toString(),
             QStringLiteral("Weld the outlet|Steel flange|2:15"));
}

// The checker adds a line of their own and passes the order on; the final
// checks come filled from the server.
void WorkflowsEndToEndTest::checkerChecksTheBin()
{
    logInAs(server, QStringLiteral("checker"));
    MessageScript messages;
    messages.expect(ClockPrompt, QMessageBox::Cancel);
    ScreenWatcher watcher;
    planPick(watcher, QStringLiteral("OrderReviewDialog"), "listWidget_Orders", lastBinId);
    planRepairLine(watcher);
    planClicks(watcher, QStringLiteral("BinRepairSheetDialog"), {"pushButton_Add", "pushButton_Submit"},
               totalTimeShown);
    planFilledChecksSubmitted(watcher);

    MainWindow window;
    waitForStartUp(&window);
    // The roll-off and the front-end order wait for a check.
    QCOMPARE(child<QLabel>(&window, "label_Orders")->text(), QStringLiteral("2"));
    press(&window, "pushButton_Orders");
    QCOMPARE(watcher.seen(),
             (QStringList{"OrderReviewDialog", "BinRepairSheetDialog", "BinRepairLineDialog", "FinalChecksDialog"}));
    QCOMPARE(messages.unexpected().join(" | "), QString());
    QCOMPARE(binOrderValue("o.status", lastBinId).toInt(), 5);
    // The checker's line is booked under the order's worker.
    QCOMPARE(binOrderValue("(SELECT COUNT(*) FROM bin_repair_lines l JOIN users u ON u.id = l.user_id"
                           " WHERE l.order_id = o.id AND u.user_name = 'worker')",
                           lastBinId)
                 .toInt(),
             2);
}

// The panel counts what waits; the bin, then the custom job, are confirmed
// from the review without timing the manager.
void WorkflowsEndToEndTest::managerConfirmsTheBinAndTheCustomJob()
{
    logInAs(server, QStringLiteral("manager"));
    MessageScript messages;
    messages.expect(ClockPrompt, QMessageBox::Cancel);
    messages.expect(QStringLiteral("Finished"));
    messages.expect(QStringLiteral("Are you sure you want to finish this job?"), QMessageBox::Yes);
    messages.expect(QStringLiteral("Custom Repair Finished"));
    ScreenWatcher watcher;
    QStringList counts;
    watcher.onScreen(
        QStringLiteral("ManagementPanelDialog"),
        [&counts](QWidget *panel) {
            counts << child<QLabel>(panel, "label_OrdersToCheck")->text()
                   << child<QLabel>(panel, "label_CustomOrders")->text();
            press(panel, "pushButton_ConfirmOrders");
        },
        panelStartedUp);
    planPick(watcher, QStringLiteral("OrderReviewDialog"), "listWidget_Orders", lastBinId);
    planClicks(watcher, QStringLiteral("BinRepairSheetDialog"), {"pushButton_Submit"}, totalTimeShown);
    planFilledChecksSubmitted(watcher);
    planClicks(watcher, QStringLiteral("CustomJobSheetDialog"), {"pushButton_Finish"}, totalTimeShown);

    MainWindow window;
    waitForStartUp(&window);
    press(&window, "pushButton_Management");
    QCOMPARE(watcher.seen(),
             (QStringList{"ManagementPanelDialog", "OrderReviewDialog", "BinRepairSheetDialog", "FinalChecksDialog"}));
    QCOMPARE(binOrderValue("o.status", lastBinId).toInt(), 6);

    planPick(watcher, QStringLiteral("OrderReviewDialog"), "listWidget_Orders",
             QString::number(customJob) + QLatin1Char(' '), "checkBox_Custom");
    press(&window, "pushButton_Management");
    QCOMPARE(watcher.seen().mid(4),
             (QStringList{"ManagementPanelDialog", "OrderReviewDialog", "CustomJobSheetDialog"}));
    QCOMPARE(counts, (QStringList{"Bins 1", "Custom 1", "Bins 0", "Custom 1"}));
    QCOMPARE(messages.unexpected().join(" | "), QString());
    QCOMPARE(queryValue("SELECT status FROM custom_orders WHERE id = ?", {customJob}).toInt(), 6);
    // Only the worker's stretches of time (one, two and two): none for the reviews.
    QCOMPARE(queryValue("SELECT COUNT(*) FROM order_time_stamps").toInt(), 5);
    QCOMPARE(queryValue("SELECT COUNT(*) FROM order_time_stamps WHERE end_time IS NULL").toInt(), 0);
}

QTEST_MAIN(WorkflowsEndToEndTest)
#include "tst_workflows.moc"
