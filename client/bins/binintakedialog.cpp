#include "binintakedialog.h"
#include "ui_binintakedialog.h"

#include "core/appstate.h"
#include "core/binordermode.h"
#include "core/handover.h"
#include "core/serverlink.h"
#include "core/usermessages.h"
#include "wire/commands.h"
#include "wire/frame.h"
#include "wire/orderstatus.h"
#include "wire/replytags.h"
#include "wire/worktypes.h"

namespace { } // namespace

BinIntakeDialog::BinIntakeDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::BinIntakeDialog)
    , link(new ServerLink(this, ServerLink::AfterLoss::ExitProgram, QStringLiteral("Error: ")))
{
    ui->setupUi(this);
    handleReplies();
    ui->label_Date->setText(binDateText());
    showMaximized();
    fillChoices();
    link->whenConnected([this]() { requestNewBinId(); });
    link->open();
}

BinIntakeDialog::~BinIntakeDialog()
{
    delete ui;
}

void BinIntakeDialog::fillChoices()
{
    const QString workType = AppState::instance().workType();
    if (workType == WorkType::frontEnd()) {
        ui->comboBox_BinSize->addItems({"2", "3", "4", "6", "8"});
        ui->comboBox_Addit_Info->addItems(
            {"None", "Cardboard Slot", "Compactor", "No Lids", "Slant", "Steel Lids", "Tall"});
    } else if (workType == WorkType::rollOff()) {
        ui->comboBox_BinSize->addItems({"10", "15", "20", "25", "30", "35", "40", "50"});
        ui->comboBox_Addit_Info->addItems({"None", "Compactor", "Enclosed"});
    } else {
        UserMessages::show(this, QStringLiteral("Work Type Error"));
    }
}

void BinIntakeDialog::handleReplies()
{
    link->replies()
        .on(ReplyTag::NewBinID,
            [this](const QString &binId, const QString &codeListKey) {
                newBinId = binId;
                newCodeListKey = codeListKey;
                ui->label_ID->setText(QStringLiteral("ID ") + binId);
            })
        .on(ReplyTag::BinFound, [this](const QString &binId, const QString &repairId,
                                       const QString &binSize) { binFound(binId, repairId, binSize); })
        .on(ReplyTag::BinNotFound, [this](const QString &binId) { binNotFound(binId); })
        .on(ReplyTag::BinInProgress, [this](const QString &binId) { binInProgress(binId); })
        .on(ReplyTag::NewRepairId,
            [this](qint32 repairId) { startOrder(newBinId, ui->comboBox_BinSize->currentText(), repairId); })
        .on(ReplyTag::InfoSaved, [this]() { handOver(this, link, ScreenKind::PreCheck); })
        .otherwise([this](const QString &tag) { UserMessages::show(this, QStringLiteral("Error2") + tag); });
}

void BinIntakeDialog::binFound(const QString &binId, const QString &repairId, const QString &binSize)
{
    UserMessages::show(this, binId + QLatin1Char(' ') + repairId + QLatin1Char(' ') + binSize);
    ui->label_ID->setText(QStringLiteral("ID ") + binId);
    // A size the combo does not offer leaves the selection as it is; the
    // order still records the size the server knows.
    const int sizeIndex = ui->comboBox_BinSize->findText(binSize);
    if (sizeIndex >= 0)
        ui->comboBox_BinSize->setCurrentIndex(sizeIndex);
    startOrder(binId, binSize, repairId.toInt());
}

void BinIntakeDialog::binNotFound(const QString &binId)
{
    const auto answer = UserMessages::ask(
        this, QStringLiteral("The Bin ID you are looking for is not in the DataBase. Would you like to add it in?"),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer == QMessageBox::Yes)
        startOrder(binId, ui->comboBox_BinSize->currentText(), 1);
}

void BinIntakeDialog::binInProgress(const QString &binId)
{
    const auto answer
        = UserMessages::ask(this, QStringLiteral("This bin is already in progress.\nWould you like to continue?"),
                            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer == QMessageBox::No)
        return;
    AppState &state = AppState::instance();
    state.setContinueBin(true, binId);
    handOver(this, link, ScreenKind::ContinueOrder);
    state.setContinueBin(false, QString());
}

void BinIntakeDialog::startOrder(const QString &binId, const QString &binSize, int repairId)
{
    AppState &state = AppState::instance();
    state.setCurrentBin(binId, binSize, newCodeListKey, repairId);
    // A new order is the worker's own and has just begun: nothing left over
    // from an order continued or submitted before may describe it.
    state.setOrderOwner(QString());
    state.setOrderStatus(OrderStatus::Started);
    requestStoreCurrentInfo();
}

void BinIntakeDialog::on_pushButton_Edit_clicked()
{
    const QString workType = AppState::instance().workType();
    QString prompt;
    if (workType == WorkType::frontEnd()) {
        prompt = QStringLiteral("eg(KD1234)\nBin ID:");
    } else if (workType == WorkType::rollOff()) {
        prompt = QStringLiteral("eg(ror20168211)\nBin ID:");
    } else {
        UserMessages::show(this, QStringLiteral("WorkType Error"));
        return;
    }

    const QString binId = UserMessages::askText(this, QStringLiteral("Search Bin ID"), prompt);
    if (binId.isEmpty())
        return;
    const QString prefix = WorkType::binIdPrefix(workType);
    if (!binId.startsWith(prefix, Qt::CaseSensitive)) {
        UserMessages::show(this, QStringLiteral("Bin ID can only start with ") + prefix);
        return;
    }
    if (binId.contains(QLatin1Char(' '))) {
        UserMessages::show(this, QStringLiteral("No spaces in Bin ID"));
        return;
    }
    requestFindBin(binId);
}

void BinIntakeDialog::on_pushButton_Enter_clicked()
{
    requestMakeRepairId();
}

void BinIntakeDialog::requestNewBinId()
{
    const AppState &state = AppState::instance();
    link->send(wire::frame(Command::GetNewBinId, state.workType(), state.user(1)));
}

void BinIntakeDialog::requestFindBin(const QString &binId)
{
    const AppState &state = AppState::instance();
    link->send(wire::frame(Command::FindBin, state.user(1), state.workType(), binId));
}

void BinIntakeDialog::requestMakeRepairId()
{
    link->send(wire::frame(Command::MakeRepairId, ui->label_ID->text(), AppState::instance().workType()));
}

void BinIntakeDialog::requestStoreCurrentInfo()
{
    const AppState &state = AppState::instance();
    link->send(wire::frame(Command::StoreCurrentInfo, state.user(1), state.workType(), state.currentBin(1),
                           state.currentBin(2), state.currentBin(4), ui->comboBox_Addit_Info->currentText()));
}
