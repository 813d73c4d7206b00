#include "app/mainwindow.h"
#include "app/screenfactory.h"
#include "core/appstate.h"
#include "flowhelpers.h"
#include "messagescript.h"
#include "screenwatcher.h"
#include "serverprocess.h"

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

int rowCount(QWidget *screen)
{
    const QAbstractItemModel *model = child<QTableView>(screen, "tableView")->model();
    return model ? model->rowCount() : 0;
}

QString totalShown(QWidget *browser)
{
    return child<QLabel>(browser, "label_TotalTime")->text();
}

} // namespace

// A worker's day at the clock, put right by the office with the real server.
class TimeKeepingEndToEndTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void workerClocksInAndOut();
    void managerCorrectsThePeriod();

private:
    ServerProcess server;
};

void TimeKeepingEndToEndTest::initTestCase()
{
    Navigation::setFactory(createScreen);
    QVERIFY2(server.start(), qPrintable(server.output()));
    AppState::instance().configureServer(QStringLiteral("127.0.0.1"), server.port());
    QVERIFY(openServerDatabase(server.databasePath()));
}

void TimeKeepingEndToEndTest::workerClocksInAndOut()
{
    logInAs(server, QStringLiteral("worker"));
    MessageScript messages;
    messages.expect(ClockPrompt, QMessageBox::Yes);
    MainWindow window;
    auto *userLabel = child<QLabel>(&window, "label_UserName");
    QTRY_COMPARE(userLabel->text(), QStringLiteral("worker : is clocked In"));
    click(&window, "pushButton_Clock");
    QTRY_COMPARE(userLabel->text(), QStringLiteral("worker : is clocked Out"));
    QCOMPARE(messages.unexpected().join(" | "), QString());
    QCOMPARE(queryValue("SELECT COUNT(*) FROM clock_records WHERE end_time IS NOT NULL").toInt(), 1);
}

// The manager moves the start of the worker's period to midnight; the
// browser shows the new total as soon as the editor closes.
void TimeKeepingEndToEndTest::managerCorrectsThePeriod()
{
    const qint64 clockedOut = queryValue("SELECT end_time FROM clock_records").toLongLong();
    const qint64 midnight = QDateTime(QDateTime::fromSecsSinceEpoch(clockedOut).date(), {0, 0}).toSecsSinceEpoch();
    const qint64 endToTheMinute = clockedOut - clockedOut % 60;
    const QString newTotal
        = QStringLiteral("Total Time: ") + QString::number(qRound((endToTheMinute - midnight) / 36.0) / 100.0, 'g', 10);

    logInAs(server, QStringLiteral("manager"));
    MessageScript messages;
    messages.expect(ClockPrompt, QMessageBox::Cancel);
    messages.expect(QStringLiteral("Time Saved"));
    ScreenWatcher watcher;
    watcher.onScreen(
        QStringLiteral("ManagementPanelDialog"), [](QWidget *panel) { click(panel, "pushButton_TimeStamp"); },
        [](QWidget *panel) { return child<QLabel>(panel, "label_OrdersToCheck")->text() != QLatin1String("Bins #"); });
    watcher.onScreen(
        QStringLiteral("ClockOverviewDialog"), [](QWidget *overview) { click(overview, "pushButton_TimeStamp"); },
        [](QWidget *overview) { return rowCount(overview) > 0; });
    QString totalBefore;
    QString totalAfter;
    watcher.onScreen(
        QStringLiteral("TimeStampBrowserDialog"),
        [&](QWidget *browser) {
            child<QComboBox>(browser, "comboBox_UserList")->setCurrentText(QStringLiteral("worker"));
            QTRY_COMPARE(AppState::instance().timeStampUser(1), QStringLiteral("worker"));
            click(browser, "pushButton_Search");
            QTRY_COMPARE(rowCount(browser), 1);
            totalBefore = totalShown(browser);
            auto *table = child<QTableView>(browser, "tableView");
            table->setCurrentIndex(table->model()->index(0, 0));
            click(browser, "pushButton_Edit");
            QTRY_COMPARE(totalShown(browser), newTotal);
            totalAfter = totalShown(browser);
            click(browser, "pushButton_Back");
        },
        [](QWidget *browser) { return child<QComboBox>(browser, "comboBox_UserList")->count() > 0; });
    watcher.onScreen(QStringLiteral("TimeStampEditorDialog"), [](QWidget *editor) {
        child<QComboBox>(editor, "comboBox_Hour")->setCurrentText(QStringLiteral("00"));
        child<QComboBox>(editor, "comboBox_Minute")->setCurrentText(QStringLiteral("00"));
        click(editor, "pushButton_Submit");
    });

    MainWindow window;
    waitForStartUp(&window);
    click(&window, "pushButton_Management");
    QCOMPARE(watcher.seen(), (QStringList{"ManagementPanelDialog", "ClockOverviewDialog", "TimeStampBrowserDialog",
                                          "TimeStampEditorDialog"}));
    QCOMPARE(messages.unexpected().join(" | "), QString());
    QCOMPARE(totalBefore, QStringLiteral("Total Time: 0"));
    QCOMPARE(totalAfter, newTotal);
    QCOMPARE(queryValue("SELECT start_time FROM clock_records").toLongLong(), midnight);
    QCOMPARE(queryValue("SELECT end_time FROM clock_records").toLongLong(), endToTheMinute);
    QCOMPARE(queryValue("SELECT COUNT(*) FROM clock_records").toInt(), 1);
}

QTEST_MAIN(TimeKeepingEndToEndTest)
#include "tst_timekeeping.moc"
