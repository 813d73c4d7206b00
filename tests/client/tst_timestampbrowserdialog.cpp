#include "screens.h"
#include "timekeeping/clocktext.h"
#include "timekeeping/timestampbrowserdialog.h"

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
    QStringList row(int row)
    {
        QStringList texts;
        for (int column = 0; column < table()->model()->columnCount(); ++column)
            texts << table()->model()->index(row, column).data().toString();
        return texts;
    }
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
        QCOMPARE(b.row(0), (QStringList{"4/3/2017 07:00:00", "4/3/2017 08:30:00", "1.5"}));
        QCOMPARE(b.row(1), (QStringList{"4/3/2017 13:05:09", "4/3/2017 15:20:09", "2.25"}));
        QCOMPARE(b.row(2), (QStringList{"4/3/2017 16:00:00", "Open", "0"}));
        QCOMPARE(labelText(b.screen, "label_TotalTime"), QString("Total Time: 3.75"));

        // Ticking All searches again at once, for every user.
        child<QCheckBox>(&b.screen, "checkBox_All")->click();
        QVERIFY(!b.box("comboBox_UserList")->isEnabled());
        QVERIFY(!child<QAbstractButton>(&b.screen, "pushButton_Add")->isEnabled());
        QTRY_COMPARE(b.rowCount(), 2);
        QCOMPARE(b.row(1), (QStringList{"bob", "4/3/2017 13:05:09", "4/3/2017 15:20:09", "2.25"}));
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

QTEST_MAIN(TimeStampBrowserDialogTest)
#include "tst_timestampbrowserdialog.moc"
