#include "useradmindialog.h"
#include "ui_useradmindialog.h"

#include "core/serverlink.h"
#include "core/usermessages.h"
#include "wire/commands.h"
#include "wire/frame.h"
#include "wire/passworddigest.h"
#include "wire/permissionlevel.h"
#include "wire/replytags.h"
#include "wire/textlimits.h"

namespace {

// The permissions items, in order, stand for the levels from Standard up.
const QStringList PermissionTexts{QStringLiteral("Standard"), QStringLiteral("Management"), QStringLiteral("Office")};

} // namespace

UserAdminDialog::UserAdminDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::UserAdminDialog)
    , link(new ServerLink(this, ServerLink::AfterLoss::ExitProgram, QStringLiteral("Error: ")))
{
    ui->setupUi(this);
    showMaximized();
    ui->listWidget_Users->setEnabled(false);
    for (QLineEdit *field : lineEdits())
        field->setEnabled(false);
    ui->comboBox_Department->setEnabled(false);
    ui->comboBox_Permissions->setEnabled(false);
    ui->comboBox_Permissions->addItems(PermissionTexts);
    handleReplies();
    link->whenConnected([this]() { link->send(wire::frame(Command::UserFormStartUp)); });
    link->open();
}

UserAdminDialog::~UserAdminDialog()
{
    delete ui;
}

void UserAdminDialog::handleReplies()
{
    link->replies()
        .on(ReplyTag::UserFormStartUp,
            [this](const QStringList &departments, const QStringList &names) {
                ui->comboBox_Department->addItems(departments);
                ui->listWidget_Users->addItems(names);
            })
        .on(ReplyTag::UpdateUserList, [this](const QStringList &names) { showUserList(names); })
        .on(ReplyTag::GetFullUserList, [this](const QStringList &names) { showUserList(names); })
        .on(ReplyTag::GetUserInfo,
            [this](const QString &userName, const QString &firstName, const QString &lastName,
                   const QString &department, const QString &permissionCode) {
                showUser(userName, firstName, lastName, department, permissionCode);
            })
        .on(ReplyTag::AddUser, [this](const QString &result) { userAdded(result); })
        .on(ReplyTag::EditUser,
            [this]() {
                clearLineEdits();
                UserMessages::show(this, QStringLiteral("User Successfully Edited"));
                requestUpdateUserList();
            })
        .on(ReplyTag::RemoveUser,
            [this]() {
                UserMessages::show(this, QStringLiteral("User Successfully Removed"));
                requestUpdateUserList();
            })
        .on(ReplyTag::ReActivateUser,
            [this]() {
                UserMessages::show(this, QStringLiteral("User Re-Activated"));
                requestFullUserList();
            })
        .on(ReplyTag::ResetUserPassword,
            [this]() {
                UserMessages::show(this, QStringLiteral("Password has been changed"));
                requestUpdateUserList();
            })
        .otherwise([this]() { UserMessages::show(this, QStringLiteral("Error")); });
}

void UserAdminDialog::showUserList(const QStringList &names)
{
    ui->listWidget_Users->clear();
    ui->listWidget_Users->addItems(names);
}

// A department the combo does not offer leaves none selected; an unknown
// level keeps the permissions item as it was.
void UserAdminDialog::showUser(const QString &userName, const QString &firstName, const QString &lastName,
                               const QString &department, const QString &permissionCode)
{
    clearLineEdits();
    ui->lineEdit_UserName->setText(userName);
    ui->lineEdit_FirstName->setText(firstName);
    ui->lineEdit_LastName->setText(lastName);
    ui->comboBox_Department->setCurrentIndex(ui->comboBox_Department->findText(department));
    bool isNumber = false;
    const int level = permissionCode.toInt(&isNumber);
    if (!isNumber || !PermissionLevel::isValid(level)) {
        UserMessages::show(this, QStringLiteral("Error"));
        return;
    }
    ui->comboBox_Permissions->setCurrentIndex(level - PermissionLevel::Standard);
}

void UserAdminDialog::userAdded(const QString &result)
{
    clearLineEdits();
    UserMessages::show(this, result == AddUserResult::UserAdded ? QStringLiteral("User Succesfully Added")
                                                                : QStringLiteral("User Already in DB"));
}

QList<QCheckBox *> UserAdminDialog::modeBoxes() const
{
    return {ui->checkBox_Add, ui->checkBox_Edit, ui->checkBox_Remove, ui->checkBox_ReActivate,
            ui->checkBox_ResetPassword};
}

QList<QLineEdit *> UserAdminDialog::lineEdits() const
{
    return {ui->lineEdit_UserName, ui->lineEdit_Password, ui->lineEdit_RePassword, ui->lineEdit_FirstName,
            ui->lineEdit_LastName};
}

void UserAdminDialog::clearLineEdits()
{
    for (QLineEdit *field : lineEdits())
        field->clear();
}

// The five boxes act as one choice. The form follows the clicked box
// whether the click ticked or unticked it.
void UserAdminDialog::chooseMode(QCheckBox *clicked, const FormFields &fields)
{
    for (QCheckBox *box : modeBoxes()) {
        if (box != clicked && box->isChecked()) {
            box->setChecked(false);
            break;
        }
    }
    ui->listWidget_Users->setEnabled(fields.userList);
    ui->lineEdit_UserName->setEnabled(fields.userName);
    ui->lineEdit_Password->setEnabled(fields.passwords);
    ui->lineEdit_RePassword->setEnabled(fields.passwords);
    ui->lineEdit_FirstName->setEnabled(fields.names);
    ui->lineEdit_LastName->setEnabled(fields.names);
    ui->comboBox_Department->setEnabled(fields.choices);
    ui->comboBox_Permissions->setEnabled(fields.choices);
}

void UserAdminDialog::on_checkBox_Add_clicked()
{
    chooseMode(ui->checkBox_Add, {false, true, true, true, true});
    clearLineEdits();
    requestUpdateUserList();
}

void UserAdminDialog::on_checkBox_Edit_clicked()
{
    chooseMode(ui->checkBox_Edit, {true, false, false, true, true});
    requestUpdateUserList();
}

void UserAdminDialog::on_checkBox_Remove_clicked()
{
    chooseMode(ui->checkBox_Remove, {true, false, false, false, false});
    requestUpdateUserList();
}

// Re-Activate and Reset Password stay ticked however often they are clicked.
void UserAdminDialog::on_checkBox_ReActivate_clicked()
{
    ui->checkBox_ReActivate->setChecked(true);
    chooseMode(ui->checkBox_ReActivate, {true, false, false, false, false});
    requestFullUserList();
}

void UserAdminDialog::on_checkBox_ResetPassword_clicked()
{
    ui->checkBox_ResetPassword->setChecked(true);
    chooseMode(ui->checkBox_ResetPassword, {true, false, true, false, false});
    requestUpdateUserList();
}

void UserAdminDialog::on_listWidget_Users_clicked()
{
    if (const QListWidgetItem *user = ui->listWidget_Users->currentItem())
        link->send(wire::frame(Command::GetUserInfo, user->text()));
}

// Over the limit Submit is off; a field back within it turns Submit on
// again, whatever the other fields hold.
void UserAdminDialog::checkLength(const QString &text, const QString &messagePrefix)
{
    const bool tooLong = text.size() > Limits::NameLength;
    ui->pushButton_Submit->setEnabled(!tooLong);
    if (tooLong)
        UserMessages::show(this, messagePrefix + QString::number(text.size()) + QLatin1Char('/')
                                     + QString::number(Limits::NameLength));
}

void UserAdminDialog::on_lineEdit_UserName_textChanged(const QString &text)
{
    checkLength(text, QStringLiteral("UserName length is too long: "));
}

void UserAdminDialog::on_lineEdit_Password_textChanged(const QString &text)
{
    checkLength(text, QStringLiteral("Password length is too long: "));
}

void UserAdminDialog::on_lineEdit_RePassword_textChanged(const QString &text)
{
    checkLength(text, QStringLiteral("RePassword length is too long: "));
}

void UserAdminDialog::on_lineEdit_FirstName_textChanged(const QString &text)
{
    checkLength(text, QStringLiteral("FirstName length is too long: "));
}

void UserAdminDialog::on_lineEdit_LastName_textChanged(const QString &text)
{
    checkLength(text, QStringLiteral("LastName length is too long: "));
}

// A new or reset password must be typed twice alike: one typo would lock
// the user out. Edit, Remove and Re-Activate do not use the passwords.
bool UserAdminDialog::fieldsAreValid()
{
    const auto refuse = [this](const QString &message) {
        UserMessages::show(this, message);
        return false;
    };
    const bool passwordsMatch = ui->lineEdit_Password->text() == ui->lineEdit_RePassword->text();
    if (ui->lineEdit_UserName->text().isEmpty())
        return refuse(QStringLiteral("UserName is required"));
    if (ui->checkBox_Add->isChecked() || ui->checkBox_ResetPassword->isChecked()) {
        if (ui->lineEdit_Password->text().isEmpty())
            return refuse(QStringLiteral("RePassword is required"));
        if (!passwordsMatch)
            return refuse(QStringLiteral("Passwords to not match"));
        return true;
    }
    if (!passwordsMatch) {
        const bool passwordsUnused = ui->checkBox_Edit->isChecked() || ui->checkBox_Remove->isChecked()
                                     || ui->checkBox_ReActivate->isChecked();
        return passwordsUnused || refuse(QStringLiteral("Passwords to not match"));
    }
    if (ui->lineEdit_FirstName->text().isEmpty())
        return refuse(QStringLiteral("FirstName is required"));
    if (ui->lineEdit_LastName->text().isEmpty())
        return refuse(QStringLiteral("LastName is required"));
    return true;
}

bool UserAdminDialog::confirmed(const QString &question, QMessageBox::StandardButton defaultButton)
{
    return UserMessages::ask(this, question, QMessageBox::Yes | QMessageBox::Cancel, defaultButton) == QMessageBox::Yes;
}

void UserAdminDialog::on_pushButton_Submit_clicked()
{
    if (!fieldsAreValid())
        return;
    const QString userName = ui->lineEdit_UserName->text();
    const QString details = userName + QLatin1Char(' ') + ui->lineEdit_FirstName->text() + QLatin1Char(' ')
                            + ui->lineEdit_LastName->text() + QLatin1Char(' ') + ui->comboBox_Department->currentText()
                            + QLatin1Char(' ') + ui->comboBox_Permissions->currentText() + QLatin1Char('?');
    if (ui->checkBox_Add->isChecked()) {
        if (confirmed(QStringLiteral("Are you sure you would like to add: ") + details, QMessageBox::Yes))
            requestAddUser();
    } else if (ui->checkBox_Edit->isChecked()) {
        if (confirmed(QStringLiteral("Are you sure you would like to edit: ") + details, QMessageBox::Cancel))
            requestEditUser();
    } else if (ui->checkBox_Remove->isChecked()) {
        if (confirmed(QStringLiteral("Are you sure you want to remove: ") + userName + QLatin1Char('?'),
                      QMessageBox::Cancel))
            requestRemoveUser();
    } else if (ui->checkBox_ReActivate->isChecked()) {
        if (confirmed(QStringLiteral("Are you sure you want to Re-Activate: ") + userName + QLatin1Char('?'),
                      QMessageBox::Cancel))
            requestReActivateUser();
    } else if (ui->checkBox_ResetPassword->isChecked()) {
        if (confirmed(QStringLiteral("Are you sure you would like to reset the password for: ") + userName
                          + QLatin1Char('?'),
                      QMessageBox::Cancel))
            requestResetUserPassword();
    } else {
        UserMessages::show(this, QStringLiteral("Error"));
    }
}

void UserAdminDialog::on_pushButton_Back_clicked()
{
    link->close();
    close();
}

QString UserAdminDialog::permissionCode() const
{
    return QString::number(PermissionLevel::Standard + ui->comboBox_Permissions->currentIndex());
}

void UserAdminDialog::requestUpdateUserList()
{
    link->send(wire::frame(Command::UpdateUserList));
}

void UserAdminDialog::requestFullUserList()
{
    link->send(wire::frame(Command::GetFullUserList));
}

// The server keeps only a hash of the password's digest; it is sent as typed.
void UserAdminDialog::requestAddUser()
{
    link->send(wire::frame(Command::AddUser, ui->lineEdit_UserName->text(), ui->lineEdit_Password->text(),
                           ui->lineEdit_FirstName->text(), ui->lineEdit_LastName->text(),
                           ui->comboBox_Department->currentText(), permissionCode()));
}

// An empty password keeps the user's current one.
void UserAdminDialog::requestEditUser()
{
    link->send(wire::frame(Command::EditUser, ui->lineEdit_UserName->text(), ui->lineEdit_Password->text(),
                           ui->lineEdit_FirstName->text(), ui->lineEdit_LastName->text(),
                           ui->comboBox_Department->currentText(), permissionCode()));
}

void UserAdminDialog::requestRemoveUser()
{
    link->send(wire::frame(Command::RemoveUserInfo, ui->lineEdit_UserName->text()));
}

void UserAdminDialog::requestReActivateUser()
{
    link->send(wire::frame(Command::ReActivateUser, ui->lineEdit_UserName->text()));
}

void UserAdminDialog::requestResetUserPassword()
{
    link->send(wire::frame(Command::ResetUserPassword, ui->lineEdit_UserName->text(),
                           wire::passwordDigest(ui->lineEdit_Password->text())));
}
