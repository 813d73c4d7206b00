#include "continueorderdialog.h"
#include "ui_continueorderdialog.h"

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

// Each bin order row keeps the user whose order it is: the same order text
// may be listed under several users.
constexpr int OwnerRole = Qt::UserRole;

// Each custom job row keeps the fields the server listed it with: the row's
// text joins them with spaces, and the fields may hold spaces themselves.
constexpr int OrderNumberRole = Qt::UserRole + 1;
constexpr int SecondFieldRole = Qt::UserRole + 2;
constexpr int ThirdFieldRole = Qt::UserRole + 3;

} // namespace

ContinueOrderDialog::ContinueOrderDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::ContinueOrderDialog)
    , link(new ServerLink(this, ServerLink::AfterLoss::ExitProgram, QStringLiteral("Error: ")))
{
    ui->setupUi(this);
    handleReplies();
    showMaximized();
    link->whenConnected([this]() { onConnected(); });
    link->open();
}

ContinueOrderDialog::~ContinueOrderDialog()
{
    delete ui;
}

void ContinueOrderDialog::handleReplies()
{
    link->replies()
        .on(ReplyTag::WorkOrders, [this](wire::FieldReader &reply) { return showWorkOrders(reply); })
        .on(ReplyTag::GetCustomWorkOrders, [this](wire::FieldReader &reply) { return showCustomWorkOrders(reply); })
        .on(ReplyTag::Bin,
            [this](const QString &binId, const QString &workType, const QString &repairId, const QString &status,
                   const QString &codeListKey) { openBinOrder(binId, workType, repairId, status, codeListKey); })
        .on(ReplyTag::ContinueCustomOrder,
            [this](const QString &date, const QString &worker, const QString &customerId, const QString &contactName,
                   const QString &phone, const QString &email, const QString &, const QString &orderId,
                   const QString &jobType, const QString &customer) {
                AppState &state = AppState::instance();
                state.setCustomOrderId(orderId.toInt());
                state.setCustomOrder(date, worker, jobType, customer, customerId, contactName, phone, email);
                handOver(this, link, ScreenKind::CustomJobSheet);
            })
        .otherwise([this]() { UserMessages::show(this, QStringLiteral("Error")); });
}

bool ContinueOrderDialog::showWorkOrders(wire::FieldReader &reply)
{
    const QString count = reply.string();
    const auto entries = wire::readGroups<QString, QStringList>(reply, count.toInt());
    if (!entries)
        return false;

    for (const auto &[owner, orders] : *entries) {
        for (const QString &order : orders) {
            auto *item = new QListWidgetItem(order, ui->listWidget_WorkOrders);
            item->setData(OwnerRole, owner);
        }
    }

    const AppState &state = AppState::instance();
    if (!state.continueBin())
        return true;
    for (int row = 0; row < ui->listWidget_WorkOrders->count(); ++row) {
        QListWidgetItem *item = ui->listWidget_WorkOrders->item(row);
        if (item->text() == state.continueBinId()) {
            ui->listWidget_WorkOrders->setCurrentItem(item);
            break;
        }
    }
    return true;
}

void ContinueOrderDialog::continueBinOrder(const QListWidgetItem &item)
{
    const QString owner = item.data(OwnerRole).toString();
    // The owner is recorded only for another user's order, so that it
    // always describes the order being continued.
    AppState &state = AppState::instance();
    state.setOrderOwner(owner == state.user(1) ? QString() : owner);
    requestBin(owner, item.text());
}

void ContinueOrderDialog::openBinOrder(const QString &binId, const QString &workType, const QString &repairId,
                                       const QString &status, const QString &codeListKey)
{
    AppState &state = AppState::instance();
    state.setWorkType(workType);
    state.setCurrentBin(binId, QString(), codeListKey, repairId.toInt());
    state.setOrderStatus(status.toInt());
    if (state.orderStatus() == OrderStatus::FrontEndSheetSubmitted)
        handOver(this, link, ScreenKind::FinalChecks);
    else
        handOver(this, link, ScreenKind::BinRepairSheet);
}

bool ContinueOrderDialog::showCustomWorkOrders(wire::FieldReader &reply)
{
    const QString count = reply.string();
    const auto entries = wire::readGroups<QString, QString, QString>(reply, count.toInt());
    if (!entries)
        return false;

    for (const auto &[number, second, third] : *entries) {
        const int orderNumber = number.toInt();
        const QString text = QString::number(orderNumber) + QLatin1Char(' ') + third + QLatin1Char(' ') + second;
        auto *item = new QListWidgetItem(text, ui->listWidget_WorkOrders);
        item->setData(OrderNumberRole, orderNumber);
        item->setData(SecondFieldRole, second);
        item->setData(ThirdFieldRole, third);
    }
    return true;
}

void ContinueOrderDialog::continueCustomJob(const QListWidgetItem &item)
{
    requestCustomOrder(item.data(OrderNumberRole).toInt(), item.data(SecondFieldRole).toString(),
                       item.data(ThirdFieldRole).toString());
}

void ContinueOrderDialog::on_pushButton_Continue_clicked()
{
    const QList<QListWidgetItem *> selected = ui->listWidget_WorkOrders->selectedItems();
    if (selected.size() != 1) {
        UserMessages::show(this, QStringLiteral("Please select a Work Order before continuing"));
        return;
    }
    if (customOrders)
        continueCustomJob(*selected.first());
    else
        continueBinOrder(*selected.first());
}

void ContinueOrderDialog::on_pushButton_Cancel_clicked()
{
    AppState &state = AppState::instance();
    if (state.continueCustom())
        state.setContinueCustom(false);
    link->close();
    close();
}

void ContinueOrderDialog::requestWorkOrders()
{
    link->send(wire::frame(Command::GetWorkOrders, AppState::instance().user(1)));
}

void ContinueOrderDialog::requestBin(const QString &owner, const QString &order)
{
    link->send(wire::frame(Command::GetBin, owner, order));
}

void ContinueOrderDialog::requestCustomWorkOrders()
{
    link->send(wire::frame(Command::GetCustomWorkOrders));
}

void ContinueOrderDialog::requestCustomOrder(int orderNumber, const QString &secondField, const QString &thirdField)
{
    link->send(wire::frame(Command::ContinueCustomOrder, QString::number(orderNumber), secondField, thirdField));
}

// Once the link is up.
void ContinueOrderDialog::onConnected()
{
    customOrders = AppState::instance().continueCustom();
    if (customOrders)
        requestCustomWorkOrders();
    else
        requestWorkOrders();
}
