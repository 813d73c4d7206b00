#include "screens.h"
#include "timekeeping/clocktext.h"
#include "timekeeping/timestampeditordialog.h"

namespace {

QString unixText(const QDate &date, const QTime &time)
{
    return QString::number(QDateTime(date, time, Qt::LocalTime).toSecsSinceEpoch());
}

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

QTEST_MAIN(TimeStampEditorDialogTest)
#include "tst_timestampeditordialog.moc"
