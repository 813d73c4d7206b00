#include "jobplans.h"

#include "core/appstate.h"
#include "flowhelpers.h"
#include "screenwatcher.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTextEdit>

void planNewBin(ScreenWatcher &watcher, QString *binId)
{
    watcher.onScreen(
        QStringLiteral("BinIntakeDialog"),
        [binId](QWidget *intake) {
            *binId = child<QLabel>(intake, "label_ID")->text().mid(3);
            click(intake, "pushButton_Enter");
        },
        [](QWidget *intake) { return child<QLabel>(intake, "label_ID")->text().startsWith(QLatin1String("ID ")); });
    watcher.onScreen(QStringLiteral("PreCheckDialog"), [](QWidget *preCheck) {
        click(preCheck, "checkBox_LidsGood");
        click(preCheck, "checkBox_ChainsGood");
        click(preCheck, "checkBox_LidRodBad");
        click(preCheck, "pushButton_Next");
    });
}

void planRepairLine(ScreenWatcher &watcher)
{
    watcher.onScreen(
        QStringLiteral("BinRepairLineDialog"),
        [](QWidget *entry) {
            child<QComboBox>(entry, "comboBox")->setCurrentIndex(0);
            child<QComboBox>(entry, "comboBox_Time")->setCurrentText(QStringLiteral("1"));
            child<QComboBox>(entry, "comboBox_Minutes")->setCurrentText(QStringLiteral("30"));
            child<QTextEdit>(entry, "textEdit")->setPlainText(QStringLiteral("Two steel plates"));
            click(entry, "pushButton_Submit");
        },
        [](QWidget *entry) { return child<QComboBox>(entry, "comboBox")->count() > 0; });
}

void planFinalChecks(ScreenWatcher &watcher)
{
    watcher.onScreen(QStringLiteral("FinalChecksDialog"), [](QWidget *checks) {
        child<QLineEdit>(checks, "lineEdit_LidSize")->setText(QStringLiteral("34"));
        child<QLineEdit>(checks, "lineEdit")->setText(QStringLiteral("2.5"));
        for (QCheckBox *box : checks->findChildren<QCheckBox *>())
            box->setChecked(true);
        click(checks, "pushButton_Submit");
    });
}

void planBinSheetWork(ScreenWatcher &watcher)
{
    watcher.onScreen(
        QStringLiteral("BinRepairSheetDialog"),
        [](QWidget *sheet) {
            click(sheet, "pushButton_Add");
            click(sheet, "pushButton_Submit");
        },
        binSheetIsTiming);
}

bool binSheetIsTiming(QWidget *sheet)
{
    return child<QLabel>(sheet, "label_Size")->text().startsWith(QLatin1String("Size "))
           && AppState::instance().timerRunning();
}

void planCustomJob(ScreenWatcher &watcher, const QString &customer)
{
    watcher.onScreen(QStringLiteral("CustomJobStartDialog"), [customer](QWidget *start) {
        child<QLineEdit>(start, "lineEdit_Worker")->setText(QStringLiteral("Wes"));
        child<QLineEdit>(start, "lineEdit_JobType")->setText(QStringLiteral("Tank repair"));
        child<QLineEdit>(start, "lineEdit_Customer")->setText(customer);
        child<QLineEdit>(start, "lineEdit_PhoneNum")->setText(QStringLiteral("555-0100"));
        click(start, "pushButton_Next");
    });
}

void planCustomLine(ScreenWatcher &watcher)
{
    watcher.onScreen(QStringLiteral("CustomRepairLineDialog"), [](QWidget *entry) {
        child<QTextEdit>(entry, "textEdit_RepairDescription")->setPlainText(QStringLiteral("Weld the outlet"));
        child<QTextEdit>(entry, "textEdit_Materials")->setPlainText(QStringLiteral("Steel flange"));
        child<QComboBox>(entry, "comboBox_Hours")->setCurrentText(QStringLiteral("2"));
        child<QComboBox>(entry, "comboBox_Minutes")->setCurrentText(QStringLiteral("15"));
        click(entry, "pushButton_Add");
    });
}

bool customSheetIsTiming(QWidget *)
{
    return AppState::instance().liveClockRunning();
}
