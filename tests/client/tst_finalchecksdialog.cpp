#include "bins/finalchecksdialog.h"
#include "screens.h"

namespace {

struct Checks : ScreenTest<FinalChecksDialog>
{
    QLineEdit *edit(const char *name) { return child<QLineEdit>(&screen, name); }
    QList<QCheckBox *> boxes()
    {
        QList<QCheckBox *> all;
        for (const char *name : {"ID", "Cracks", "LockTab", "Tracks", "Channels", "Pockets", "Guessets", "LidBridge"})
            all << child<QCheckBox>(&screen, QString("checkBox_") + name);
        return all;
    }
};

} // namespace

class FinalChecksDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        resetClient();
        AppState::instance().setCheckOrder(false, "", "", 0, "", "6");
        AppState::instance().setTimerRunning(true);
        AppState::instance().setTimeStampId(42);
    }

    void ownBinReportsEachMissingCheckThenSavesAndEndsTheTiming()
    {
        AppState &state = AppState::instance();
        state.setOrderOwner("bob");
        Checks c;
        c.server.answer("SaveChecks", wire::frame("ChecksSaved"));
        c.server.answer("SetEndTime", wire::frame("EndTimeSet"));
        waitForLink(c.screen);
        QStringList expected{"Please enter Lid Size", "Please enter Lid Tab Width"};
        for (const char *check :
             {"Bin ID", "Cracks", "Lock Tab", "Tracks", "Channels", "Pockets", "Gussets", "Lid Bridge"})
            expected << QString("Please check ") + check;

        // Each Submit reports the first gap; then that gap is filled.
        press(c.screen, "pushButton_Submit");
        c.edit("lineEdit_LidSize")->setText("20.5");
        press(c.screen, "pushButton_Submit");
        c.edit("lineEdit")->setText("1.25");
        for (QCheckBox *box : c.boxes()) {
            press(c.screen, "pushButton_Submit");
            box->setChecked(true);
        }
        QCOMPARE(c.messages.shownTexts(), expected);
        QVERIFY(c.server.requests().isEmpty());

        press(c.screen, "pushButton_Submit");
        QTRY_VERIFY(!c.screen.isVisible());
        // The owner of a continued order is the one whose checks these are; the timing is the worker's.
        QCOMPARE(c.server.calls(), (QStringList{"SaveChecks(bob, Front End Repair, KD1234, 17, 4, 20.5, 1.25)",
                                                "SetEndTime(anna, Front End Repair, KD1234, 17, 42)"}));
        QVERIFY(!state.timerRunning());
        QCOMPARE(state.timeStampId(), 0);
        QCOMPARE(state.checkOrder(5), QString("6"));
        QCOMPARE(c.messages.shownTexts().mid(10), QStringList{"Finished"});
    }

    void ownBinStartsTimingAndCancelEndsIt()
    {
        AppState &state = AppState::instance();
        state.setTimerRunning(false);
        Checks c;
        c.server.answer("SetStartTime", textFrame("StartTimeSet", {"77", "0.75"}) + wire::frame("Surprise"));
        c.server.answer("ChangeStatus", wire::frame("StatusChanged"));
        c.server.answer("SetEndTime", wire::frame("EndTimeSet"));
        QTRY_COMPARE(c.messages.shownTexts(), QStringList{"Error"});
        QVERIFY(state.timerRunning());
        QCOMPARE(state.timeStampId(), 77);
        QCOMPARE(state.elapsedHours(), 0.75f);
        QVERIFY(c.screen.isVisible());

        // Cancel hands the order back to work (status 2), then ends the timing.
        press(c.screen, "pushButton_Cancel");
        QTRY_VERIFY(!c.screen.isVisible());
        QCOMPARE(c.server.calls(),
                 (QStringList{"SetStartTime(anna, Front End Repair, KD1234, 17)", "ChangeStatus(anna, 2, KD1234, 17)",
                              "SetEndTime(anna, Front End Repair, KD1234, 17, 77)"}));
        QVERIFY(!state.timerRunning());
        QCOMPARE(state.timeStampId(), 0);
    }

    // Lengths are typed as inches; Submit names the one that is not a sensible number.
    void lidLengthsAreInches_data()
    {
        QTest::addColumn<QString>("lidSize");
        QTest::addColumn<QString>("lidTabWidth");
        QTest::addColumn<QString>("shownLidSize");
        QTest::addColumn<QString>("message");
        const QString lidSizeWrong = "Lid Size must be a number of inches, more than 0 and at most 120";
        const QString lidTabWidthWrong = "Lid Tab Width must be a number of inches, more than 0 and at most 12";
        QTest::newRow("letters are not taken") << "2O.5 in"
                                               << "1.25"
                                               << "2.5"
                                               << "Please check Bin ID";
        QTest::newRow("no length") << "0"
                                   << "1.25"
                                   << "0" << lidSizeWrong;
        QTest::newRow("too long a lid") << "121"
                                        << "1.25"
                                        << "121" << lidSizeWrong;
        QTest::newRow("a point alone") << "20.5"
                                       << "."
                                       << "20.5" << lidTabWidthWrong;
        QTest::newRow("too wide a tab") << "20.5"
                                        << "12.5"
                                        << "20.5" << lidTabWidthWrong;
    }

    void lidLengthsAreInches()
    {
        QFETCH(QString, lidSize);
        QFETCH(QString, lidTabWidth);
        QFETCH(QString, shownLidSize);
        QFETCH(QString, message);
        Checks c;
        waitForLink(c.screen);
        QTest::keyClicks(c.edit("lineEdit_LidSize"), lidSize);
        QTest::keyClicks(c.edit("lineEdit"), lidTabWidth);
        QCOMPARE(c.edit("lineEdit_LidSize")->text(), shownLidSize);
        press(c.screen, "pushButton_Submit");
        QCOMPARE(c.messages.shownTexts(), QStringList{message});
        QVERIFY(c.server.requests().isEmpty());
    }

    // Ticks a gloved finger can hit: as tall as a line of the screen's font,
    // and a press anywhere in a tick's box ticks it.
    void ticksAreLargeAndTheirBoxesPressable()
    {
        Checks c;
        for (QCheckBox *box : c.boxes()) {
            QStyleOptionButton option;
            option.initFrom(box);
            const QRect indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
            QVERIFY(indicator.height() >= QFontMetrics(c.screen.font()).height());
        }
        auto *idBox = child<QWidget>(&c.screen, "groupBox_3");
        QTest::mouseClick(idBox, Qt::LeftButton, {}, QPoint(idBox->width() - 3, idBox->height() / 2));
        QVERIFY(c.boxes().first()->isChecked());
        QTest::mouseClick(idBox, Qt::LeftButton, {}, QPoint(3, 3));
        QVERIFY(!c.boxes().first()->isChecked());
    }

    // A review never ends the worker's timing.
    void reviewShowsTheStoredChecks_data()
    {
        QTest::addColumn<bool>("checking");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("last");
        QTest::addColumn<QString>("shown");
        QTest::newRow("checking passes") << true << "pushButton_Submit"
                                         << "ChangeStatus(bob, 5, KD77, 8)"
                                         << "";
        QTest::newRow("checking cancelled") << true << "pushButton_Cancel"
                                            << ""
                                            << "";
        QTest::newRow("confirming saves") << false << "pushButton_Submit"
                                          << "SaveChecks(carl, Front End Repair, KD0001, 3, 6, 20, 1.5)"
                                          << "Finished";
    }

    void reviewShowsTheStoredChecks()
    {
        QFETCH(bool, checking);
        QFETCH(QString, button);
        QFETCH(QString, last);
        QFETCH(QString, shown);
        AppState &state = AppState::instance();
        state.setCheckOrder(checking, "bob", "KD77", 8, "FER", "6");
        state.setConfirmOrder("carl", "KD0001", 3, "FER");
        state.setConfirmingOrders(!checking);
        Checks c;
        c.server.answer("GetChecksList", textFrame("GetCheckList", {"20", "1.5"}));
        c.server.answer("ChangeStatus", wire::frame("StatusChanged"));
        c.server.answer("SaveChecks", wire::frame("ChecksSaved"));
        QTRY_COMPARE(c.edit("lineEdit_LidSize")->text(), QString("20"));
        QCOMPARE(c.edit("lineEdit")->text(), QString("1.5"));
        for (QCheckBox *box : c.boxes())
            QVERIFY(box->isChecked());

        press(c.screen, button);
        QTRY_VERIFY(!c.screen.isVisible());
        QTRY_COMPARE(c.server.openConnections(), 0);
        const QString list = QString("GetChecksList(Front End Repair, %1)").arg(checking ? "KD77, 8" : "KD0001, 3");
        QCOMPARE(c.server.calls(), last.isEmpty() ? QStringList{list} : (QStringList{list, last}));
        QCOMPARE(c.messages.shownTexts(), shown.isEmpty() ? QStringList() : QStringList{shown});
        QVERIFY(state.timerRunning());
        QCOMPARE(state.confirmingOrders(), !checking);
        // A passed check leaves nothing of the checked order but its size.
        if (checking && !last.isEmpty()) {
            QVERIFY(!state.checkingOrder());
            QCOMPARE(stateFields(&AppState::checkOrder, 5), (QStringList{"", "", "0", "", "6"}));
        }
    }
};

QTEST_MAIN(FinalChecksDialogTest)
#include "tst_finalchecksdialog.moc"
