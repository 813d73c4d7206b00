#include "screens.h"
#include "timekeeping/clockoverviewdialog.h"
#include "timekeeping/clocktext.h"
#include "timekeeping/timestampbrowserdialog.h"
#include "timekeeping/timestampeditordialog.h"

namespace {

QString unixText(const QDate &date, const QTime &time)
{
    return QString::number(QDateTime(date, time, Qt::LocalTime).toSecsSinceEpoch());
}

// anna in since 4/3/2017 07:00:00, a nameless record, carol never clocked.
const QByteArray ClockStates = textFrame("GetClockStat", {"3", "anna", unixText({2017, 4, 3}, {7, 0, 0}), "0", "In", "",
                                                          "0", "0", "Out", "carol", "0", "0", "Out"});

// Three periods of 3 April 2017, the last one still open.
const QString FirstStart = unixText({2017, 4, 3}, {7, 0, 0});
const QString FirstEnd = unixText({2017, 4, 3}, {8, 30, 0});
const QString SecondStart = unixText({2017, 4, 3}, {13, 5, 9});
const QString SecondEnd = unixText({2017, 4, 3}, {15, 20, 9});
const QString OpenStart = unixText({2017, 4, 3}, {16, 0, 0});

struct Browser : ScreenTest<TimeStampBrowserDialog>
{
    // anna and bob, anna's periods starting in 2017.
    Browser()
    {
        server.answer("GetListOfTimeStampUsers", wire::frame("GetListOfTimeStampUsers", QStringList{"anna", "bob"}));
        server.answer("GetTimeStampUserLast", textFrame("GetTimeStampUserLast", {unixText({2017, 5, 1}, {9, 0, 0})}));
    }
    QComboBox *box(const QString &name) { return child<QComboBox>(&screen, name); }
    QTableView *table() { return child<QTableView>(&screen, "tableView"); }
};

const QByteArray AnnasPeriods = wire::frame("GetUserTimeStamps", QStringList{FirstStart, SecondStart, OpenStart},
                                            QStringList{FirstEnd, SecondEnd, "0"}, QStringList{"1.50", "2.25", "0.75"});
const QByteArray EveryonesPeriods = wire::frame(
    "GetAllUserTimeStamps", QString("2"), QString("anna"), QStringList{FirstStart}, QStringList{FirstEnd},
    QStringList{"1.5"}, QString("bob"), QStringList{SecondStart}, QStringList{SecondEnd}, QStringList{"2.25"});

struct Editor : ScreenTest<TimeStampEditorDialog>
{
    QComboBox *box(const QString &name) { return child<QComboBox>(&screen, name); }
};

} // namespace

class ClockOverviewDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetClient(); }

    // Times of "0" show as none, nameless records not at all; Clock asks, No
    // the default, and clocks the row's user the other way.
    void clocksTheChosenUser()
    {
        ScreenTest<ClockOverviewDialog> o;
        o.server.answer("GetDepartments", wire::frame("GetDepartments", QStringList{"Paint", "Weld"}));
        for (int i = 0; i < 5; ++i)
            o.server.answer("GetClockStat", ClockStates);
        o.server.answer("ClockIn", wire::frame("ClockIn"));
        o.server.answer("ClockOut", wire::frame("ClockOut"));
        auto *table = child<QTableView>(&o.screen, "tableView");
        QTRY_VERIFY(table->model());
        child<QComboBox>(&o.screen, "comboBox_Status")->setCurrentText("In");
        child<QComboBox>(&o.screen, "comboBox_Department")->setCurrentText("Weld");
        QTRY_COMPARE(o.server.calls(), (QStringList{"GetDepartments()", "GetClockStat(All, All)",
                                                    "GetClockStat(In, All)", "GetClockStat(In, Weld)"}));
        QTRY_COMPARE(tableRows(table), (QStringList{"anna|4/3/2017 07:00:00||In", "carol|||Out"}));

        const QString clockOut = "Are you sure you would like to Clock Out anna 4/3/2017 07:00:00 ?";
        o.messages.expect("Please select a user before continuing");
        o.messages.expect(clockOut, QMessageBox::No);
        o.messages.expect(clockOut, QMessageBox::Yes);
        o.messages.expect("Are you sure you would like to Clock In carol  ?", QMessageBox::Yes);
        press(o.screen, "pushButton_Clock");
        selectRow(table, 0);
        press(o.screen, "pushButton_Clock");
        press(o.screen, "pushButton_Clock");
        const QAbstractItemModel *clockedOut = table->model();
        QTRY_VERIFY(table->model() != clockedOut);
        selectRow(table, 1);
        press(o.screen, "pushButton_Clock");
        QTRY_COMPARE(o.server.calls().mid(4), (QStringList{"ClockOut(anna)", "GetClockStat(In, Weld)", "ClockIn(carol)",
                                                           "GetClockStat(In, Weld)"}));
        QCOMPARE(o.messages.unexpected() + o.messages.pending(), QStringList());
        QCOMPARE(o.messages.shown().at(1).defaultButton, QMessageBox::No);
    }
};

class TimeStampBrowserDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        resetClient();
        ClockText::setNowForTesting(QDateTime({2021, 6, 15}, {12, 0, 0}));
        AppState::instance().setTimeStampUser(QString(), 0);
    }
    void cleanupTestCase() { ClockText::setNowForTesting({}); }

    void searchesTheLastFourteenDays_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDate>("start");
        QTest::addColumn<int>("daysOfStartMonth");
        QTest::newRow("across the year's end") << QDateTime({2019, 1, 5}, {10, 0, 0}) << QDate(2018, 12, 22) << 31;
        QTest::newRow("into a leap February") << QDateTime({2020, 3, 10}, {10, 0, 0}) << QDate(2020, 2, 25) << 29;
    }

    // The year list then starts at the user's first year, the chosen year kept.
    void searchesTheLastFourteenDays()
    {
        QFETCH(QDateTime, now);
        QFETCH(QDate, start);
        QFETCH(int, daysOfStartMonth);
        ClockText::setNowForTesting(now);
        Browser b;
        QTRY_COMPARE(stateFields(&AppState::timeStampUser, 2), (QStringList{"anna", "2017"}));
        QCOMPARE(b.server.lastArguments("GetTimeStampUserLast"), QStringList{"anna"});
        QCOMPARE(b.box("comboBox_Year")->itemText(0), QString("2017"));
        QCOMPARE(b.box("comboBox_Year")->count(), now.date().year() - 2016);
        QCOMPARE(b.box("comboBox_Day")->count(), daysOfStartMonth);

        press(b.screen, "pushButton_Search");
        QTRY_COMPARE(
            b.server.lastArguments("GetUserTimeStamps"),
            (QStringList{"anna", unixText(start, {0, 0, 0}), unixText(now.date(), {23, 59, 59}), "New To Old"}));
    }

    // Open periods add nothing to the total. Edit and Remove take the row's
    // user and period, the editor the first year on every run; changes search again.
    void showsPeriodsToEditAndRemove()
    {
        Browser b;
        b.server.answer("GetUserTimeStamps", AnnasPeriods);
        b.server.answer("GetAllUserTimeStamps", EveryonesPeriods);
        b.server.answer("RemoveTimeStamp", wire::frame("RemoveTimeStamp"));
        QStringList handedOver;
        b.watcher.onScreen("TimeStampEditorDialog", [&handedOver](QWidget *editor) {
            handedOver
                << (stateFields(&AppState::timeStampUser, 2) + stateFields(&AppState::timeStampEdit, 4)).join(' ');
            press(*editor, "pushButton_Cancel");
        });
        QTRY_COMPARE(AppState::instance().timeStampUser(1), QString("anna"));
        press(b.screen, "pushButton_Search");
        QTRY_COMPARE(tableRows(b.table()),
                     (QStringList{"4/3/2017 07:00:00|4/3/2017 08:30:00|1.5", "4/3/2017 13:05:09|4/3/2017 15:20:09|2.25",
                                  "4/3/2017 16:00:00|Open|0.75"}));
        QCOMPARE(labelText(b.screen, "label_TotalTime"), QString("Total Time: 3.75"));
        b.messages.expect("Please select a time before continuing");
        press(b.screen, "pushButton_Remove");
        selectRow(b.table(), 1);
        press(b.screen, "pushButton_Edit");
        press(b.screen, "pushButton_Add");
        const QString second = "4/3/2017 13:05:09 4/3/2017 15:20:09";
        QCOMPARE(handedOver,
                 (QStringList{"anna 2017 " + second + ' ' + SecondStart + ' ' + SecondEnd, "anna 2017   0 0"}));

        // Ticking All searches again at once, for every user.
        child<QCheckBox>(&b.screen, "checkBox_All")->click();
        QVERIFY(!b.box("comboBox_UserList")->isEnabled());
        QVERIFY(!child<QAbstractButton>(&b.screen, "pushButton_Add")->isEnabled());
        QTRY_COMPARE(tableRows(b.table()), (QStringList{"anna|4/3/2017 07:00:00|4/3/2017 08:30:00|1.5",
                                                        "bob|4/3/2017 13:05:09|4/3/2017 15:20:09|2.25"}));
        QCOMPARE(labelText(b.screen, "label_TotalTime"), QString("Total Time: 3.75"));
        selectRow(b.table(), 1);
        press(b.screen, "pushButton_Edit");
        QCOMPARE(handedOver.last(), "bob 2017 " + second + ' ' + SecondStart + ' ' + SecondEnd);
        const QString question = "Are you sure you would like to remove:\nbob " + second + " 2.25?";
        b.messages.expectCancelThenYes(question);
        b.messages.expect("Date Removed");
        selectRow(b.table(), 1);
        press(b.screen, "pushButton_Remove");
        press(b.screen, "pushButton_Remove");
        QTRY_VERIFY(b.messages.pending().isEmpty());
        QCOMPARE(b.server.lastArguments("RemoveTimeStamp"), (QStringList{"bob", SecondStart, SecondEnd, "2.25"}));
        QCOMPARE(b.server.commands().filter("Remove").size(), 1);
        QTRY_COMPARE(b.server.commands().filter("TimeStamps"),
                     (QStringList{"GetUserTimeStamps", "GetUserTimeStamps", "GetUserTimeStamps", "GetAllUserTimeStamps",
                                  "GetAllUserTimeStamps", "GetAllUserTimeStamps"}));
        QCOMPARE(b.messages.unexpected(), QStringList());
    }
};

class TimeStampEditorDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        resetClient();
        ClockText::setNowForTesting(QDateTime({2019, 1, 15}, {12, 0, 0}));
        AppState::instance().setTimeStampUser("anna", 2017);
    }
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void cleanupTestCase() { ClockText::setNowForTesting({}); }

    // A period before the browser's first year still finds its year, in any
    // locale. Only the start hour changes: the old times go out exactly as
    // handed over, the new ones to the minute.
    void correctsThePeriodHandedOver()
    {
        QLocale::setDefault(QLocale("de_DE"));
        const QDateTime start({2016, 12, 31}, {23, 59, 59});
        const QDateTime end({2017, 4, 3}, {17, 0, 0});
        AppState::instance().setTimeStampEdit("shown start", "shown end", start.toSecsSinceEpoch(),
                                              end.toSecsSinceEpoch());
        Editor e;
        e.screen.show();
        QCOMPARE(e.box("comboBox_Year")->count(), 4);

        e.box("comboBox_Hour")->setCurrentText("14");
        e.messages.expect("Time Saved");
        e.server.answer("EditTimeStamp", wire::frame("AddTimeStamp"));
        waitForLink(e.screen);
        press(e.screen, "pushButton_Submit");
        QTRY_VERIFY(!e.screen.isVisible());
        QCOMPARE(e.server.lastArguments("EditTimeStamp"),
                 (QStringList{"anna", unixText(start.date(), {14, 59}), unixText(end.date(), {17, 0}),
                              QString::number(start.toSecsSinceEpoch()), QString::number(end.toSecsSinceEpoch())}));
        QCOMPARE(e.messages.unexpected(), QStringList());
        QCOMPARE(stateFields(&AppState::timeStampUser, 2) + stateFields(&AppState::timeStampEdit, 4),
                 (QStringList{"", "0", "", "", "0", "0"}));
    }

    // Today at midnight to start with; a day the year lacks is refused.
    void addsANewPeriod()
    {
        ClockText::setNowForTesting(QDateTime({2020, 3, 10}, {12, 0, 0}));
        AppState::instance().setTimeStampEdit(QString(), QString(), 0, 0);
        Editor e;
        QStringList shown;
        for (const char *part : {"Month", "Day", "Year", "Hour", "Minute"})
            shown << e.box(QString("comboBox_") + part)->currentText();
        QCOMPARE(shown, (QStringList{"03", "10", "2020", "00", "00"}));
        e.box("comboBox_Month")->setCurrentText("02");
        e.box("comboBox_Day")->setCurrentText("29");
        e.box("comboBox_EndMonth")->setCurrentText("02");
        e.box("comboBox_EndDay")->setCurrentText("29");
        e.box("comboBox_EndHour")->setCurrentText("09");
        e.box("comboBox_Year")->setCurrentText("2019");
        e.messages.expect("Please select a valid date");
        press(e.screen, "pushButton_Submit");
        e.box("comboBox_Year")->setCurrentText("2020");
        press(e.screen, "pushButton_Submit");
        QTRY_COMPARE(e.server.commands(), QStringList{"AddTimeStamp"});
        QCOMPARE(e.server.lastArguments("AddTimeStamp"),
                 (QStringList{"anna", unixText({2020, 2, 29}, {0, 0}), unixText({2020, 2, 29}, {9, 0})}));
        QCOMPARE(e.messages.unexpected() + e.messages.pending(), QStringList());
    }
};

SCREEN_TESTS_MAIN(ClockOverviewDialogTest, TimeStampBrowserDialogTest, TimeStampEditorDialogTest)
#include "tst_timekeeping.moc"
