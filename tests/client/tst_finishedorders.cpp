#include "screens.h"
#include "views/binorderrecorddialog.h"
#include "views/customorderrecorddialog.h"
#include "views/finishedordersdialog.h"

namespace {

// anna's front-end orders KD1 (repair 3) and KD12 (repair "x", not a
// number), bob's KD7 whose date list runs short, and carol with none.
QByteArray binOrders()
{
    return wire::frame("GetFERInfoView", QString("3"), QString("anna"), QStringList{"KD1", "KD12"},
                       QStringList{"3", "x"}, QStringList{"3/7/2016", "4/1/2016"}, QString("bob"), QStringList{"KD7"},
                       QStringList{"12"}, QStringList{}, QString("carol"), QStringList{}, QStringList{}, QStringList{});
}

// carol's job 31 for Acme, then job 32 whose customer IDs run short.
QByteArray customOrders()
{
    return wire::frame("GetCustomInfoView", QString("1"), QString("carol"), QStringList{"31", "32"},
                       QStringList{"Weld", "Paint"}, QStringList{"Acme", "Bolt"}, QStringList{"C-9"},
                       QStringList{"3/7/2016", "3/8/2016"});
}

const QStringList BinRows{"KD1|3|3/7/2016|anna", "KD12|x|4/1/2016|anna", "KD7|12||bob"};
const QStringList CustomRows{"31|Acme|C-9|Weld|carol|3/7/2016", "32|Bolt||Paint|carol|3/8/2016"};

struct Browser : ScreenTest<FinishedOrdersDialog>
{
    Browser(const QStringList &users = {"anna", "bob"})
    {
        server.answer("GetListOfUserOrders", wire::frame("ListOfUserOrders", users));
        QTRY_COMPARE(combo("comboBox_User")->count(), users.size() + 1);
    }
    QCheckBox *box(const char *name) { return child<QCheckBox>(&screen, name); }
    QComboBox *combo(const char *name) { return child<QComboBox>(&screen, name); }
    QTableView *table() { return child<QTableView>(&screen, "tableView"); }
    QLineEdit *filter() { return child<QLineEdit>(&screen, "lineEdit"); }
    void tick(const char *name, const QByteArray &list)
    {
        // The list's reply tag is the name of its request.
        server.answer(wire::FieldReader(list).string(), list);
        const QAbstractItemModel *shown = table()->model();
        box(name)->click();
        QTRY_VERIFY(table()->model() != shown);
    }
    QStringList ticked()
    {
        QStringList names;
        for (const char *name : {"checkBox_FrontEnd", "checkBox_RollOff", "checkBox_Custom"})
            if (box(name)->isChecked())
                names << name;
        return names;
    }
};

} // namespace

class FinishedOrdersDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        resetClient();
        AppState::instance().setViewBin(QString(), QString(), 0, QString());
        AppState::instance().setViewCustom(QString(), 0, QString(), QString());
    }

    void workTypeBoxesAndCombosAskForTheirList()
    {
        Browser b;
        QCOMPARE(b.combo("comboBox_User")->currentText(), QString("All"));
        QVERIFY(!child<QAbstractButton>(&b.screen, "pushButton_Search")->isVisible());
        // No work type ticked: a combo change asks for one.
        b.messages.expect("Please select a work type");
        b.combo("comboBox_Date")->setCurrentIndex(1);

        b.box("checkBox_FrontEnd")->click();
        b.box("checkBox_FrontEnd")->click();
        QCOMPARE(b.ticked(), QStringList{"checkBox_FrontEnd"});
        b.box("checkBox_Custom")->click();
        QCOMPARE(b.ticked(), QStringList{"checkBox_Custom"});
        QCOMPARE(labelText(b.screen, "label_BinID"), QString("Customer"));
        b.combo("comboBox_User")->setCurrentText("bob");
        b.box("checkBox_RollOff")->click();
        QCOMPARE(labelText(b.screen, "label_BinID"), QString("Bin ID"));
        b.combo("comboBox_Date")->setCurrentIndex(0);
        QTRY_COMPARE(b.server.calls(),
                     (QStringList{"GetListOfUserOrders()", "GetFERInfoView(FER, All, Old To New)",
                                  "GetCustomInfoView(All, Old To New)", "GetCustomInfoView(bob, Old To New)",
                                  "GetFERInfoView(ROR, bob, Old To New)", "GetFERInfoView(ROR, bob, New To Old)"}));
        QCOMPARE(b.messages.unexpected(), QStringList());
    }

    void listsShowEveryRowAndFilterOverAllColumns()
    {
        Browser b(QStringList{});
        QCOMPARE(b.combo("comboBox_User")->count(), 1);
        b.tick("checkBox_FrontEnd", binOrders());
        QCOMPARE(tableRows(b.table()), BinRows);

        // Any column, ignoring case; an expression half typed shows nothing.
        QTest::keyClicks(b.filter(), "12");
        QCOMPARE(tableRows(b.table()), (QStringList{"KD12|x|4/1/2016|anna", "KD7|12||bob"}));
        b.filter()->setText("BO");
        QCOMPARE(tableRows(b.table()), QStringList{"KD7|12||bob"});
        b.filter()->setText("[a");
        QCOMPARE(tableRows(b.table()), QStringList());
        QCOMPARE(b.filter()->text(), QString("[a"));

        // A new list comes unfiltered, though the text stays.
        b.tick("checkBox_Custom", customOrders());
        QCOMPARE(tableRows(b.table()), CustomRows);
        b.filter()->clear();
        QCOMPARE(tableRows(b.table()), CustomRows);

        // The hidden Search selects the first cell with exactly the text, case and all.
        QMetaObject::invokeMethod(&b.screen, "on_pushButton_Search_clicked");
        b.filter()->setText("bolt");
        QMetaObject::invokeMethod(&b.screen, "on_pushButton_Search_clicked");
        QVERIFY(!b.table()->currentIndex().isValid());
        b.filter()->setText("Bolt");
        QMetaObject::invokeMethod(&b.screen, "on_pushButton_Search_clicked");
        QCOMPARE(b.table()->currentIndex().row(), 0);
        QCOMPARE(b.messages.shownTexts(), QStringList{"Please enter text to search for"});
    }

    void aListArrivingWhileAnotherFillsShowsOnlyItself()
    {
        Browser b;
        // Enough rows to be shown over several passes of the event loop.
        wire::FrameWriter longList(QStringLiteral("GetFERInfoView"));
        longList << QString("5");
        const QStringList rows = QVector<QString>(20000, QString("KD1")).toList();
        for (int user = 0; user < 5; ++user)
            longList << QString("anna") << rows << rows << rows;
        b.box("checkBox_FrontEnd")->click();
        b.box("checkBox_Custom")->click();
        b.server.send(longList.frame() + customOrders());
        QTRY_COMPARE(tableRows(b.table()), CustomRows);
        QTest::qWait(100);
        QCOMPARE(tableRows(b.table()), CustomRows);
    }

    void continueAndRemoveSayWhatIsMissing()
    {
        Browser b;
        for (const char *button : {"pushButton_Continue", "pushButton_Delete"})
            press(b.screen, button);
        // Ticked, but no list yet: no current row.
        b.box("checkBox_FrontEnd")->click();
        press(b.screen, "pushButton_Continue");
        press(b.screen, "pushButton_Delete");
        b.box("checkBox_Custom")->click();
        press(b.screen, "pushButton_Delete");
        QCOMPARE(b.messages.shownTexts(),
                 (QStringList{"Please select a work type before continuing", "Error",
                              "Please select a row before continuing", "Please Select a Bin before Continuing",
                              "Please select a row before continuing"}));
        QVERIFY(b.watcher.seen().isEmpty());
        QCOMPARE(b.server.commands().filter("Remove"), QStringList());
    }

    // The end-to-end review opens a front-end record from the browser.
    void continueHandsTheRowToItsRecord_data()
    {
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("record");
        QTest::addColumn<QStringList>("whileOpen");
        QTest::addColumn<QStringList>("afterwards");
        const QStringList noBin{"", "", "0", ""};
        const QStringList noCustom{"", "0", "", ""};
        const QStringList job{"carol", "32", "Bolt", "Paint"};
        QTest::newRow("roll off") << binOrders() << QString("checkBox_RollOff") << QString("BinOrderRecordDialog")
                                  << QStringList{"Roll Off Repair", "KD12", "0", "anna"} + noCustom << noBin + noCustom;
        QTest::newRow("custom") << customOrders() << QString("checkBox_Custom") << QString("CustomOrderRecordDialog")
                                << noBin + job << noBin + job;
    }

    void continueHandsTheRowToItsRecord()
    {
        QFETCH(QByteArray, list);
        QFETCH(QString, box);
        QFETCH(QString, record);
        QFETCH(QStringList, whileOpen);
        QFETCH(QStringList, afterwards);
        Browser b;
        QStringList handedOver;
        bool buttonsOff = false;
        b.watcher.onScreen(record, [&](QWidget *opened) {
            handedOver = stateFields(&AppState::viewBin, 4) + stateFields(&AppState::viewCustom, 4);
            buttonsOff = !child<QAbstractButton>(&b.screen, "pushButton_Continue")->isEnabled()
                         && !child<QAbstractButton>(&b.screen, "pushButton_Back")->isEnabled()
                         && !child<QAbstractButton>(&b.screen, "pushButton_Delete")->isEnabled();
            opened->close();
        });
        b.tick(qPrintable(box), list);
        // The filter leaves one row: the second of the list.
        b.filter()->setText(box == "checkBox_Custom" ? "bolt" : "KD12");
        selectRow(b.table(), 0);
        press(b.screen, "pushButton_Continue");
        QCOMPARE(b.watcher.seen(), QStringList{record});
        QCOMPARE(handedOver, whileOpen);
        QVERIFY(buttonsOff);
        QCOMPARE(stateFields(&AppState::viewBin, 4) + stateFields(&AppState::viewCustom, 4), afterwards);
        QVERIFY(child<QAbstractButton>(&b.screen, "pushButton_Continue")->isEnabled());

        // Back leaves no viewed bin behind and closes quietly.
        AppState::instance().setViewBin("Front End Repair", "KD1", 3, "anna");
        press(b.screen, "pushButton_Back");
        QCOMPARE(AppState::instance().viewBin(1), QString());
        QCOMPARE(b.messages.shownTexts(), QStringList());
    }

    void removeAsksThenReloadsTheList_data()
    {
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("question");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<QString>("removed");
        const auto row = [](const char *name, const QByteArray &list, const char *box, const char *question, bool yes,
                            const QStringList &sent, const char *removed) {
            QTest::newRow(name) << list << QString(box) << QString(question) << yes << sent << QString(removed);
        };
        const char *binQuestion = "Are you sure you would like to remove: KD12 0 anna?";
        row("bin, yes", binOrders(), "checkBox_RollOff", binQuestion, true,
            {"RemoveBin(anna, KD12, 0)", "GetFERInfoView(ROR, All, New To Old)"}, "Bin Removed Successfully");
        row("bin, cancel", binOrders(), "checkBox_FrontEnd", binQuestion, false, {}, "");
        row("custom, yes", customOrders(), "checkBox_Custom", "Are you sure you want to remove: Bolt Paint 32 carol?",
            true, {"RemoveCustom(carol, 32, Paint, Bolt)", "GetCustomInfoView(All, New To Old)"},
            "Custom Repair Removed Successfully");
    }

    void removeAsksThenReloadsTheList()
    {
        QFETCH(QByteArray, list);
        QFETCH(QString, box);
        QFETCH(QString, question);
        QFETCH(bool, yes);
        QFETCH(QStringList, sent);
        QFETCH(QString, removed);
        Browser b;
        b.tick(qPrintable(box), list);
        const int before = b.server.requests().size();
        b.server.answer("RemoveBin", wire::frame("RemoveBin"));
        b.server.answer("RemoveCustom", wire::frame("RemoveCustom"));
        b.messages.expect(question, yes ? QMessageBox::Yes : QMessageBox::Cancel);
        if (!removed.isEmpty())
            b.messages.expect(removed);
        selectRow(b.table(), 1);
        press(b.screen, "pushButton_Delete");
        QTRY_COMPARE(b.server.calls().mid(before), sent);
        QTRY_COMPARE(b.messages.pending(), QStringList());
        QCOMPARE(b.messages.unexpected(), QStringList());
        QCOMPARE(b.messages.shown().first().defaultButton, QMessageBox::Cancel);
    }
};

namespace {

const QString Order = "Front End Repair, KD12, 7";
const QString DeletionSwitchedOff
    = "This function has been disabled to prevent problems for development.\n"
      "This function has been tested and is working and will be enabled on the final product";

QByteArray repairLines()
{
    return textFrame("BinRepairInfo", {"4", "2", "FEC1", "abc weld", "1:30", "anna", "FEC2", "paint", "0:15", "bob"});
}

struct BinRecord : ScreenTest<BinOrderRecordDialog>
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
        BinRecord r;
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

        // The filter is the browser's (tested there) over this record's lines.
        child<QLineEdit>(&r.screen, "lineEdit")->setText("a.c");
        QCOMPARE(tableRows(r.table()), QStringList{"FEC1|abc weld|1:30|anna"});
        child<QLineEdit>(&r.screen, "lineEdit")->clear();

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
        QCOMPARE(r.messages.shown().size(), 4);
    }
};

namespace {

const QString Job = "carol, 32, Bolt, Paint";

struct CustomRecord : ScreenTest<CustomOrderRecordDialog>
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
        CustomRecord r;
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

SCREEN_TESTS_MAIN(FinishedOrdersDialogTest, BinOrderRecordDialogTest, CustomOrderRecordDialogTest)
#include "tst_finishedorders.moc"
