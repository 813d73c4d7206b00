#include "screens.h"
#include "timekeeping/clockoverviewdialog.h"

namespace {

QString unixText(const QDate &date, const QTime &time)
{
    return QString::number(QDateTime(date, time, Qt::LocalTime).toSecsSinceEpoch());
}

// anna in since 4/3/2017 07:00:00, bob out, a nameless record, carol never clocked.
QByteArray clockStates()
{
    return textFrame("GetClockStat", {"4", "anna", unixText({2017, 4, 3}, {7, 0, 0}), "0", "In", "bob",
                                      unixText({2017, 4, 2}, {7, 0, 0}), unixText({2017, 4, 2}, {15, 30, 0}), "Out", "",
                                      "0", "0", "Out", "carol", "0", "0", "Out"});
}

struct Overview : ScreenTest<ClockOverviewDialog>
{
    QTableView *table() { return child<QTableView>(&screen, "tableView"); }
    QStringList row(int row)
    {
        QStringList texts;
        for (int column = 0; column < 4; ++column)
            texts << table()->model()->index(row, column).data().toString();
        return texts;
    }
};

} // namespace

class ClockOverviewDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetClient(); }

    void listsClockStatesByFilter()
    {
        Overview o;
        o.server.answer("GetDepartments", wire::frame("GetDepartments", QStringList{"Paint", "Weld"}));
        o.server.answer("GetClockStat", clockStates());
        QTRY_COMPARE(o.table()->model() ? o.table()->model()->rowCount() : 0, 3);
        QCOMPARE(o.row(0), (QStringList{"anna", "4/3/2017 07:00:00", "", "In"}));
        QCOMPARE(o.row(1), (QStringList{"bob", "4/2/2017 07:00:00", "4/2/2017 15:30:00", "Out"}));
        QCOMPARE(o.row(2), (QStringList{"carol", "", "", "Out"}));

        child<QComboBox>(&o.screen, "comboBox_Status")->setCurrentText("In");
        child<QComboBox>(&o.screen, "comboBox_Department")->setCurrentText("Weld");
        QTRY_COMPARE(o.server.calls(), (QStringList{"GetDepartments()", "GetClockStat(All, All)",
                                                    "GetClockStat(In, All)", "GetClockStat(In, Weld)"}));
        QVERIFY(o.messages.shown().isEmpty());
    }

    void clockQuestionFollowsTheRowsState_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("out") << 0 << int(QMessageBox::Yes) << QStringList{"ClockOut(anna)", "GetClockStat(All, All)"};
        QTest::newRow("in") << 2 << int(QMessageBox::Yes) << QStringList{"ClockIn(carol)", "GetClockStat(All, All)"};
        QTest::newRow("no") << 2 << int(QMessageBox::No) << QStringList();
    }

    void clockQuestionFollowsTheRowsState()
    {
        QFETCH(int, row);
        QFETCH(int, answer);
        QFETCH(QStringList, sent);
        Overview o;
        o.server.answer("GetDepartments", wire::frame("GetDepartments", QStringList()));
        o.server.answer("GetClockStat", clockStates());
        o.server.answer("ClockIn", wire::frame("ClockIn"));
        o.server.answer("ClockOut", wire::frame("ClockOut"));
        QTRY_COMPARE(o.table()->model() ? o.table()->model()->rowCount() : 0, 3);
        o.messages.expect("Please select a user before continuing");
        press(o.screen, "pushButton_Clock");
        o.messages.expect(row == 0 ? "Are you sure you would like to Clock Out anna 4/3/2017 07:00:00 ?"
                                   : "Are you sure you would like to Clock In carol  ?",
                          QMessageBox::StandardButton(answer));
        selectRow(o.table(), row);
        press(o.screen, "pushButton_Clock");
        QTRY_COMPARE(o.server.calls().mid(2), sent);
        QCOMPARE(o.messages.unexpected() + o.messages.pending(), QStringList());
        QCOMPARE(o.messages.shown().last().defaultButton, QMessageBox::No);
    }
};

QTEST_MAIN(ClockOverviewDialogTest)
#include "tst_clockoverviewdialog.moc"
