#include "app/mainwindow.h"
#include "app/screenfactory.h"
#include "core/appstate.h"
#include "flowhelpers.h"
#include "jobplans.h"
#include "messagescript.h"
#include "screens.h"
#include "screenwatcher.h"
#include "serverprocess.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTableView>
#include <QtTest>

namespace {

const QString ClockPrompt = QStringLiteral("You are currently not clocked in!\nWould you like to clock in now?");

void logInAs(ServerProcess &server, const QString &user)
{
    QVERIFY(server.logIn(user));
    AppState &state = AppState::instance();
    state.setUser(user, QString());
    state.setLoggedIn(true);
}

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

} // namespace

// One front-end bin and one custom job passed from the worker to the
// checker to the manager, with the real server program.
class ReviewEndToEndTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void workerFinishesBothJobs();
    void checkerChecksTheBin();
    void managerConfirmsTheBin();
    void managerConfirmsTheCustomJob();
    void managerBrowsesTheFinishedOrders();

private:
    QVariant orderValue(const QString &column);

    ServerProcess server;
    QString binId;
    qint64 customJob = 0;
};

void ReviewEndToEndTest::initTestCase()
{
    Navigation::setFactory(createScreen);
    QVERIFY2(server.start(), qPrintable(server.output()));
    AppState::instance().configureServer(QStringLiteral("127.0.0.1"), server.port());
    QVERIFY(openServerDatabase(server.databasePath()));
}

QVariant ReviewEndToEndTest::orderValue(const QString &expression)
{
    return queryValue("SELECT " + expression + " FROM bin_orders o JOIN bins b ON b.id = o.bin_ref WHERE b.bin_id = ?",
                      {binId});
}

void ReviewEndToEndTest::workerFinishesBothJobs()
{
    logInAs(server, QStringLiteral("worker"));
    MessageScript messages;
    messages.expect(ClockPrompt, QMessageBox::Yes);
    messages.expect(QStringLiteral("Finished"));
    messages.expect(QStringLiteral("Repair Saved"));
    messages.expect(QStringLiteral("Are you sure you want to finish this job?"), QMessageBox::Yes);
    messages.expect(QStringLiteral("Custom Repair Saved"));
    ScreenWatcher watcher;
    planNewBin(watcher, &binId);
    planRepairLine(watcher);
    planBinSheetWork(watcher);
    planFinalChecks(watcher);
    planCustomJob(watcher, QStringLiteral("Acme"));
    planCustomLine(watcher);
    watcher.onScreen(
        QStringLiteral("CustomJobSheetDialog"),
        [](QWidget *sheet) {
            click(sheet, "pushButton_Add");
            click(sheet, "pushButton_Finish");
        },
        customSheetIsTiming);

    MainWindow window;
    startJob(&window, QStringLiteral("Front End Repair"));
    startJob(&window, QStringLiteral("Custom"));
    QCOMPARE(messages.unexpected().join(" | "), QString());
    QCOMPARE(orderValue("o.status").toInt(), 4);
    customJob = queryValue("SELECT id FROM custom_orders WHERE customer = 'Acme'").toLongLong();
    QCOMPARE(queryValue("SELECT status FROM custom_orders WHERE id = ?", {customJob}).toInt(), 5);
}

void ReviewEndToEndTest::checkerChecksTheBin()
{
    logInAs(server, QStringLiteral("checker"));
    MessageScript messages;
    messages.expect(ClockPrompt, QMessageBox::Cancel);
    ScreenWatcher watcher;
    planReviewChoice(watcher, binId);
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
    QCOMPARE(child<QLabel>(&window, "label_Orders")->text(), QStringLiteral("1"));
    click(&window, "pushButton_Orders");
    QCOMPARE(watcher.seen(),
             (QStringList{"OrderReviewDialog", "BinRepairSheetDialog", "BinRepairLineDialog", "FinalChecksDialog"}));
    QCOMPARE(messages.unexpected().join(" | "), QString());
    QVERIFY(!AppState::instance().checkingOrder());
    QCOMPARE(orderValue("o.status").toInt(), 5);
    QCOMPARE(queryValue("SELECT COUNT(*) FROM bin_repair_lines").toInt(), 2);
}

void ReviewEndToEndTest::managerConfirmsTheBin()
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
    planReviewChoice(watcher, binId);
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
    QCOMPARE(orderValue("o.status").toInt(), 6);
    QCOMPARE(queryValue("SELECT COUNT(*) FROM bin_repair_lines").toInt(), 2);
    QCOMPARE(queryValue("SELECT COUNT(*) FROM final_checks").toInt(), 1);
    QCOMPARE(queryValue("SELECT COUNT(*) FROM pre_checks").toInt(), 1);
    QCOMPARE(queryValue("SELECT COUNT(*) FROM order_time_stamps WHERE bin_order_id IS NOT NULL").toInt(), 1);
}

void ReviewEndToEndTest::managerConfirmsTheCustomJob()
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
    QCOMPARE(queryValue("SELECT COUNT(*) FROM custom_orders").toInt(), 1);
    QCOMPARE(queryValue("SELECT COUNT(*) FROM custom_repair_lines").toInt(), 1);
    QCOMPARE(
        queryValue("SELECT COUNT(*) FROM order_time_stamps WHERE custom_order_id IS NOT NULL AND end_time IS NOT NULL")
            .toInt(),
        1);
    QCOMPARE(queryValue("SELECT COUNT(*) FROM order_time_stamps WHERE end_time IS NULL").toInt(), 0);
}

// The manager finds the confirmed bin and custom job among the finished
// orders and opens the record of each.
void ReviewEndToEndTest::managerBrowsesTheFinishedOrders()
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
            openFinishedOrder(browser, "checkBox_FrontEnd", QStringLiteral("Bin ID"), binId);
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
    QCOMPARE(listed, (QStringList{binId + "|1|" + today + "|worker",
                                  QString::number(customJob) + "|Acme||Tank_repair|worker|" + today}));
    // The checker's line is booked under the order's worker.
    const QString line = QStringLiteral("FEC101|Two steel plates|1:30|worker");
    QCOMPARE(binRecord.size(), 4);
    QVERIFY2(QRegularExpression("^Total Time: \\d+\\.\\d\\d$").match(binRecord.takeAt(1)).hasMatch(), "hours booked");
    QCOMPARE(binRecord, (QStringList{"34", line, line}));
    QCOMPARE(customRecord, (QStringList{"Customer: Acme", "Phone: 555-0100", "Weld the outlet|Steel flange|2:15"}));
    QCOMPARE(messages.unexpected().join(" | "), QString());
    QCOMPARE(AppState::instance().viewBin(1), QString());
}

QTEST_MAIN(ReviewEndToEndTest)
#include "tst_review.moc"
