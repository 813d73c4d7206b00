#include "customjobsheetdialog.h"
#include "ui_customjobsheetdialog.h"

#include "core/appstate.h"
#include "core/navigation.h"
#include "core/serverlink.h"
#include "core/tablecolumns.h"
#include "core/usermessages.h"
#include "wire/fieldreader.h"
#include "wire/frame.h"
#include "wire/replytags.h"

#include <QStandardItemModel>

namespace {

const QString TotalTimePrefix = QStringLiteral("Total Time: ");

QString userName()
{
    return AppState::instance().user(1);
}

bool checking()
{
    return AppState::instance().checkingCustom();
}

} // namespace

CustomJobSheetDialog::CustomJobSheetDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::CustomJobSheetDialog)
    , link(new ServerLink(this, ServerLink::AfterLoss::ExitProgram, QStringLiteral("Error: ")))
    , repairModel(new QStandardItemModel(0, 3, this))
    , liveClock(this, [this](const QString &elapsed) { ClockUpdate(elapsed); })
{
    ui->setupUi(this);
    repairModel->setHorizontalHeaderLabels(
        {QStringLiteral("Repair Description"), QStringLiteral("Materials"), QStringLiteral("Time")});
    ui->tableView_Repairs->setModel(repairModel);
    fitColumnsToContents(ui->tableView_Repairs);
    handleReplies();
    showMaximized();
    link->whenConnected([this]() { onConnected(); });
    link->open();
}

CustomJobSheetDialog::~CustomJobSheetDialog()
{
    // The clock thread must be gone before the label it writes to.
    liveClock.stop();
    delete ui;
}

void CustomJobSheetDialog::handleReplies()
{
    link->replies()
        .on(ReplyTag::GetCustomRepair,
            [this](wire::FieldReader &reply) {
                const QString count = reply.string();
                const auto lines = wire::readGroups<QString, QString, QString>(reply, count.toInt());
                if (!reply.ok() || !lines)
                    return false;
                showRepairLines(*lines);
                linesLoaded();
                return true;
            })
        .on(ReplyTag::SetCustomStartTime, [this](const QString &stampId) { timingStarted(stampId); })
        .on(ReplyTag::GetCustomTime,
            [this](const QString &hours) {
                ui->label_TotalTime->setText(TotalTimePrefix + QString::number(hours.toFloat(), 'g', 6));
            })
        .on(ReplyTag::RemoveCustomRepair,
            [this]() {
                UserMessages::show(this, QStringLiteral("Repair Removed"));
                requestRepairLines();
            })
        .on(ReplyTag::SubmitCustomRepair,
            [this]() {
                UserMessages::show(this, QStringLiteral("Custom Repair Saved"));
                AppState &state = AppState::instance();
                if (state.continueCustom())
                    state.setContinueCustom(false);
                requestEndTime();
            })
        .on(ReplyTag::SetCustomEndTime, [this]() { timingEnded(); })
        .on(ReplyTag::FinishCustomRepair,
            [this]() {
                AppState::instance().setCheckingCustom(false);
                UserMessages::show(this, QStringLiteral("Custom Repair Finished"));
                endSheet();
            })
        .otherwise([this]() { UserMessages::show(this, QStringLiteral("Error")); });
}

void CustomJobSheetDialog::showRepairLines(const QVector<RepairLine> &lines)
{
    repairModel->removeRows(0, repairModel->rowCount());
    for (const auto &[description, materials, time] : lines)
        repairModel->appendRow({new QStandardItem(description), new QStandardItem(materials), new QStandardItem(time)});
}

// A job under review shows its booked total; a worker's job that has no
// open time stamp starts one. A stamp still open goes on counting.
void CustomJobSheetDialog::linesLoaded()
{
    if (checking())
        requestTotalTime();
    else if (AppState::instance().timeStampId() == 0)
        requestStartTime();
}

void CustomJobSheetDialog::timingStarted(const QString &stampId)
{
    AppState::instance().setTimeStampId(stampId.toInt());
    liveClock.start();
}

void CustomJobSheetDialog::timingEnded()
{
    AppState &state = AppState::instance();
    state.setTimeStampId(0);
    state.setLiveClockRunning(false);
    endSheet();
}

CustomJobSheetDialog::RepairLine CustomJobSheetDialog::currentLine() const
{
    const int row = ui->tableView_Repairs->currentIndex().row();
    const auto cell = [this, row](int column) { return repairModel->index(row, column).data().toString(); };
    return {cell(0), cell(1), cell(2)};
}

void CustomJobSheetDialog::endSheet()
{
    liveClock.stop();
    link->close();
    close();
}

void CustomJobSheetDialog::ClockUpdate(const QString &text)
{
    ui->label_TotalTime->setText(TotalTimePrefix + text);
}

void CustomJobSheetDialog::on_pushButton_Add_clicked()
{
    Navigation::run(ScreenKind::CustomRepairLine);
    requestRepairLines();
}

void CustomJobSheetDialog::on_pushButton_Edit_clicked()
{
    AppState &state = AppState::instance();
    const auto [description, materials, time] = currentLine();
    state.setEditCustomLine(description, materials, time);
    Navigation::run(ScreenKind::CustomRepairLine);
    state.setEditCustomLine(QString(), QString(), QString());
    requestRepairLines();
}

void CustomJobSheetDialog::on_pushButton_Remove_clicked()
{
    const auto [description, materials, time] = currentLine();
    const QString question = QStringLiteral("Are you sure you want to remove: ") + description + QLatin1Char(' ')
                             + materials + QLatin1Char(' ') + time;
    if (UserMessages::ask(this, question, QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Cancel)
        == QMessageBox::Yes)
        sendForJob(QStringLiteral("RemoveCustomRepair"), {}, {description, materials, time});
}

void CustomJobSheetDialog::on_pushButton_Finish_clicked()
{
    if (UserMessages::ask(this, QStringLiteral("Are you sure you want to finish this job?"),
                          QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Yes)
        != QMessageBox::Yes)
        return;
    sendForJob(checking() ? QStringLiteral("FinishCustomRepair") : QStringLiteral("SubmitCustomRepair"));
}

void CustomJobSheetDialog::on_pushButton_Cancel_clicked()
{
    AppState &state = AppState::instance();
    if (state.continueCustom()) {
        state.setContinueCustom(false);
        state.setCheckingCustom(false);
    }
    if (state.checkingCustom()) {
        // The check is over: a job started later must not be taken for one under review.
        state.setCheckingCustom(false);
        endSheet();
        return;
    }
    requestEndTime();
}

void CustomJobSheetDialog::sendForJob(const QString &command, const QStringList &before, const QStringList &after)
{
    const AppState &state = AppState::instance();
    wire::FrameWriter request(command);
    for (const QString &argument : before)
        request << argument;
    request << QString::number(state.customOrderId()) << state.customOrder(3) << state.customOrder(4);
    for (const QString &argument : after)
        request << argument;
    link->send(request.frame());
}

void CustomJobSheetDialog::requestRepairLines()
{
    sendForJob(QStringLiteral("GetCustomRepair"));
}

void CustomJobSheetDialog::requestStartTime()
{
    sendForJob(QStringLiteral("SetCustomStartTime"), {userName()});
}

void CustomJobSheetDialog::requestTotalTime()
{
    sendForJob(QStringLiteral("GetCustomTime"));
}

void CustomJobSheetDialog::requestEndTime()
{
    sendForJob(QStringLiteral("SetCustomEndTime"), {userName()}, {QString::number(AppState::instance().timeStampId())});
}

// Once the link is up.
void CustomJobSheetDialog::onConnected()
{
    const AppState &state = AppState::instance();
    ui->label_Date->setText(state.customOrder(1));
    ui->label_Worker->setText(state.customOrder(2));
    ui->label_JobType->setText(state.customOrder(3));
    ui->label_ID->setText(state.customOrder(5));
    if (state.continueCustom() || state.checkingCustom())
        requestRepairLines();
    else
        requestStartTime();
}
