#include "management/orderreviewdialog.h"
#include "screens.h"

namespace {

QByteArray users(const QStringList &names, const QStringList &flags)
{
    return wire::frame("ListOfUserOrders", names, flags);
}

// Alternating workers and their order lists.
template<typename... Entries>
QByteArray allWork(const Entries &...entries)
{
    return wire::frame("GetAllWork", QString("x"), QString::number(sizeof...(entries) / 2), entries...);
}

// carol's jobs as three columns.
QByteArray allCustomWork(const QStringList &numbers, const QStringList &customers, const QStringList &jobs)
{
    return wire::frame("GetAllCustomWork", QString("1"), QString("carol"), numbers, customers, jobs);
}

struct Review : ScreenTest<OrderReviewDialog>
{
    QListWidget *users() { return child<QListWidget>(&screen, "listWidget_Users"); }
    QListWidget *orders() { return child<QListWidget>(&screen, "listWidget_Orders"); }
    QCheckBox *box(const char *name) { return child<QCheckBox>(&screen, name); }
    void clickUser(int row)
    {
        QTest::mouseClick(users()->viewport(), Qt::LeftButton, {},
                          users()->visualItemRect(users()->item(row)).center());
    }
    void choose(int row)
    {
        orders()->setCurrentRow(row);
        press(screen, "pushButton_Continue");
    }
};

// The review groups as a sheet reads them: check, confirm, custom.
QStringList reviewState()
{
    const AppState &s = AppState::instance();
    return QStringList{s.checkingOrder() ? "checking" : ""} + stateFields(&AppState::checkOrder, 4)
           + stateFields(&AppState::confirmOrder, 4)
           + QStringList{s.checkingCustom() ? "checking" : "", QString::number(s.customOrderId())}
           + stateFields(&AppState::customOrder, 8) + QStringList{s.workType()};
}

const QStringList CheckSet{"checking", "anna", "KD7", "58", "FER"};
const QStringList ConfirmSet{"bob", "ROR3", "61", "ROR"};
const QStringList CustomSet{"checking", "14", "3-5", "carol", "Weld", "Acme", "C-9", "Dan", "555", "d@acme"};
const QStringList NoCheck{"", "", "", "0", ""};
const QStringList NoConfirm{"", "", "0", ""};
const QStringList NoCustom{"", "0", "", "", "", "", "", "", "", ""};

} // namespace

class OrderReviewDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        resetClient();
        AppState::instance().setCustomOrder({}, {}, {}, {}, {}, {}, {}, {});
        AppState::instance().setCustomOrderId(0);
        AppState::instance().setWorkType(QString());
    }

    void checkModeListsBinOrdersOnly()
    {
        Review r;
        // The flags run short: carol is listed unflagged.
        r.server.answer("GetListOfUserOrders", users({"anna", "bob", "carol"}, {"Yes", "No"}));
        r.server.answer("GetAllWork",
                        allWork(QString("anna"), QStringList{"KD1 6", "KD7 4"}, QString("bob"), QStringList{"KD7 4"}));
        QTRY_COMPARE(itemTexts(r.orders()), (QStringList{"KD1 6", "KD7 4", "KD7 4"}));
        QCOMPARE(itemTexts(r.users()), (QStringList{"*anna", "bob", "carol"}));
        QVERIFY(!r.box("checkBox_Custom")->isVisible() && !r.box("checkBox_Custom")->isEnabled());
        // No worker chosen: anna's KD7 goes out under anna, though bob lists the same text after her.
        r.choose(1);
        // Show All lists everything; choosing a worker unchecks it.
        r.box("checkBox_ShowAll")->click();
        r.clickUser(0);
        QVERIFY(!r.box("checkBox_ShowAll")->isChecked());
        r.box("checkBox_ShowAll")->click();
        r.box("checkBox_ShowAll")->click();
        QTRY_COMPARE(r.server.calls(),
                     (QStringList{"GetListOfUserOrders(4)", "GetAllWork(All, 4)", "GetBinForCheck(anna, KD7 4)",
                                  "GetAllWork(All, 4)", "ListWorkOrders(anna)", "GetAllWork(All, 4)"}));
        QVERIFY(r.messages.shown().isEmpty());
    }

    void confirmModeListsBinAndCustomWork()
    {
        AppState::instance().setConfirmingOrders(true);
        Review r;
        r.server.answer("GetListOfUserOrders", users({"anna"}, {"No"}));
        r.server.answer("CheckCustomWork", users({"carol"}, {"Yes"}));
        r.server.answer("GetAllCustomWork", allCustomWork({"12", "13"}, {"Acme", "Bolt"}, {"Weld", "Paint"}));
        r.server.answer(
            "ListCustomWorkToConfirm",
            textFrame("ListCustomWorkToConfirm", {"x", "2", "007", "Acme", "Weld", "No. 9", "Bolt", "Paint"}));
        QVERIFY(!r.box("checkBox_ShowAll")->isVisible() && r.box("checkBox_Custom")->isVisible());
        QTRY_COMPARE(r.server.calls().size(), 2);
        r.box("checkBox_Custom")->click();
        QTRY_COMPARE(itemTexts(r.orders()), (QStringList{"12 Acme Weld", "13 Bolt Paint"}));
        r.clickUser(0);
        // Job numbers are shown as numbers: "007" is 7, a text is 0.
        QTRY_COMPARE(itemTexts(r.orders()), (QStringList{"7 Acme Weld", "0 Bolt Paint"}));
        QCOMPARE(r.server.calls(), (QStringList{"GetListOfUserOrders(5)", "GetAllWork(All, 5)", "CheckCustomWork()",
                                                "GetAllCustomWork()", "ListCustomWorkToConfirm(carol)"}));
        QVERIFY(r.messages.shown().isEmpty());
    }

    void continueSaysWhatIsMissing()
    {
        Review r;
        r.server.answer("GetListOfUserOrders", users({"anna"}, {"No"}));
        r.server.answer("GetAllWork", allWork());
        r.server.answer("ListWorkOrders", wire::frame("ListWorkOrders", QStringList{"KD1 6"}));
        r.server.answer("GetAllWork", allWork(QString("anna"), QStringList{"KD1 6", "KD2 6"}));
        QVERIFY(r.server.waitForRequest("GetAllWork"));
        press(r.screen, "pushButton_Continue");

        r.clickUser(0);
        QTRY_COMPARE(r.orders()->count(), 1);
        r.users()->clearSelection();
        r.choose(0);

        r.users()->setCurrentRow(0);
        r.box("checkBox_ShowAll")->click();
        QTRY_COMPARE(r.orders()->count(), 2);
        r.choose(0);
        QCOMPARE(r.messages.shownTexts(),
                 (QStringList{"Please select a work order before continuing", "There is no work",
                              "Please uncheck Show All before continuing"}));
        QCOMPARE(r.server.commands().filter("GetBin"), QStringList());
    }

    void chosenOrderIsHandedToItsSheet_data()
    {
        QTest::addColumn<bool>("confirming");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QStringList>("handedOver");
        const QByteArray check = textFrame("GetBinForCheck", {"anna", "FER", "Front End Repair", "KD7", "58"});
        const QByteArray confirm = textFrame("GetBinForConfirmCheck", {"bob", "ROR", "Roll Off Repair", "ROR3", "61"});
        const QByteArray custom = textFrame("GetCustomForCheck",
                                            {"x", "14", "Weld", "Acme", "3-5", "carol", "C-9", "Dan", "555", "d@acme"});
        QTest::newRow("check") << false << check << "BinRepairSheetDialog"
                               << CheckSet + NoConfirm + NoCustom + QStringList{"Front End Repair"};
        QTest::newRow("confirm") << true << confirm << "BinRepairSheetDialog"
                                 << NoCheck + ConfirmSet + NoCustom + QStringList{"Roll Off Repair"};
        QTest::newRow("custom") << true << custom << "CustomJobSheetDialog"
                                << NoCheck + NoConfirm + CustomSet + QStringList{""};
    }

    void chosenOrderIsHandedToItsSheet()
    {
        QFETCH(bool, confirming);
        QFETCH(QByteArray, reply);
        QFETCH(QString, sheet);
        QFETCH(QStringList, handedOver);
        AppState::instance().setConfirmingOrders(confirming);
        Review r;
        r.server.answer("GetListOfUserOrders", users({"anna"}, {"No"}));
        r.server.answer("GetAllWork", allWork(QString("anna"), QStringList{"KD7 4"}));
        r.server.answer("CheckCustomWork", users({"carol"}, {"No"}));
        r.server.answer("GetAllCustomWork", allCustomWork({"14"}, {"Acme"}, {"Weld"}));
        const QString command = wire::FieldReader(reply).string();
        r.server.answer(command, reply);
        QStringList whileOpen;
        r.watcher.onScreen(sheet, [&](QWidget *opened) {
            whileOpen = reviewState();
            opened->close();
        });
        QTRY_COMPARE(r.orders()->count(), 1);
        if (sheet == "CustomJobSheetDialog") {
            r.box("checkBox_Custom")->click();
            QTRY_COMPARE(itemTexts(r.orders()), QStringList{"14 Acme Weld"});
        }
        r.choose(0);
        QTRY_COMPARE(r.watcher.seen(), QStringList{sheet});
        QCOMPARE(r.server.lastArguments(command).first(),
                 sheet == "CustomJobSheetDialog" ? QString("carol") : QString("anna"));
        QCOMPARE(whileOpen, handedOver);

        // Back from the sheet the review is over, and nothing of the order is
        // left for a later sheet to take for its own.
        QVERIFY(!r.screen.isVisible());
        QCOMPARE(reviewState(), NoCheck + NoConfirm + NoCustom + QStringList{""});
        QCOMPARE(AppState::instance().confirmingOrders(), confirming);
        QCOMPARE(r.messages.unexpected(), QStringList());
    }

    void cancelClearsWhatAReviewLeft_data()
    {
        QTest::addColumn<bool>("checking");
        QTest::addColumn<bool>("checkingCustom");
        QTest::addColumn<bool>("confirmed");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("order being checked") << true << true << true << (NoCheck + ConfirmSet + CustomSet << "");
        QTest::newRow("custom job being checked")
            << false << true << true << (NoCheck + ConfirmSet + NoCustom << "Roll Off Repair");
        QTest::newRow("order being confirmed") << false << false << true << (NoCheck + NoConfirm + NoCustom << "");
        QTest::newRow("nothing opened") << false << false << false
                                        << (NoCheck + NoConfirm + NoCustom << "Roll Off Repair");
    }

    void cancelClearsWhatAReviewLeft()
    {
        QFETCH(bool, checking);
        QFETCH(bool, checkingCustom);
        QFETCH(bool, confirmed);
        QFETCH(QStringList, left);
        AppState &state = AppState::instance();
        state.setWorkType("Roll Off Repair");
        if (checking)
            state.setCheckOrder(true, "anna", "KD7", 58, "FER", "6");
        if (checkingCustom) {
            state.setCheckingCustom(true);
            state.setCustomOrder("3-5", "carol", "Weld", "Acme", "C-9", "Dan", "555", "d@acme");
            state.setCustomOrderId(14);
        }
        if (confirmed)
            state.setConfirmOrder("bob", "ROR3", 61, "ROR");
        Review r;
        waitForLink(r.screen);
        press(r.screen, "pushButton_Cancel");
        QVERIFY(!r.screen.isVisible());
        QCOMPARE(reviewState(), left);
        QVERIFY(r.messages.shown().isEmpty());
    }
};

SCREEN_TESTS_MAIN(OrderReviewDialogTest)
#include "tst_review.moc"
