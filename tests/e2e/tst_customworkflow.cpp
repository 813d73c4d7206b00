#include "app/mainwindow.h"
#include "app/screenfactory.h"
#include "core/appstate.h"
#include "flowhelpers.h"
#include "jobplans.h"
#include "messagescript.h"
#include "screenwatcher.h"
#include "serverprocess.h"

#include <QListWidget>
#include <QtTest>

// A worker's custom job from the main window's Next, left and resumed
// through Continue Custom until "Custom Repair Saved", with the real server
// program, then what it stored.
class CustomWorkflowEndToEndTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void jobLeftWithCancelIsResumedThroughContinueCustom();

private:
    static qint64 jobOf(const QString &customer);

    ServerProcess server;
};

void CustomWorkflowEndToEndTest::initTestCase()
{
    Navigation::setFactory(createScreen);
    QVERIFY2(server.start(), qPrintable(server.output()));
    AppState &state = AppState::instance();
    state.configureServer(QStringLiteral("127.0.0.1"), server.port());
    QVERIFY(server.logIn(QStringLiteral("worker")));
    state.setUser(QStringLiteral("worker"), QString());
    state.setLoggedIn(true);
    QVERIFY(openServerDatabase(server.databasePath()));
}

qint64 CustomWorkflowEndToEndTest::jobOf(const QString &customer)
{
    return queryValue(QStringLiteral("SELECT id FROM custom_orders WHERE customer = ?"), {customer}).toLongLong();
}

void CustomWorkflowEndToEndTest::jobLeftWithCancelIsResumedThroughContinueCustom()
{
    MessageScript messages;
    messages.expect(QStringLiteral("You are currently not clocked in!\nWould you like to clock in now?"),
                    QMessageBox::Yes);
    ScreenWatcher watcher;
    planCustomJob(watcher, QStringLiteral("Acme Waste"));
    planCustomLine(watcher);
    int sheetsSeen = 0;
    watcher.onScreen(
        QStringLiteral("CustomJobSheetDialog"),
        [&sheetsSeen](QWidget *sheet) {
            // First visit: leave the job; second visit: add a line and submit it.
            if (++sheetsSeen == 1) {
                click(sheet, "pushButton_Cancel");
                return;
            }
            click(sheet, "pushButton_Add");
            click(sheet, "pushButton_Finish");
        },
        customSheetIsTiming);

    MainWindow window;
    startJob(&window, QStringLiteral("Custom"));
    QTRY_VERIFY(window.isVisible());
    // Blanks in the customer became "_".
    const qint64 job = jobOf(QStringLiteral("Acme_Waste"));
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

    QCOMPARE(sheetsSeen, 2);
    QCOMPARE(messages.unexpected().join(" | "), QString());
    QVERIFY(!AppState::instance().continueCustom());
    // What the screens sent is what was stored; the job waits for confirmation.
    QCOMPARE(queryValue("SELECT job_type || ' ' || phone || ' ' || status FROM custom_orders WHERE id = ?", {job})
                 .toString(),
             QStringLiteral("Tank_repair 555-0100 5"));
    QCOMPARE(queryValue("SELECT COUNT(*) FROM custom_repair_lines WHERE order_id = ? AND hours = 2 AND minutes = 15"
                        " AND materials = 'Steel flange'",
                        {job})
                 .toInt(),
             1);
    QCOMPARE(
        queryValue("SELECT COUNT(*) FROM order_time_stamps WHERE custom_order_id = ? AND end_time IS NOT NULL", {job})
            .toInt(),
        2);
}

QTEST_MAIN(CustomWorkflowEndToEndTest)
#include "tst_customworkflow.moc"
