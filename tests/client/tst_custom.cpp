#include "core/liveclock.h"
#include "custom/customjobsheetdialog.h"
#include "custom/customjobstartdialog.h"
#include "custom/customrepairlinedialog.h"
#include "screens.h"

#include <QDate>

class CustomJobStartDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetClient(); }

    void nextNeedsTheRequiredFieldsThenHandsTheJobToItsSheet()
    {
        AppState &state = AppState::instance();
        // Leftovers of earlier orders must not describe the new job.
        state.setOrderOwner("carol");
        state.setCheckingCustom(true);
        ScreenTest<CustomJobStartDialog> t;
        t.server.answer("StartCustomRepair", wire::frame("StartCustomRepair", QString("32"), QString("5")));
        bool handedOver = false;
        t.watcher.onScreen("CustomJobSheetDialog", [&](QWidget *sheet) {
            handedOver = state.customOrderId() == 32;
            sheet->close();
        });
        const auto type = [&t](const char *field, const QString &text) {
            QTest::keyClicks(child<QLineEdit>(&t.screen, field), text);
            press(t.screen, "pushButton_Next");
        };

        // Spaces become underscores as they are typed, in the three required fields only.
        press(t.screen, "pushButton_Next");
        type("lineEdit_Worker", "Al Ray");
        type("lineEdit_JobType", "Tank repair");
        type("lineEdit_ContactName", "Ann Lee");
        type("lineEdit_Customer", "Acme Bins");
        QTRY_COMPARE(t.watcher.seen(), QStringList{"CustomJobSheetDialog"});
        QVERIFY(handedOver);

        const QDate today = QDate::currentDate();
        const QString date = QString("%1/%2/%3").arg(today.month()).arg(today.day()).arg(today.year());
        const QStringList job{date, "Al_Ray", "Tank_repair", "Acme_Bins", "", "Ann Lee", "", ""};
        QCOMPARE(t.server.calls().first(), "StartCustomRepair(anna, " + job.join(", ") + ")");
        QCOMPARE(stateFields(&AppState::customOrder, 8), job);
        QCOMPARE(state.orderOwner(), QString());
        QVERIFY(!state.checkingCustom());
        QCOMPARE(t.messages.shownTexts(), (QStringList{"Worker is required", "Job Type is required",
                                                       "Customer is required", "Customer is required"}));
    }
};

namespace {

const QString Job = "31, Tank_repair, Acme";

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

    // The end-to-end custom flow times a new job from opening to Finish.
    void newJobHandsLinesOverAndAsksBeforeRemovingOrFinishing()
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

        // Edit hands the chosen line over and clears it afterwards; with the stamp open no second start goes out.
        s.answerLines();
        s.answerLines();
        press(s.screen, "pushButton_Add");
        QTRY_COMPARE(s.table()->model()->rowCount(), 2);
        selectRow(s.table(), 1);
        press(s.screen, "pushButton_Edit");
        QCOMPARE(linesSeen, (QStringList{"||", "Paint|red paint|0:45"}));
        QCOMPARE(state.editCustomLine(1), QString());
        QTRY_COMPARE(s.server.commands(), (QStringList{"SetCustomStartTime", "GetCustomRepair", "GetCustomRepair"}));

        // Remove asks first, Cancel the default; only Yes removes.
        QTRY_COMPARE(s.table()->model()->rowCount(), 2);
        selectRow(s.table(), 0);
        const QString question = "Are you sure you want to remove: Weld seam steel plate 1:30";
        s.messages.expectCancelThenYes(question);
        s.messages.expect("Repair Removed");
        s.server.answer("RemoveCustomRepair", wire::frame("RemoveCustomRepair"));
        press(s.screen, "pushButton_Remove");
        QCOMPARE(s.messages.shown().last().defaultButton, QMessageBox::Cancel);
        press(s.screen, "pushButton_Remove");
        QTRY_COMPARE(s.server.calls().mid(3),
                     (QStringList{"RemoveCustomRepair(" + Job + ", Weld seam, steel plate, 1:30)",
                                  "GetCustomRepair(" + Job + ")"}));

        // Finish asks with Yes the default, and stops the clock.
        s.messages.expect("Are you sure you want to finish this job?", QMessageBox::Yes);
        s.messages.expect("Custom Repair Saved");
        s.server.answer("SubmitCustomRepair", wire::frame("SubmitCustomRepair"));
        press(s.screen, "pushButton_Finish");
        QTRY_VERIFY(!s.screen.isVisible());
        QCOMPARE(s.messages.shown().at(3).defaultButton, QMessageBox::Yes);
        QVERIFY(!state.liveClockRunning() && s.screen.findChild<LiveClock *>()->isFinished());
        QCOMPARE(s.messages.unexpected() + s.messages.pending(), QStringList());
    }

    // A continued job is timed on the stamp still open (on a new one when none
    // is, as in the end-to-end flow); a checked job shows its booked total and
    // is never timed (it is finished in the end-to-end flow). Cancel ends the
    // continuation or the check with the timing, so that a later job is not
    // taken for either.
    void openedJobIsTimedUnlessChecked_data()
    {
        QTest::addColumn<bool>("checking");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("continued, stamp 9 open") << false << QStringList{"GetCustomRepair", "SetCustomEndTime"};
        QTest::newRow("checked") << true << QStringList{"GetCustomRepair", "GetCustomTime"};
    }

    void openedJobIsTimedUnlessChecked()
    {
        QFETCH(bool, checking);
        QFETCH(QStringList, sent);
        AppState &state = AppState::instance();
        state.setContinueCustom(!checking);
        state.setCheckingCustom(checking);
        state.setTimeStampId(checking ? 0 : 9);
        Sheet s;
        s.answerLines();
        s.server.answer("GetCustomTime", wire::frame("GetCustomTime", QString("1.50")));
        QTRY_COMPARE(s.table()->model()->rowCount(), 2);
        if (checking)
            QTRY_COMPARE(labelText(s.screen, "label_TotalTime"), QString("Total Time: 1.5"));
        else
            QTRY_COMPARE(state.timeStampId(), 9);
        press(s.screen, "pushButton_Cancel");
        QTRY_VERIFY(!s.screen.isVisible());
        QVERIFY(!state.continueCustom() && !state.checkingCustom());
        QTRY_COMPARE(s.server.commands(), sent);
        QVERIFY(s.messages.shown().isEmpty());
    }
};

namespace {

struct Entry : ScreenTest<CustomRepairLineDialog>
{
    QComboBox *combo(const char *name) { return child<QComboBox>(&screen, name); }
    QTextEdit *description() { return child<QTextEdit>(&screen, "textEdit_RepairDescription"); }
    QTextEdit *materials() { return child<QTextEdit>(&screen, "textEdit_Materials"); }
};

} // namespace

class CustomRepairLineDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetClient(); }

    void newLineNeedsItsTextsAndCarriesTheStatusOfTheJob_data()
    {
        QTest::addColumn<bool>("checking");
        QTest::addColumn<QString>("status");
        QTest::newRow("worker's job") << false << "2";
        QTest::newRow("job under check") << true << "3";
    }

    void newLineNeedsItsTextsAndCarriesTheStatusOfTheJob()
    {
        QFETCH(bool, checking);
        QFETCH(QString, status);
        AppState::instance().setCheckingCustom(checking);
        Entry e;
        e.server.answer("AddCustomRepair", wire::frame("AddCustomRepair"));
        press(e.screen, "pushButton_Add");
        e.materials()->setPlainText("steel plate");
        press(e.screen, "pushButton_Add");
        e.description()->setPlainText("Weld seam");
        e.materials()->clear();
        press(e.screen, "pushButton_Add");
        e.materials()->setPlainText("steel plate");
        e.combo("comboBox_Hours")->setCurrentText("8");
        e.combo("comboBox_Minutes")->setCurrentText("59");
        press(e.screen, "pushButton_Add");
        QTRY_VERIFY(!e.screen.isVisible());
        QCOMPARE(e.server.calls(), QStringList{"AddCustomRepair(Weld seam, steel plate, 8, 59, 31, " + status
                                               + ", anna, Tank_repair, Acme)"});
        QCOMPARE(e.messages.shownTexts(),
                 (QStringList{"Repair Description is required", "Repair Description is required",
                              "Materials is required", "Repair Saved"}));
    }

    void editedLineIsPrefilledAndSentWithTheLineBefore_data()
    {
        QTest::addColumn<QString>("time");
        QTest::addColumn<int>("minutesIndex");
        QTest::addColumn<QString>("sentMinutes");
        QTest::newRow("1:30") << "1:30" << 30 << "30";
        // "05" is not among the choices: no minutes are current, and the line keeps its own.
        QTest::newRow("1:05") << "1:05" << -1 << "05";
    }

    void editedLineIsPrefilledAndSentWithTheLineBefore()
    {
        QFETCH(QString, time);
        QFETCH(int, minutesIndex);
        QFETCH(QString, sentMinutes);
        AppState::instance().setEditCustomLine("Weld seam", "old plate", time);
        Entry e;
        e.server.answer("EditCustomRepair", wire::frame("EditCustomRepair"));
        QTRY_COMPARE(e.description()->toPlainText(), QString("Weld seam"));
        QCOMPARE(e.materials()->toPlainText(), QString("old plate"));
        QCOMPARE(e.combo("comboBox_Hours")->currentText(), QString("1"));
        QCOMPARE(e.combo("comboBox_Minutes")->currentIndex(), minutesIndex);

        e.description()->setPlainText("Weld lid");
        press(e.screen, "pushButton_Add");
        QTRY_VERIFY(!e.screen.isVisible());
        QCOMPARE(e.server.calls(),
                 QStringList{QString("EditCustomRepair(31, Tank_repair, Acme, Weld lid, old plate, 1, %1, "
                                     "Weld seam, old plate, %2)")
                                 .arg(sentMinutes, time)});
        QCOMPARE(e.messages.shownTexts(), QStringList{"Repair Edit Saved"});
    }

    void addStaysDisabledWhileEitherTextIsTooLongAndCancelLeaves()
    {
        Entry e;
        const struct
        {
            QTextEdit *edit;
            int length;
            bool addEnabled;
        } steps[] = {{e.materials(), 512, true},
                     {e.materials(), 513, false},
                     {e.description(), 600, false},
                     // The materials fit again, but the description still does not.
                     {e.materials(), 512, false},
                     {e.description(), 9, true}};
        for (const auto &step : steps) {
            step.edit->setPlainText(QString(step.length, 'x'));
            QCOMPARE(child<QAbstractButton>(&e.screen, "pushButton_Add")->isEnabled(), step.addEnabled);
        }
        QCOMPARE(e.messages.shownTexts(),
                 (QStringList{"Too many characters: 513/512", "Too many characters: 600/512"}));

        press(e.screen, "pushButton_Cancel");
        QVERIFY(!e.screen.isVisible());
        QVERIFY(e.server.requests().isEmpty());
    }
};

SCREEN_TESTS_MAIN(CustomJobStartDialogTest, CustomJobSheetDialogTest, CustomRepairLineDialogTest)
#include "tst_custom.moc"
