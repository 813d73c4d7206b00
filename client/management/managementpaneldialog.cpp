#include "managementpaneldialog.h"
#include "ui_managementpaneldialog.h"

#include "core/appstate.h"
#include "core/handover.h"
#include "core/navigation.h"
#include "core/serverlink.h"
#include "core/usermessages.h"
#include "wire/commands.h"
#include "wire/frame.h"
#include "wire/replytags.h"

ManagementPanelDialog::ManagementPanelDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::ManagementPanelDialog)
    , link(new ServerLink(this, ServerLink::AfterLoss::ExitProgram, QStringLiteral("Error: ")))
{
    ui->setupUi(this);
    handleReplies();
    link->whenConnected([this]() { requestNumberWorkToConfirm(); });
    link->open();
}

ManagementPanelDialog::~ManagementPanelDialog()
{
    delete ui;
}

void ManagementPanelDialog::handleReplies()
{
    link->replies()
        .on(ReplyTag::NumberOfOrdersToConfirm,
            [this](const QString &binOrders, const QString &customOrders) {
                ui->label_OrdersToCheck->setText(QStringLiteral("Bins ") + binOrders);
                ui->label_CustomOrders->setText(QStringLiteral("Custom ") + customOrders);
            })
        .otherwise([this]() { UserMessages::show(this, QStringLiteral("Error")); });
}

// The review runs in confirm mode for exactly as long as it is open from
// here: it reads the flag when it is built, and the flag is dropped again
// however the review ended.
void ManagementPanelDialog::on_pushButton_ConfirmOrders_clicked()
{
    AppState &state = AppState::instance();
    state.setConfirmingOrders(true);
    if (const auto review = Navigation::create(ScreenKind::OrderReview)) {
        link->close();
        hide();
        review->exec();
    }
    state.setConfirmingOrders(false);
    close();
}

void ManagementPanelDialog::on_pushButton_View_clicked()
{
    handOver(this, link, ScreenKind::FinishedOrders);
}

void ManagementPanelDialog::on_pushButton_RepairCodes_clicked()
{
    handOver(this, link, ScreenKind::RepairCodeList);
}

void ManagementPanelDialog::on_pushButton_EditUsers_clicked()
{
    handOver(this, link, ScreenKind::UserAdmin);
}

void ManagementPanelDialog::on_pushButton_Departments_clicked()
{
    handOver(this, link, ScreenKind::Departments);
}

void ManagementPanelDialog::on_pushButton_Back_clicked()
{
    link->close();
    close();
}

void ManagementPanelDialog::on_pushButton_TimeStamp_clicked()
{
    handOver(this, link, ScreenKind::ClockOverview);
}

void ManagementPanelDialog::requestNumberWorkToConfirm()
{
    link->send(wire::frame(Command::GetNumberWorkToConfirm));
}
