#include "customrepairlinedialog.h"
#include "ui_customrepairlinedialog.h"

#include "core/appstate.h"
#include "core/repairtime.h"
#include "core/serverlink.h"
#include "core/usermessages.h"
#include "wire/commands.h"
#include "wire/customjobstatus.h"
#include "wire/frame.h"
#include "wire/replytags.h"

namespace {

bool withinLimit(const QTextEdit *edit)
{
    return edit->toPlainText().length() <= CustomRepairLineDialog::TextLimit;
}

// A line held in editCustomLine is changed; with none a new line is added.
bool editing()
{
    return !AppState::instance().editCustomLine(1).isEmpty();
}

} // namespace

CustomRepairLineDialog::CustomRepairLineDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::CustomRepairLineDialog)
    , link(new ServerLink(this, ServerLink::AfterLoss::ExitProgram, QStringLiteral("Error: ")))
{
    ui->setupUi(this);
    showMaximized();
    for (int hour = 0; hour <= 8; ++hour)
        ui->comboBox_Hours->addItem(QString::number(hour));
    for (int minute = 0; minute <= 59; ++minute)
        ui->comboBox_Minutes->addItem(QString::number(minute));
    handleReplies();
    link->whenConnected([this]() { onConnected(); });
    link->open();
}

CustomRepairLineDialog::~CustomRepairLineDialog()
{
    delete ui;
}

void CustomRepairLineDialog::handleReplies()
{
    link->replies()
        .on(ReplyTag::AddCustomRepair, [this]() { saved(QStringLiteral("Repair Saved")); })
        .on(ReplyTag::EditCustomRepair, [this]() { saved(QStringLiteral("Repair Edit Saved")); })
        .otherwise([this]() { UserMessages::show(this, QStringLiteral("Error")); });
}

void CustomRepairLineDialog::checkLength(const QTextEdit *edit)
{
    ui->pushButton_Add->setEnabled(withinLimit(ui->textEdit_RepairDescription) && withinLimit(ui->textEdit_Materials));
    if (!withinLimit(edit))
        UserMessages::show(
            this, QStringLiteral("Too many characters: %1/%2").arg(edit->toPlainText().length()).arg(TextLimit));
}

QString CustomRepairLineDialog::chosen(const QComboBox *comboBox, const QString &edited)
{
    return comboBox->currentIndex() < 0 ? edited : comboBox->currentText();
}

void CustomRepairLineDialog::saved(const QString &message)
{
    UserMessages::show(this, message);
    link->close();
    close();
}

// An edited line is shown as it stands once the link is up.

void CustomRepairLineDialog::on_pushButton_Cancel_clicked()
{
    link->close();
    close();
}

void CustomRepairLineDialog::on_pushButton_Add_clicked()
{
    const QString description = ui->textEdit_RepairDescription->toPlainText();
    const QString materials = ui->textEdit_Materials->toPlainText();
    if (description.isEmpty()) {
        UserMessages::show(this, QStringLiteral("Repair Description is required"));
        return;
    }
    if (materials.isEmpty()) {
        UserMessages::show(this, QStringLiteral("Materials is required"));
        return;
    }
    // An edited time outside the choices (10 hours, "05" minutes) is kept
    // unless the user picks another.
    const auto [editedHours, editedMinutes] = splitRepairTime(AppState::instance().editCustomLine(3));
    const QString hours = chosen(ui->comboBox_Hours, editedHours);
    const QString minutes = chosen(ui->comboBox_Minutes, editedMinutes);
    if (editing())
        requestEdit(description, materials, hours, minutes);
    else
        requestAdd(description, materials, hours, minutes);
}

void CustomRepairLineDialog::on_textEdit_RepairDescription_textChanged()
{
    checkLength(ui->textEdit_RepairDescription);
}

void CustomRepairLineDialog::on_textEdit_Materials_textChanged()
{
    checkLength(ui->textEdit_Materials);
}

void CustomRepairLineDialog::requestAdd(const QString &description, const QString &materials, const QString &hours,
                                        const QString &minutes)
{
    const AppState &state = AppState::instance();
    const QString status
        = QString::number(state.checkingCustom() ? CustomJobStatus::ChangedWhileChecked : CustomJobStatus::LinesSaved);
    link->send(wire::frame(Command::AddCustomRepair, description, materials, hours, minutes,
                           QString::number(state.customOrderId()), status, state.user(1), state.customOrder(3),
                           state.customOrder(4)));
}

void CustomRepairLineDialog::requestEdit(const QString &description, const QString &materials, const QString &hours,
                                         const QString &minutes)
{
    const AppState &state = AppState::instance();
    link->send(wire::frame(Command::EditCustomRepair, QString::number(state.customOrderId()), state.customOrder(3),
                           state.customOrder(4), description, materials, hours, minutes, state.editCustomLine(1),
                           state.editCustomLine(2), state.editCustomLine(3)));
}

// Once the link is up.
void CustomRepairLineDialog::onConnected()
{
    const AppState &state = AppState::instance();
    if (!editing())
        return;
    ui->textEdit_RepairDescription->setPlainText(state.editCustomLine(1));
    ui->textEdit_Materials->setPlainText(state.editCustomLine(2));
    const auto [hours, minutes] = splitRepairTime(state.editCustomLine(3));
    selectItemText(ui->comboBox_Hours, hours);
    selectItemText(ui->comboBox_Minutes, minutes);
}
