#pragma once

#include <QDialog>

namespace Ui {
class FinishedOrdersDialog;
}
namespace wire {
class FieldReader;
}
class FilteredTable;
class QCheckBox;
class ServerLink;

// The managers' browser of finished orders: the bin orders of one bin work
// type or the custom jobs, of every user or one, newest or oldest first,
// narrowed by a typed filter. Continue opens the chosen order's record,
// handing its keys over in AppState; Remove takes an order out of the
// lists after asking. The server groups and orders the rows; the browser
// shows them as they come.
class FinishedOrdersDialog : public QDialog
{
    Q_OBJECT

public:
    explicit FinishedOrdersDialog(QWidget *parent = nullptr);
    ~FinishedOrdersDialog() override;

private slots:
    void on_checkBox_FrontEnd_clicked();
    void on_checkBox_RollOff_clicked();
    void on_checkBox_Custom_clicked();
    // Either combo reloads the list with the texts of both; the index
    // parameter only picks the one currentIndexChanged signal to bind to.
    void on_comboBox_User_currentIndexChanged(int);
    void on_comboBox_Date_currentIndexChanged(int);
    void on_pushButton_Search_clicked();
    void on_pushButton_Continue_clicked();
    void on_pushButton_Back_clicked();
    void on_pushButton_Delete_clicked();
    void on_lineEdit_textChanged(const QString &text);

private:
    void handleReplies();
    void showUsers(const QStringList &names);
    bool showBinOrders(wire::FieldReader &reply);
    bool showCustomOrders(wire::FieldReader &reply);

    // The ticked box alone stays ticked, whether the click ticked it or not.
    void chooseWorkType(QCheckBox *chosen);
    void comboChanged();
    bool binWorkTypeChecked() const;
    bool noWorkTypeChecked() const;

    void openBinRecord();
    void openCustomRecord();
    void askToRemoveBin();
    void askToRemoveCustom();
    // Continue, Back and Remove are off while a record is open on top.
    void setRecordOpen(bool open);

    // The list of the first ticked work type; nothing when none is ticked.
    void requestCheckedList();
    void requestListOfUserOrders();
    void requestBinList(const QString &listWorkType);
    void requestCustomList();
    void requestRemoveBin(const QString &user, const QString &binId, int repairId);
    void requestRemoveCustom(const QString &user, int repairId, const QString &jobType, const QString &customer);

    Ui::FinishedOrdersDialog *ui;
    ServerLink *link;
    FilteredTable *orders;
    // Until the user list has arrived, a combo change without a ticked
    // work type is the browser filling its combos, not the user.
    bool settingUp = true;
};
