#include "finishedordersdialog.h"
#include "ui_finishedordersdialog.h"

#include "core/appstate.h"
#include "core/filteredtable.h"
#include "core/navigation.h"
#include "core/serverlink.h"
#include "core/usermessages.h"
#include "wire/commands.h"
#include "wire/fieldreader.h"
#include "wire/finishedorderlists.h"
#include "wire/frame.h"
#include "wire/replytags.h"
#include "wire/worktypes.h"

namespace {

const QString BinIdColumn = QStringLiteral("Bin ID");
const QString RepairIdColumn = QStringLiteral("Repair ID");
const QString DateColumn = QStringLiteral("Date");
const QString UserColumn = QStringLiteral("User");
const QString CustomerColumn = QStringLiteral("Customer");
const QString CustomIdColumn = QStringLiteral("Custom ID");
const QString JobTypeColumn = QStringLiteral("Job Type");

const QString NoRowChosen = QStringLiteral("Please select a row before continuing");

// A long list is read and shown this many rows at a time (or the few
// more that finish a user's rows), each slice quick enough for the window
// to keep painting in between.
constexpr int RowsPerSlice = 20000;

// Adds count cells to a column: the list's first ones, then empty ones for
// a list that falls short.
void appendCells(QStringList &column, const QStringList &cells, int count)
{
    if (cells.size() == count) {
        column.append(cells);
        return;
    }
    for (int i = 0; i < count; ++i)
        column.append(cells.value(i));
}

// A finished-orders reply: the rows of each user as a user name and lists
// that run in parallel, read into table columns a slice at a time. A
// user's rows are counted by the first list; a shorter list leaves its
// cells empty.
class UserGroups
{
public:
    // listColumns holds the column of each list, in the order the lists
    // come; the user's name fills userColumn.
    UserGroups(const wire::FieldReader &reply, int groups, QVector<int> listColumns, int userColumn)
        : reply(reply)
        , groupsLeft(groups)
        , listColumns(std::move(listColumns))
        , userColumn(userColumn)
    { }

    // Whether every group is there, as far as the lengths on the wire tell.
    bool whole() const
    {
        wire::FieldReader ahead = reply;
        for (int group = 0; group < groupsLeft && ahead.ok(); ++group) {
            ahead.skipString();
            for (int list = 0; list < listColumns.size(); ++list)
                ahead.skipStringList();
        }
        return groupsLeft >= 0 && ahead.ok();
    }

    // Reads the next slice of rows; false once no rows are left.
    bool readSlice(QVector<QStringList> &columns)
    {
        for (int rows = 0; groupsLeft > 0 && rows < RowsPerSlice; --groupsLeft) {
            const QString user = reply.string();
            const QStringList first = reply.stringList();
            appendCells(columns[listColumns.first()], first, first.size());
            for (int list = 1; list < listColumns.size(); ++list)
                appendCells(columns[listColumns.at(list)], reply.stringList(), first.size());
            for (int row = 0; row < first.size(); ++row)
                columns[userColumn].append(user);
            rows += first.size();
        }
        return groupsLeft > 0;
    }

private:
    wire::FieldReader reply;
    int groupsLeft;
    QVector<int> listColumns;
    int userColumn;
};

void clearViewBin()
{
    AppState::instance().setViewBin(QString(), QString(), 0, QString());
}

} // namespace

FinishedOrdersDialog::FinishedOrdersDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::FinishedOrdersDialog)
    , link(new ServerLink(this, ServerLink::AfterLoss::ExitProgram, QStringLiteral("Error: ")))
{
    ui->setupUi(this);
    orders = new FilteredTable(ui->tableView);
    showMaximized();
    ui->pushButton_Search->setEnabled(false);
    ui->pushButton_Search->hide();
    ui->comboBox_Date->addItems({FinishedOrderList::NewestFirst, FinishedOrderList::OldestFirst});
    ui->comboBox_User->addItem(FinishedOrderList::AllUsers);
    handleReplies();
    link->whenConnected([this]() { requestListOfUserOrders(); });
    link->open();
}

FinishedOrdersDialog::~FinishedOrdersDialog()
{
    delete ui;
}

void FinishedOrdersDialog::handleReplies()
{
    link->replies()
        .on(ReplyTag::ListOfUserOrders, [this](const QStringList &names) { showUsers(names); })
        .on(ReplyTag::GetFERInfoView, [this](wire::FieldReader &reply) { return showBinOrders(reply); })
        .on(ReplyTag::GetCustomInfoView, [this](wire::FieldReader &reply) { return showCustomOrders(reply); })
        .on(ReplyTag::RemoveBin,
            [this]() {
                UserMessages::show(this, QStringLiteral("Bin Removed Successfully"));
                if (ui->checkBox_FrontEnd->isChecked())
                    requestBinList(FinishedOrderList::FrontEndOrders);
                else if (ui->checkBox_RollOff->isChecked())
                    requestBinList(FinishedOrderList::RollOffOrders);
            })
        .on(ReplyTag::RemoveCustom,
            [this]() {
                UserMessages::show(this, QStringLiteral("Custom Repair Removed Successfully"));
                requestCustomList();
            })
        .otherwise([this]() { UserMessages::show(this, QStringLiteral("Error")); });
}

void FinishedOrdersDialog::showUsers(const QStringList &names)
{
    ui->comboBox_User->addItems(names);
    ui->comboBox_User->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    settingUp = false;
}

bool FinishedOrdersDialog::showBinOrders(wire::FieldReader &reply)
{
    const QString count = reply.string();
    // The lists come as bin IDs, repair IDs and dates.
    UserGroups groups(reply, count.toInt(), {0, 1, 2}, 3);
    if (!groups.whole())
        return false;
    orders->showInSlices({BinIdColumn, RepairIdColumn, DateColumn, UserColumn},
                         [groups](QVector<QStringList> &columns) mutable { return groups.readSlice(columns); });
    return true;
}

bool FinishedOrdersDialog::showCustomOrders(wire::FieldReader &reply)
{
    const QString count = reply.string();
    // The lists come as repair IDs, job types, customers, custom IDs and dates.
    UserGroups groups(reply, count.toInt(), {0, 3, 1, 2, 5}, 4);
    if (!groups.whole())
        return false;
    orders->showInSlices({RepairIdColumn, CustomerColumn, CustomIdColumn, JobTypeColumn, UserColumn, DateColumn},
                         [groups](QVector<QStringList> &columns) mutable { return groups.readSlice(columns); });
    return true;
}

void FinishedOrdersDialog::chooseWorkType(QCheckBox *chosen)
{
    for (QCheckBox *box : {ui->checkBox_FrontEnd, ui->checkBox_RollOff, ui->checkBox_Custom})
        box->setChecked(box == chosen);
    ui->label_BinID->setText(chosen == ui->checkBox_Custom ? CustomerColumn : BinIdColumn);
    requestCheckedList();
}

void FinishedOrdersDialog::comboChanged()
{
    if (!noWorkTypeChecked())
        requestCheckedList();
    else if (!settingUp)
        UserMessages::show(this, QStringLiteral("Please select a work type"));
}

bool FinishedOrdersDialog::binWorkTypeChecked() const
{
    return ui->checkBox_FrontEnd->isChecked() || ui->checkBox_RollOff->isChecked();
}

bool FinishedOrdersDialog::noWorkTypeChecked() const
{
    return !binWorkTypeChecked() && !ui->checkBox_Custom->isChecked();
}

void FinishedOrdersDialog::on_checkBox_FrontEnd_clicked()
{
    chooseWorkType(ui->checkBox_FrontEnd);
}

void FinishedOrdersDialog::on_checkBox_RollOff_clicked()
{
    chooseWorkType(ui->checkBox_RollOff);
}

void FinishedOrdersDialog::on_checkBox_Custom_clicked()
{
    chooseWorkType(ui->checkBox_Custom);
}

void FinishedOrdersDialog::on_comboBox_User_currentIndexChanged(int)
{
    comboChanged();
}

void FinishedOrdersDialog::on_comboBox_Date_currentIndexChanged(int)
{
    comboChanged();
}

// Its button is never shown: the typed filter does the finding.
void FinishedOrdersDialog::on_pushButton_Search_clicked()
{
    orders->searchExact(ui->lineEdit->text());
}

void FinishedOrdersDialog::on_pushButton_Continue_clicked()
{
    if (binWorkTypeChecked())
        openBinRecord();
    else if (ui->checkBox_Custom->isChecked())
        openCustomRecord();
    else
        UserMessages::show(this, QStringLiteral("Please select a work type before continuing"));
}

// The record reads the order's keys from viewBin, which holds them only
// while the record is open.
void FinishedOrdersDialog::openBinRecord()
{
    if (!orders->hasCurrentRow()) {
        UserMessages::show(this, NoRowChosen);
        return;
    }
    const QString workType = ui->checkBox_FrontEnd->isChecked() ? WorkType::frontEnd() : WorkType::rollOff();
    AppState::instance().setViewBin(workType, orders->currentText(BinIdColumn),
                                    orders->currentText(RepairIdColumn).toInt(), orders->currentText(UserColumn));
    setRecordOpen(true);
    Navigation::run(ScreenKind::BinOrderRecord);
    clearViewBin();
    setRecordOpen(false);
}

void FinishedOrdersDialog::openCustomRecord()
{
    if (!orders->hasCurrentRow()) {
        UserMessages::show(this, NoRowChosen);
        return;
    }
    AppState::instance().setViewCustom(orders->currentText(UserColumn), orders->currentText(RepairIdColumn).toInt(),
                                       orders->currentText(CustomerColumn), orders->currentText(JobTypeColumn));
    setRecordOpen(true);
    Navigation::run(ScreenKind::CustomOrderRecord);
    setRecordOpen(false);
}

void FinishedOrdersDialog::setRecordOpen(bool open)
{
    for (QPushButton *button : {ui->pushButton_Continue, ui->pushButton_Back, ui->pushButton_Delete})
        button->setEnabled(!open);
}

void FinishedOrdersDialog::on_pushButton_Back_clicked()
{
    if (!AppState::instance().viewBin(1).isEmpty())
        clearViewBin();
    link->close();
    close();
}

void FinishedOrdersDialog::on_pushButton_Delete_clicked()
{
    if (binWorkTypeChecked())
        askToRemoveBin();
    else if (ui->checkBox_Custom->isChecked())
        askToRemoveCustom();
    else
        UserMessages::show(this, QStringLiteral("Error"));
}

// The list is reloaded when the server confirms the removal.
void FinishedOrdersDialog::askToRemoveBin()
{
    if (!orders->hasCurrentRow()) {
        UserMessages::show(this, QStringLiteral("Please Select a Bin before Continuing"));
        return;
    }
    const QString binId = orders->currentText(BinIdColumn);
    const int repairId = orders->currentText(RepairIdColumn).toInt();
    const QString user = orders->currentText(UserColumn);
    const QString question = QStringLiteral("Are you sure you would like to remove: ") + binId + QLatin1Char(' ')
                             + QString::number(repairId) + QLatin1Char(' ') + user + QLatin1Char('?');
    if (UserMessages::ask(this, question, QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Cancel)
        == QMessageBox::Yes)
        requestRemoveBin(user, binId, repairId);
}

void FinishedOrdersDialog::askToRemoveCustom()
{
    if (!orders->hasCurrentRow()) {
        UserMessages::show(this, NoRowChosen);
        return;
    }
    const int repairId = orders->currentText(RepairIdColumn).toInt();
    const QString customer = orders->currentText(CustomerColumn);
    const QString jobType = orders->currentText(JobTypeColumn);
    const QString user = orders->currentText(UserColumn);
    const QString question = QStringLiteral("Are you sure you want to remove: ") + customer + QLatin1Char(' ') + jobType
                             + QLatin1Char(' ') + QString::number(repairId) + QLatin1Char(' ') + user
                             + QLatin1Char('?');
    if (UserMessages::ask(this, question, QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Cancel)
        == QMessageBox::Yes)
        requestRemoveCustom(user, repairId, jobType, customer);
}

void FinishedOrdersDialog::on_lineEdit_textChanged(const QString &text)
{
    if (!noWorkTypeChecked())
        orders->filter(text);
}

void FinishedOrdersDialog::requestCheckedList()
{
    if (ui->checkBox_FrontEnd->isChecked())
        requestBinList(FinishedOrderList::FrontEndOrders);
    else if (ui->checkBox_RollOff->isChecked())
        requestBinList(FinishedOrderList::RollOffOrders);
    else if (ui->checkBox_Custom->isChecked())
        requestCustomList();
}

void FinishedOrdersDialog::requestListOfUserOrders()
{
    link->send(wire::frame(Command::GetListOfUserOrders));
}

void FinishedOrdersDialog::requestBinList(const QString &listWorkType)
{
    link->send(wire::frame(Command::GetFERInfoView, listWorkType, ui->comboBox_User->currentText(),
                           ui->comboBox_Date->currentText()));
}

void FinishedOrdersDialog::requestCustomList()
{
    link->send(
        wire::frame(Command::GetCustomInfoView, ui->comboBox_User->currentText(), ui->comboBox_Date->currentText()));
}

void FinishedOrdersDialog::requestRemoveBin(const QString &user, const QString &binId, int repairId)
{
    link->send(wire::frame(Command::RemoveBin, user, binId, QString::number(repairId)));
}

void FinishedOrdersDialog::requestRemoveCustom(const QString &user, int repairId, const QString &jobType,
                                               const QString &customer)
{
    link->send(wire::frame(Command::RemoveCustom, user, QString::number(repairId), jobType, customer));
}
