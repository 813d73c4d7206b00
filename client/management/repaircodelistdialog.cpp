#include "repaircodelistdialog.h"
#include "ui_repaircodelistdialog.h"

#include "core/appstate.h"
#include "core/navigation.h"
#include "core/serverlink.h"
#include "core/tablecolumns.h"
#include "core/texttablemodel.h"
#include "core/usermessages.h"
#include "wire/commands.h"
#include "wire/fieldreader.h"
#include "wire/frame.h"
#include "wire/repaircodelists.h"
#include "wire/replytags.h"

RepairCodeListDialog::RepairCodeListDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::RepairCodeListDialog)
    , link(new ServerLink(this, ServerLink::AfterLoss::KeepScreen, QStringLiteral("Error ")))
    , codeModel(new TextTableModel(
          {QStringLiteral("Repair Code"), QStringLiteral("Type"), QStringLiteral("Description")}, this))
{
    ui->setupUi(this);
    showMaximized();
    ui->tableView_Codes->setModel(codeModel);
    // The columns follow the model as it is refilled.
    fitColumnsToContents(ui->tableView_Codes);
    handleReplies();
    // Nothing is asked for until a list is ticked.
    link->open();
}

RepairCodeListDialog::~RepairCodeListDialog()
{
    delete ui;
}

void RepairCodeListDialog::handleReplies()
{
    link->replies()
        .on(ReplyTag::GetRepairCodesForEdit, [this](wire::FieldReader &reply) { return showCodes(reply); })
        .on(ReplyTag::RemoveRepairCode,
            [this]() {
                UserMessages::show(this, QStringLiteral("Repair Code Removed"));
                requestCodes();
            })
        .otherwise([this]() { UserMessages::show(this, QStringLiteral("Error")); });
}

bool RepairCodeListDialog::showCodes(wire::FieldReader &reply)
{
    const QString count = reply.string();
    const auto codes = wire::readGroups<QString, QString, QString>(reply, count.toInt());
    if (!codes)
        return false;
    QVector<QStringList> rows;
    rows.reserve(codes->size());
    for (const auto &[repairCode, type, description] : *codes)
        rows.append({repairCode, type, description});
    codeModel->setRows(rows);
    return true;
}

QList<QCheckBox *> RepairCodeListDialog::listBoxes() const
{
    return {ui->checkBox_FER, ui->checkBox_ROR, ui->checkBox_KD};
}

// The three boxes act as one choice; unticking the ticked one keeps the
// list as it is.
void RepairCodeListDialog::chooseList(int listIndex)
{
    const QList<QCheckBox *> boxes = listBoxes();
    QCheckBox *ticked = boxes.at(listIndex);
    if (!ticked->isChecked())
        return;
    workTypeCode = RepairCodeList::all().at(listIndex).key;
    for (QCheckBox *box : boxes) {
        if (box != ticked)
            box->setChecked(false);
    }
    requestCodes();
}

void RepairCodeListDialog::on_checkBox_FER_clicked()
{
    chooseList(0);
}

void RepairCodeListDialog::on_checkBox_ROR_clicked()
{
    chooseList(1);
}

void RepairCodeListDialog::on_checkBox_KD_clicked()
{
    chooseList(2);
}

RepairCodeListDialog::CodeRow RepairCodeListDialog::currentRow() const
{
    const int row = ui->tableView_Codes->currentIndex().row();
    if (row < 0)
        return {};
    const auto cell = [this, row](int column) { return codeModel->index(row, column).data().toString(); };
    return {cell(0), cell(1), cell(2)};
}

bool RepairCodeListDialog::isChosen(const CodeRow &row)
{
    if (workTypeCode.isEmpty()) {
        UserMessages::show(this, QStringLiteral("Please Select a Work Type"));
        return false;
    }
    if (row.repairCode.isEmpty()) {
        UserMessages::show(this, QStringLiteral("Please Select a Repair Code"));
        return false;
    }
    return true;
}

void RepairCodeListDialog::on_pushButton_Add_clicked()
{
    AppState::instance().setEditingCode(false);
    Navigation::run(ScreenKind::RepairCodeEditor);
}

void RepairCodeListDialog::on_pushButton_Edit_clicked()
{
    const CodeRow row = currentRow();
    if (!isChosen(row))
        return;
    AppState &state = AppState::instance();
    state.setEditCode(workTypeCode, row.repairCode, row.type, row.description);
    state.setEditingCode(true);
    Navigation::run(ScreenKind::RepairCodeEditor);
}

void RepairCodeListDialog::on_pushButton_Remove_clicked()
{
    const CodeRow row = currentRow();
    if (!isChosen(row))
        return;
    const QString question = QStringLiteral("Are you sure you want to remove ") + row.repairCode + QLatin1Char(' ')
                             + row.type + QLatin1Char(' ') + row.description + QLatin1Char('?');
    if (UserMessages::ask(this, question, QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Cancel)
        == QMessageBox::Cancel)
        return;
    requestRemove(row);
}

void RepairCodeListDialog::on_pushButton_Close_clicked()
{
    link->close();
    close();
}

void RepairCodeListDialog::requestCodes()
{
    link->send(wire::frame(Command::GetRepairCodesForEdit, workTypeCode));
}

void RepairCodeListDialog::requestRemove(const CodeRow &row)
{
    link->send(wire::frame(Command::RemoveRepairCode, workTypeCode, row.repairCode, row.type, row.description));
}
