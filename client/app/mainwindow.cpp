#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "core/appstate.h"
#include "core/serverlink.h"
#include "core/usermessages.h"
#include "logindialog.h"
#include "wire/commands.h"
#include "wire/frame.h"
#include "wire/orderstatus.h"
#include "wire/permissionlevel.h"
#include "wire/replytags.h"
#include "wire/worktypes.h"

namespace {

// Users who are never asked to clock in.
bool isExemptFromClocking(const QString &userName)
{
    return userName == QLatin1String("Quill") || userName == QLatin1String("RenVasko");
}

QString userName()
{
    return AppState::instance().user(1);
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
    , link(new ServerLink(this, ServerLink::AfterLoss::ExitProgram, QStringLiteral("Error: ")))
{
    ui->setupUi(this);
    handleReplies();
    showMaximized();
    hide();
    logIn();
    // A window manager forgets the maximized state of a hidden window.
    showMaximized();
    ui->label_Orders->setText(QString());
    ui->pushButton_Orders->setEnabled(false);
    ui->pushButton_Orders->hide();
    ui->pushButton_Management->setEnabled(false);
    ui->pushButton_Management->hide();
    link->whenConnected([this]() { onConnected(); });
    link->open();
}

MainWindow::~MainWindow()
{
    delete ui;
}

void MainWindow::handleReplies()
{
    link->replies()
        .on(ReplyTag::WorkType,
            [this](const QStringList &workTypes) {
                ui->comboBox->addItems(workTypes);
                requestPermissions();
            })
        .on(ReplyTag::Permissions, [this](const QString &level) { applyPermissions(level); })
        .on(ReplyTag::NumberOfOrders,
            [this](const QString &count) {
                ui->label_Orders->setText(count);
                requestClockStatus();
            })
        .on(ReplyTag::Continue, [this](qint32 status) { continueOrder(status); })
        .on(ReplyTag::GetStatus,
            [this](const QString &state) {
                if (state == QLatin1String("Out"))
                    ui->pushButton_Clock->setText(QStringLiteral("Punch In"));
                else if (state == QLatin1String("In"))
                    ui->pushButton_Clock->setText(QStringLiteral("Punch Out"));
                else
                    UserMessages::show(this, QStringLiteral("Punch Status Error"));
            })
        .on(ReplyTag::GetClockStatus, [this](const QString &state) { applyClockStatus(state); })
        .on(ReplyTag::ClockIn,
            [this]() {
                clockStatus = QStringLiteral("In");
                refreshUserLabel();
            })
        .on(ReplyTag::ClockOut,
            [this]() {
                clockStatus = QStringLiteral("Out");
                refreshUserLabel();
            })
        .otherwise([this]() { UserMessages::show(this, QStringLiteral("Error")); });
}

void MainWindow::logIn()
{
    while (!AppState::instance().loggedIn()) {
        LoginDialog dialog;
        dialog.exec();
    }
    ui->label_UserName->setText(userName());
}

void MainWindow::applyPermissions(const QString &level)
{
    const int permission = level.toInt();
    const bool reviews = permission == PermissionLevel::Management || permission == PermissionLevel::Office;
    const bool manages = permission == PermissionLevel::Office;
    ui->label_Orders->setVisible(reviews);
    ui->pushButton_Orders->setVisible(reviews);
    ui->pushButton_Orders->setEnabled(reviews);
    ui->pushButton_Management->setVisible(manages);
    ui->pushButton_Management->setEnabled(manages);
    if (reviews)
        requestNumberOfOrders();
    else
        requestClockStatus();
}

void MainWindow::applyClockStatus(const QString &state)
{
    clockStatus = state;
    refreshUserLabel();
    if (isExemptFromClocking(userName()))
        return;
    if (clockStatus == QLatin1String("Out") || clockStatus.isEmpty()) {
        const auto answer = UserMessages::ask(
            this, QStringLiteral("You are currently not clocked in!\nWould you like to clock in now?"),
            QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Yes);
        if (answer == QMessageBox::Yes)
            on_pushButton_Clock_clicked();
    }
}

void MainWindow::refreshUserLabel()
{
    ui->label_UserName->setText(userName() + QStringLiteral(" : is clocked ") + clockStatus);
}

void MainWindow::continueOrder(int status)
{
    AppState::instance().setOrderStatus(status);
    if (status == OrderStatus::Started || status == OrderStatus::LinesRecorded)
        runChildScreen(ScreenKind::BinRepairSheet, LinkWhileOpen::Closed);
    else if (status == OrderStatus::FrontEndSheetSubmitted)
        runChildScreen(ScreenKind::FinalChecks, LinkWhileOpen::Closed);
    else
        UserMessages::show(this, QStringLiteral("Error2"));
}

void MainWindow::runChildScreen(ScreenKind screen, LinkWhileOpen linkWhileOpen, const QString &workType)
{
    if (linkWhileOpen == LinkWhileOpen::Closed)
        link->close();
    if (!workType.isNull())
        AppState::instance().setWorkType(workType);
    hide();
    Navigation::run(screen);
    showMaximized();
    if (linkWhileOpen == LinkWhileOpen::Closed)
        link->reopen();
    forgetFlowState();
}

// What one flow set for its screens ends with it, however its screens were
// closed: the next Continue lists bin orders, and the next order is the
// user's own until another user's is continued.
void MainWindow::forgetFlowState()
{
    AppState &state = AppState::instance();
    state.setContinueCustom(false);
    state.setOrderOwner(QString());
}

void MainWindow::on_pushButton_Next_clicked()
{
    const QString workType = ui->comboBox->currentText();
    if (workType == WorkType::frontEnd() || workType == WorkType::rollOff())
        runChildScreen(ScreenKind::BinIntake, LinkWhileOpen::Closed, workType);
    else if (workType == WorkType::custom())
        runChildScreen(ScreenKind::CustomJobStart, LinkWhileOpen::Closed, workType);
    else
        UserMessages::show(this, QStringLiteral("Error"));
}

void MainWindow::on_pushButton_Continue_clicked()
{
    runChildScreen(ScreenKind::ContinueOrder, LinkWhileOpen::KeptOpen);
}

void MainWindow::on_pushButton_Orders_clicked()
{
    runChildScreen(ScreenKind::OrderReview, LinkWhileOpen::Closed);
}

void MainWindow::on_pushButton_Management_clicked()
{
    runChildScreen(ScreenKind::ManagementPanel, LinkWhileOpen::Closed);
}

void MainWindow::on_pushButton_Continue_Custom_clicked()
{
    AppState::instance().setContinueCustom(true);
    runChildScreen(ScreenKind::ContinueOrder, LinkWhileOpen::KeptOpen);
}

void MainWindow::on_pushButton_LogOut_clicked()
{
    link->close();
    AppState &state = AppState::instance();
    state.resetUser();
    // An order continued for another user belongs to this session only.
    state.setOrderOwner(QString());
    hide();
    logIn();
    showMaximized();
    link->reopen();
}

void MainWindow::on_pushButton_Clock_clicked()
{
    const bool clockedOut = clockStatus == QLatin1String("Out") || clockStatus.isEmpty();
    link->send(wire::frame(clockedOut ? Command::ClockIn : Command::ClockOut, userName()));
}

void MainWindow::requestWork()
{
    link->send(wire::frame(Command::GetWork));
}

void MainWindow::requestPermissions()
{
    link->send(wire::frame(Command::GetPermissions, userName()));
}

void MainWindow::requestNumberOfOrders()
{
    link->send(wire::frame(Command::GetNumberOfOrders));
}

void MainWindow::requestClockStatus()
{
    link->send(wire::frame(Command::GetClockStatus, userName()));
}

// Once the link is up.
void MainWindow::onConnected()
{
    if (ui->comboBox->currentText().isEmpty())
        requestWork();
    else
        requestPermissions();
}
