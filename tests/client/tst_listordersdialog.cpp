#include "appstate.h"
#include "fakeserver.h"
#include "frame.h"
#include "listordersdialog.h"
#include "messagescript.h"
#include "screenwatcher.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

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

QListWidget *users(QWidget &dialog) { return dialog.findChild<QListWidget *>("listWidget_Users"); }
QListWidget *orders(QWidget &dialog) { return dialog.findChild<QListWidget *>("listWidget_Orders"); }
QCheckBox *box(QWidget &dialog, const char *name) { return dialog.findChild<QCheckBox *>(name); }
void press(QWidget &dialog, const char *name) { dialog.findChild<QPushButton *>(name)->click(); }

QStringList texts(QListWidget *list)
{
    QStringList rows;
    for (int row = 0; row < list->count(); ++row)
        rows << list->item(row)->text();
    return rows;
}

void clickRow(QListWidget *list, int row)
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

// The review groups as a sheet reads them: check, confirm, custom.
QStringList reviewState()
{
    const AppState &s = AppState::instance();
    QStringList state{s.checkingOrder() ? "checking" : "", s.checkOrder(1), s.checkOrder(2), s.checkOrder(3),
                      s.checkOrder(4),  s.confirmOrder(1), s.confirmOrder(2), s.confirmOrder(3),
                      s.confirmOrder(4), s.checkingCustom() ? "checking" : "", QString::number(s.customOrderId())};
    for (int index = 1; index <= 8; ++index)
        state << s.customOrder(index);
    return state << s.workType();
}

const QStringList CheckSet{"checking", "anna", "KD7", "58", "FER"};
const QStringList ConfirmSet{"bob", "ROR3", "61", "ROR"};
const QStringList CustomSet{"checking", "14", "3-5", "carol", "Weld", "Acme", "C-9", "Dan", "555", "d@acme"};
const QStringList NoCheck{"", "", "", "0", ""};
const QStringList NoConfirm{"", "", "0", ""};
const QStringList NoCustom{"", "0", "", "", "", "", "", "", "", ""};

} // namespace

class ListOrdersDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        AppState &state = AppState::instance();
        state.setConfirmingOrders(false);
        state.setCheckOrder(false, QString(), QString(), 0, QString(), QString());
        state.setConfirmOrder(QString(), QString(), 0, QString());
        state.setCheckingCustom(false);
        state.setCustomOrder(QString(), QString(), QString(), QString(), QString(), QString(), QString(), QString());
        state.setCustomOrderId(0);
        state.setWorkType(QString());
    }

    void checkModeListsBinOrdersOnly()
    {
        MessageScript messages;
        FakeServer server;
        // The flags run short: carol is listed unflagged.
        server.answer("GetListOfUserOrders", users({"anna", "bob", "carol"}, {"Yes", "No"}));
        server.answer("GetAllWork",
                      allWork(QString("anna"), QStringList{"KD1 6", "KD7 4"}, QString("bob"), QStringList{"KD7 4"}));
        ListOrdersDialog dialog;
        QTRY_COMPARE(texts(orders(dialog)), (QStringList{"KD1 6", "KD7 4", "KD7 4"}));
        QCOMPARE(texts(users(dialog)), (QStringList{"*anna", "bob", "carol"}));
        QCOMPARE(server.requests().at(1).frame, wire::frame("GetAllWork", QString("All"), QString("4")));
        QVERIFY(!box(dialog, "checkBox_Custom")->isVisible() && !box(dialog, "checkBox_Custom")->isEnabled());

        // No worker chosen: anna's KD7 goes out under anna, though bob lists the same text after her.
        orders(dialog)->setCurrentRow(1);
        press(dialog, "pushButton_Continue");
        QVERIFY(server.waitForRequest("GetBinForCheck") >= 0);
        QCOMPARE(server.requests().last().arguments(), (QStringList{"anna", "KD7 4"}));

        box(dialog, "checkBox_ShowAll")->click();
        QTRY_COMPARE(server.commands().count("GetAllWork"), 2);
        clickRow(users(dialog), 0);
        QVERIFY(server.waitForRequest("ListWorkOrders") >= 0);
        QVERIFY(!box(dialog, "checkBox_ShowAll")->isChecked());
        QCOMPARE(server.requests().last().arguments(), QStringList{"anna"});
        box(dialog, "checkBox_ShowAll")->click();
        box(dialog, "checkBox_ShowAll")->click();
        press(dialog, "pushButton_Cancel");
        QTRY_COMPARE(server.openConnections(), 0);
        QCOMPARE(server.commands(), (QStringList{"GetListOfUserOrders", "GetAllWork", "GetBinForCheck", "GetAllWork",
                                                 "ListWorkOrders", "GetAllWork"}));
        QVERIFY(messages.shown().isEmpty());
    }

    void confirmModeListsBinAndCustomWork()
    {
        MessageScript messages;
        AppState::instance().setConfirmingOrders(true);
        FakeServer server;
        server.answer("GetListOfUserOrders", users({"anna"}, {"No"}));
        server.answer("CheckCustomWork", users({"carol"}, {"Yes"}));
        server.answer("GetAllCustomWork", wire::frame("GetAllCustomWork", QString("1"), QString("carol"),
                                                      QStringList{"12", "13"}, QStringList{"Acme", "Bolt"},
                                                      QStringList{"Weld", "Paint"}));
        server.answer("ListCustomWorkToConfirm",
                      wire::frame("ListCustomWorkToConfirm", QString("x"), QString("2"), QString("007"),
                                  QString("Acme"), QString("Weld"), QString("No. 9"), QString("Bolt"),
                                  QString("Paint")));
        ListOrdersDialog dialog;
        QVERIFY(server.waitForRequest("GetAllWork") >= 0);
        QCOMPARE(server.requests().at(0).arguments(), QStringList{"5"});
        QCOMPARE(server.requests().at(1).arguments(), (QStringList{"All", "5"}));
        QVERIFY(!box(dialog, "checkBox_ShowAll")->isVisible() && box(dialog, "checkBox_Custom")->isVisible());

        box(dialog, "checkBox_Custom")->click();
        QTRY_COMPARE(texts(orders(dialog)), (QStringList{"12 Acme Weld", "13 Bolt Paint"}));
        clickRow(users(dialog), 0);
        QTRY_COMPARE(texts(orders(dialog)), (QStringList{"7 Acme Weld", "0 Bolt Paint"}));
        QCOMPARE(server.requests().last().arguments(), QStringList{"carol"});
        QCOMPARE(server.commands(), (QStringList{"GetListOfUserOrders", "GetAllWork", "CheckCustomWork",
                                                 "GetAllCustomWork", "ListCustomWorkToConfirm"}));
        QVERIFY(messages.shown().isEmpty());
    }

    void continueSaysWhatIsMissing()
    {
        MessageScript messages;
        messages.expect("Please select a work order before continuing");
        messages.expect("There is no work");
        messages.expect("Please uncheck Show All before continuing");
        FakeServer server;
        server.answer("GetListOfUserOrders", users({"anna"}, {"No"}));
        server.answer("GetAllWork", allWork());
        server.answer("ListWorkOrders", wire::frame("ListWorkOrders", QStringList{"KD1 6"}));
        server.answer("GetAllWork", allWork(QString("anna"), QStringList{"KD1 6", "KD2 6"}));
        ListOrdersDialog dialog;
        QVERIFY(server.waitForRequest("GetAllWork") >= 0);
        press(dialog, "pushButton_Continue");

        clickRow(users(dialog), 0);
        QTRY_COMPARE(orders(dialog)->count(), 1);
        users(dialog)->clearSelection();
        orders(dialog)->setCurrentRow(0);
        press(dialog, "pushButton_Continue");

        users(dialog)->setCurrentRow(0);
        box(dialog, "checkBox_ShowAll")->click();
        QTRY_COMPARE(orders(dialog)->count(), 2);
        orders(dialog)->setCurrentRow(0);
        press(dialog, "pushButton_Continue");
        QCOMPARE(messages.pending(), QStringList());
        QCOMPARE(messages.unexpected(), QStringList());
        QCOMPARE(server.commands().filter("GetBin"), QStringList());
    }

    void chosenOrderIsHandedToItsSheet_data()
    {
        QTest::addColumn<bool>("confirming");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QStringList>("handedOver");
        const QByteArray check = wire::frame("GetBinForCheck", QString("anna"), QString("FER"),
                                             QString("Front End Repair"), QString("KD7"), QString("58"));
        const QByteArray confirm = wire::frame("GetBinForConfirmCheck", QString("bob"), QString("ROR"),
                                               QString("Roll Off Repair"), QString("ROR3"), QString("61"));
        const QByteArray custom = wire::frame("GetCustomForCheck", QString("x"), QString("14"), QString("Weld"),
                                              QString("Acme"), QString("3-5"), QString("carol"), QString("C-9"),
                                              QString("Dan"), QString("555"), QString("d@acme"));
        QTest::newRow("check") << false << check << "FERDialog"
                               << CheckSet + NoConfirm + NoCustom + QStringList{"Front End Repair"};
        QTest::newRow("confirm") << true << confirm << "FERDialog"
                                 << NoCheck + ConfirmSet + NoCustom + QStringList{"Roll Off Repair"};
        QTest::newRow("custom") << true << custom << "CRMDialog" << NoCheck + NoConfirm + CustomSet + QStringList{""};
    }

    void chosenOrderIsHandedToItsSheet()
    {
        QFETCH(bool, confirming);
        QFETCH(QByteArray, reply);
        QFETCH(QString, sheet);
        QFETCH(QStringList, handedOver);
        MessageScript messages;
        AppState::instance().setConfirmingOrders(confirming);
        FakeServer server;
        server.answer("GetListOfUserOrders", users({"anna"}, {"No"}));
        server.answer("GetAllWork", allWork(QString("anna"), QStringList{"KD7 4"}));
        server.answer("CheckCustomWork", users({"carol"}, {"No"}));
        server.answer("GetAllCustomWork", wire::frame("GetAllCustomWork", QString("1"), QString("carol"),
                                                      QStringList{"14"}, QStringList{"Acme"}, QStringList{"Weld"}));
        const QString command = wire::FieldReader(reply).string();
        server.answer(command, reply);
        ListOrdersDialog dialog;
        ScreenWatcher watcher;
        QStringList whileOpen;
        watcher.onScreen(sheet, [&](QWidget *opened) {
            whileOpen = reviewState();
            opened->close();
        });
        QTRY_COMPARE(orders(dialog)->count(), 1);
        if (sheet == "CRMDialog") {
            box(dialog, "checkBox_Custom")->click();
            QTRY_COMPARE(texts(orders(dialog)), QStringList{"14 Acme Weld"});
        }
        orders(dialog)->setCurrentRow(0);
        press(dialog, "pushButton_Continue");
        QTRY_COMPARE(watcher.seen(), QStringList{sheet});
        QCOMPARE(server.requests().at(server.commands().indexOf(command)).arguments().first(),
                 sheet == "CRMDialog" ? QString("carol") : QString("anna"));
        QCOMPARE(whileOpen, handedOver);

        // Back from the sheet the review is over, and nothing of the order is
        // left for a later sheet to take for its own.
        QVERIFY(!dialog.isVisible());
        QCOMPARE(reviewState(), NoCheck + NoConfirm + NoCustom + QStringList{""});
        QCOMPARE(AppState::instance().confirmingOrders(), confirming);
        QTRY_COMPARE(server.openConnections(), 0);
        QCOMPARE(messages.unexpected(), QStringList());
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
        MessageScript messages;
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
        FakeServer server;
        ListOrdersDialog dialog;
        QTRY_COMPARE(server.openConnections(), 1);
        press(dialog, "pushButton_Cancel");
        QVERIFY(!dialog.isVisible());
        QCOMPARE(reviewState(), left);
        QTRY_COMPARE(server.openConnections(), 0);
        QVERIFY(messages.shown().isEmpty());
    }
};

QTEST_MAIN(ListOrdersDialogTest)
#include "tst_listordersdialog.moc"
