#include "appstate.h"
#include "cradddialog.h"
#include "fakeserver.h"
#include "frame.h"
#include "messagescript.h"

#include <QComboBox>
#include <QPushButton>
#include <QTextEdit>
#include <QtTest>

namespace {

QComboBox *combo(QWidget &entry, const char *name) { return entry.findChild<QComboBox *>(name); }
QTextEdit *description(QWidget &entry) { return entry.findChild<QTextEdit *>("textEdit_RepairDescription"); }
QTextEdit *materials(QWidget &entry) { return entry.findChild<QTextEdit *>("textEdit_Materials"); }
QPushButton *button(QWidget &entry, const char *name) { return entry.findChild<QPushButton *>(name); }

} // namespace

class CRAddDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        AppState &state = AppState::instance();
        state.setUser("anna", "digest");
        state.setCustomOrder("3/7/2016", "Al", "Tank_repair", "Acme", "C-9", "Ann", "555", "ann@acme.example");
        state.setCustomOrderId(31);
        state.setCheckingCustom(false);
        state.setEditCustomLine("", "", "");
    }

    void newLineNeedsItsTextsAndCarriesTheStatusOfTheJob_data()
    {
        QTest::addColumn<bool>("checking");
        QTest::addColumn<QString>("status");
        QTest::newRow("worker's job") << false << "2";
        QTest::newRow("job under check") << true << "3";
    }

    void newLineNeedsItsTextsAndCarriesTheStatusOfTheJob()
    {
        QFETCH(bool, checking);
        QFETCH(QString, status);
        AppState::instance().setCheckingCustom(checking);
        MessageScript messages;
        messages.expect("Repair Description is required");
        messages.expect("Materials is required");
        messages.expect("Repair Saved");
        FakeServer server;
        server.answer("AddCustomRepair", wire::frame("AddCustomRepair"));
        CRAddDialog entry;
        QCOMPARE(combo(entry, "comboBox_Hours")->count(), 9);
        QCOMPARE(combo(entry, "comboBox_Minutes")->count(), 60);

        materials(entry)->setPlainText("steel plate");
        button(entry, "pushButton_Add")->click();
        description(entry)->setPlainText("Weld seam");
        materials(entry)->clear();
        button(entry, "pushButton_Add")->click();
        materials(entry)->setPlainText("steel plate");
        combo(entry, "comboBox_Hours")->setCurrentText("8");
        combo(entry, "comboBox_Minutes")->setCurrentText("59");
        button(entry, "pushButton_Add")->click();
        QTRY_VERIFY(!entry.isVisible());
        QCOMPARE(server.commands(), QStringList{"AddCustomRepair"});
        QCOMPARE(server.requests().first().arguments(),
                 (QStringList{"Weld seam", "steel plate", "8", "59", "31", status, "anna", "Tank_repair", "Acme"}));
        QCOMPARE(messages.unexpected(), QStringList());
    }

    void editedLineIsPrefilledAndSentWithTheLineBefore_data()
    {
        QTest::addColumn<QString>("time");
        QTest::addColumn<int>("minutesIndex");
        QTest::addColumn<QString>("sentMinutes");
        QTest::newRow("1:30") << "1:30" << 30 << "30";
        // "05" is not among the choices: no minutes are current, and the line keeps its own.
        QTest::newRow("1:05") << "1:05" << -1 << "05";
    }

    void editedLineIsPrefilledAndSentWithTheLineBefore()
    {
        QFETCH(QString, time);
        QFETCH(int, minutesIndex);
        QFETCH(QString, sentMinutes);
        AppState::instance().setEditCustomLine("Weld seam", "old plate", time);
        MessageScript messages;
        messages.expect("Repair Edit Saved");
        FakeServer server;
        server.answer("EditCustomRepair", wire::frame("EditCustomRepair"));
        CRAddDialog entry;
        QTRY_COMPARE(description(entry)->toPlainText(), QString("Weld seam"));
        QCOMPARE(combo(entry, "comboBox_Hours")->currentText(), QString("1"));
        QCOMPARE(combo(entry, "comboBox_Minutes")->currentIndex(), minutesIndex);

        description(entry)->setPlainText("Weld lid");
        button(entry, "pushButton_Add")->click();
        QTRY_VERIFY(!entry.isVisible());
        QCOMPARE(server.requests().first().arguments(),
                 (QStringList{"31", "Tank_repair", "Acme", "Weld lid", "old plate", "1", sentMinutes, "Weld seam",
                              "old plate", time}));
        QCOMPARE(messages.unexpected(), QStringList());
    }

    void addStaysDisabledWhileEitherTextIsTooLong()
    {
        MessageScript messages;
        messages.expect("Too many characters: 513/512");
        messages.expect("Too many characters: 600/512");
        messages.expect("Too many characters: 601/512");
        messages.expect("Error");
        FakeServer server;
        server.answer("AddCustomRepair", wire::frame("Surprise"));
        CRAddDialog entry;
        QPushButton *add = button(entry, "pushButton_Add");
        materials(entry)->setPlainText(QString(512, 'm'));
        QVERIFY(add->isEnabled());
        materials(entry)->setPlainText(QString(513, 'm'));
        QVERIFY(!add->isEnabled());
        description(entry)->setPlainText(QString(600, 'd'));
        // The materials fit again, but the description still does not.
        materials(entry)->setPlainText(QString(512, 'm'));
        QVERIFY(!add->isEnabled());
        description(entry)->setPlainText(QString(601, 'd'));
        description(entry)->setPlainText("Weld seam");
        QVERIFY(add->isEnabled());
        QCOMPARE(messages.shown().size(), 3);

        // A reply that is not a saved one keeps the entry open; Cancel leaves it.
        add->click();
        QTRY_COMPARE(messages.shown().size(), 4);
        QVERIFY(entry.isVisible());
        button(entry, "pushButton_Cancel")->click();
        QVERIFY(!entry.isVisible());
        QTRY_COMPARE(server.openConnections(), 0);
        QCOMPARE(server.commands(), QStringList{"AddCustomRepair"});
        QCOMPARE(messages.unexpected(), QStringList());
    }
};

QTEST_MAIN(CRAddDialogTest)
#include "tst_cradddialog.moc"
