#include "screens.h"
#include "views/binorderrecorddialog.h"

namespace {

const QString Order = "Front End Repair, KD12, 7";
const QString DeletionSwitchedOff
    = "This function has been disabled to prevent problems for development.\n"
      "This function has been tested and is working and will be enabled on the final product";

QByteArray repairLines()
{
    return textFrame("BinRepairInfo", {"4", "2", "FEC1", "abc weld", "1:30", "anna", "FEC2", "paint", "0:15", "bob"});
}

struct Record : ScreenTest<BinOrderRecordDialog>
{
    QTableView *table() { return child<QTableView>(&screen, "tableView"); }
    QStringList ticked()
    {
        QStringList names;
        for (const QCheckBox *check : child<QWidget>(&screen, "groupBox_Checks")->findChildren<QCheckBox *>())
            if (check->isChecked())
                names << check->text();
        return names;
    }
};

} // namespace

class BinOrderRecordDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        resetClient();
        AppState::instance().setViewBin("Front End Repair", "KD12", 7, "bob");
    }

    void checksTimeAndLinesComeOneAfterTheOther()
    {
        Record r;
        r.server.answer("GetChecksList", textFrame("GetCheckList", {"30", "2.5"}));
        r.server.answer("GetBinTime", textFrame("GetBinTime", {"1.75"}));
        r.server.answer("GetBinRepairInfo", repairLines());
        QCOMPARE(r.ticked(), QStringList());
        QTRY_COMPARE(tableRows(r.table()), (QStringList{"FEC1|abc weld|1:30|anna", "FEC2|paint|0:15|bob"}));
        QCOMPARE(r.server.calls(), (QStringList{"GetChecksList(" + Order + ")", "GetBinTime(bob, " + Order + ")",
                                                "GetBinRepairInfo(bob, " + Order + ")"}));
        QCOMPARE(child<QLineEdit>(&r.screen, "lineEdit_LidSize")->text(), QString("30"));
        QCOMPARE(child<QLineEdit>(&r.screen, "lineEdit_LidWidth")->text(), QString("2.5"));
        QCOMPARE(r.ticked().size(), 8);
        QCOMPARE(labelText(r.screen, "label_TotalTime"), QString("Total Time: 1.75"));
        QVERIFY(!child<QAbstractButton>(&r.screen, "pushButton_Search")->isVisible());

        // The filter is a regular expression over every column, ignoring case.
        auto *filter = child<QLineEdit>(&r.screen, "lineEdit");
        for (const char *text : {"a.c", "ABC"}) {
            filter->setText(text);
            QCOMPARE(tableRows(r.table()), QStringList{"FEC1|abc weld|1:30|anna"});
        }
        filter->clear();
        QCOMPARE(tableRows(r.table()).size(), 2);

        // Deleting is switched off: it only explains, and nothing is sent.
        r.messages.expect("Please select a repair before deleting");
        r.messages.expect(DeletionSwitchedOff);
        press(r.screen, "pushButton_Delete");
        selectRow(r.table(), 1);
        press(r.screen, "pushButton_Delete");
        // A deletion's answer reloads the lines; an unknown reply is an error.
        r.messages.expect("Repair Deleted");
        r.messages.expect("Error");
        r.server.send(wire::frame("PermDeleteBin"));
        r.server.send(wire::frame("Whatever"));
        QTRY_COMPARE(r.server.commands().size(), 4);
        QCOMPARE(r.server.commands().last(), QString("GetBinRepairInfo"));
        QTRY_COMPARE(r.messages.pending(), QStringList());
        QCOMPARE(r.messages.unexpected(), QStringList());

        press(r.screen, "pushButton_Back");
        QVERIFY(!r.screen.isVisible());
        QTRY_COMPARE(r.server.openConnections(), 0);
        QCOMPARE(r.messages.shown().size(), 4);
    }
};

QTEST_MAIN(BinOrderRecordDialogTest)
#include "tst_binorderrecorddialog.moc"
