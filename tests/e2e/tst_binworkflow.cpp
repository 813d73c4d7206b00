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

// A worker's bin jobs from the main window's Next to "Finished", with the
// real server program, then what it stored.
class BinWorkflowEndToEndTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void rollOffJobFromNextToFinished();
    void jobLeftWithBackIsResumedThroughContinue();

private:
    ServerProcess server;
    QString lastBinId;
};

void BinWorkflowEndToEndTest::initTestCase()
{
    Navigation::setFactory(createScreen);
    QVERIFY2(server.start(), qPrintable(server.output()));
    AppState &state = AppState::instance();
    state.configureServer(QStringLiteral("127.0.0.1"), server.port());
    // The worker logs in at this terminal; the login screen is tested elsewhere.
    QVERIFY(server.logIn(QStringLiteral("worker")));
    state.setUser(QStringLiteral("worker"), QString());
    state.setLoggedIn(true);
    QVERIFY(openServerDatabase(server.databasePath()));
}

void BinWorkflowEndToEndTest::rollOffJobFromNextToFinished()
{
    MessageScript messages;
    messages.expect(QStringLiteral("You are currently not clocked in!\nWould you like to clock in now?"),
                    QMessageBox::Yes);
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

void BinWorkflowEndToEndTest::jobLeftWithBackIsResumedThroughContinue()
{
    MessageScript messages;
    ScreenWatcher watcher;
    planNewBin(watcher, &lastBinId);
    planRepairLine(watcher);
    planFinalChecks(watcher);
    int sheetsSeen = 0;
    watcher.onScreen(
        QStringLiteral("BinRepairSheetDialog"),
        [&sheetsSeen](QWidget *sheet) {
            // First visit: leave the job; second visit: finish it.
            if (++sheetsSeen == 1) {
                click(sheet, "pushButton_Back");
                return;
            }
            click(sheet, "pushButton_Add");
            click(sheet, "pushButton_Submit");
        },
        binSheetIsTiming);

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

    QCOMPARE(sheetsSeen, 2);
    QCOMPARE(watcher.seen(),
             (QStringList{"BinIntakeDialog", "PreCheckDialog", "BinRepairSheetDialog", "ContinueOrderDialog",
                          "BinRepairSheetDialog", "BinRepairLineDialog", "FinalChecksDialog"}));
    QCOMPARE(messages.unexpected().join(" | "), QString());
    QVERIFY(window.isVisible());
    QVERIFY(leftBinId.startsWith(QLatin1String("KD")));
    // What the screens sent is what was stored: the order waits for its check
    // with the line, both inspections and two closed stretches of time.
    QCOMPARE(binOrderValue("o.status", leftBinId).toInt(), 4);
    QCOMPARE(binOrderValue("o.repair_id", leftBinId).toInt(), 1);
    QCOMPARE(binOrderValue("(SELECT COUNT(*) FROM bin_repair_lines l WHERE l.order_id = o.id AND l.time_text = '1:30'"
                           " AND l.materials = 'Two steel plates')",
                           leftBinId)
                 .toInt(),
             1);
    QCOMPARE(binOrderValue("(SELECT p.lid_rod_good FROM pre_checks p WHERE p.order_id = o.id)", leftBinId).toInt(), 0);
    QCOMPARE(binOrderValue("(SELECT f.lid_size FROM final_checks f WHERE f.order_id = o.id)", leftBinId).toString(),
             QStringLiteral("34"));
    QCOMPARE(binOrderValue("(SELECT COUNT(*) FROM order_time_stamps t WHERE t.bin_order_id = o.id"
                           " AND t.end_time IS NOT NULL)",
                           leftBinId)
                 .toInt(),
             2);
    QCOMPARE(queryValue("SELECT COUNT(*) FROM order_time_stamps WHERE end_time IS NULL").toInt(), 0);
}

QTEST_MAIN(BinWorkflowEndToEndTest)
#include "tst_binworkflow.moc"
