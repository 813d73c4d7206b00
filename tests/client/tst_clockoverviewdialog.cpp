#include "screens.h"
#include "timekeeping/clockoverviewdialog.h"

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

QTEST_MAIN(ClockOverviewDialogTest)
#include "tst_clockoverviewdialog.moc"
