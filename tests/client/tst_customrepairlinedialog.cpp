#include "custom/customrepairlinedialog.h"
#include "screens.h"

namespace {

struct Entry : ScreenTest<CustomRepairLineDialog>
{
    QComboBox *combo(const char *name) { return child<QComboBox>(&screen, name); }
    QTextEdit *description() { return child<QTextEdit>(&screen, "textEdit_RepairDescription"); }
    QTextEdit *materials() { return child<QTextEdit>(&screen, "textEdit_Materials"); }
};

} // namespace

class CustomRepairLineDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetClient(); }

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
        Entry e;
        e.server.answer("AddCustomRepair", wire::frame("AddCustomRepair"));
        QCOMPARE(e.combo("comboBox_Hours")->count(), 9);
        QCOMPARE(e.combo("comboBox_Minutes")->count(), 60);

        press(e.screen, "pushButton_Add");
        e.materials()->setPlainText("steel plate");
        press(e.screen, "pushButton_Add");
        e.description()->setPlainText("Weld seam");
        e.materials()->clear();
        press(e.screen, "pushButton_Add");
        e.materials()->setPlainText("steel plate");
        e.combo("comboBox_Hours")->setCurrentText("8");
        e.combo("comboBox_Minutes")->setCurrentText("59");
        press(e.screen, "pushButton_Add");
        QTRY_VERIFY(!e.screen.isVisible());
        QCOMPARE(e.server.calls(), QStringList{"AddCustomRepair(Weld seam, steel plate, 8, 59, 31, " + status
                                               + ", anna, Tank_repair, Acme)"});
        QCOMPARE(e.messages.shownTexts(),
                 (QStringList{"Repair Description is required", "Repair Description is required",
                              "Materials is required", "Repair Saved"}));
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
        Entry e;
        e.server.answer("EditCustomRepair", wire::frame("EditCustomRepair"));
        QTRY_COMPARE(e.description()->toPlainText(), QString("Weld seam"));
        QCOMPARE(e.materials()->toPlainText(), QString("old plate"));
        QCOMPARE(e.combo("comboBox_Hours")->currentText(), QString("1"));
        QCOMPARE(e.combo("comboBox_Minutes")->currentIndex(), minutesIndex);

        e.description()->setPlainText("Weld lid");
        press(e.screen, "pushButton_Add");
        QTRY_VERIFY(!e.screen.isVisible());
        QCOMPARE(e.server.calls(),
                 QStringList{QString("EditCustomRepair(31, Tank_repair, Acme, Weld lid, old plate, 1, %1, "
                                     "Weld seam, old plate, %2)")
                                 .arg(sentMinutes, time)});
        QCOMPARE(e.messages.shownTexts(), QStringList{"Repair Edit Saved"});
    }

    void addStaysDisabledWhileEitherTextIsTooLong()
    {
        Entry e;
        e.server.answer("AddCustomRepair", wire::frame("Surprise"));
        const struct
        {
            QTextEdit *edit;
            int length;
            bool addEnabled;
        } steps[] = {{e.materials(), 512, true},
                     {e.materials(), 513, false},
                     {e.description(), 600, false},
                     // The materials fit again, but the description still does not.
                     {e.materials(), 512, false},
                     {e.description(), 601, false},
                     {e.description(), 9, true}};
        for (const auto &step : steps) {
            step.edit->setPlainText(QString(step.length, 'x'));
            QCOMPARE(child<QAbstractButton>(&e.screen, "pushButton_Add")->isEnabled(), step.addEnabled);
        }
        QCOMPARE(e.messages.shownTexts(), (QStringList{"Too many characters: 513/512", "Too many characters: 600/512",
                                                       "Too many characters: 601/512"}));

        // A reply that is not a saved one keeps the entry open; Cancel leaves it.
        press(e.screen, "pushButton_Add");
        QTRY_COMPARE(e.messages.shownTexts().value(3), QString("Error"));
        QVERIFY(e.screen.isVisible());
        press(e.screen, "pushButton_Cancel");
        QVERIFY(!e.screen.isVisible());
        QTRY_COMPARE(e.server.openConnections(), 0);
        QCOMPARE(e.server.commands(), QStringList{"AddCustomRepair"});
    }
};

QTEST_MAIN(CustomRepairLineDialogTest)
#include "tst_customrepairlinedialog.moc"
