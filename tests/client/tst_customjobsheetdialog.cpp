#include "core/liveclock.h"
#include "custom/customjobsheetdialog.h"
#include "screens.h"

namespace {

const QString Job = "31, Tank_repair, Acme";
const QString FinishQuestion = "Are you sure you want to finish this job?";

struct Sheet : ScreenTest<CustomJobSheetDialog>
{
    Sheet()
    {
        server.answer("SetCustomStartTime", wire::frame("SetCustomStartTime", QString("77")));
        server.answer("SetCustomEndTime", wire::frame("SetCustomEndTime"));
    }
    void answerLines()
    {
        server.answer("GetCustomRepair", textFrame("GetCustomRepair", {"2", "Weld seam", "steel plate", "1:30", "Paint",
                                                                       "red paint", "0:45"}));
    }
    QTableView *table() { return screen.findChild<QTableView *>(); }
};

} // namespace

class CustomJobSheetDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetClient(); }

    void newJobIsTimedFromOpeningToFinish()
    {
        AppState &state = AppState::instance();
        Sheet s;
        QStringList linesSeen;
        s.watcher.onScreen("CustomRepairLineDialog", [&](QWidget *entry) {
            linesSeen << stateFields(&AppState::editCustomLine, 3).join("|");
            entry->close();
        });
        QTRY_VERIFY(labelText(s.screen, "label_TotalTime").startsWith("Total Time: 00:00:0"));
        QCOMPARE(labelText(s.screen, "label_Worker") + labelText(s.screen, "label_ID"), QString("AlC-9"));

        // Add and Edit reload the lines; with the stamp open no second start goes out.
        s.answerLines();
        s.answerLines();
        press(s.screen, "pushButton_Add");
        QTRY_COMPARE(s.table()->model()->rowCount(), 2);
        QTRY_VERIFY(columnsShowWholeTexts(s.table()));
        selectRow(s.table(), 1);
        press(s.screen, "pushButton_Edit");
        QCOMPARE(linesSeen, (QStringList{"||", "Paint|red paint|0:45"}));
        QCOMPARE(state.editCustomLine(1), QString());
        QTRY_COMPARE(s.server.calls(), (QStringList{"SetCustomStartTime(anna, " + Job + ")",
                                                    "GetCustomRepair(" + Job + ")", "GetCustomRepair(" + Job + ")"}));

        // Remove asks first, Cancel the default; only Yes removes.
        QTRY_COMPARE(s.table()->model()->rowCount(), 2);
        selectRow(s.table(), 0);
        const QString question = "Are you sure you want to remove: Weld seam steel plate 1:30";
        s.messages.expect(question, QMessageBox::Cancel);
        s.messages.expect(question, QMessageBox::Yes);
        s.messages.expect("Repair Removed");
        s.server.answer("RemoveCustomRepair", wire::frame("RemoveCustomRepair"));
        press(s.screen, "pushButton_Remove");
        QCOMPARE(s.messages.shown().last().defaultButton, QMessageBox::Cancel);
        press(s.screen, "pushButton_Remove");
        QTRY_COMPARE(s.server.calls().mid(3),
                     (QStringList{"RemoveCustomRepair(" + Job + ", Weld seam, steel plate, 1:30)",
                                  "GetCustomRepair(" + Job + ")"}));

        // Finish submits the job, then ends its timing, which closes the sheet.
        s.messages.expect(FinishQuestion, QMessageBox::Yes);
        s.messages.expect("Custom Repair Saved");
        s.server.answer("SubmitCustomRepair", wire::frame("SubmitCustomRepair"));
        press(s.screen, "pushButton_Finish");
        QTRY_VERIFY(!s.screen.isVisible());
        QCOMPARE(s.messages.shown().at(3).defaultButton, QMessageBox::Yes);
        QCOMPARE(s.server.calls().mid(5),
                 (QStringList{"SubmitCustomRepair(" + Job + ")", "SetCustomEndTime(anna, " + Job + ", 77)"}));
        QCOMPARE(state.timeStampId(), 0);
        QVERIFY(!state.liveClockRunning() && s.screen.findChild<LiveClock *>()->isFinished());
        QCOMPARE(s.messages.unexpected() + s.messages.pending(), QStringList());
    }

    // A continued job is timed on the stamp still open, else on a new one;
    // Cancel ends the continuation and the timing.
    void continuedJobStartsTimingOnlyWithoutAnOpenStamp_data()
    {
        QTest::addColumn<int>("openStamp");
        QTest::addColumn<QStringList>("opening");
        QTest::newRow("no stamp open") << 0 << QStringList{"GetCustomRepair", "SetCustomStartTime"};
        QTest::newRow("stamp 9 open") << 9 << QStringList{"GetCustomRepair"};
    }

    void continuedJobStartsTimingOnlyWithoutAnOpenStamp()
    {
        QFETCH(int, openStamp);
        QFETCH(QStringList, opening);
        AppState &state = AppState::instance();
        state.setContinueCustom(true);
        state.setTimeStampId(openStamp);
        Sheet s;
        s.answerLines();
        const int stamp = openStamp ? openStamp : 77;
        QTRY_COMPARE(s.table()->model()->rowCount(), 2);
        QTRY_COMPARE(state.timeStampId(), stamp);
        QCOMPARE(s.server.commands(), opening);
        press(s.screen, "pushButton_Cancel");
        QVERIFY(!state.continueCustom());
        QTRY_VERIFY(!s.screen.isVisible());
        QCOMPARE(s.server.calls().last(), QString("SetCustomEndTime(anna, %1, %2)").arg(Job).arg(stamp));
        QVERIFY(s.messages.shown().isEmpty());
    }

    // Leaving a checked job either way ends the check, so that a later job is not taken for one.
    void checkedJobShowsItsTotalAndIsNeverTimed_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("leaving");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("finish") << "pushButton_Finish" << QStringList{"FinishCustomRepair"}
                                << QStringList{FinishQuestion, "Custom Repair Finished"};
        QTest::newRow("cancel") << "pushButton_Cancel" << QStringList() << QStringList();
    }

    void checkedJobShowsItsTotalAndIsNeverTimed()
    {
        QFETCH(QString, button);
        QFETCH(QStringList, leaving);
        QFETCH(QStringList, shown);
        AppState::instance().setCheckingCustom(true);
        Sheet s;
        for (const QString &text : shown)
            s.messages.expect(text, QMessageBox::Yes);
        s.answerLines();
        s.server.answer("GetCustomTime", wire::frame("GetCustomTime", QString("1.50")));
        s.server.answer("FinishCustomRepair", wire::frame("FinishCustomRepair"));
        QTRY_COMPARE(labelText(s.screen, "label_TotalTime"), QString("Total Time: 1.5"));
        press(s.screen, button);
        QTRY_VERIFY(!s.screen.isVisible());
        QVERIFY(!AppState::instance().checkingCustom());
        QTRY_COMPARE(s.server.openConnections(), 0);
        QCOMPARE(s.server.commands(), QStringList({"GetCustomRepair", "GetCustomTime"}) + leaving);
        QCOMPARE(s.messages.shownTexts(), shown);
    }
};

QTEST_MAIN(CustomJobSheetDialogTest)
#include "tst_customjobsheetdialog.moc"
