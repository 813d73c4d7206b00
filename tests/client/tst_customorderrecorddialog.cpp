#include "screens.h"
#include "views/customorderrecorddialog.h"

namespace {

const QString Job = "carol, 32, Bolt, Paint";

struct Record : ScreenTest<CustomOrderRecordDialog>
{
    QTableView *table() { return child<QTableView>(&screen, "tableView"); }
    QStringList labels()
    {
        QStringList texts;
        for (const char *name : {"label_Date", "label_JobType", "label_Customer", "label_ContactName", "label_Phone",
                                 "label_Email", "label_Total"})
            texts << labelText(screen, name);
        return texts;
    }
};

} // namespace

class CustomOrderRecordDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        resetClient();
        AppState::instance().setViewCustom("carol", 32, "Bolt", "Paint");
    }

    void showsTheJobAndItsLines()
    {
        Record r;
        const QStringList blank{"Date", "JobType:", "Customer:", "Contact Name:", "Phone:", "Email:", "Total Time: "};
        QCOMPARE(r.labels(), blank);
        r.server.answer("GetCustomInfo", textFrame("GetCustomInfo", {"3/8/2016", "Dan", "555", "d@bolt", "2.25"}));
        // The materials and times lists run short: their cells stay empty.
        r.server.answer("GetCustomInfoRepairData", wire::frame("GetCustomInfoRepairData", QStringList{"Weld", "Sand"},
                                                               QStringList{"rod"}, QStringList{"1:30"}));
        QTRY_COMPARE(tableRows(r.table()), (QStringList{"Weld|rod|1:30", "Sand||"}));
        QCOMPARE(r.server.calls(), (QStringList{"GetCustomInfo(" + Job + ")", "GetCustomInfoRepairData(" + Job + ")"}));
        QCOMPARE(r.labels(), (QStringList{"3/8/2016", "Job Type: Paint", "Customer: Bolt", "Contact Name: Dan",
                                          "Phone: 555", "Email: d@bolt", "Total Time: 2.25"}));

        child<QLineEdit>(&r.screen, "lineEdit_Search")->setText("SAND");
        QCOMPARE(tableRows(r.table()), QStringList{"Sand||"});

        r.messages.expect("Please select a row before deleting");
        press(r.screen, "pushButton_Delete");
        r.messages.expect("Custom Repair Deleted");
        r.server.send(wire::frame("PermDeleteCustom"));
        QTRY_COMPARE(r.server.commands().size(), 3);
        QCOMPARE(r.server.commands().last(), QString("GetCustomInfoRepairData"));
        QCOMPARE(r.messages.unexpected(), QStringList());
        QCOMPARE(r.messages.pending(), QStringList());
    }
};

QTEST_MAIN(CustomOrderRecordDialogTest)
#include "tst_customorderrecorddialog.moc"
