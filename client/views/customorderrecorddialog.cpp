#include "customorderrecorddialog.h"
#include "ui_customorderrecorddialog.h"

#include "core/appstate.h"
#include "core/filteredtable.h"
#include "core/serverlink.h"
#include "core/usermessages.h"
#include "recordtexts.h"
#include "wire/commands.h"
#include "wire/frame.h"
#include "wire/replytags.h"

namespace {

QString viewed(int field)
{
    return AppState::instance().viewCustom(field);
}

QString owner()
{
    return viewed(1);
}
QString repairId()
{
    return viewed(2);
}
QString customer()
{
    return viewed(3);
}
QString jobType()
{
    return viewed(4);
}

} // namespace

CustomOrderRecordDialog::CustomOrderRecordDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::CustomOrderRecordDialog)
    , link(new ServerLink(this, ServerLink::AfterLoss::ExitProgram, QStringLiteral("Error: ")))
{
    ui->setupUi(this);
    repairLines = new FilteredTable(ui->tableView);
    showMaximized();
    ui->pushButton_Search->setEnabled(false);
    ui->pushButton_Search->hide();
    handleReplies();
    link->whenConnected([this]() { requestJob(); });
    link->open();
}

CustomOrderRecordDialog::~CustomOrderRecordDialog()
{
    delete ui;
}

void CustomOrderRecordDialog::handleReplies()
{
    link->replies()
        .on(ReplyTag::GetCustomInfo,
            [this](const QString &date, const QString &contactName, const QString &phone, const QString &email,
                   const QString &total) {
                showJob(date, contactName, phone, email, total);
                requestRepairLines();
            })
        .on(ReplyTag::GetCustomInfoRepairData,
            [this](const QStringList &descriptions, const QStringList &materials, const QStringList &times) {
                showRepairLines(descriptions, materials, times);
            })
        .on(ReplyTag::PermDeleteCustom,
            [this]() {
                UserMessages::show(this, QStringLiteral("Custom Repair Deleted"));
                requestRepairLines();
            })
        .otherwise([this]() { UserMessages::show(this, QStringLiteral("Error")); });
}

// The customer and job type are the ones the browser listed the job under.
void CustomOrderRecordDialog::showJob(const QString &date, const QString &contactName, const QString &phone,
                                      const QString &email, const QString &total)
{
    ui->label_Date->setText(date);
    ui->label_ContactName->setText(QStringLiteral("Contact Name: ") + contactName);
    ui->label_Phone->setText(QStringLiteral("Phone: ") + phone);
    ui->label_Email->setText(QStringLiteral("Email: ") + email);
    ui->label_Total->setText(QStringLiteral("Total Time: ") + total);
    ui->label_Customer->setText(QStringLiteral("Customer: ") + customer());
    ui->label_JobType->setText(QStringLiteral("Job Type: ") + jobType());
}

// The descriptions set the rows; a shorter materials or times list leaves
// its cells empty.
void CustomOrderRecordDialog::showRepairLines(const QStringList &descriptions, const QStringList &materials,
                                              const QStringList &times)
{
    QVector<QStringList> rows;
    for (int i = 0; i < descriptions.size(); ++i)
        rows.append({descriptions.at(i), materials.value(i), times.value(i)});
    repairLines->show({QStringLiteral("Repair Description"), QStringLiteral("Materials"), QStringLiteral("Time")},
                      rows);
}

// Its button is never shown: the typed filter does the finding.
void CustomOrderRecordDialog::on_pushButton_Search_clicked()
{
    repairLines->searchExact(ui->lineEdit_Search->text());
}

void CustomOrderRecordDialog::on_pushButton_Back_clicked()
{
    link->close();
    close();
}

void CustomOrderRecordDialog::on_pushButton_Delete_clicked()
{
    if (!repairLines->hasCurrentRow()) {
        UserMessages::show(this, QStringLiteral("Please select a row before deleting"));
        return;
    }
    UserMessages::show(this, deletionSwitchedOffText());
}

void CustomOrderRecordDialog::on_lineEdit_Search_textChanged(const QString &text)
{
    repairLines->filter(text);
}

void CustomOrderRecordDialog::requestJob()
{
    link->send(wire::frame(Command::GetCustomInfo, owner(), repairId(), customer(), jobType()));
}

void CustomOrderRecordDialog::requestRepairLines()
{
    link->send(wire::frame(Command::GetCustomInfoRepairData, owner(), repairId(), customer(), jobType()));
}
