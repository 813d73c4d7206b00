#include "management/departmentsdialog.h"
#include "screens.h"

namespace {

struct Departments : ScreenTest<DepartmentsDialog>
{
    Departments()
    {
        server.answer("GetDepartments", wire::frame("GetDepartments", QStringList{"Shop", "Yard"}));
        QTRY_COMPARE(combo()->count(), 2);
    }
    QComboBox *combo() { return child<QComboBox>(&screen, "comboBox_Remove"); }
    QLineEdit *name() { return child<QLineEdit>(&screen, "lineEdit_Add"); }
};

} // namespace

class DepartmentsDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetClient(); }

    // Blanks are warned about once each, on every keystroke, and still sent.
    void addWarnsOfBlanksThenReloads()
    {
        Departments d;
        press(d.screen, "pushButton_Add");
        QTest::keyClicks(d.name(), "a b ");
        QCOMPARE(d.messages.shownTexts(),
                 (QStringList{"No department entered", "No Spaces", "No Spaces", "No Spaces", "No Spaces"}));
        d.server.answer("AddDepartment", wire::frame("AddDepartment"));
        d.server.answer("GetDepartments", wire::frame("GetDepartments", QStringList{"a b ", "Shop", "Yard"}));
        press(d.screen, "pushButton_Add");
        QTRY_COMPARE(d.combo()->count(), 3);
        QCOMPARE(d.messages.shownTexts().last(), QString("Department Has Been Added"));
        QCOMPARE(d.name()->text(), QString("a b "));
        QCOMPARE(d.server.calls(), (QStringList{"GetDepartments()", "AddDepartment(a b )", "GetDepartments()"}));
    }

    void removeAsksFirst()
    {
        Departments d;
        d.combo()->setCurrentText("Yard");
        const QString question = "Are you sure you would like to remove: Yard";
        d.messages.expect(question, QMessageBox::No);
        press(d.screen, "pushButton_Remove");
        QCOMPARE(d.messages.shown().first().defaultButton, QMessageBox::No);
        d.server.answer("RemoveDepartment", wire::frame("Error"));
        d.server.answer("RemoveDepartment", wire::frame("RemoveDepartment"));
        d.server.answer("GetDepartments", wire::frame("GetDepartments", QStringList()));
        d.messages.expect(question, QMessageBox::Yes);
        d.messages.expect("Error Error");
        press(d.screen, "pushButton_Remove");
        QTRY_COMPARE(d.messages.shown().size(), 3);
        d.messages.expect(question, QMessageBox::Yes);
        d.messages.expect("Department Removed");
        d.messages.expect("No department selected");
        press(d.screen, "pushButton_Remove");
        QTRY_COMPARE(d.combo()->count(), 0);
        press(d.screen, "pushButton_Remove");
        QCOMPARE(d.messages.unexpected(), QStringList());
        QCOMPARE(d.server.calls(), (QStringList{"GetDepartments()", "RemoveDepartment(Yard)", "RemoveDepartment(Yard)",
                                                "GetDepartments()"}));
    }
};

QTEST_MAIN(DepartmentsDialogTest)
#include "tst_departmentsdialog.moc"
