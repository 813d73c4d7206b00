#include "finalchecksdialog.h"
#include "ui_finalchecksdialog.h"

#include "core/appstate.h"
#include "core/binordermode.h"
#include "core/serverlink.h"
#include "core/usermessages.h"
#include "wire/commands.h"
#include "wire/frame.h"
#include "wire/orderstatus.h"
#include "wire/replytags.h"

#include <QRegularExpressionValidator>

namespace {

// Whole inches with at most two decimals after a point, as typed.
const QRegularExpression InchesPattern(QRegularExpression::anchoredPattern(QStringLiteral("\\d{0,3}(\\.\\d{0,2})?")));

bool isInches(const QString &text, double mostInches)
{
    bool ok = false;
    const double inches = text.toDouble(&ok);
    return ok && InchesPattern.match(text).hasMatch() && inches > 0 && inches <= mostInches;
}

} // namespace

FinalChecksDialog::FinalChecksDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::FinalChecksDialog)
    , link(new ServerLink(this, ServerLink::AfterLoss::ExitProgram, QStringLiteral("Error: ")))
{
    ui->setupUi(this);
    for (const Measurement &measurement : measurements())
        measurement.edit->setValidator(new QRegularExpressionValidator(InchesPattern, measurement.edit));
    handleReplies();
    showMaximized();
    link->whenConnected([this]() { onConnected(); });
    link->open();
}

FinalChecksDialog::~FinalChecksDialog()
{
    delete ui;
}

void FinalChecksDialog::handleReplies()
{
    link->replies()
        .on(ReplyTag::GetCheckList,
            [this](const QString &lidSize, const QString &lidTabWidth) { showStoredChecks(lidSize, lidTabWidth); })
        .on(ReplyTag::StartTimeSet,
            [](const QString &stampId, const QString &hours) {
                AppState &state = AppState::instance();
                state.setTimeStampId(stampId.toInt());
                state.setElapsedHours(hours.toFloat());
                state.setTimerRunning(true);
            })
        .on(ReplyTag::EndTimeSet,
            [this]() {
                // The stamp is closed: nothing may end it again.
                AppState &state = AppState::instance();
                state.setTimerRunning(false);
                state.setTimeStampId(0);
                finish();
            })
        .on(ReplyTag::StatusChanged, [this]() { statusChanged(); })
        .on(ReplyTag::ChecksSaved, [this]() { checksSaved(); })
        .otherwise([this]() { UserMessages::show(this, QStringLiteral("Error")); });
}

void FinalChecksDialog::showStoredChecks(const QString &lidSize, const QString &lidTabWidth)
{
    ui->lineEdit_LidSize->setText(lidSize);
    ui->lineEdit->setText(lidTabWidth);
    for (const Check &check : checks())
        check.box->setChecked(true);
}

// The two lid lengths in the order Submit reports them.
QList<FinalChecksDialog::Measurement> FinalChecksDialog::measurements() const
{
    return {
        {ui->lineEdit_LidSize, "Please enter Lid Size",
         "Lid Size must be a number of inches, more than 0 and at most 120", 120},
        {ui->lineEdit, "Please enter Lid Tab Width",
         "Lid Tab Width must be a number of inches, more than 0 and at most 12", 12},
    };
}

// The eight checks in the order Submit reports them.
QList<FinalChecksDialog::Check> FinalChecksDialog::checks() const
{
    return {
        {ui->checkBox_ID, "Please check Bin ID"},         {ui->checkBox_Cracks, "Please check Cracks"},
        {ui->checkBox_LockTab, "Please check Lock Tab"},  {ui->checkBox_Tracks, "Please check Tracks"},
        {ui->checkBox_Channels, "Please check Channels"}, {ui->checkBox_Pockets, "Please check Pockets"},
        {ui->checkBox_Guessets, "Please check Gussets"},  {ui->checkBox_LidBridge, "Please check Lid Bridge"},
    };
}

// A passed check ends the checker's look at the order; on the worker's own
// bin the new status is followed by the end of the timing.
void FinalChecksDialog::statusChanged()
{
    switch (binOrderMode()) {
    case BinOrderMode::Checking:
        clearCheckOrder();
        finish();
        break;
    case BinOrderMode::Confirming:
        finish();
        break;
    case BinOrderMode::OwnBin:
        requestEndTime();
        break;
    }
}

void FinalChecksDialog::checksSaved()
{
    const BinOrderMode savedFor = binOrderMode();
    UserMessages::show(this, QStringLiteral("Finished"));
    clearCheckOrder();
    if (savedFor == BinOrderMode::OwnBin)
        requestEndTime();
    else
        finish();
}

void FinalChecksDialog::clearCheckOrder()
{
    AppState &state = AppState::instance();
    state.setCheckOrder(false, QString(), QString(), 0, QString(), state.checkOrder(5));
}

void FinalChecksDialog::finish()
{
    link->close();
    close();
}

void FinalChecksDialog::on_pushButton_Submit_clicked()
{
    for (const Measurement &measurement : measurements()) {
        const QString text = measurement.edit->text();
        if (!isInches(text, measurement.mostInches)) {
            UserMessages::show(this,
                               QString::fromLatin1(text.isEmpty() ? measurement.missing : measurement.notANumber));
            return;
        }
    }
    for (const Check &check : checks()) {
        if (!check.box->isChecked()) {
            UserMessages::show(this, QString::fromLatin1(check.message));
            return;
        }
    }
    const AppState &state = AppState::instance();
    if (binOrderMode() == BinOrderMode::Checking)
        requestStatusChange(state.checkOrder(1), QString::number(OrderStatus::Checked), state.checkOrder(2),
                            state.checkOrder(3));
    else
        requestSaveChecks();
}

void FinalChecksDialog::on_pushButton_Cancel_clicked()
{
    if (binOrderMode() == BinOrderMode::OwnBin) {
        const AppState &state = AppState::instance();
        requestStatusChange(ownOrderUser(), QString::number(OrderStatus::LinesRecorded), state.currentBin(1),
                            state.currentBin(4));
        return;
    }
    finish();
}

void FinalChecksDialog::requestChecksList()
{
    const AppState &state = AppState::instance();
    if (binOrderMode() == BinOrderMode::Checking)
        link->send(wire::frame(Command::GetChecksList, state.workType(), state.checkOrder(2), state.checkOrder(3)));
    else
        link->send(wire::frame(Command::GetChecksList, state.workType(), state.confirmOrder(2), state.confirmOrder(3)));
}

void FinalChecksDialog::requestStartTime()
{
    const AppState &state = AppState::instance();
    link->send(
        wire::frame(Command::SetStartTime, state.user(1), state.workType(), state.currentBin(1), state.currentBin(4)));
}

void FinalChecksDialog::requestEndTime()
{
    const AppState &state = AppState::instance();
    link->send(wire::frame(Command::SetEndTime, state.user(1), state.workType(), state.currentBin(1),
                           state.currentBin(4), QString::number(state.timeStampId())));
}

void FinalChecksDialog::requestSaveChecks()
{
    const AppState &state = AppState::instance();
    const QString lidSize = ui->lineEdit_LidSize->text();
    const QString lidTabWidth = ui->lineEdit->text();
    if (binOrderMode() == BinOrderMode::Confirming)
        link->send(wire::frame(Command::SaveChecks, state.confirmOrder(1), state.workType(), state.confirmOrder(2),
                               state.confirmOrder(3), QString::number(OrderStatus::Confirmed), lidSize, lidTabWidth));
    else
        link->send(wire::frame(Command::SaveChecks, ownOrderUser(), state.workType(), state.currentBin(1),
                               state.currentBin(4), QString::number(OrderStatus::WaitingForCheck), lidSize,
                               lidTabWidth));
}

void FinalChecksDialog::requestStatusChange(const QString &user, const QString &status, const QString &binId,
                                            const QString &repairId)
{
    link->send(wire::frame(Command::ChangeStatus, user, status, binId, repairId));
}

// Once the link is up.
void FinalChecksDialog::onConnected()
{
    if (binOrderMode() != BinOrderMode::OwnBin)
        requestChecksList();
    else if (!AppState::instance().timerRunning())
        requestStartTime();
}
