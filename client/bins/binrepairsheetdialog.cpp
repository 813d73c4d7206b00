#include "binrepairsheetdialog.h"
#include "ui_binrepairsheetdialog.h"

#include "core/appstate.h"
#include "core/binordermode.h"
#include "core/handover.h"
#include "core/serverlink.h"
#include "core/tablecolumns.h"
#include "core/usermessages.h"
#include "wire/commands.h"
#include "wire/fieldreader.h"
#include "wire/frame.h"
#include "wire/orderstatus.h"
#include "wire/replytags.h"
#include "wire/worktypes.h"

#include <QItemSelectionModel>
#include <QStandardItemModel>

namespace {

const QString TotalTimePrefix = QStringLiteral("Total Time: ");

QString userName()
{
    return AppState::instance().user(1);
}

} // namespace

BinRepairSheetDialog::BinRepairSheetDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::BinRepairSheetDialog)
    , link(new ServerLink(this, ServerLink::AfterLoss::ExitProgram, QStringLiteral("Error: ")))
    , repairModel(new QStandardItemModel(0, 3, this))
    , liveClock(this, [this](const QString &elapsed) { ClockUpdate(elapsed); })
{
    ui->setupUi(this);
    repairModel->setHorizontalHeaderLabels(
        {QStringLiteral("Repair Code"), QStringLiteral("Materials"), QStringLiteral("Time")});
    ui->tableView->setModel(repairModel);
    fitColumnsToContents(ui->tableView);
    handleReplies();
    showMaximized();
    link->whenConnected([this]() { onConnected(); });
    link->open();
    ui->label_Date->setText(binDateText());
}

BinRepairSheetDialog::~BinRepairSheetDialog()
{
    // The clock thread must be gone before the label it writes to.
    liveClock.stop();
    delete ui;
}

void BinRepairSheetDialog::handleReplies()
{
    link->replies()
        .on(ReplyTag::BinSize,
            [this](const QString &size) {
                AppState &state = AppState::instance();
                ui->label_ID->setText(QStringLiteral("ID ") + state.currentBin(1));
                ui->label_Size->setText(QStringLiteral("Size ") + size);
                ui->label_FER->setText(state.workType());
                state.setCurrentBin(state.currentBin(1), size, state.currentBin(3), state.currentBin(4).toInt());
            })
        .on(ReplyTag::BinRepairInfo,
            [this](wire::FieldReader &reply) {
                const QString size = reply.string();
                const QString count = reply.string();
                const auto rows = wire::readGroups<QString, QString, QString, QString>(reply, count.toInt());
                if (!reply.ok() || !rows)
                    return false;
                QVector<RepairRow> received;
                for (const auto &[code, materials, time, user] : *rows)
                    received.append({code, materials, time, user});
                showRepairRows(size, received);
                return true;
            })
        .on(ReplyTag::BinRepairSaved,
            [this]() {
                if (AppState::instance().orderStatus() == OrderStatus::FrontEndSheetSubmitted)
                    runWithLinkClosed(this, link, ScreenKind::FinalChecks);
            })
        .on(ReplyTag::StatusChanged, [this]() { statusChanged(); })
        .on(ReplyTag::RepairRemoved, [this]() { requestRepairInfo(); })
        .on(ReplyTag::StartTimeSet,
            [this](const QString &stampId, const QString &hours) { timingStarted(stampId, hours); })
        .on(ReplyTag::EndTimeSet, [this]() { timingEnded(); })
        .on(ReplyTag::GetBinTotalTime,
            [this](const QString &total) {
                ui->label_TotalTime->setText(TotalTimePrefix + total);
                refreshSheet();
            })
        .on(ReplyTag::SendBinBack,
            [this]() {
                clearReviewGroup();
                endSheet();
            })
        .otherwise([this](const QString &tag) { UserMessages::show(this, QStringLiteral("Error ") + tag); });
}

// Loads what the sheet shows for the order's stage: the bin's size for a
// fresh order, its repair lines once work has begun.
void BinRepairSheetDialog::refreshSheet()
{
    AppState &state = AppState::instance();
    if (binOrderMode() != BinOrderMode::OwnBin)
        state.setOrderStatus(OrderStatus::LinesRecorded);
    switch (state.orderStatus()) {
    case OrderStatus::Started:
        requestBinInfo();
        break;
    case OrderStatus::LinesRecorded:
        requestRepairInfo();
        break;
    default:
        ui->label_ID->setText(state.currentBin(1));
        ui->label_Size->setText(state.currentBin(2));
        ui->label_FER->setText(state.workType());
        break;
    }
}

void BinRepairSheetDialog::showRepairRows(const QString &size, const QVector<RepairRow> &rows)
{
    AppState &state = AppState::instance();
    repairRows = rows;
    repairRowCount = rows.size();
    switch (binOrderMode()) {
    case BinOrderMode::Checking:
        state.setCheckBinSize(size);
        ui->label_ID->setText(QStringLiteral("ID ") + state.checkOrder(2));
        break;
    case BinOrderMode::Confirming:
        state.setConfirmBinSize(size);
        ui->label_ID->setText(QStringLiteral("ID ") + state.confirmOrder(2));
        break;
    case BinOrderMode::OwnBin:
        state.setCurrentBin(state.currentBin(1), size, state.currentBin(3), state.currentBin(4).toInt());
        ui->label_ID->setText(QStringLiteral("ID ") + state.currentBin(1));
        break;
    }
    ui->label_Size->setText(QStringLiteral("Size ") + size);
    ui->label_FER->setText(state.workType());

    auto *model = new QStandardItemModel(0, 4, this);
    model->setHorizontalHeaderLabels({QStringLiteral("Repair Code"), QStringLiteral("Materials"),
                                      QStringLiteral("Time"), QStringLiteral("UserName")});
    for (const RepairRow &row : qAsConst(repairRows)) {
        QList<QStandardItem *> items;
        for (const QString &text : row)
            items << new QStandardItem(text);
        model->appendRow(items);
    }
    QItemSelectionModel *oldSelection = ui->tableView->selectionModel();
    ui->tableView->setModel(model);
    delete oldSelection;
    delete repairModel;
    repairModel = model;
    fitColumnsToContents(ui->tableView);
}

void BinRepairSheetDialog::timingStarted(const QString &stampId, const QString &hours)
{
    AppState &state = AppState::instance();
    state.setTimeStampId(stampId.toInt());
    state.setTimerRunning(true);
    state.setElapsedHours(hours.toFloat());
    liveClock.start();
    refreshSheet();
}

void BinRepairSheetDialog::timingEnded()
{
    // The stamp is closed: nothing may end it again.
    AppState::instance().setTimerRunning(false);
    AppState::instance().setTimeStampId(0);
    // Only an accepted roll-off submission is finished here; Back merely stops the timing.
    if (finishing && AppState::instance().workType() == WorkType::rollOff())
        UserMessages::show(this, QStringLiteral("Finished"));
    clearReviewGroup();
    endSheet();
}

void BinRepairSheetDialog::statusChanged()
{
    const QString workType = AppState::instance().workType();
    if (workType == WorkType::frontEnd()) {
        handOver(this, link, ScreenKind::FinalChecks);
    } else if (workType == WorkType::rollOff()) {
        if (AppState::instance().timerRunning()) {
            finishing = true;
            requestEndTime();
            return;
        }
        clearReviewGroup();
        UserMessages::show(this, QStringLiteral("Finished"));
        endSheet();
    } else {
        UserMessages::show(this, QStringLiteral("Work Type Error 2: ") + workType);
    }
}

QString BinRepairSheetDialog::rowText(int row, int column) const
{
    return repairModel->index(row, column).data().toString();
}

void BinRepairSheetDialog::clearReviewGroup()
{
    AppState &state = AppState::instance();
    switch (binOrderMode()) {
    case BinOrderMode::Checking:
        state.setCheckOrder(false, QString(), QString(), 0, QString(), QString());
        break;
    case BinOrderMode::Confirming:
        state.setConfirmingOrders(false);
        state.setConfirmOrder(QString(), QString(), 0, QString());
        break;
    case BinOrderMode::OwnBin:
        break;
    }
}

void BinRepairSheetDialog::endSheet()
{
    liveClock.stop();
    link->close();
    close();
}

void BinRepairSheetDialog::ClockUpdate(const QString &text)
{
    ui->label_TotalTime->setText(TotalTimePrefix + text);
}

void BinRepairSheetDialog::on_pushButton_Add_clicked()
{
    Navigation::run(ScreenKind::BinRepairLine);
    requestRepairInfo();
}

void BinRepairSheetDialog::on_pushButton_Submit_clicked()
{
    liveClock.stop();
    const AppState &state = AppState::instance();
    const QString workType = state.workType();
    switch (binOrderMode()) {
    case BinOrderMode::Checking:
        if (workType == WorkType::frontEnd()) {
            handOver(this, link, ScreenKind::FinalChecks);
        } else if (workType == WorkType::rollOff()) {
            requestStatusChange(state.checkOrder(1), QString::number(OrderStatus::Checked), state.checkOrder(2),
                                state.checkOrder(3));
        }
        break;
    case BinOrderMode::Confirming:
        requestStatusChange(state.confirmOrder(1), QString::number(OrderStatus::Confirmed), state.confirmOrder(2),
                            state.confirmOrder(3));
        break;
    case BinOrderMode::OwnBin:
        submitOwnOrder();
        break;
    }
}

void BinRepairSheetDialog::submitOwnOrder()
{
    AppState &state = AppState::instance();
    const QString workType = state.workType();
    int status = 0;
    if (workType == WorkType::frontEnd()) {
        status = OrderStatus::FrontEndSheetSubmitted;
    } else if (workType == WorkType::rollOff()) {
        status = OrderStatus::WaitingForCheck;
    } else {
        UserMessages::show(this, QStringLiteral("Work Type Error: ") + workType);
        return;
    }
    state.setOrderStatus(status);
    requestStatusChange(ownOrderUser(), QString::number(status), state.currentBin(1), state.currentBin(4));
}

void BinRepairSheetDialog::on_pushButton_Edit_clicked()
{
    AppState &state = AppState::instance();
    if (continuesAnotherUsersOrder()) {
        UserMessages::show(this, QStringLiteral("Sorry but you can't edit another users Repair!"));
        return;
    }
    const int row = ui->tableView->currentIndex().row();
    state.setEditRepairLine(rowText(row, 0), rowText(row, 1), rowText(row, 2));
    Navigation::run(ScreenKind::BinRepairLine);
    state.setEditRepairLine(QString(), QString(), QString());
    requestRepairInfo();
}

void BinRepairSheetDialog::on_pushButton_Remove_clicked()
{
    if (continuesAnotherUsersOrder()) {
        UserMessages::show(this, QStringLiteral("Sorry but you can't Remove another users Repair!"));
        return;
    }
    const int row = ui->tableView->currentIndex().row();
    const QString code = rowText(row, 0);
    const QString materials = rowText(row, 1);
    const QString question = QStringLiteral("Are you sure you want to remove: ") + QString::number(row)
                             + QLatin1Char(' ') + code + QLatin1Char(' ') + materials + QLatin1Char('?');
    if (UserMessages::ask(this, question, QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Cancel)
        == QMessageBox::Yes)
        requestRemove(code, materials);
}

void BinRepairSheetDialog::on_pushButton_Back_clicked()
{
    if (AppState::instance().timerRunning()) {
        liveClock.stop();
        requestEndTime();
        return;
    }
    const auto answer = UserMessages::ask(this, QStringLiteral("Would you like to send this repair back?"),
                                          QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer == QMessageBox::Yes)
        requestSendBack();
    else
        endSheet();
}

void BinRepairSheetDialog::requestStartTime()
{
    const AppState &state = AppState::instance();
    link->send(
        wire::frame(Command::SetStartTime, userName(), state.workType(), state.currentBin(1), state.currentBin(4)));
}

// The booked total of the order under review: the checked order's while
// checking, the confirmed order's while confirming.
void BinRepairSheetDialog::requestTotalTime()
{
    const AppState &state = AppState::instance();
    if (binOrderMode() == BinOrderMode::Checking)
        link->send(wire::frame(Command::GetBinTotalTime, state.checkOrder(1), state.checkOrder(2), state.checkOrder(3),
                               state.workType()));
    else
        link->send(wire::frame(Command::GetBinTotalTime, state.confirmOrder(1), state.confirmOrder(2),
                               state.confirmOrder(3), state.workType()));
}

void BinRepairSheetDialog::requestBinInfo()
{
    const AppState &state = AppState::instance();
    link->send(
        wire::frame(Command::GetBinInfo, userName(), state.workType(), state.currentBin(1), state.currentBin(4)));
}

void BinRepairSheetDialog::requestRepairInfo()
{
    const AppState &state = AppState::instance();
    Order order{userName(), state.currentBin(1), state.currentBin(4)};
    if (binOrderMode() == BinOrderMode::Checking)
        order = {state.checkOrder(1), state.checkOrder(2), state.checkOrder(3)};
    else if (binOrderMode() == BinOrderMode::Confirming)
        order = {state.confirmOrder(1), state.confirmOrder(2), state.confirmOrder(3)};
    link->send(wire::frame(Command::GetBinRepairInfo, order.user, state.workType(), order.binId, order.repairId));
}

void BinRepairSheetDialog::requestEndTime()
{
    const AppState &state = AppState::instance();
    link->send(wire::frame(Command::SetEndTime, userName(), state.workType(), state.currentBin(1), state.currentBin(4),
                           QString::number(state.timeStampId())));
}

// Removes the line from the order at hand; a confirmed order's lines are
// its own, never the manager's current bin's.
void BinRepairSheetDialog::requestRemove(const QString &repairCode, const QString &materials)
{
    const AppState &state = AppState::instance();
    QString binId = state.currentBin(1);
    QString repairId = state.currentBin(4);
    if (binOrderMode() == BinOrderMode::Checking) {
        binId = state.checkOrder(2);
        repairId = state.checkOrder(3);
    } else if (binOrderMode() == BinOrderMode::Confirming) {
        binId = state.confirmOrder(2);
        repairId = state.confirmOrder(3);
    }
    link->send(wire::frame(Command::RemoveFromRepairList, state.workType(), binId, repairId, repairCode, materials));
}

void BinRepairSheetDialog::requestStatusChange(const QString &user, const QString &status, const QString &binId,
                                               const QString &repairId)
{
    link->send(wire::frame(Command::ChangeStatus, user, status, binId, repairId));
}

void BinRepairSheetDialog::requestSendBack()
{
    const AppState &state = AppState::instance();
    switch (binOrderMode()) {
    case BinOrderMode::Checking:
        link->send(wire::frame(Command::SendBinBack, state.checkOrder(1), state.checkOrder(2), state.checkOrder(3),
                               QString::number(OrderStatus::FrontEndSheetSubmitted)));
        break;
    case BinOrderMode::Confirming:
        link->send(wire::frame(Command::SendBinBack, state.confirmOrder(1), state.confirmOrder(2),
                               state.confirmOrder(3), QString::number(OrderStatus::WaitingForCheck)));
        break;
    case BinOrderMode::OwnBin:
        link->send(wire::frame(Command::SendBinBack));
        break;
    }
}

// Once the link is up.
void BinRepairSheetDialog::onConnected()
{
    if (binOrderMode() != BinOrderMode::OwnBin)
        requestTotalTime();
    else if (!AppState::instance().timerRunning())
        requestStartTime();
}
