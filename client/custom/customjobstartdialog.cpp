#include "customjobstartdialog.h"
#include "ui_customjobstartdialog.h"

#include "core/appstate.h"
#include "core/handover.h"
#include "core/serverlink.h"
#include "core/usermessages.h"
#include "wire/commands.h"
#include "wire/frame.h"
#include "wire/replytags.h"

#include <QDate>

namespace {

// Today as month/day/year without leading zeros.
QString todayText()
{
    const QDate today = QDate::currentDate();
    return QStringLiteral("%1/%2/%3").arg(today.month()).arg(today.day()).arg(today.year());
}

// Worker, job type and customer travel as single words: a typed space
// becomes "_" at once, the cursor staying where it was.
void replaceSpaces(QLineEdit *edit)
{
    QString text = edit->text();
    if (!text.contains(QLatin1Char(' ')))
        return;
    const int cursor = edit->cursorPosition();
    edit->setText(text.replace(QLatin1Char(' '), QLatin1Char('_')));
    edit->setCursorPosition(cursor);
}

} // namespace

CustomJobStartDialog::CustomJobStartDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::CustomJobStartDialog)
    , link(new ServerLink(this, ServerLink::AfterLoss::ExitProgram, QStringLiteral("Error ")))
{
    ui->setupUi(this);
    handleReplies();
    showMaximized();
    ui->label_DateValue->setText(todayText());
    link->open();
}

CustomJobStartDialog::~CustomJobStartDialog()
{
    delete ui;
}

void CustomJobStartDialog::handleReplies()
{
    link->replies()
        .on(ReplyTag::StartCustomRepair,
            [this](const QString &orderId, const QString &) {
                AppState::instance().setCustomOrderId(orderId.toInt());
                handOver(this, link, ScreenKind::CustomJobSheet);
            })
        .otherwise([this]() { UserMessages::show(this, QStringLiteral("Error")); });
}

QString CustomJobStartDialog::missingField() const
{
    if (ui->lineEdit_Worker->text().isEmpty())
        return QStringLiteral("Worker is required");
    if (ui->lineEdit_JobType->text().isEmpty())
        return QStringLiteral("Job Type is required");
    if (ui->lineEdit_Customer->text().isEmpty())
        return QStringLiteral("Customer is required");
    return QString();
}

void CustomJobStartDialog::storeJob()
{
    AppState &state = AppState::instance();
    state.setCustomOrder(ui->label_DateValue->text(), ui->lineEdit_Worker->text(), ui->lineEdit_JobType->text(),
                         ui->lineEdit_Customer->text(), ui->lineEdit_ID->text(), ui->lineEdit_ContactName->text(),
                         ui->lineEdit_PhoneNum->text(), ui->lineEdit_Email->text());
    // A new job is the worker's own, timed and neither continued nor under
    // review: nothing left over from an earlier order may describe it.
    state.setOrderOwner(QString());
    state.setContinueCustom(false);
    state.setCheckingCustom(false);
}

void CustomJobStartDialog::on_pushButton_Cancel_clicked()
{
    link->close();
    close();
}

void CustomJobStartDialog::on_pushButton_Next_clicked()
{
    const QString missing = missingField();
    if (!missing.isEmpty()) {
        UserMessages::show(this, missing);
        return;
    }
    storeJob();
    requestStart();
}

void CustomJobStartDialog::on_lineEdit_Worker_textChanged()
{
    replaceSpaces(ui->lineEdit_Worker);
}

void CustomJobStartDialog::on_lineEdit_JobType_textChanged()
{
    replaceSpaces(ui->lineEdit_JobType);
}

void CustomJobStartDialog::on_lineEdit_Customer_textChanged()
{
    replaceSpaces(ui->lineEdit_Customer);
}

void CustomJobStartDialog::requestStart()
{
    link->send(wire::frame(Command::StartCustomRepair, AppState::instance().user(1), ui->label_DateValue->text(),
                           ui->lineEdit_Worker->text(), ui->lineEdit_JobType->text(), ui->lineEdit_Customer->text(),
                           ui->lineEdit_ID->text(), ui->lineEdit_ContactName->text(), ui->lineEdit_PhoneNum->text(),
                           ui->lineEdit_Email->text()));
}
