#include "repaircodeeditordialog.h"
#include "ui_repaircodeeditordialog.h"

#include "core/appstate.h"
#include "core/serverlink.h"
#include "core/usermessages.h"
#include "wire/commands.h"
#include "wire/frame.h"
#include "wire/repaircodelists.h"
#include "wire/replytags.h"

RepairCodeEditorDialog::RepairCodeEditorDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::RepairCodeEditorDialog)
    , link(new ServerLink(this, ServerLink::AfterLoss::KeepScreen, QStringLiteral("Error: ")))
{
    ui->setupUi(this);
    showMaximized();
    // Added after the slots are bound: the first item becomes current and
    // puts its prefix into the code field.
    for (const RepairCodeList::Kind &kind : RepairCodeList::all())
        ui->comboBox_Cata->addItem(kind.category);
    handleReplies();
    link->whenConnected([this]() {
        if (AppState::instance().editingCode())
            showEditedCode();
    });
    link->open();
}

RepairCodeEditorDialog::~RepairCodeEditorDialog()
{
    delete ui;
}

void RepairCodeEditorDialog::handleReplies()
{
    link->replies()
        .on(ReplyTag::AddRepairCode, [this]() { finish(QStringLiteral("RepairCode Added")); })
        .on(ReplyTag::RepairCodeAlreadyUsed,
            [this]() { UserMessages::show(this, QStringLiteral("Repair Code Already in DataBase")); })
        .on(ReplyTag::EditRepairCode, [this]() { finish(QStringLiteral("Repair Code Complete")); })
        .on(ReplyTag::EditRepairCodeNotFound,
            [this]() { UserMessages::show(this, QStringLiteral("Repair Code Not Found")); })
        .otherwise([this]() { UserMessages::show(this, QStringLiteral("Error")); });
}

// The category shown is the one of the list the code came from; it cannot
// be changed, since the edit names the code by its list.
void RepairCodeEditorDialog::showEditedCode()
{
    const AppState &state = AppState::instance();
    for (const RepairCodeList::Kind &kind : RepairCodeList::all()) {
        if (kind.key == state.editCode(1))
            ui->comboBox_Cata->setCurrentText(kind.category);
    }
    ui->comboBox_Cata->setEnabled(false);
    ui->lineEdit_RepairCode->setText(state.editCode(2));
    ui->lineEdit_RepairType->setText(state.editCode(3));
    ui->textEdit_RepairDesc->setPlainText(state.editCode(4));
}

void RepairCodeEditorDialog::finish(const QString &message)
{
    UserMessages::show(this, message);
    link->close();
    close();
}

void RepairCodeEditorDialog::on_comboBox_Cata_currentIndexChanged(int index)
{
    const QList<RepairCodeList::Kind> kinds = RepairCodeList::all();
    if (index < 0 || index >= kinds.size()) {
        UserMessages::show(this, QStringLiteral("Error"));
        return;
    }
    ui->lineEdit_RepairCode->setText(kinds.at(index).prefix);
}

bool RepairCodeEditorDialog::isComplete()
{
    if (ui->lineEdit_RepairCode->text().isEmpty()) {
        UserMessages::show(this, QStringLiteral("Repair Code is Required"));
        return false;
    }
    if (ui->lineEdit_RepairType->text().isEmpty()) {
        UserMessages::show(this, QStringLiteral("Repair Type is Required"));
        return false;
    }
    if (ui->textEdit_RepairDesc->toPlainText().isEmpty()) {
        UserMessages::show(this, QStringLiteral("Repair Description is Required"));
        return false;
    }
    return true;
}

void RepairCodeEditorDialog::on_pushButton_Submit_clicked()
{
    if (!isComplete())
        return;
    if (AppState::instance().editingCode())
        requestEditRepairCode();
    else
        requestAddRepairCode();
}

void RepairCodeEditorDialog::on_pushButton_Cancel_clicked()
{
    link->close();
    close();
}

void RepairCodeEditorDialog::requestAddRepairCode()
{
    link->send(wire::frame(Command::AddRepairCode, ui->comboBox_Cata->currentText(), ui->lineEdit_RepairCode->text(),
                           ui->lineEdit_RepairType->text(), ui->textEdit_RepairDesc->toPlainText()));
}

void RepairCodeEditorDialog::requestEditRepairCode()
{
    link->send(wire::frame(Command::EditRepairCode, AppState::instance().editCode(1), ui->lineEdit_RepairCode->text(),
                           ui->lineEdit_RepairType->text(), ui->textEdit_RepairDesc->toPlainText()));
}
