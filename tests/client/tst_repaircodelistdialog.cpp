#include "management/repaircodelistdialog.h"
#include "screens.h"

namespace {

const QByteArray FrontEndCodes
    = textFrame("GetRepairCodesForEdit", {"2", "FEC1", "Weld", "Weld the lid", "FEC2", "Paint", "Paint it"});

struct CodeList : ScreenTest<RepairCodeListDialog>
{
    QCheckBox *box(const char *name) { return child<QCheckBox>(&screen, name); }
    QTableView *table() { return child<QTableView>(&screen, "tableView_Codes"); }
    QStringList row(int row)
    {
        const QAbstractItemModel *model = table()->model();
        return {model->index(row, 0).data().toString(), model->index(row, 1).data().toString(),
                model->index(row, 2).data().toString()};
    }
    void showFrontEndCodes()
    {
        server.answer("GetRepairCodesForEdit", FrontEndCodes);
        box("checkBox_FER")->click();
        QTRY_COMPARE(table()->model()->rowCount(), 2);
    }
};

} // namespace

class RepairCodeListDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetClient(); }

    // The boxes act as one choice; unticking the ticked one keeps its list.
    void tickingAListShowsItsCodes()
    {
        CodeList c;
        QCOMPARE(c.table()->model()->headerData(2, Qt::Horizontal).toString(), QString("Description"));
        c.showFrontEndCodes();
        QCOMPARE(c.row(1), (QStringList{"FEC2", "Paint", "Paint it"}));
        c.server.answer("GetRepairCodesForEdit", textFrame("GetRepairCodesForEdit", {"1", "ROC1", "Patch", "Floor"}));
        c.box("checkBox_ROR")->click();
        QTRY_COMPARE(c.row(0), (QStringList{"ROC1", "Patch", "Floor"}));
        QVERIFY(!c.box("checkBox_FER")->isChecked());
        c.box("checkBox_ROR")->click();
        c.box("checkBox_KD")->click();
        QTRY_COMPARE(c.server.calls().size(), 3);
        QCOMPARE(c.server.calls(), (QStringList{"GetRepairCodesForEdit(FER)", "GetRepairCodesForEdit(ROR)",
                                                "GetRepairCodesForEdit(KD)"}));
        QVERIFY(c.messages.shown().isEmpty());
    }

    void removeAsksThenReloadsTheList()
    {
        CodeList c;
        c.showFrontEndCodes();
        selectRow(c.table(), 1);
        const QString question = "Are you sure you want to remove FEC2 Paint Paint it?";
        c.messages.expect(question, QMessageBox::Cancel);
        press(c.screen, "pushButton_Remove");
        c.messages.expect(question, QMessageBox::Yes);
        c.messages.expect("Repair Code Removed");
        c.server.answer("RemoveRepairCode", wire::frame("RemoveRepairCode"));
        c.server.answer("GetRepairCodesForEdit", textFrame("GetRepairCodesForEdit", {"1", "FEC1", "Weld", "Lid"}));
        press(c.screen, "pushButton_Remove");
        QTRY_COMPARE(c.table()->model()->rowCount(), 1);
        QCOMPARE(c.server.calls(),
                 (QStringList{"GetRepairCodesForEdit(FER)", "RemoveRepairCode(FER, FEC2, Paint, Paint it)",
                              "GetRepairCodesForEdit(FER)"}));
        QCOMPARE(c.messages.unexpected(), QStringList());
        QVERIFY(c.messages.pending().isEmpty());
    }

    // The editor runs on top of the list, which keeps its codes afterwards.
    void addAndEditOpenTheEditor()
    {
        CodeList c;
        QStringList handed;
        c.watcher.onScreen("RepairCodeEditorDialog", [&](QWidget *editor) {
            handed << (AppState::instance().editingCode() ? "edit " : "add ")
                          + stateFields(&AppState::editCode, 4).join(',');
            editor->close();
        });
        c.showFrontEndCodes();
        AppState::instance().setEditCode("x", "x", "x", "x");
        press(c.screen, "pushButton_Add");
        selectRow(c.table(), 0);
        press(c.screen, "pushButton_Edit");
        QCOMPARE(handed, (QStringList{"add x,x,x,x", "edit FER,FEC1,Weld,Weld the lid"}));
        QVERIFY(c.screen.isVisible());
        QCOMPARE(c.table()->model()->rowCount(), 2);
        QCOMPARE(c.server.calls(), QStringList{"GetRepairCodesForEdit(FER)"});
    }
};

QTEST_MAIN(RepairCodeListDialogTest)
#include "tst_repaircodelistdialog.moc"
