#include "precheckdialog.h"
#include "ui_precheckdialog.h"

#include "core/appstate.h"
#include "core/handover.h"
#include "core/serverlink.h"
#include "core/usermessages.h"
#include "wire/commands.h"
#include "wire/frame.h"
#include "wire/replytags.h"

#include <QCheckBox>

namespace {

// A verdict travels as "1" for good and "0" for bad.
QString verdict(const QCheckBox *good)
{
    return good->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

// Shows a stored verdict: "1" is good, anything else (also no number at all) bad.
void showVerdict(const QString &value, QCheckBox *good, QCheckBox *bad)
{
    const bool isGood = value.toInt(nullptr, 10) == 1;
    good->setChecked(isGood);
    bad->setChecked(!isGood);
}

// The two boxes of a pair exclude each other, but both may be clear.
void release(QCheckBox *other)
{
    if (other->isChecked())
        other->setChecked(false);
}

bool decided(const QCheckBox *good, const QCheckBox *bad)
{
    return good->isChecked() || bad->isChecked();
}

} // namespace

PreCheckDialog::PreCheckDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::PreCheckDialog)
    , link(new ServerLink(this, ServerLink::AfterLoss::ExitProgram, QStringLiteral("Error: ")))
{
    ui->setupUi(this);
    handleReplies();
    showMaximized();
    link->whenConnected([this]() { onConnected(); });
    link->open();
}

PreCheckDialog::~PreCheckDialog()
{
    delete ui;
}

void PreCheckDialog::handleReplies()
{
    link->replies()
        .on(ReplyTag::PreChecksSaved, [this]() { handOver(this, link, ScreenKind::BinRepairSheet); })
        .on(ReplyTag::PreForChecks, [this](const QString &lids, const QString &chains,
                                           const QString &lidRod) { showStoredVerdicts(lids, chains, lidRod); })
        .otherwise([this]() { UserMessages::show(this, QStringLiteral("Error")); });
}

void PreCheckDialog::showStoredVerdicts(const QString &lids, const QString &chains, const QString &lidRod)
{
    showVerdict(lids, ui->checkBox_LidsGood, ui->checkBox_LidsBad);
    showVerdict(chains, ui->checkBox_ChainsGood, ui->checkBox_ChainsBad);
    showVerdict(lidRod, ui->checkBox_LidRodGood, ui->checkBox_LidRodBad);
}

void PreCheckDialog::on_pushButton_Next_clicked()
{
    if (!decided(ui->checkBox_LidsGood, ui->checkBox_LidsBad)) {
        UserMessages::show(this, QStringLiteral("Please Check Lid"));
        return;
    }
    if (!decided(ui->checkBox_ChainsGood, ui->checkBox_ChainsBad)) {
        UserMessages::show(this, QStringLiteral("Please Check Chains"));
        return;
    }
    if (!decided(ui->checkBox_LidRodGood, ui->checkBox_LidRodBad)) {
        UserMessages::show(this, QStringLiteral("Please Check Lid Rod"));
        return;
    }
    requestStorePreChecks();
}

void PreCheckDialog::on_checkBox_LidsGood_clicked()
{
    release(ui->checkBox_LidsBad);
}

void PreCheckDialog::on_checkBox_LidsBad_clicked()
{
    release(ui->checkBox_LidsGood);
}

void PreCheckDialog::on_checkBox_ChainsGood_clicked()
{
    release(ui->checkBox_ChainsBad);
}

void PreCheckDialog::on_checkBox_ChainsBad_clicked()
{
    release(ui->checkBox_ChainsGood);
}

void PreCheckDialog::on_checkBox_LidRodGood_clicked()
{
    release(ui->checkBox_LidRodBad);
}

void PreCheckDialog::on_checkBox_LidRodBad_clicked()
{
    release(ui->checkBox_LidRodGood);
}

void PreCheckDialog::requestPreForChecks()
{
    const AppState &state = AppState::instance();
    link->send(wire::frame(Command::GetPreForChecks, state.checkOrder(1), state.workType(), state.checkOrder(2),
                           state.checkOrder(3)));
}

void PreCheckDialog::requestStorePreChecks()
{
    const AppState &state = AppState::instance();
    link->send(wire::frame(Command::StorePreChecks, state.currentBin(1), state.currentBin(4), state.workType(),
                           verdict(ui->checkBox_LidsGood), verdict(ui->checkBox_ChainsGood),
                           verdict(ui->checkBox_LidRodGood)));
}

// Once the link is up.
void PreCheckDialog::onConnected()
{
    if (AppState::instance().checkingOrder())
        requestPreForChecks();
}
