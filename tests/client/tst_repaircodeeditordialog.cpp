#include "management/repaircodeeditordialog.h"
#include "screens.h"

namespace {

struct Editor : ScreenTest<RepairCodeEditorDialog>
{
    QComboBox *category() { return child<QComboBox>(&screen, "comboBox_Cata"); }
    QLineEdit *field(const char *name) { return child<QLineEdit>(&screen, name); }
    QTextEdit *description() { return child<QTextEdit>(&screen, "textEdit_RepairDesc"); }
    void fill(const QString &code, const QString &type, const QString &text)
    {
        field("lineEdit_RepairCode")->setText(code);
        field("lineEdit_RepairType")->setText(type);
        description()->setPlainText(text);
    }
};

} // namespace

class RepairCodeEditorDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        resetClient();
        AppState::instance().setEditingCode(false);
        AppState::instance().setEditCode("FER", "FEC9", "Weld", "Weld the lid");
    }

    // Choosing a category replaces whatever was typed with its prefix.
    void categoryPutsItsPrefix()
    {
        Editor e;
        QCOMPARE(e.category()->currentText(), QString("Front End Repair"));
        QCOMPARE(e.field("lineEdit_RepairCode")->text(), QString("FEC"));
        QStringList prefixes;
        for (const char *chosen : {"Roll Off Repair", "Kestrel Disposal", "Front End Repair"}) {
            e.field("lineEdit_RepairCode")->setText("typed");
            e.category()->setCurrentText(chosen);
            prefixes << e.field("lineEdit_RepairCode")->text();
        }
        QCOMPARE(prefixes, (QStringList{"ROC", "KEC", "FEC"}));
        QVERIFY(e.messages.shown().isEmpty());
    }

    // A refused code leaves the entries for another try; a taken one closes.
    void addSendsTheCategoryAndClosesWhenTaken()
    {
        Editor e;
        e.category()->setCurrentText("Roll Off Repair");
        e.fill("ROC7", "Patch", "\n\n");
        e.server.answer("AddRepairCode", wire::frame("RepairCode Already Used"));
        e.server.answer("AddRepairCode", wire::frame("AddRepairCode"));
        e.messages.expect("Repair Code Already in DataBase");
        e.messages.expect("RepairCode Added");
        press(e.screen, "pushButton_Submit");
        QTRY_COMPARE(e.messages.shown().size(), 1);
        QVERIFY(e.screen.isVisible());
        press(e.screen, "pushButton_Submit");
        QTRY_VERIFY(!e.screen.isVisible());
        const QString add = "AddRepairCode(Roll Off Repair, ROC7, Patch, \n\n)";
        QCOMPARE(e.server.calls(), (QStringList{add, add}));
        QCOMPARE(e.messages.unexpected(), QStringList());
    }

    // The locked category is the one of the list the code came from, and
    // the edit names that list by its key.
    void editShowsTheCodeOfItsList_data()
    {
        QTest::addColumn<QString>("listKey");
        QTest::addColumn<QString>("category");
        QTest::newRow("front end") << "FER"
                                   << "Front End Repair";
        QTest::newRow("roll off") << "ROR"
                                  << "Roll Off Repair";
        QTest::newRow("kestrel") << "KD"
                                 << "Kestrel Disposal";
    }

    void editShowsTheCodeOfItsList()
    {
        QFETCH(QString, listKey);
        QFETCH(QString, category);
        AppState::instance().setEditingCode(true);
        AppState::instance().setEditCode(listKey, "X12", "Weld", "Weld the lid");
        Editor e;
        QTRY_COMPARE(e.field("lineEdit_RepairCode")->text(), QString("X12"));
        QCOMPARE(e.category()->currentText(), category);
        QVERIFY(!e.category()->isEnabled());
        QCOMPARE(e.field("lineEdit_RepairType")->text(), QString("Weld"));
        QCOMPARE(e.description()->toPlainText(), QString("Weld the lid"));
        e.field("lineEdit_RepairType")->setText("Weld twice");
        e.server.answer("EditRepairCode", wire::frame("EditRepairCodeNotFound"));
        e.server.answer("EditRepairCode", wire::frame("EditRepairCode"));
        e.messages.expect("Repair Code Not Found");
        e.messages.expect("Repair Code Complete");
        press(e.screen, "pushButton_Submit");
        QTRY_COMPARE(e.messages.shown().size(), 1);
        QVERIFY(e.screen.isVisible());
        press(e.screen, "pushButton_Submit");
        QTRY_VERIFY(!e.screen.isVisible());
        QCOMPARE(e.server.lastArguments("EditRepairCode"), (QStringList{listKey, "X12", "Weld twice", "Weld the lid"}));
        QCOMPARE(e.messages.unexpected(), QStringList());
    }
};

QTEST_MAIN(RepairCodeEditorDialogTest)
#include "tst_repaircodeeditordialog.moc"
