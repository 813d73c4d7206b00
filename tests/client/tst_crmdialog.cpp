#include "appstate.h"
#include "crmdialog.h"
#include "fakeserver.h"
#include "frame.h"
#include "liveclock.h"
#include "messagescript.h"
#include "screenwatcher.h"

#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

namespace {

const QStringList Job{"31", "Tank_repair", "Acme"};
const QString FinishQuestion = "Are you sure you want to finish this job?";

QByteArray twoLines()
{
    return wire::frame("GetCustomRepair", QString("2"), QString("Weld seam"), QString("steel plate"),
                       QString("1:30"), QString("Paint"), QString("red paint"), QString("0:45"));
}

QString text(QWidget &sheet, const char *name) { return sheet.findChild<QLabel *>(name)->text(); }
void press(QWidget &sheet, const char *name) { sheet.findChild<QPushButton *>(name)->click(); }
QAbstractItemModel *rows(QWidget &sheet) { return sheet.findChild<QTableView *>()->model(); }
void selectRow(QWidget &sheet, int row)
{
    sheet.findChild<QTableView *>()->setCurrentIndex(rows(sheet)->index(row, 0));
}
QStringList argumentsOf(FakeServer &server, const QString &command)
{
    const int index = server.commands().lastIndexOf(command);
    return index < 0 ? QStringList{"<not sent>"} : server.requests().at(index).arguments();
}

} // namespace

class CRMDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        AppState &state = AppState::instance();
        state.setUser("anna", "digest");
        state.setCustomOrder("3/7/2016", "Al", "Tank_repair", "Acme", "C-9", "Ann", "555", "ann@acme.example");
        state.setCustomOrderId(31);
        state.setContinueCustom(false);
        state.setCheckingCustom(false);
        state.setTimeStampId(0);
    }

    void newJobIsTimedFromOpeningToFinish()
    {
        MessageScript messages;
        AppState &state = AppState::instance();
        FakeServer server;
        server.answer("SetCustomStartTime", wire::frame("SetCustomStartTime", QString("77")));
        ScreenWatcher watcher;
        QStringList linesSeen;
        watcher.onScreen("CRAddDialog", [&](QWidget *entry) {
            linesSeen << state.editCustomLine(1) + "|" + state.editCustomLine(2) + "|" + state.editCustomLine(3);
            entry->close();
        });
        CRMDialog sheet;
        QTRY_VERIFY(text(sheet, "label_TotalTime").startsWith("Total Time: 00:00:0"));
        QCOMPARE(server.commands(), QStringList{"SetCustomStartTime"});
        QCOMPARE(server.requests().first().arguments(), QStringList{"anna"} + Job);
        QCOMPARE(text(sheet, "label_Worker") + text(sheet, "label_ID"), QString("AlC-9"));

        // Add and Edit reload the lines; with the stamp open no second start goes out.
        server.answer("GetCustomRepair", twoLines());
        server.answer("GetCustomRepair", twoLines());
        press(sheet, "pushButton_Add");
        QTRY_COMPARE(rows(sheet)->rowCount(), 2);
        selectRow(sheet, 1);
        press(sheet, "pushButton_Edit");
        QCOMPARE(linesSeen, (QStringList{"||", "Paint|red paint|0:45"}));
        QCOMPARE(state.editCustomLine(1), QString());
        QTRY_COMPARE(server.commands().count("GetCustomRepair"), 2);
        QCOMPARE(argumentsOf(server, "GetCustomRepair"), Job);

        // Remove asks first, Cancel the default; only Yes removes.
        QTRY_COMPARE(rows(sheet)->rowCount(), 2);
        selectRow(sheet, 0);
        const QString question = "Are you sure you want to remove: Weld seam steel plate 1:30";
        messages.expect(question, QMessageBox::Cancel);
        messages.expect(question, QMessageBox::Yes);
        messages.expect("Repair Removed");
        server.answer("RemoveCustomRepair", wire::frame("RemoveCustomRepair"));
        press(sheet, "pushButton_Remove");
        QCOMPARE(messages.shown().last().defaultButton, QMessageBox::Cancel);
        press(sheet, "pushButton_Remove");
        QTRY_COMPARE(server.commands().count("GetCustomRepair"), 3);
        QCOMPARE(argumentsOf(server, "RemoveCustomRepair"), Job + QStringList({"Weld seam", "steel plate", "1:30"}));

        // Finish submits the job, then ends its timing, which closes the sheet.
        messages.expect(FinishQuestion, QMessageBox::Yes);
        messages.expect("Custom Repair Saved");
        server.answer("SubmitCustomRepair", wire::frame("SubmitCustomRepair"));
        server.answer("SetCustomEndTime", wire::frame("SetCustomEndTime"));
        press(sheet, "pushButton_Finish");
        QTRY_VERIFY(!sheet.isVisible());
        QCOMPARE(server.commands().mid(5), (QStringList{"SubmitCustomRepair", "SetCustomEndTime"}));
        QCOMPARE(argumentsOf(server, "SetCustomEndTime"), QStringList{"anna"} + Job + QStringList{"77"});
        QCOMPARE(state.timeStampId(), 0);
        QVERIFY(!state.liveClockRunning() && sheet.findChild<LiveClock *>()->isFinished());
        QCOMPARE(messages.unexpected(), QStringList());
    }

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
        MessageScript messages;
        AppState &state = AppState::instance();
        state.setContinueCustom(true);
        state.setTimeStampId(openStamp);
        FakeServer server;
        server.answer("GetCustomRepair", twoLines());
        server.answer("SetCustomStartTime", wire::frame("SetCustomStartTime", QString("77")));
        server.answer("SetCustomEndTime", wire::frame("SetCustomEndTime"));
        CRMDialog sheet;
        const int stamp = openStamp ? openStamp : 77;
        QTRY_COMPARE(rows(sheet)->rowCount(), 2);
        QTRY_COMPARE(state.timeStampId(), stamp);
        QCOMPARE(server.commands(), opening);

        // Cancel ends the continuation and the timing.
        press(sheet, "pushButton_Cancel");
        QVERIFY(!state.continueCustom());
        QTRY_VERIFY(!sheet.isVisible());
        QCOMPARE(argumentsOf(server, "SetCustomEndTime"),
                 QStringList{"anna"} + Job + QStringList{QString::number(stamp)});
        QVERIFY(messages.shown().isEmpty());
    }

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
        MessageScript messages;
        for (const QString &text : shown)
            messages.expect(text, QMessageBox::Yes);
        AppState &state = AppState::instance();
        state.setCheckingCustom(true);
        FakeServer server;
        server.answer("GetCustomRepair", twoLines());
        server.answer("GetCustomTime", wire::frame("GetCustomTime", QString("1.50")));
        server.answer("FinishCustomRepair", wire::frame("FinishCustomRepair"));
        CRMDialog sheet;
        QTRY_COMPARE(text(sheet, "label_TotalTime"), QString("Total Time: 1.5"));
        QCOMPARE(server.commands(), (QStringList{"GetCustomRepair", "GetCustomTime"}));

        // Leaving the check either way ends it, so that a later job is not taken for one.
        press(sheet, button.toLatin1());
        QTRY_VERIFY(!sheet.isVisible());
        QVERIFY(!state.checkingCustom());
        QTRY_COMPARE(server.openConnections(), 0);
        QCOMPARE(server.commands().mid(2), leaving);
        QCOMPARE(messages.shownTexts(), shown);
    }
};

QTEST_MAIN(CRMDialogTest)
#include "tst_crmdialog.moc"
