#include "app/logindialog.h"
#include "app/mainwindow.h"
#include "app/screenfactory.h"
#include "core/appstate.h"
#include "core/terminallook.h"
#include "flowhelpers.h"
#include "messagescript.h"
#include "screenwatcher.h"
#include "serverprocess.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QTableView>
#include <QTextEdit>
#include <QtTest>

// Walks the real screens through a day at the shop, against the real server
// program with the demo shop, and saves a picture of every screen on the way
// for the user guide. The pictures go to the folder in SCREENS_TOUR_DIR
// (docs/screens by default).

namespace {

// Lets a screen settle (replies shown, layout done), then saves it at the
// size of a small terminal, wider than the off-screen display's default.
void snap(QWidget *screen, const QString &name)
{
    screen->resize(1280, 800);
    QTest::qWait(400);
    const QString folder = qEnvironmentVariable("SCREENS_TOUR_DIR", QStringLiteral("docs/screens"));
    QDir().mkpath(folder);
    QVERIFY(screen->grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png")));
}

void snapAndClose(ScreenWatcher &watcher, const QString &className, const QString &name)
{
    watcher.onScreen(className, [name](QWidget *screen) {
        snap(screen, name);
        screen->close();
    });
}

void chooseFirstOrder(QWidget *review, bool customJobs)
{
    auto *orders = child<QListWidget>(review, "listWidget_Orders");
    if (customJobs) {
        press(review, "checkBox_Custom");
        QVERIFY(QTest::qWaitFor([orders]() { return orders->count() > 0; }));
    }
    orders->item(0)->setSelected(true);
    orders->setCurrentItem(orders->item(0));
}

bool ordersListed(QWidget *review)
{
    return child<QListWidget>(review, "listWidget_Orders")->count() > 0;
}

bool checksFilled(QWidget *checks)
{
    return !child<QLineEdit>(checks, "lineEdit_LidSize")->text().isEmpty();
}

bool panelCounted(QWidget *panel)
{
    return child<QLabel>(panel, "label_OrdersToCheck")->text() != QLatin1String("Bins #");
}

} // namespace

class ScreensTour : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void login();
    void workerBinJob();
    void workerCustomJob();
    void checkerReview();
    void managerScreens();

private:
    ServerProcess server;
};

void ScreensTour::initTestCase()
{
    TerminalLook::apply();
    Navigation::setFactory(createScreen);
    QVERIFY2(server.start(), qPrintable(server.output()));
    AppState::instance().configureServer(QStringLiteral("127.0.0.1"), server.port());
}

void ScreensTour::login()
{
    LoginDialog dialog;
    child<QLineEdit>(&dialog, "lineEdit_UserName")->setText(QStringLiteral("worker"));
    child<QLineEdit>(&dialog, "lineEdit_Password")->setText(QStringLiteral("demo-worker"));
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    snap(&dialog, QStringLiteral("01-login"));
}

void ScreensTour::workerBinJob()
{
    logInAs(server, QStringLiteral("worker"));
    MessageScript messages;
    messages.expect(ClockPrompt, QMessageBox::Yes);
    messages.expect(QStringLiteral("Finished"));
    ScreenWatcher watcher;
    watcher.onScreen(
        QStringLiteral("BinIntakeDialog"),
        [](QWidget *intake) {
            snap(intake, QStringLiteral("03-bin-intake"));
            press(intake, "pushButton_Enter");
        },
        [](QWidget *intake) { return child<QLabel>(intake, "label_ID")->text().startsWith(QLatin1String("ID ")); });
    watcher.onScreen(QStringLiteral("PreCheckDialog"), [](QWidget *preCheck) {
        press(preCheck, "checkBox_LidsGood");
        press(preCheck, "checkBox_ChainsGood");
        press(preCheck, "checkBox_LidRodBad");
        snap(preCheck, QStringLiteral("04-pre-check"));
        press(preCheck, "pushButton_Next");
    });
    watcher.onScreen(
        QStringLiteral("BinRepairSheetDialog"),
        [](QWidget *sheet) {
            press(sheet, "pushButton_Add");
            snap(sheet, QStringLiteral("05-bin-repair-sheet"));
            press(sheet, "pushButton_Submit");
        },
        [](QWidget *sheet) { return child<QLabel>(sheet, "label_Size")->text().startsWith(QLatin1String("Size ")); });
    watcher.onScreen(
        QStringLiteral("BinRepairLineDialog"),
        [](QWidget *entry) {
            child<QComboBox>(entry, "comboBox")->setCurrentIndex(0);
            child<QComboBox>(entry, "comboBox_Time")->setCurrentText(QStringLiteral("1"));
            child<QComboBox>(entry, "comboBox_Minutes")->setCurrentText(QStringLiteral("30"));
            child<QTextEdit>(entry, "textEdit")->setPlainText(QStringLiteral("Two steel plates"));
            snap(entry, QStringLiteral("06-bin-repair-line"));
            press(entry, "pushButton_Submit");
        },
        [](QWidget *entry) { return child<QComboBox>(entry, "comboBox")->count() > 0; });
    watcher.onScreen(QStringLiteral("FinalChecksDialog"), [](QWidget *checks) {
        child<QLineEdit>(checks, "lineEdit_LidSize")->setText(QStringLiteral("34"));
        child<QLineEdit>(checks, "lineEdit")->setText(QStringLiteral("2.5"));
        for (QCheckBox *box : checks->findChildren<QCheckBox *>())
            box->setChecked(true);
        snap(checks, QStringLiteral("07-final-checks"));
        press(checks, "pushButton_Submit");
    });

    MainWindow window;
    waitForStartUp(&window);
    auto *workTypes = child<QComboBox>(&window, "comboBox");
    workTypes->setCurrentText(QStringLiteral("Front End Repair"));
    snap(&window, QStringLiteral("02-main-window"));
    press(&window, "pushButton_Next");
    QCOMPARE(messages.unexpected().join(" | "), QString());
}

void ScreensTour::workerCustomJob()
{
    MessageScript messages;
    messages.expect(QStringLiteral("Repair Saved"));
    messages.expect(QStringLiteral("Are you sure you want to finish this job?"), QMessageBox::Yes);
    messages.expect(QStringLiteral("Custom Repair Saved"));
    ScreenWatcher watcher;
    watcher.onScreen(QStringLiteral("CustomJobStartDialog"), [](QWidget *start) {
        child<QLineEdit>(start, "lineEdit_Worker")->setText(QStringLiteral("Wes"));
        child<QLineEdit>(start, "lineEdit_JobType")->setText(QStringLiteral("Tank repair"));
        child<QLineEdit>(start, "lineEdit_Customer")->setText(QStringLiteral("Acme"));
        child<QLineEdit>(start, "lineEdit_PhoneNum")->setText(QStringLiteral("555-0100"));
        snap(start, QStringLiteral("08-custom-job-start"));
        press(start, "pushButton_Next");
    });
    watcher.onScreen(
        QStringLiteral("CustomJobSheetDialog"),
        [](QWidget *sheet) {
            press(sheet, "pushButton_Add");
            snap(sheet, QStringLiteral("09-custom-job-sheet"));
            press(sheet, "pushButton_Finish");
        },
        [](QWidget *) { return AppState::instance().liveClockRunning(); });
    watcher.onScreen(QStringLiteral("CustomRepairLineDialog"), [](QWidget *entry) {
        child<QTextEdit>(entry, "textEdit_RepairDescription")->setPlainText(QStringLiteral("Weld the outlet"));
        child<QTextEdit>(entry, "textEdit_Materials")->setPlainText(QStringLiteral("Steel flange"));
        child<QComboBox>(entry, "comboBox_Hours")->setCurrentText(QStringLiteral("2"));
        child<QComboBox>(entry, "comboBox_Minutes")->setCurrentText(QStringLiteral("15"));
        snap(entry, QStringLiteral("10-custom-repair-line"));
        press(entry, "pushButton_Add");
    });

    MainWindow window;
    startJob(&window, QStringLiteral("Custom"));
    QCOMPARE(messages.unexpected().join(" | "), QString());
}

void ScreensTour::checkerReview()
{
    logInAs(server, QStringLiteral("checker"));
    MessageScript messages;
    messages.expect(ClockPrompt, QMessageBox::Cancel);
    ScreenWatcher watcher;
    watcher.onScreen(
        QStringLiteral("OrderReviewDialog"),
        [](QWidget *review) {
            chooseFirstOrder(review, false);
            snap(review, QStringLiteral("11-order-review"));
            press(review, "pushButton_Continue");
        },
        ordersListed);
    watcher.onScreen(
        QStringLiteral("BinRepairSheetDialog"), [](QWidget *sheet) { press(sheet, "pushButton_Submit"); },
        [](QWidget *sheet) {
            return child<QLabel>(sheet, "label_TotalTime")->text().startsWith(QLatin1String("Total Time: "));
        });
    watcher.onScreen(
        QStringLiteral("FinalChecksDialog"), [](QWidget *checks) { press(checks, "pushButton_Submit"); }, checksFilled);

    MainWindow window;
    waitForStartUp(&window);
    press(&window, "pushButton_Orders");
    QCOMPARE(messages.unexpected().join(" | "), QString());
}

void ScreensTour::managerScreens()
{
    logInAs(server, QStringLiteral("manager"));
    MessageScript messages;
    messages.expect(ClockPrompt, QMessageBox::Cancel);
    messages.expect(QStringLiteral("Finished"));
    ScreenWatcher watcher;
    watcher.onScreen(
        QStringLiteral("ManagementPanelDialog"),
        [](QWidget *panel) {
            snap(panel, QStringLiteral("12-management-panel"));
            press(panel, "pushButton_ConfirmOrders");
            press(panel, "pushButton_View");
            press(panel, "pushButton_TimeStamp");
            press(panel, "pushButton_RepairCodes");
            press(panel, "pushButton_EditUsers");
            press(panel, "pushButton_Departments");
            press(panel, "pushButton_Back");
        },
        panelCounted);
    watcher.onScreen(
        QStringLiteral("OrderReviewDialog"),
        [](QWidget *review) {
            chooseFirstOrder(review, false);
            press(review, "pushButton_Continue");
        },
        ordersListed);
    watcher.onScreen(
        QStringLiteral("BinRepairSheetDialog"), [](QWidget *sheet) { press(sheet, "pushButton_Submit"); },
        [](QWidget *sheet) {
            return child<QLabel>(sheet, "label_TotalTime")->text().startsWith(QLatin1String("Total Time: "));
        });
    watcher.onScreen(
        QStringLiteral("FinalChecksDialog"), [](QWidget *checks) { press(checks, "pushButton_Submit"); }, checksFilled);
    watcher.onScreen(
        QStringLiteral("FinishedOrdersDialog"),
        [](QWidget *browser) {
            auto *table = child<QTableView>(browser, "tableView");
            press(browser, "checkBox_FrontEnd");
            QVERIFY(QTest::qWaitFor([table]() { return table->model() && table->model()->rowCount() > 0; }));
            table->setCurrentIndex(table->model()->index(0, 0));
            snap(browser, QStringLiteral("13-finished-orders"));
            press(browser, "pushButton_Continue");
            press(browser, "pushButton_Back");
        },
        [](QWidget *browser) { return child<QComboBox>(browser, "comboBox_User")->count() > 1; });
    watcher.onScreen(
        QStringLiteral("BinOrderRecordDialog"),
        [](QWidget *record) {
            snap(record, QStringLiteral("14-bin-order-record"));
            press(record, "pushButton_Back");
        },
        [](QWidget *record) { return child<QTableView>(record, "tableView")->model() != nullptr; });
    snapAndClose(watcher, QStringLiteral("ClockOverviewDialog"), QStringLiteral("15-clock-overview"));
    watcher.onScreen(QStringLiteral("RepairCodeListDialog"), [](QWidget *codes) {
        press(codes, "checkBox_FER");
        auto *table = child<QTableView>(codes, "tableView_Codes");
        QVERIFY(QTest::qWaitFor([table]() { return table->model() && table->model()->rowCount() > 0; }));
        snap(codes, QStringLiteral("16-repair-codes"));
        codes->close();
    });
    snapAndClose(watcher, QStringLiteral("UserAdminDialog"), QStringLiteral("17-users"));
    snapAndClose(watcher, QStringLiteral("DepartmentsDialog"), QStringLiteral("18-departments"));

    MainWindow window;
    waitForStartUp(&window);
    press(&window, "pushButton_Management");
    QCOMPARE(watcher.seen(),
             (QStringList{"ManagementPanelDialog", "OrderReviewDialog", "BinRepairSheetDialog", "FinalChecksDialog",
                          "FinishedOrdersDialog", "BinOrderRecordDialog", "ClockOverviewDialog", "RepairCodeListDialog",
                          "UserAdminDialog", "DepartmentsDialog"}));
    QCOMPARE(messages.unexpected().join(" | "), QString());
}

QTEST_MAIN(ScreensTour)
#include "screenstour.moc"
