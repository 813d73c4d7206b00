#include "binorderrecorddialog.h"
#include "ui_binorderrecorddialog.h"

#include "core/appstate.h"
#include "core/filteredtable.h"
#include "core/serverlink.h"
#include "core/usermessages.h"
#include "recordtexts.h"
#include "wire/commands.h"
#include "wire/fieldreader.h"
#include "wire/frame.h"
#include "wire/replytags.h"

namespace {

QString viewed(int field)
{
    return AppState::instance().viewBin(field);
}

QString workType()
{
    return viewed(1);
}
QString binId()
{
    return viewed(2);
}
QString repairId()
{
    return viewed(3);
}
QString owner()
{
    return viewed(4);
}

} // namespace

BinOrderRecordDialog::BinOrderRecordDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::BinOrderRecordDialog)
    , link(new ServerLink(this, ServerLink::AfterLoss::ExitProgram, QStringLiteral("Error: ")))
{
    ui->setupUi(this);
    repairLines = new FilteredTable(ui->tableView);
    showMaximized();
    ui->pushButton_Search->setEnabled(false);
    ui->pushButton_Search->hide();
    handleReplies();
    link->whenConnected([this]() { requestChecks(); });
    link->open();
}

BinOrderRecordDialog::~BinOrderRecordDialog()
{
    delete ui;
}

// The checks, the time and the lines come one after the other, each asked
// for when the one before has arrived.
void BinOrderRecordDialog::handleReplies()
{
    link->replies()
        .on(ReplyTag::GetCheckList,
            [this](const QString &lidSize, const QString &lidWidth) {
                showChecks(lidSize, lidWidth);
                requestTime();
            })
        .on(ReplyTag::GetBinTime,
            [this](const QString &total) {
                ui->label_TotalTime->setText(QStringLiteral("Total Time: ") + total);
                requestRepairLines();
            })
        .on(ReplyTag::BinRepairInfo, [this](wire::FieldReader &reply) { return showRepairLines(reply); })
        .on(ReplyTag::PermDeleteBin,
            [this]() {
                UserMessages::show(this, QStringLiteral("Repair Deleted"));
                requestRepairLines();
            })
        .otherwise([this]() { UserMessages::show(this, QStringLiteral("Error")); });
}

// A finished order passed every check: the record ticks all eight.
void BinOrderRecordDialog::showChecks(const QString &lidSize, const QString &lidWidth)
{
    ui->lineEdit_LidSize->setText(lidSize);
    ui->lineEdit_LidWidth->setText(lidWidth);
    for (QCheckBox *check : ui->groupBox_Checks->findChildren<QCheckBox *>())
        check->setChecked(true);
}

bool BinOrderRecordDialog::showRepairLines(wire::FieldReader &reply)
{
    reply.string();
    const QString count = reply.string();
    const auto lines = wire::readGroups<QString, QString, QString, QString>(reply, count.toInt());
    if (!lines)
        return false;
    QVector<QStringList> rows;
    for (const auto &[code, materials, time, user] : *lines)
        rows.append({code, materials, time, user});
    repairLines->show({QStringLiteral("Repair Code"), QStringLiteral("Materials"), QStringLiteral("Time"),
                       QStringLiteral("UserName")},
                      rows);
    return true;
}

// Its button is never shown: the typed filter does the finding.
void BinOrderRecordDialog::on_pushButton_Search_clicked()
{
    repairLines->searchExact(ui->lineEdit->text());
}

void BinOrderRecordDialog::on_pushButton_Back_clicked()
{
    link->close();
    close();
}

void BinOrderRecordDialog::on_pushButton_Delete_clicked()
{
    if (!repairLines->hasCurrentRow()) {
        UserMessages::show(this, QStringLiteral("Please select a repair before deleting"));
        return;
    }
    UserMessages::show(this, deletionSwitchedOffText());
}

void BinOrderRecordDialog::on_lineEdit_textChanged(const QString &text)
{
    repairLines->filter(text);
}

void BinOrderRecordDialog::requestChecks()
{
    link->send(wire::frame(Command::GetChecksList, workType(), binId(), repairId()));
}

void BinOrderRecordDialog::requestTime()
{
    link->send(wire::frame(Command::GetBinTime, owner(), workType(), binId(), repairId()));
}

void BinOrderRecordDialog::requestRepairLines()
{
    link->send(wire::frame(Command::GetBinRepairInfo, owner(), workType(), binId(), repairId()));
}
