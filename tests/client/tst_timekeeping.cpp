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
QByteArray clockStates()
{
    return textFrame("GetClockStat", {"3", "anna", unixText({2017, 4, 3}, {7, 0, 0}), "0", "In", "", "0", "0", "Out",
                                      "carol", "0", "0", "Out"});
}

} // namespace

class ClockOverviewDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetClient(); }

    void clocksTheChosenUser_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("in: out") << 0 << int(QMessageBox::Yes)
                                 << QStringList{"ClockOut(anna)", "GetClockStat(In, Weld)"};
        QTest::newRow("out: in") << 1 << int(QMessageBox::Yes)
                                 << QStringList{"ClockIn(carol)", "GetClockStat(In, Weld)"};
        QTest::newRow("no") << 1 << int(QMessageBox::No) << QStringList();
    }

    // Times of "0" show as none; the filters ask again; the answer comes
    // from the row's state.
    void clocksTheChosenUser()
    {
        QFETCH(int, row);
        QFETCH(int, answer);
        QFETCH(QStringList, sent);
        ScreenTest<ClockOverviewDialog> o;
        o.server.answer("GetDepartments", wire::frame("GetDepartments", QStringList{"Paint", "Weld"}));
        for (int i = 0; i < 4; ++i)
            o.server.answer("GetClockStat", clockStates());
        o.server.answer("ClockIn", wire::frame("ClockIn"));
        o.server.answer("ClockOut", wire::frame("ClockOut"));
        auto *table = child<QTableView>(&o.screen, "tableView");
        QTRY_VERIFY(table->model());
        child<QComboBox>(&o.screen, "comboBox_Status")->setCurrentText("In");
        child<QComboBox>(&o.screen, "comboBox_Department")->setCurrentText("Weld");
        QTRY_COMPARE(o.server.calls(), (QStringList{"GetDepartments()", "GetClockStat(All, All)",
                                                    "GetClockStat(In, All)", "GetClockStat(In, Weld)"}));
        QTRY_COMPARE(table->model()->rowCount(), 2);
        QCOMPARE(table->model()->index(0, 1).data().toString() + '|' + table->model()->index(0, 2).data().toString(),
                 QString("4/3/2017 07:00:00|"));

        o.messages.expect("Please select a user before continuing");
        press(o.screen, "pushButton_Clock");
        o.messages.expect(row == 0 ? "Are you sure you would like to Clock Out anna 4/3/2017 07:00:00 ?"
                                   : "Are you sure you would like to Clock In carol  ?",
                          QMessageBox::StandardButton(answer));
        selectRow(table, row);
        press(o.screen, "pushButton_Clock");
        QTRY_COMPARE(o.server.calls().mid(4), sent);
        QCOMPARE(o.messages.unexpected() + o.messages.pending(), QStringList());
        QCOMPARE(o.messages.shown().last().defaultButton, QMessageBox::No);
    }
};

namespace {

quint32 unixTime(const QDate &date, const QTime &time)
{
    return quint32(QDateTime(date, time, Qt::LocalTime).toSecsSinceEpoch());
}

QString number(quint32 value)
{
    return QString::number(value);
}

// Three periods of 3 April 2017, the last one still open.
const quint32 FirstStart = unixTime({2017, 4, 3}, {7, 0, 0});
const quint32 FirstEnd = unixTime({2017, 4, 3}, {8, 30, 0});
const quint32 SecondStart = unixTime({2017, 4, 3}, {13, 5, 9});
const quint32 SecondEnd = unixTime({2017, 4, 3}, {15, 20, 9});
const quint32 OpenStart = unixTime({2017, 4, 3}, {16, 0, 0});

struct Browser : ScreenTest<TimeStampBrowserDialog>
{
    QComboBox *box(const char *name) { return child<QComboBox>(&screen, name); }
    QTableView *table() { return child<QTableView>(&screen, "tableView"); }
    int rowCount() { return table()->model() ? table()->model()->rowCount() : 0; }
    void select(const char *name, const QString &text) { box(name)->setCurrentText(text); }
};

// anna and bob, anna's periods starting in 2016.
void answerUsers(FakeServer &server)
{
    server.answer("GetListOfTimeStampUsers", wire::frame("GetListOfTimeStampUsers", QStringList{"anna", "bob"}));
    server.answer("GetTimeStampUserLast",
                  textFrame("GetTimeStampUserLast", {number(unixTime({2016, 5, 1}, {9, 0, 0}))}));
}

QByteArray annasPeriods()
{
    return wire::frame("GetUserTimeStamps", QStringList{number(FirstStart), number(SecondStart), number(OpenStart)},
                       QStringList{number(FirstEnd), number(SecondEnd), "0"}, QStringList{"1.50", "2.25", "0"});
}

QByteArray everyonesPeriods()
{
    return wire::frame("GetAllUserTimeStamps", QString("2"), QString("anna"), QStringList{number(FirstStart)},
                       QStringList{number(FirstEnd)}, QStringList{"1.5"}, QString("bob"),
                       QStringList{number(SecondStart)}, QStringList{number(SecondEnd)}, QStringList{"2.25"});
}

} // namespace

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
        QTest::addColumn<QStringList>("startDate");
        QTest::addColumn<QStringList>("endDate");
        QTest::addColumn<QStringList>("days");
        QTest::newRow("spring") << QDateTime({2019, 3, 20}, {10, 0, 0}) << QStringList{"2019", "3", "6"}
                                << QStringList{"2019", "3", "20"} << QStringList{"31", "31"};
        QTest::newRow("across the year's end") << QDateTime({2019, 1, 5}, {10, 0, 0}) << QStringList{"2018", "12", "22"}
                                               << QStringList{"2019", "1", "5"} << QStringList{"31", "31"};
        QTest::newRow("into a leap February") << QDateTime({2020, 3, 10}, {10, 0, 0}) << QStringList{"2020", "2", "25"}
                                              << QStringList{"2020", "3", "10"} << QStringList{"29", "31"};
    }

    // The year list then starts at the user's first year, the chosen year kept.
    void searchesTheLastFourteenDays()
    {
        QFETCH(QDateTime, now);
        QFETCH(QStringList, startDate);
        QFETCH(QStringList, endDate);
        QFETCH(QStringList, days);
        ClockText::setNowForTesting(now);
        Browser b;
        answerUsers(b.server);
        QTRY_COMPARE(b.server.lastArguments("GetTimeStampUserLast"), QStringList{"anna"});
        QTRY_COMPARE(b.box("comboBox_Year")->itemText(0), QString("2016"));
        QCOMPARE(b.box("comboBox_Year")->count(), now.date().year() - 2015);
        QCOMPARE((QStringList{b.box("comboBox_Year")->currentText(), b.box("comboBox_Month")->currentText(),
                              b.box("comboBox_Day")->currentText()}),
                 startDate);
        QCOMPARE((QStringList{b.box("comboBox_EndYear")->currentText(), b.box("comboBox_EndMonth")->currentText(),
                              b.box("comboBox_EndDay")->currentText()}),
                 endDate);
        QCOMPARE((QStringList{QString::number(b.box("comboBox_Day")->count()),
                              QString::number(b.box("comboBox_EndDay")->count())}),
                 days);
        QCOMPARE(stateFields(&AppState::timeStampUser, 2), (QStringList{"anna", "2016"}));

        press(b.screen, "pushButton_Search");
        QTRY_COMPARE(
            b.server.lastArguments("GetUserTimeStamps"),
            (QStringList{
                "anna", number(unixTime({startDate[0].toInt(), startDate[1].toInt(), startDate[2].toInt()}, {0, 0, 0})),
                number(unixTime({endDate[0].toInt(), endDate[1].toInt(), endDate[2].toInt()}, {23, 59, 59})),
                "New To Old"}));
    }

    // Totals read 1.50 as 1.5; the open period counts nothing.
    void showsPeriodsWithTheirTotal()
    {
        Browser b;
        answerUsers(b.server);
        b.server.answer("GetUserTimeStamps", annasPeriods());
        b.server.answer("GetAllUserTimeStamps", everyonesPeriods());
        QTRY_COMPARE(AppState::instance().timeStampUser(1), QString("anna"));
        press(b.screen, "pushButton_Search");
        QTRY_COMPARE(b.rowCount(), 3);
        QCOMPARE(tableRows(b.table()),
                 (QStringList{"4/3/2017 07:00:00|4/3/2017 08:30:00|1.5", "4/3/2017 13:05:09|4/3/2017 15:20:09|2.25",
                              "4/3/2017 16:00:00|Open|0"}));
        QCOMPARE(labelText(b.screen, "label_TotalTime"), QString("Total Time: 3.75"));

        // Ticking All searches again at once, for every user.
        child<QCheckBox>(&b.screen, "checkBox_All")->click();
        QVERIFY(!b.box("comboBox_UserList")->isEnabled());
        QVERIFY(!child<QAbstractButton>(&b.screen, "pushButton_Add")->isEnabled());
        QTRY_COMPARE(b.rowCount(), 2);
        QCOMPARE(tableRows(b.table()).last(), QString("bob|4/3/2017 13:05:09|4/3/2017 15:20:09|2.25"));
        QCOMPARE(labelText(b.screen, "label_TotalTime"), QString("Total Time: 3.75"));
        QCOMPARE(b.server.commands().filter("TimeStamps"), (QStringList{"GetUserTimeStamps", "GetAllUserTimeStamps"}));
        QVERIFY(b.messages.shown().isEmpty());
    }

    void editAndRemoveActOnTheRowsPeriod_data()
    {
        QTest::addColumn<bool>("allUsers");
        QTest::addColumn<QString>("user");
        QTest::newRow("one user") << false << "anna";
        QTest::newRow("all users") << true << "bob";
    }

    // Whatever the user list shows; the editor gets the user and the first
    // year on every run, even after one that cleared them.
    void editAndRemoveActOnTheRowsPeriod()
    {
        QFETCH(bool, allUsers);
        QFETCH(QString, user);
        Browser b;
        answerUsers(b.server);
        b.server.answer(allUsers ? "GetAllUserTimeStamps" : "GetUserTimeStamps",
                        allUsers ? everyonesPeriods() : annasPeriods());
        QStringList handedOver;
        b.watcher.onScreen("TimeStampEditorDialog", [&handedOver](QWidget *editor) {
            handedOver
                << (stateFields(&AppState::timeStampUser, 2) + stateFields(&AppState::timeStampEdit, 4)).join(' ');
            press(*editor, "pushButton_Cancel");
        });
        QTRY_COMPARE(AppState::instance().timeStampUser(1), QString("anna"));
        if (allUsers)
            child<QCheckBox>(&b.screen, "checkBox_All")->click();
        else
            press(b.screen, "pushButton_Search");
        QTRY_VERIFY(b.rowCount() > 1);

        b.messages.expect("Please select a time before continuing");
        press(b.screen, "pushButton_Remove");
        selectRow(b.table(), 1);
        press(b.screen, "pushButton_Edit");
        if (!allUsers)
            press(b.screen, "pushButton_Add");
        QTRY_COMPARE(handedOver.size(), allUsers ? 1 : 2);
        QCOMPARE(handedOver.first(),
                 user + " 2016 4/3/2017 13:05:09 4/3/2017 15:20:09 " + number(SecondStart) + ' ' + number(SecondEnd));
        if (!allUsers)
            QCOMPARE(handedOver.last(), QString("anna 2016   0 0"));

        const QString question
            = "Are you sure you would like to remove:\n" + user + " 4/3/2017 13:05:09 4/3/2017 15:20:09 2.25?";
        b.messages.expect(question, QMessageBox::Cancel);
        b.messages.expect(question, QMessageBox::Yes);
        b.messages.expect("Date Removed");
        b.server.answer("RemoveTimeStamp", wire::frame("RemoveTimeStamp"));
        selectRow(b.table(), 1);
        press(b.screen, "pushButton_Remove");
        press(b.screen, "pushButton_Remove");
        QTRY_VERIFY(b.messages.pending().isEmpty());
        QCOMPARE(b.server.lastArguments("RemoveTimeStamp"),
                 (QStringList{user, number(SecondStart), number(SecondEnd), "2.25"}));
        QCOMPARE(b.server.commands().filter("Remove").size(), 1);
        // Every change is searched for again: after each editor run and the removal.
        QTRY_COMPARE(b.server.commands().filter("TimeStamps").size(), allUsers ? 3 : 4);
        QCOMPARE(b.messages.unexpected(), QStringList());
    }
};

namespace {

struct Editor : ScreenTest<TimeStampEditorDialog>
{
    QComboBox *box(const char *name) { return child<QComboBox>(&screen, name); }
    QStringList shown(const QStringList &names)
    {
        QStringList texts;
        for (const QString &name : names)
            texts << child<QComboBox>(&screen, name)->currentText();
        return texts;
    }
};

const QStringList StartBoxes{"comboBox_Month", "comboBox_Day", "comboBox_Year", "comboBox_Hour", "comboBox_Minute"};
const QStringList EndBoxes{"comboBox_EndMonth", "comboBox_EndDay", "comboBox_EndYear", "comboBox_EndHour",
                           "comboBox_EndMinute"};

} // namespace

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

    void correctsThePeriodHandedOver_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QDateTime>("start");
        QTest::addColumn<QStringList>("shownStart");
        QTest::addColumn<QStringList>("years");
        QTest::newRow("english") << "en_US" << QDateTime({2017, 4, 3}, {13, 5, 9})
                                 << QStringList{"04", "3", "2017", "13", "05"} << QStringList{"2017", "2018", "2019"};
        QTest::newRow("german") << "de_DE" << QDateTime({2017, 4, 3}, {13, 5, 9})
                                << QStringList{"04", "3", "2017", "13", "05"} << QStringList{"2017", "2018", "2019"};
        // A period before the browser's first year still finds its year.
        QTest::newRow("year's last second")
            << "de_DE" << QDateTime({2016, 12, 31}, {23, 59, 59}) << QStringList{"12", "31", "2016", "23", "59"}
            << QStringList{"2016", "2017", "2018", "2019"};
    }

    // Only the start hour changes: the old times go out exactly as handed
    // over, the new ones to the minute.
    void correctsThePeriodHandedOver()
    {
        QFETCH(QString, locale);
        QFETCH(QDateTime, start);
        QFETCH(QStringList, shownStart);
        QFETCH(QStringList, years);
        QLocale::setDefault(QLocale(locale));
        const QDateTime end({2017, 4, 3}, {17, 0, 0});
        AppState::instance().setTimeStampEdit("shown start", "shown end", start.toSecsSinceEpoch(),
                                              end.toSecsSinceEpoch());
        Editor e;
        e.screen.show();
        QCOMPARE(e.shown(StartBoxes), shownStart);
        QCOMPARE(e.shown(EndBoxes), (QStringList{"04", "3", "2017", "17", "00"}));
        QStringList yearItems;
        for (int i = 0; i < e.box("comboBox_Year")->count(); ++i)
            yearItems << e.box("comboBox_Year")->itemText(i);
        QCOMPARE(yearItems, years);

        e.box("comboBox_Hour")->setCurrentText("14");
        e.messages.expect("Error: Error");
        e.messages.expect("Time Saved");
        e.server.answer("EditTimeStamp", wire::frame("Error"));
        e.server.answer("EditTimeStamp", wire::frame("AddTimeStamp"));
        waitForLink(e.screen);
        press(e.screen, "pushButton_Submit");
        QTRY_COMPARE(e.messages.shownTexts().size(), 1);
        QVERIFY(e.screen.isVisible());
        press(e.screen, "pushButton_Submit");
        QTRY_VERIFY(!e.screen.isVisible());
        QCOMPARE(
            e.server.lastArguments("EditTimeStamp"),
            (QStringList{"anna", unixText(start.date(), {14, shownStart[4].toInt()}), unixText(end.date(), {17, 0}),
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
        QCOMPARE(e.shown(StartBoxes), (QStringList{"03", "10", "2020", "00", "00"}));
        e.box("comboBox_Month")->setCurrentText("02");
        QCOMPARE(e.box("comboBox_Day")->count(), 29);
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
