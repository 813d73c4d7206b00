#include "appstate.h"
#include "fakeserver.h"
#include "ferdialog1.h"
#include "frame.h"
#include "messagescript.h"
#include "screenwatcher.h"

#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace {

const QString FrontEndPrompt = "eg(KD1234)\nBin ID:";

QString label(QWidget &dialog) { return dialog.findChild<QLabel *>("label_ID")->text(); }
QComboBox *sizes(QWidget &dialog) { return dialog.findChild<QComboBox *>("comboBox_BinSize"); }
void press(QWidget &dialog, const char *name) { dialog.findChild<QPushButton *>(name)->click(); }

QStringList currentBin()
{
    const AppState &state = AppState::instance();
    return {state.currentBin(1), state.currentBin(2), state.currentBin(3), state.currentBin(4)};
}

// The intake shows the server's proposal KD1001, code-list key FER.
void open(FakeServer &server, FerDialog1 &dialog)
{
    QTRY_COMPARE(server.commands(), QStringList{"GetNewBinId"});
    server.send(wire::frame("NewBinID", QString("KD1001"), QString("FER")));
    QTRY_COMPARE(label(dialog), QString("ID KD1001"));
}

} // namespace

class FerDialog1Test : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        AppState &state = AppState::instance();
        state.setUser("anna", "digest");
        state.setWorkType("Front End Repair");
        // Left over from another user's order that was continued and submitted.
        state.setOrderOwner("bob");
        state.setOrderStatus(3);
    }

    void opensOnTheProposedBinWithTheChoicesOfTheWorkType()
    {
        MessageScript messages;
        AppState::instance().setWorkType("Roll Off Repair");
        FakeServer server;
        FerDialog1 dialog;
        open(server, dialog);
        QCOMPARE(server.requests().first().arguments(), (QStringList{"Roll Off Repair", "anna"}));
        QCOMPARE(sizes(dialog)->itemText(7), QString("50"));
        QCOMPARE(dialog.findChild<QComboBox *>("comboBox_Addit_Info")->itemText(2), QString("Enclosed"));
        const QDate today = QDate::currentDate();
        QCOMPARE(dialog.findChild<QLabel *>("label_Date")->text(),
                 QString("%1-%2-%3").arg(today.day()).arg(today.month()).arg(today.year()));
        QVERIFY(messages.shown().isEmpty());
    }

    void unknownWorkTypeOffersNothing()
    {
        MessageScript messages;
        messages.expect("Work Type Error");
        messages.expect("WorkType Error");
        AppState::instance().setWorkType("Custom");
        FakeServer server;
        FerDialog1 dialog;
        QCOMPARE(sizes(dialog)->count(), 0);
        press(dialog, "pushButton_Edit");
        QVERIFY(messages.asked().isEmpty());
        QCOMPARE(messages.unexpected() + messages.pending(), QStringList());
    }

    void enterStartsANewOrderAndHandsOverToThePreCheck()
    {
        MessageScript messages;
        FakeServer server;
        server.answer("MakeRepairId", wire::frame("NewRepairId", qint32(42)));
        server.answer("StoreCurrentInfo", wire::frame("InfoSaved"));
        FerDialog1 dialog;
        open(server, dialog);
        ScreenWatcher watcher;
        bool intakeHidden = false;
        watcher.onScreen("PreCheckDialog", [&](QWidget *screen) {
            intakeHidden = !dialog.isVisible();
            screen->close();
        });
        sizes(dialog)->setCurrentText("6");
        dialog.findChild<QComboBox *>("comboBox_Addit_Info")->setCurrentText("Slant");
        press(dialog, "pushButton_Enter");

        QTRY_COMPARE(watcher.seen(), QStringList{"PreCheckDialog"});
        QVERIFY(intakeHidden && !dialog.isVisible());
        QCOMPARE(server.commands(), (QStringList{"GetNewBinId", "MakeRepairId", "StoreCurrentInfo"}));
        QCOMPARE(server.requests().at(1).arguments(), (QStringList{"ID KD1001", "Front End Repair"}));
        QCOMPARE(server.requests().at(2).arguments(),
                 (QStringList{"anna", "Front End Repair", "KD1001", "6", "42", "Slant"}));
        QCOMPARE(currentBin(), (QStringList{"KD1001", "6", "FER", "42"}));
        // A new order is the worker's own and starts at the beginning.
        QCOMPARE(AppState::instance().orderOwner(), QString());
        QCOMPARE(AppState::instance().orderStatus(), 1);
        QTRY_COMPARE(server.openConnections(), 0);
        QVERIFY(messages.shown().isEmpty());
    }

    void editRefusesBadBinIds_data()
    {
        QTest::addColumn<QString>("workType");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("lower-case kd") << "Front End Repair" << "kd1234" << "Bin ID can only start with KD";
        QTest::newRow("shorter than KD") << "Front End Repair" << "K" << "Bin ID can only start with KD";
        QTest::newRow("blank inside") << "Front End Repair" << "KD 1234" << "No spaces in Bin ID";
        QTest::newRow("cancelled") << "Front End Repair" << "" << "";
        QTest::newRow("lower-case ror") << "Roll Off Repair" << "ror20168211" << "Bin ID can only start with ROR";
        QTest::newRow("shorter than ROR") << "Roll Off Repair" << "RO" << "Bin ID can only start with ROR";
    }

    void editRefusesBadBinIds()
    {
        QFETCH(QString, workType);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        MessageScript messages;
        messages.expectText(workType == "Roll Off Repair" ? "eg(ror20168211)\nBin ID:" : FrontEndPrompt, typed);
        if (!message.isEmpty())
            messages.expect(message);
        AppState::instance().setWorkType(workType);
        FakeServer server;
        FerDialog1 dialog;
        open(server, dialog);
        press(dialog, "pushButton_Edit");
        QCOMPARE(messages.asked().first().title, QString("Search Bin ID"));
        QCOMPARE(messages.unexpected() + messages.pending(), QStringList());
        // Nothing went out: the next request on the link is the one Enter sends.
        press(dialog, "pushButton_Enter");
        QVERIFY(server.waitForRequest("MakeRepairId") >= 0);
        QCOMPARE(server.commands(), (QStringList{"GetNewBinId", "MakeRepairId"}));
    }

    void binFoundStartsTheOrderWithTheServersSize_data()
    {
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("selected");
        QTest::newRow("offered size is selected") << "4" << "4";
        QTest::newRow("unknown size leaves the choice") << "5" << "8";
    }

    void binFoundStartsTheOrderWithTheServersSize()
    {
        QFETCH(QString, size);
        QFETCH(QString, selected);
        MessageScript messages;
        messages.expectText(FrontEndPrompt, "KD77");
        messages.expect("KD77 12 " + size);
        FakeServer server;
        server.answer("FindBin", wire::frame("BinFound", QString("KD77"), QString("12"), size));
        FerDialog1 dialog;
        open(server, dialog);
        sizes(dialog)->setCurrentText("8");
        press(dialog, "pushButton_Edit");
        QVERIFY(server.waitForRequest("StoreCurrentInfo") >= 0);
        QCOMPARE(server.requests().at(1).arguments(), (QStringList{"anna", "Front End Repair", "KD77"}));
        QCOMPARE(server.requests().at(2).arguments(),
                 (QStringList{"anna", "Front End Repair", "KD77", size, "12", "None"}));
        QCOMPARE(label(dialog), QString("ID KD77"));
        QCOMPARE(sizes(dialog)->currentText(), selected);
        QCOMPARE(currentBin(), (QStringList{"KD77", size, "FER", "12"}));
        QCOMPARE(AppState::instance().orderOwner(), QString());
        QCOMPARE(messages.unexpected(), QStringList());
    }

    void binNotFoundIsAddedOnlyOnYes()
    {
        const QString question = "The Bin ID you are looking for is not in the DataBase. Would you like to add it in?";
        MessageScript messages;
        for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
            messages.expectText(FrontEndPrompt, "KD5");
            messages.expect(question, answer);
        }
        FakeServer server;
        server.answer("FindBin", wire::frame("BinNotFound", QString("KD5")));
        server.answer("FindBin", wire::frame("BinNotFound", QString("KD5")));
        FerDialog1 dialog;
        open(server, dialog);
        press(dialog, "pushButton_Edit");
        QTRY_COMPARE(messages.shown().size(), 1);
        sizes(dialog)->setCurrentText("3");
        press(dialog, "pushButton_Edit");
        QVERIFY(server.waitForRequest("StoreCurrentInfo") >= 0);
        QCOMPARE(server.commands(), (QStringList{"GetNewBinId", "FindBin", "FindBin", "StoreCurrentInfo"}));
        QCOMPARE(server.requests().last().arguments(), (QStringList{"anna", "Front End Repair", "KD5", "3", "1", "None"}));
        QCOMPARE(currentBin(), (QStringList{"KD5", "3", "FER", "1"}));
        QCOMPARE(AppState::instance().orderOwner(), QString());
        QCOMPARE(messages.unexpected(), QStringList());
    }

    void binInProgressIsContinuedUnlessNo()
    {
        const QString question = "This bin is already in progress.\nWould you like to continue?";
        MessageScript messages;
        for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
            messages.expectText(FrontEndPrompt, "KD9");
            messages.expect(question, answer);
        }
        FakeServer server;
        server.answer("FindBin", wire::frame("BinInProgress", QString("KD9")));
        server.answer("FindBin", wire::frame("BinInProgress", QString("KD9")));
        FerDialog1 dialog;
        open(server, dialog);
        ScreenWatcher watcher;
        QStringList whileContinuing;
        watcher.onScreen("ContinueDialog", [&](QWidget *screen) {
            const AppState &state = AppState::instance();
            whileContinuing << QString::number(state.continueBin()) << state.continueBinId()
                            << QString::number(dialog.isVisible());
            screen->close();
        });
        press(dialog, "pushButton_Edit");
        QTRY_COMPARE(messages.shown().size(), 1);
        QCOMPARE(messages.shown().first().defaultButton, QMessageBox::No);
        QVERIFY(dialog.isVisible());

        press(dialog, "pushButton_Edit");
        QTRY_COMPARE(watcher.seen(), QStringList{"ContinueDialog"});
        QCOMPARE(whileContinuing, (QStringList{"1", "KD9", "0"}));
        QVERIFY(!AppState::instance().continueBin());
        QCOMPARE(AppState::instance().continueBinId(), QString());
        QVERIFY(!dialog.isVisible());
        QTRY_COMPARE(server.openConnections(), 0);
        QCOMPARE(messages.unexpected(), QStringList());
    }

    void unknownAndShortRepliesAreShownBehindError2()
    {
        MessageScript messages;
        messages.expect("Error2Surprise");
        messages.expect("Error2NewBinID");
        FakeServer server;
        FerDialog1 dialog;
        open(server, dialog);
        server.send(wire::frame("Surprise") + wire::frame("NewBinID"));
        QTRY_COMPARE(messages.shown().size(), 2);
        QCOMPARE(messages.unexpected(), QStringList());
        QCOMPARE(label(dialog), QString("ID KD1001"));
    }
};

QTEST_MAIN(FerDialog1Test)
#include "tst_ferdialog1.moc"
