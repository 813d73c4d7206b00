#include "departmentsdialog.h"
#include "ui_departmentsdialog.h"

#include "core/serverlink.h"
#include "core/usermessages.h"
#include "wire/commands.h"
#include "wire/frame.h"
#include "wire/replytags.h"

DepartmentsDialog::DepartmentsDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DepartmentsDialog)
    , link(new ServerLink(this, ServerLink::AfterLoss::ExitProgram, QStringLiteral("Error ")))
{
    ui->setupUi(this);
    handleReplies();
    link->whenConnected([this]() { requestDepartments(); });
    link->open();
}

DepartmentsDialog::~DepartmentsDialog()
{
    delete ui;
}

void DepartmentsDialog::handleReplies()
{
    link->replies()
        .on(ReplyTag::GetDepartments, [this](const QStringList &names) { showDepartments(names); })
        .on(ReplyTag::AddDepartment,
            [this]() {
                UserMessages::show(this, QStringLiteral("Department Has Been Added"));
                requestDepartments();
            })
        .on(ReplyTag::RemoveDepartment,
            [this]() {
                UserMessages::show(this, QStringLiteral("Department Removed"));
                requestDepartments();
            })
        .otherwise([this](const QString &tag) { UserMessages::show(this, QStringLiteral("Error ") + tag); });
}

void DepartmentsDialog::showDepartments(const QStringList &names)
{
    ui->comboBox_Remove->clear();
    ui->comboBox_Remove->addItems(names);
}

// One warning for every blank, on every change of the name.
void DepartmentsDialog::on_lineEdit_Add_textChanged(const QString &text)
{
    for (int blanks = text.count(QLatin1Char(' ')); blanks > 0; --blanks)
        UserMessages::show(this, QStringLiteral("No Spaces"));
}

void DepartmentsDialog::on_pushButton_Add_clicked()
{
    const QString name = ui->lineEdit_Add->text();
    if (name.isEmpty()) {
        UserMessages::show(this, QStringLiteral("No department entered"));
        return;
    }
    requestAddDepartment(name);
}

void DepartmentsDialog::on_pushButton_Remove_clicked()
{
    const QString name = ui->comboBox_Remove->currentText();
    if (name.isEmpty()) {
        UserMessages::show(this, QStringLiteral("No department selected"));
        return;
    }
    if (UserMessages::ask(this, QStringLiteral("Are you sure you would like to remove: ") + name,
                          QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::No)
        return;
    requestRemoveDepartment(name);
}

void DepartmentsDialog::on_pushButton_Back_clicked()
{
    link->close();
    close();
}

void DepartmentsDialog::requestDepartments()
{
    link->send(wire::frame(Command::GetDepartments));
}

void DepartmentsDialog::requestAddDepartment(const QString &name)
{
    link->send(wire::frame(Command::AddDepartment, name));
}

void DepartmentsDialog::requestRemoveDepartment(const QString &name)
{
    link->send(wire::frame(Command::RemoveDepartment, name));
}
