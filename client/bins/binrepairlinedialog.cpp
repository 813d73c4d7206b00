#include "binrepairlinedialog.h"
#include "ui_binrepairlinedialog.h"

#include "core/appstate.h"
#include "core/binordermode.h"
#include "core/repairtime.h"
#include "core/serverlink.h"
#include "core/usermessages.h"
#include "wire/commands.h"
#include "wire/fieldreader.h"
#include "wire/frame.h"
#include "wire/orderstatus.h"
#include "wire/replytags.h"

#include <algorithm>

namespace {

// The repair code inside a catalogue item "code-description".
constexpr int RepairCodeLength = 8;

} // namespace

BinRepairLineDialog::BinRepairLineDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::BinRepairLineDialog)
    , link(new ServerLink(this, ServerLink::AfterLoss::ExitProgram, QStringLiteral("Error: ")))
{
    ui->setupUi(this);
    for (int hour = 0; hour <= 8; ++hour)
        ui->comboBox_Time->addItem(QString::number(hour));
    ui->comboBox_Minutes->addItems(
        {QStringLiteral("0"), QStringLiteral("15"), QStringLiteral("30"), QStringLiteral("45")});
    handleReplies();
    showMaximized();
    link->whenConnected([this]() { requestRepairCodes(); });
    link->open();
}

BinRepairLineDialog::~BinRepairLineDialog()
{
    delete ui;
}

void BinRepairLineDialog::handleReplies()
{
    link->replies()
        .on(ReplyTag::RepairCodes,
            [this](wire::FieldReader &reply) {
                const QString count = reply.string();
                const auto codes = wire::readGroups<QString, QString>(reply, count.toInt());
                if (!reply.ok() || !codes)
                    return false;
                QVector<RepairCode> received;
                for (const auto &[code, description] : *codes)
                    received.append({code, description});
                showRepairCodes(received);
                return true;
            })
        .on(ReplyTag::BinRepairSaved, [this]() { finish(); })
        .on(ReplyTag::CurrentSelectedRepair, [this](const QString &itemText) { selectedRepairReceived(itemText); })
        .otherwise([this]() { UserMessages::show(this, QStringLiteral("Error")); });
}

void BinRepairLineDialog::showRepairCodes(const QVector<RepairCode> &codes)
{
    repairCodes = codes;
    repairCodeCount = codes.size();
    for (const RepairCode &code : codes)
        ui->comboBox->addItem(code.first + QLatin1Char('-') + code.second);
    prefillEditedLine();
}

void BinRepairLineDialog::prefillEditedLine()
{
    const AppState &state = AppState::instance();
    const QString editedCode = state.editRepairLine(1);
    if (editedCode.isEmpty() || repairCodeCount == 0)
        return;
    const auto entry = std::find_if(repairCodes.cbegin(), repairCodes.cend(),
                                    [&editedCode](const RepairCode &code) { return code.first == editedCode; });
    if (entry == repairCodes.cend())
        return;
    selectItemText(ui->comboBox, entry->first + QLatin1Char('-') + entry->second);
    ui->textEdit->setPlainText(state.editRepairLine(2));
    const auto [hours, minutes] = splitRepairTime(state.editRepairLine(3));
    selectItemText(ui->comboBox_Time, hours);
    selectItemText(ui->comboBox_Minutes, minutes);
}

void BinRepairLineDialog::selectedRepairReceived(const QString &itemText)
{
    const int index = ui->comboBox->findText(itemText, Qt::MatchFixedString);
    if (index < 0) {
        UserMessages::show(this, QStringLiteral("Error"));
        finish();
        return;
    }
    ui->comboBox->setCurrentIndex(index);
    ui->textEdit->setPlainText(AppState::instance().editRepairLine(2));
}

// The code before the first "-" of the chosen item, at most 8 characters.
QString BinRepairLineDialog::repairCode() const
{
    const QString item = ui->comboBox->currentText();
    const int dash = item.indexOf(QLatin1Char('-'));
    return (dash < 0 ? item : item.left(dash)).left(RepairCodeLength);
}

// "hours:minutes" as chosen. An edited line whose hours or minutes are not
// among the choices keeps them as they were unless the user picks another.
QString BinRepairLineDialog::repairTime() const
{
    QString hours = ui->comboBox_Time->currentText();
    QString minutes = ui->comboBox_Minutes->currentText();
    const AppState &state = AppState::instance();
    if (!state.editRepairLine(1).isEmpty()) {
        const auto edited = splitRepairTime(state.editRepairLine(3));
        if (ui->comboBox_Time->currentIndex() < 0)
            hours = edited.first;
        if (ui->comboBox_Minutes->currentIndex() < 0)
            minutes = edited.second;
    }
    return hours + QLatin1Char(':') + minutes;
}

void BinRepairLineDialog::finish()
{
    link->close();
    close();
}

void BinRepairLineDialog::on_pushButton_Submit_clicked()
{
    const QString code = repairCode();
    const QString materials = ui->textEdit->toPlainText();
    const QString time = repairTime();
    if (!AppState::instance().editRepairLine(1).isEmpty())
        requestEdit(code, materials, time);
    requestSave(code, materials, time);
}

void BinRepairLineDialog::on_comboBox_currentIndexChanged(int) { }

void BinRepairLineDialog::on_comboBox_Time_currentIndexChanged(int) { }

void BinRepairLineDialog::on_textEdit_textChanged()
{
    const int length = ui->textEdit->toPlainText().length();
    if (length > MaterialsLimit) {
        UserMessages::show(this,
                           QStringLiteral("Sorry but your material list is too long: ") + QString::number(length));
        ui->pushButton_Submit->setEnabled(false);
    } else if (!ui->pushButton_Submit->isEnabled()) {
        ui->pushButton_Submit->setEnabled(true);
    }
}

void BinRepairLineDialog::on_pushButton_Cancel_clicked()
{
    finish();
}

void BinRepairLineDialog::requestRepairCodes()
{
    const AppState &state = AppState::instance();
    QString codeListKey = state.currentBin(3);
    if (binOrderMode() == BinOrderMode::Checking)
        codeListKey = state.checkOrder(4);
    else if (binOrderMode() == BinOrderMode::Confirming)
        codeListKey = state.confirmOrder(4);
    link->send(wire::frame(Command::GetRepairCodes, state.workType(), codeListKey));
}

void BinRepairLineDialog::requestEdit(const QString &code, const QString &materials, const QString &time)
{
    const AppState &state = AppState::instance();
    QString user;
    QString binId;
    QString repairId;
    switch (binOrderMode()) {
    case BinOrderMode::Checking:
        user = state.checkOrder(1);
        binId = state.checkOrder(2);
        repairId = state.checkOrder(3);
        break;
    case BinOrderMode::Confirming:
        user = state.confirmOrder(1);
        binId = state.confirmOrder(2);
        repairId = state.confirmOrder(3);
        break;
    case BinOrderMode::OwnBin:
        user = state.orderOwner().isEmpty() ? state.user(1) : state.orderOwner();
        binId = state.currentBin(1);
        repairId = state.currentBin(4);
        break;
    }
    link->send(wire::frame(Command::EditBinRepair, user, state.workType(), binId, repairId, state.editRepairLine(1),
                           state.editRepairLine(2), code, materials, time));
}

void BinRepairLineDialog::requestSave(const QString &code, const QString &materials, const QString &time)
{
    const AppState &state = AppState::instance();
    switch (binOrderMode()) {
    case BinOrderMode::Checking:
        link->send(wire::frame(Command::SaveBinRepairInfo, state.checkOrder(1),
                               QString::number(OrderStatus::WaitingForCheck), state.workType(), state.checkOrder(2),
                               state.checkOrder(3), state.checkOrder(5), code, materials, time));
        break;
    case BinOrderMode::Confirming:
        link->send(wire::frame(Command::SaveBinRepairInfo, state.confirmOrder(1), QString::number(OrderStatus::Checked),
                               state.workType(), state.confirmOrder(2), state.confirmOrder(3), state.confirmBinSize(),
                               code, materials, time));
        break;
    case BinOrderMode::OwnBin:
        link->send(wire::frame(Command::SaveBinRepairInfo, state.user(1), QString::number(state.orderStatus()),
                               state.workType(), state.currentBin(1), state.currentBin(4), state.currentBin(2), code,
                               materials, time));
        break;
    }
}
