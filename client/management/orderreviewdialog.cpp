#include "orderreviewdialog.h"
#include "ui_orderreviewdialog.h"

#include "core/appstate.h"
#include "core/handover.h"
#include "core/serverlink.h"
#include "core/usermessages.h"
#include "wire/commands.h"
#include "wire/fieldreader.h"
#include "wire/frame.h"
#include "wire/orderstatus.h"
#include "wire/replytags.h"

#include <QListWidgetItem>

namespace {

// Each order row keeps the worker it was listed under: the same order text
// may belong to several workers.
constexpr int WorkerRole = Qt::UserRole;

const QString FlaggedMarker = QStringLiteral("*");

QString withoutMarker(QString name)
{
    return name.remove(FlaggedMarker);
}

// The review groups leave no trace of an order once the review is done with
// it; a sheet left without a verdict does not clear them itself.
void clearCheckOrder()
{
    AppState &state = AppState::instance();
    state.setCheckOrder(false, QString(), QString(), 0, QString(), state.checkOrder(5));
    state.setWorkType(QString());
}

void clearConfirmOrder()
{
    AppState &state = AppState::instance();
    state.setConfirmOrder(QString(), QString(), 0, QString());
    state.setWorkType(QString());
}

void clearCustomOrder()
{
    AppState &state = AppState::instance();
    state.setCheckingCustom(false);
    state.setCustomOrder(QString(), QString(), QString(), QString(), QString(), QString(), QString(), QString());
    state.setCustomOrderId(0);
}

} // namespace

OrderReviewDialog::OrderReviewDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::OrderReviewDialog)
    , link(new ServerLink(this, ServerLink::AfterLoss::ExitProgram, QStringLiteral("Error: ")))
    , confirming(AppState::instance().confirmingOrders())
{
    ui->setupUi(this);
    showMaximized();
    QCheckBox *unused = confirming ? ui->checkBox_ShowAll : ui->checkBox_Custom;
    unused->setEnabled(false);
    unused->hide();
    handleReplies();
    link->whenConnected([this]() { requestListOfUserOrders(); });
    link->open();
}

OrderReviewDialog::~OrderReviewDialog()
{
    delete ui;
}

void OrderReviewDialog::handleReplies()
{
    link->replies()
        .on(ReplyTag::ListOfUserOrders,
            [this](const QStringList &names, const QStringList &flags) {
                showUsers(names, flags);
                if (ui->checkBox_Custom->isChecked())
                    requestAllCustomWork();
                else
                    requestAllWork();
            })
        .on(ReplyTag::GetAllWork, [this](wire::FieldReader &reply) { return showAllWork(reply); })
        .on(ReplyTag::GetAllCustomWork, [this](wire::FieldReader &reply) { return showAllCustomWork(reply); })
        .on(ReplyTag::ListWorkOrders, [this](const QStringList &lines) { showWorkerOrders(lines); })
        .on(ReplyTag::ListCustomWorkToConfirm, [this](wire::FieldReader &reply) { return showWorkerCustomWork(reply); })
        .on(ReplyTag::GetBinForCheck,
            [this](const QString &worker, const QString &codeListKey, const QString &workType, const QString &binId,
                   const QString &repairId) { openCheckOrder(worker, codeListKey, workType, binId, repairId); })
        .on(ReplyTag::GetBinForConfirmCheck,
            [this](const QString &worker, const QString &codeListKey, const QString &workType, const QString &binId,
                   const QString &repairId) { openConfirmOrder(worker, codeListKey, workType, binId, repairId); })
        .on(ReplyTag::GetCustomForCheck,
            [this](const QString &, const QString &orderId, const QString &jobType, const QString &customer,
                   const QString &date, const QString &worker, const QString &customerId, const QString &contactName,
                   const QString &phone, const QString &email) {
                openCustomOrder(orderId, jobType, customer, date, worker, customerId, contactName, phone, email);
            })
        .otherwise([this]() { UserMessages::show(this, QStringLiteral("Error")); });
}

// A flag list shorter than the name list flags none of the names it does
// not reach.
void OrderReviewDialog::showUsers(const QStringList &names, const QStringList &flags)
{
    ui->listWidget_Users->clear();
    ui->listWidget_Orders->clear();
    for (int i = 0; i < names.size(); ++i) {
        const bool flagged = flags.value(i) == QLatin1String("Yes");
        ui->listWidget_Users->addItem(flagged ? FlaggedMarker + names.at(i) : names.at(i));
    }
}

bool OrderReviewDialog::showAllWork(wire::FieldReader &reply)
{
    reply.string();
    const QString count = reply.string();
    const auto entries = wire::readGroups<QString, QStringList>(reply, count.toInt());
    if (!entries)
        return false;

    allWorkEntries = entries->size();
    ui->listWidget_Orders->clear();
    for (const auto &[worker, orders] : *entries) {
        for (const QString &order : orders)
            addOrder(order, worker);
    }
    return true;
}

// Each custom job comes as one index into three parallel columns; a column
// shorter than the first leaves its part of the line empty.
bool OrderReviewDialog::showAllCustomWork(wire::FieldReader &reply)
{
    const QString count = reply.string();
    const auto entries = wire::readGroups<QString, QStringList, QStringList, QStringList>(reply, count.toInt());
    if (!entries)
        return false;

    allCustomWorkEntries = entries->size();
    ui->listWidget_Orders->clear();
    for (const auto &[worker, first, second, third] : *entries) {
        for (int j = 0; j < first.size(); ++j)
            addOrder(first.at(j) + QLatin1Char(' ') + second.value(j) + QLatin1Char(' ') + third.value(j), worker);
    }
    return true;
}

void OrderReviewDialog::showWorkerOrders(const QStringList &lines)
{
    ui->listWidget_Orders->clear();
    for (const QString &line : lines)
        addOrder(line, listedWorker);
}

bool OrderReviewDialog::showWorkerCustomWork(wire::FieldReader &reply)
{
    reply.string();
    const QString count = reply.string();
    const auto jobs = wire::readGroups<QString, QString, QString>(reply, count.toInt());
    if (!jobs)
        return false;

    ui->listWidget_Orders->clear();
    for (const auto &[number, second, third] : *jobs)
        addOrder(QString::number(number.toInt()) + QLatin1Char(' ') + second + QLatin1Char(' ') + third, listedWorker);
    return true;
}

void OrderReviewDialog::addOrder(const QString &line, const QString &worker)
{
    auto *item = new QListWidgetItem(line, ui->listWidget_Orders);
    item->setData(WorkerRole, worker);
}

bool OrderReviewDialog::storedWorkIsEmpty() const
{
    return ui->checkBox_Custom->isChecked() ? allCustomWorkEntries == 0 : allWorkEntries == 0;
}

void OrderReviewDialog::openCheckOrder(const QString &worker, const QString &codeListKey, const QString &workType,
                                       const QString &binId, const QString &repairId)
{
    AppState &state = AppState::instance();
    state.setCheckOrder(true, worker, binId, repairId.toInt(), codeListKey, state.checkOrder(5));
    state.setWorkType(workType);
    handOver(this, link, ScreenKind::BinRepairSheet);
    clearCheckOrder();
}

// confirmingOrders stays as the management panel set it.
void OrderReviewDialog::openConfirmOrder(const QString &worker, const QString &codeListKey, const QString &workType,
                                         const QString &binId, const QString &repairId)
{
    AppState &state = AppState::instance();
    state.setConfirmOrder(worker, binId, repairId.toInt(), codeListKey);
    state.setWorkType(workType);
    handOver(this, link, ScreenKind::BinRepairSheet);
    clearConfirmOrder();
}

void OrderReviewDialog::openCustomOrder(const QString &orderId, const QString &jobType, const QString &customer,
                                        const QString &date, const QString &worker, const QString &customerId,
                                        const QString &contactName, const QString &phone, const QString &email)
{
    AppState &state = AppState::instance();
    state.setCustomOrderId(orderId.toInt());
    state.setCustomOrder(date, worker, jobType, customer, customerId, contactName, phone, email);
    state.setCheckingCustom(true);
    handOver(this, link, ScreenKind::CustomJobSheet);
    clearCustomOrder();
}

void OrderReviewDialog::on_listWidget_Users_clicked()
{
    const QListWidgetItem *user = ui->listWidget_Users->currentItem();
    if (!user)
        return;
    ui->checkBox_ShowAll->setChecked(false);
    requestWorkerOrders(withoutMarker(user->text()));
}

// The order's worker is the one it was listed under, whichever user is
// selected or however often its text occurs.
void OrderReviewDialog::on_pushButton_Continue_clicked()
{
    const QList<QListWidgetItem *> orders = ui->listWidget_Orders->selectedItems();
    if (orders.size() != 1) {
        UserMessages::show(this, QStringLiteral("Please select a work order before continuing"));
        return;
    }
    const QListWidgetItem *order = orders.first();
    if (ui->listWidget_Users->selectedItems().size() == 1) {
        if (ui->checkBox_ShowAll->isChecked()) {
            UserMessages::show(this, QStringLiteral("Please uncheck Show All before continuing"));
            return;
        }
    } else if (storedWorkIsEmpty()) {
        UserMessages::show(this, QStringLiteral("There is no work"));
        return;
    }
    requestOrder(order->data(WorkerRole).toString(), order->text());
}

void OrderReviewDialog::on_checkBox_Custom_clicked()
{
    link->send(wire::frame(ui->checkBox_Custom->isChecked() ? Command::CheckCustomWork : Command::CheckBinWork));
}

// Leaves nothing of a review behind: an order opened for checking, a custom
// job opened for checking, or else a bin order opened for confirming.
void OrderReviewDialog::on_pushButton_Cancel_clicked()
{
    const AppState &state = AppState::instance();
    if (state.checkingOrder())
        clearCheckOrder();
    else if (state.checkingCustom())
        clearCustomOrder();
    else if (!state.confirmOrder(1).isEmpty())
        clearConfirmOrder();
    link->close();
    close();
}

void OrderReviewDialog::on_checkBox_ShowAll_clicked()
{
    if (ui->checkBox_ShowAll->isChecked())
        requestAllWork();
}

QString OrderReviewDialog::statusCode() const
{
    return QString::number(confirming ? OrderStatus::Checked : OrderStatus::WaitingForCheck);
}

void OrderReviewDialog::requestListOfUserOrders()
{
    link->send(wire::frame(Command::GetListOfUserOrders, statusCode()));
}

void OrderReviewDialog::requestAllWork()
{
    link->send(wire::frame(Command::GetAllWork, QStringLiteral("All"), statusCode()));
}

void OrderReviewDialog::requestAllCustomWork()
{
    link->send(wire::frame(Command::GetAllCustomWork));
}

void OrderReviewDialog::requestWorkerOrders(const QString &worker)
{
    listedWorker = worker;
    const QString &command = ui->checkBox_Custom->isChecked() ? Command::ListCustomWorkToConfirm
                             : confirming                     ? Command::ListWorkOrdersToConfirm
                                                              : Command::ListWorkOrders;
    link->send(wire::frame(command, worker));
}

void OrderReviewDialog::requestOrder(const QString &worker, const QString &orderLine)
{
    const QString &command = ui->checkBox_Custom->isChecked() ? Command::GetCustomForCheck
                             : confirming                     ? Command::GetBinForConfirmCheck
                                                              : Command::GetBinForCheck;
    link->send(wire::frame(command, worker, orderLine));
}
