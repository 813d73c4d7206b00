#include "app/mainwindow.h"
#include "flowhelpers.h"
#include "jobplans.h"
#include "messagescript.h"
#include "screens.h"
#include "screenwatcher.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTableView>

#include <QtTest>
#include <memory>

namespace {

// Picks the order line in the review and continues with it, once the
// review lists orders.
void planReviewChoice(ScreenWatcher &watcher, const QString &orderLine, bool customJobs = false)
{
    watcher.onScreen(
        QStringLiteral("OrderReviewDialog"),
        [orderLine, customJobs](QWidget *review) {
            auto *orders = child<QListWidget>(review, "listWidget_Orders");
            if (customJobs) {
                click(review, "checkBox_Custom");
                QVERIFY(QTest::qWaitFor(
                    [orders, orderLine]() { return !orders->findItems(orderLine, Qt::MatchStartsWith).isEmpty(); }));
            }
            const QList<QListWidgetItem *> matching = orders->findItems(orderLine, Qt::MatchStartsWith);
            QCOMPARE(matching.size(), 1);
            matching.first()->setSelected(true);
            orders->setCurrentItem(matching.first());
            click(review, "pushButton_Continue");
        },
        [customJobs](QWidget *review) {
            // Custom jobs are listed only once the Custom box is ticked.
            return customJobs || child<QListWidget>(review, "listWidget_Orders")->count() > 0;
        });
}

QStringList shownRows(QWidget *screen)
{
    return tableRows(child<QTableView>(screen, "tableView"));
}

// Ticks the work type in the browser, waits for its list, narrows it to
// the one row the filter text finds and opens that row's record.
void openFinishedOrder(QWidget *browser, const char *workType, const QString &firstHeader, const QString &filterText)
{
    auto *table = child<QTableView>(browser, "tableView");
    click(browser, workType);
    QVERIFY(QTest::qWaitFor([table, firstHeader]() {
        return table->model() && table->model()->headerData(0, Qt::Horizontal).toString() == firstHeader;
    }));
    child<QLineEdit>(browser, "lineEdit")->setText(filterText);
    QCOMPARE(table->model()->rowCount(), 1);
    table->setCurrentIndex(table->model()->index(0, 0));
    click(browser, "pushButton_Continue");
}

bool totalTimeShown(QWidget *sheet)
{
    return child<QLabel>(sheet, "label_TotalTime")->text().startsWith(QLatin1String("Total Time: "));
}

const QString linesOfTheOrder = QStringLiteral("(SELECT COUNT(*) FROM bin_repair_lines l WHERE l.order_id = o.id)");

// On its first visit the job sheet is left with leaveButton; on the second
// a line is added and the job finished with finishButton. Counts the visits.
template<typename Ready>
std::shared_ptr<int> planLeaveThenFinish(ScreenWatcher &watcher, const QString &sheetName, const char *leaveButton,
                                         const char *finishButton, Ready ready)
{
    auto visits = std::make_shared<int>(0);
    watcher.onScreen(
        sheetName,
        [visits, leaveButton, finishButton](QWidget *sheet) {
            if (++*visits == 1) {
                click(sheet, leaveButton);
                return;
            }
            click(sheet, "pushButton_Add");
            click(sheet, finishButton);
        },
        ready);
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
    void managerConfirmsTheBin();
    void managerConfirmsTheCustomJob();
    void managerBrowsesTheFinishedOrders();

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
    planBinSheetWork(watcher);

    MainWindow window;
    startJob(&window, QStringLiteral("Roll Off Repair"));
    QCOMPARE(watcher.seen(),
             (QStringList{"BinIntakeDialog", "PreCheckDialog", "BinRepairSheetDialog", "BinRepairLineDialog"}));
    QCOMPARE(messages.unexpected().join(" | "), QString());
    QVERIFY(lastBinId.startsWith(QLatin1String("ROR")));
    QCOMPARE(binOrderValue("o.status", lastBinId).toInt(), 4);
    QCOMPARE(queryValue("SELECT COUNT(*) FROM order_time_stamps WHERE end_time IS NULL").toInt(), 0);
}

void WorkflowsEndToEndTest::jobLeftWithBackIsResumedThroughContinue()
{
    MessageScript messages;
    ScreenWatcher watcher;
    planNewBin(watcher, &lastBinId);
    planRepairLine(watcher);
    planFinalChecks(watcher);
    const auto sheetVisits = planLeaveThenFinish(watcher, QStringLiteral("BinRepairSheetDialog"), "pushButton_Back",
                                                 "pushButton_Submit", binSheetIsTiming);

    MainWindow window;
    startJob(&window, QStringLiteral("Front End Repair"));
    QTRY_VERIFY(window.isVisible());
    const QString leftBinId = lastBinId;
    QCOMPARE(queryValue("SELECT COUNT(*) FROM order_time_stamps WHERE end_time IS NULL").toInt(), 0);

    messages.expect(QStringLiteral("Finished"));
    watcher.onScreen(
        QStringLiteral("ContinueOrderDialog"),
        [leftBinId](QWidget *continueScreen) {
            auto *orders = child<QListWidget>(continueScreen, "listWidget_WorkOrders");
            const QList<QListWidgetItem *> matching = orders->findItems(leftBinId, Qt::MatchExactly);
            QCOMPARE(matching.size(), 1);
            matching.first()->setSelected(true);
            orders->setCurrentItem(matching.first());
            click(continueScreen, "pushButton_Continue");
        },
        [](QWidget *continueScreen) {
            return child<QListWidget>(continueScreen, "listWidget_WorkOrders")->count() > 0;
        });
    click(&window, "pushButton_Continue");

    QCOMPARE(*sheetVisits, 2);
    QCOMPARE(watcher.seen(),
             (QStringList{"BinIntakeDialog", "PreCheckDialog", "BinRepairSheetDialog", "ContinueOrderDialog",
                          "BinRepairSheetDialog", "BinRepairLineDialog", "FinalChecksDialog"}));
    QCOMPARE(messages.unexpected().join(" | "), QString());
    QVERIFY(window.isVisible());
    QVERIFY(leftBinId.startsWith(QLatin1String("KD")));
    // The order waits for its check with its pre-check and two closed
    // stretches of time; its line and final checks show in its record below.
    QCOMPARE(binOrderValue("o.status", leftBinId).toInt(), 4);
    QCOMPARE(binOrderValue("(SELECT p.lid_rod_good FROM pre_checks p WHERE p.order_id = o.id)", leftBinId).toInt(), 0);
    QCOMPARE(binOrderValue("(SELECT COUNT(*) FROM order_time_stamps t WHERE t.bin_order_id = o.id"
                           " AND t.end_time IS NOT NULL)",
                           leftBinId)
                 .toInt(),
             2);
    QCOMPARE(queryValue("SELECT COUNT(*) FROM order_time_stamps WHERE end_time IS NULL").toInt(), 0);
}

// A custom job left with Cancel and resumed through Continue Custom until
// "Custom Repair Saved"; the worker clocked in during the first flow.
void WorkflowsEndToEndTest::customJobLeftWithCancelIsResumedThroughContinueCustom()
{
    MessageScript messages;
    ScreenWatcher watcher;
    planCustomJob(watcher, QStringLiteral("Acme Waste"));
    planCustomLine(watcher);
    const auto sheetVisits = planLeaveThenFinish(watcher, QStringLiteral("CustomJobSheetDialog"), "pushButton_Cancel",
                                                 "pushButton_Finish", customSheetIsTiming);

    MainWindow window;
    startJob(&window, QStringLiteral("Custom"));
    QTRY_VERIFY(window.isVisible());
    // Blanks in the customer became "_".
    const qint64 job = customJob
        = queryValue("SELECT id FROM custom_orders WHERE customer = 'Acme_Waste'").toLongLong();
    QVERIFY(job > 0);
    QCOMPARE(queryValue("SELECT COUNT(*) FROM order_time_stamps WHERE end_time IS NULL").toInt(), 0);

    messages.expect(QStringLiteral("Repair Saved"));
    messages.expect(QStringLiteral("Are you sure you want to finish this job?"), QMessageBox::Yes);
    messages.expect(QStringLiteral("Custom Repair Saved"));
    watcher.onScreen(
        QStringLiteral("ContinueOrderDialog"),
        [job](QWidget *continueScreen) {
            auto *jobs = child<QListWidget>(continueScreen, "listWidget_WorkOrders");
            const QList<QListWidgetItem *> matching
                = jobs->findItems(QString::number(job) + QLatin1Char(' '), Qt::MatchStartsWith);
            QCOMPARE(matching.size(), 1);
            matching.first()->setSelected(true);
            click(continueScreen, "pushButton_Continue");
        },
        [](QWidget *continueScreen) {
            return child<QListWidget>(continueScreen, "listWidget_WorkOrders")->count() > 0;
        });
    click(&window, "pushButton_Continue_Custom");

    QCOMPARE(*sheetVisits, 2);
    QCOMPARE(messages.unexpected().join(" | "), QString());
    QVERIFY(!AppState::instance().continueCustom());
    // The job waits for confirmation; its line shows in its record below.
    QCOMPARE(queryValue("SELECT job_type || ' ' || phone || ' ' || status FROM custom_orders WHERE id = ?", {job})
                 .toString(),
             QStringLiteral("Tank_repair 555-0100 5"));
    QCOMPARE(
        queryValue("SELECT COUNT(*) FROM order_time_stamps WHERE custom_order_id = ? AND end_time IS NOT NULL", {job})
            .toInt(),
        2);
}

void WorkflowsEndToEndTest::checkerChecksTheBin()
{
    logInAs(server, QStringLiteral("checker"));
    MessageScript messages;
    messages.expect(ClockPrompt, QMessageBox::Cancel);
    ScreenWatcher watcher;
    planReviewChoice(watcher, lastBinId);
    planRepairLine(watcher);
    // The checker adds a line of their own and passes the order on; the
    // final checks come filled from the server.
    watcher.onScreen(
        QStringLiteral("BinRepairSheetDialog"),
        [](QWidget *sheet) {
            click(sheet, "pushButton_Add");
            click(sheet, "pushButton_Submit");
        },
        totalTimeShown);
    watcher.onScreen(
        QStringLiteral("FinalChecksDialog"), [](QWidget *checks) { click(checks, "pushButton_Submit"); },
        [](QWidget *checks) { return !child<QLineEdit>(checks, "lineEdit_LidSize")->text().isEmpty(); });

    MainWindow window;
    waitForStartUp(&window);
    // The roll-off and the front-end order wait for a check.
    QCOMPARE(child<QLabel>(&window, "label_Orders")->text(), QStringLiteral("2"));
    click(&window, "pushButton_Orders");
    QCOMPARE(watcher.seen(),
             (QStringList{"OrderReviewDialog", "BinRepairSheetDialog", "BinRepairLineDialog", "FinalChecksDialog"}));
    QCOMPARE(messages.unexpected().join(" | "), QString());
    QVERIFY(!AppState::instance().checkingOrder());
    QCOMPARE(binOrderValue("o.status", lastBinId).toInt(), 5);
    QCOMPARE(binOrderValue(linesOfTheOrder, lastBinId).toInt(), 2);
}

void WorkflowsEndToEndTest::managerConfirmsTheBin()
{
    logInAs(server, QStringLiteral("manager"));
    MessageScript messages;
    messages.expect(ClockPrompt, QMessageBox::Cancel);
    messages.expect(QStringLiteral("Finished"));
    ScreenWatcher watcher;
    QString counts;
    watcher.onScreen(
        QStringLiteral("ManagementPanelDialog"),
        [&counts](QWidget *panel) {
            counts = child<QLabel>(panel, "label_OrdersToCheck")->text() + QLatin1Char('/')
                     + child<QLabel>(panel, "label_CustomOrders")->text();
            click(panel, "pushButton_ConfirmOrders");
        },
        [](QWidget *panel) { return child<QLabel>(panel, "label_OrdersToCheck")->text() != QLatin1String("Bins #"); });
    planReviewChoice(watcher, lastBinId);
    watcher.onScreen(
        QStringLiteral("BinRepairSheetDialog"), [](QWidget *sheet) { click(sheet, "pushButton_Submit"); },
        totalTimeShown);
    watcher.onScreen(
        QStringLiteral("FinalChecksDialog"), [](QWidget *checks) { click(checks, "pushButton_Submit"); },
        [](QWidget *checks) { return !child<QLineEdit>(checks, "lineEdit_LidSize")->text().isEmpty(); });

    MainWindow window;
    waitForStartUp(&window);
    click(&window, "pushButton_Management");
    QCOMPARE(counts, QStringLiteral("Bins 1/Custom 1"));
    QCOMPARE(watcher.seen(),
             (QStringList{"ManagementPanelDialog", "OrderReviewDialog", "BinRepairSheetDialog", "FinalChecksDialog"}));
    QCOMPARE(messages.unexpected().join(" | "), QString());
    QVERIFY(!AppState::instance().confirmingOrders());
    QCOMPARE(binOrderValue("o.status", lastBinId).toInt(), 6);
    // The worker's two stretches of time, and none for the review.
    QCOMPARE(binOrderValue("(SELECT COUNT(*) FROM order_time_stamps t WHERE t.bin_order_id = o.id)", lastBinId).toInt(),
             2);
}

void WorkflowsEndToEndTest::managerConfirmsTheCustomJob()
{
    logInAs(server, QStringLiteral("manager"));
    MessageScript messages;
    messages.expect(ClockPrompt, QMessageBox::Cancel);
    messages.expect(QStringLiteral("Are you sure you want to finish this job?"), QMessageBox::Yes);
    messages.expect(QStringLiteral("Custom Repair Finished"));
    ScreenWatcher watcher;
    watcher.onScreen(
        QStringLiteral("ManagementPanelDialog"), [](QWidget *panel) { click(panel, "pushButton_ConfirmOrders"); },
        [](QWidget *panel) { return child<QLabel>(panel, "label_CustomOrders")->text() == QLatin1String("Custom 1"); });
    planReviewChoice(watcher, QString::number(customJob) + QLatin1Char(' '), true);
    watcher.onScreen(
        QStringLiteral("CustomJobSheetDialog"), [](QWidget *sheet) { click(sheet, "pushButton_Finish"); },
        [](QWidget *sheet) {
            return child<QLabel>(sheet, "label_TotalTime")->text().startsWith(QLatin1String("Total Time: "));
        });

    MainWindow window;
    waitForStartUp(&window);
    click(&window, "pushButton_Management");
    QCOMPARE(watcher.seen(), (QStringList{"ManagementPanelDialog", "OrderReviewDialog", "CustomJobSheetDialog"}));
    QCOMPARE(messages.unexpected().join(" | "), QString());
    QVERIFY(!AppState::instance().checkingCustom());
    QCOMPARE(queryValue("SELECT status FROM custom_orders WHERE id = ?", {customJob}).toInt(), 6);
    QCOMPARE(
        queryValue("SELECT COUNT(*) FROM order_time_stamps WHERE custom_order_id IS NOT NULL AND end_time IS NOT NULL")
            .toInt(),
        2);
    QCOMPARE(queryValue("SELECT COUNT(*) FROM order_time_stamps WHERE end_time IS NULL").toInt(), 0);
}

// The manager finds the confirmed bin and custom job among the finished
// orders and opens the record of each.
void WorkflowsEndToEndTest::managerBrowsesTheFinishedOrders()
{
    logInAs(server, QStringLiteral("manager"));
    MessageScript messages;
    messages.expect(ClockPrompt, QMessageBox::Cancel);
    ScreenWatcher watcher;
    watcher.onScreen(
        QStringLiteral("ManagementPanelDialog"), [](QWidget *panel) { click(panel, "pushButton_View"); },
        [](QWidget *panel) { return child<QLabel>(panel, "label_OrdersToCheck")->text() != QLatin1String("Bins #"); });
    QStringList listed;
    watcher.onScreen(
        QStringLiteral("FinishedOrdersDialog"),
        [this, &listed](QWidget *browser) {
            openFinishedOrder(browser, "checkBox_FrontEnd", QStringLiteral("Bin ID"), lastBinId);
            listed << shownRows(browser);
            openFinishedOrder(browser, "checkBox_Custom", QStringLiteral("Repair ID"), QStringLiteral("acme"));
            listed << shownRows(browser);
            click(browser, "pushButton_Back");
        },
        [](QWidget *browser) { return child<QComboBox>(browser, "comboBox_User")->count() > 1; });
    QStringList binRecord;
    watcher.onScreen(
        QStringLiteral("BinOrderRecordDialog"),
        [&binRecord](QWidget *record) {
            binRecord << child<QLineEdit>(record, "lineEdit_LidSize")->text()
                      << child<QLabel>(record, "label_TotalTime")->text() << shownRows(record);
            click(record, "pushButton_Back");
        },
        [](QWidget *record) { return !shownRows(record).isEmpty(); });
    QStringList customRecord;
    watcher.onScreen(
        QStringLiteral("CustomOrderRecordDialog"),
        [&customRecord](QWidget *record) {
            customRecord << child<QLabel>(record, "label_Customer")->text()
                         << child<QLabel>(record, "label_Phone")->text() << shownRows(record);
            click(record, "pushButton_Back");
        },
        [](QWidget *record) { return !shownRows(record).isEmpty(); });

    MainWindow window;
    waitForStartUp(&window);
    click(&window, "pushButton_Management");
    QCOMPARE(watcher.seen(), (QStringList{"ManagementPanelDialog", "FinishedOrdersDialog", "BinOrderRecordDialog",
                                          "CustomOrderRecordDialog"}));
    const QString today = QDate::currentDate().toString(QStringLiteral("M/d/yyyy"));
    QCOMPARE(listed, (QStringList{lastBinId + "|1|" + today + "|worker",
                                  QString::number(customJob) + "|Acme_Waste||Tank_repair|worker|" + today}));
    // The checker's line is booked under the order's worker.
    const QString line = QStringLiteral("FEC101|Two steel plates|1:30|worker");
    QCOMPARE(binRecord.size(), 4);
    QVERIFY2(QRegularExpression("^Total Time: \\d+\\.\\d\\d$").match(binRecord.takeAt(1)).hasMatch(), "hours booked");
    QCOMPARE(binRecord, (QStringList{"34", line, line}));
    QCOMPARE(customRecord,
             (QStringList{"Customer: Acme_Waste", "Phone: 555-0100", "Weld the outlet|Steel flange|2:15"}));
    QCOMPARE(messages.unexpected().join(" | "), QString());
    QCOMPARE(AppState::instance().viewBin(1), QString());
}

QTEST_MAIN(WorkflowsEndToEndTest)
#include "tst_workflows.moc"
