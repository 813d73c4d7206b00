#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "bins/binintakedialog.h"
#include "bins/binrepairsheetdialog.h"
#include "bins/continueorderdialog.h"
#include "bins/finalchecksdialog.h"
#include "core/appstate.h"
#include "core/serverlink.h"
#include "core/usermessages.h"
#include "custom/customjobstartdialog.h"
#include "logindialog.h"
#include "management/managementpaneldialog.h"
#include "management/orderreviewdialog.h"
#include "wire/frame.h"

#include <QDialog>

namespace {

const QString FrontEndRepair = QStringLiteral("Front End Repair");
const QString RollOffRepair = QStringLiteral("Roll Off Repair");
const QString Custom = QStringLiteral("Custom");

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
    show();
    ui->label_Orders->setText(QString());
    ui->pushButton_Orders->setEnabled(false);
    ui->pushButton_Orders->hide();
    ui->pushButton_Management->setEnabled(false);
    ui->pushButton_Management->hide();
    link->open();
}

MainWindow::~MainWindow()
{
    delete ui;
}

std::unique_ptr<QDialog> MainWindow::createChildScreen(ChildScreen screen)
{
    switch (screen) {
    case ChildScreen::BinIntake:
        return std::make_unique<BinIntakeDialog>();
    case ChildScreen::CustomStart:
        return std::make_unique<CustomJobStartDialog>();
    case ChildScreen::ContinueWork:
        return std::make_unique<ContinueOrderDialog>();
    case ChildScreen::RepairSheet:
        return std::make_unique<BinRepairSheetDialog>();
    case ChildScreen::FinalChecks:
        return std::make_unique<FinalChecksDialog>();
    case ChildScreen::OrderReview:
        return std::make_unique<OrderReviewDialog>();
    case ChildScreen::ManagementPanel:
        return std::make_unique<ManagementPanelDialog>();
    }
    return nullptr;
}

void MainWindow::handleReplies()
{
    link->replies()
        .on("WorkType",
            [this](const QStringList &workTypes) {
                ui->comboBox->addItems(workTypes);
                requestPermissions();
            })
        .on("Permissions", [this](const QString &level) { applyPermissions(level); })
        .on("NumberOfOrders",
            [this](const QString &count) {
                ui->label_Orders->setText(count);
                requestClockStatus();
            })
        .on("Continue", [this](qint32 status) { continueOrder(status); })
        .on("GetStatus",
            [this](const QString &state) {
                if (state == QLatin1String("Out"))
                    ui->pushButton_Clock->setText(QStringLiteral("Punch In"));
                else if (state == QLatin1String("In"))
                    ui->pushButton_Clock->setText(QStringLiteral("Punch Out"));
                else
                    UserMessages::show(this, QStringLiteral("Punch Status Error"));
            })
        .on("GetClockStatus", [this](const QString &state) { applyClockStatus(state); })
        .on("ClockIn",
            [this]() {
                clockStatus = QStringLiteral("In");
                refreshUserLabel();
            })
        .on("ClockOut",
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
    const bool reviews = permission == 2 || permission == 3;
    const bool manages = permission == 3;
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
    if (status == 1 || status == 2)
        runChildScreen(ChildScreen::RepairSheet, LinkWhileOpen::Closed);
    else if (status == 3)
        runChildScreen(ChildScreen::FinalChecks, LinkWhileOpen::Closed);
    else
        UserMessages::show(this, QStringLiteral("Error2"));
}

void MainWindow::runChildScreen(ChildScreen screen, LinkWhileOpen linkWhileOpen, const QString &workType)
{
    if (linkWhileOpen == LinkWhileOpen::Closed)
        link->close();
    if (!workType.isNull())
        AppState::instance().setWorkType(workType);
    hide();
    if (const std::unique_ptr<QDialog> child = createChildScreen(screen))
        child->exec();
    show();
    if (linkWhileOpen == LinkWhileOpen::Closed)
        link->reopen();
}

void MainWindow::readyRead()
{
    link->collect();
}

void MainWindow::disconnected()
{
    link->reportLoss();
}

void MainWindow::connected()
{
    if (ui->comboBox->currentText().isEmpty())
        requestWork();
    else
        requestPermissions();
}

void MainWindow::displayError(QAbstractSocket::SocketError error)
{
    link->reportError(error);
}

void MainWindow::on_pushButton_Next_clicked()
{
    const QString workType = ui->comboBox->currentText();
    if (workType == FrontEndRepair || workType == RollOffRepair)
        runChildScreen(ChildScreen::BinIntake, LinkWhileOpen::Closed, workType);
    else if (workType == Custom)
        runChildScreen(ChildScreen::CustomStart, LinkWhileOpen::Closed, workType);
    else
        UserMessages::show(this, QStringLiteral("Error"));
}

void MainWindow::on_pushButton_Continue_clicked()
{
    runChildScreen(ChildScreen::ContinueWork, LinkWhileOpen::KeptOpen);
}

void MainWindow::on_pushButton_Orders_clicked()
{
    runChildScreen(ChildScreen::OrderReview, LinkWhileOpen::Closed);
}

void MainWindow::on_pushButton_Management_clicked()
{
    runChildScreen(ChildScreen::ManagementPanel, LinkWhileOpen::Closed);
}

void MainWindow::on_pushButton_Continue_Custom_clicked()
{
    AppState::instance().setContinueCustom(true);
    runChildScreen(ChildScreen::ContinueWork, LinkWhileOpen::KeptOpen);
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
    show();
    link->reopen();
}

void MainWindow::on_pushButton_Clock_clicked()
{
    const bool clockedOut = clockStatus == QLatin1String("Out") || clockStatus.isEmpty();
    link->send(wire::frame(clockedOut ? "ClockIn" : "ClockOut", userName()));
}

void MainWindow::requestWork()
{
    link->send(wire::frame("GetWork"));
}

void MainWindow::requestPermissions()
{
    link->send(wire::frame("GetPermissions", userName()));
}

void MainWindow::requestNumberOfOrders()
{
    link->send(wire::frame("GetNumberOfOrders"));
}

void MainWindow::requestClockStatus()
{
    link->send(wire::frame("GetClockStatus", userName()));
}
