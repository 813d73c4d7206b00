#pragma once

#include <QDialog>
#include <QMessageBox>

namespace Ui {
class UserAdminDialog;
}
class QCheckBox;
class QLineEdit;
class ServerLink;

// The shop's user accounts: add one, edit a user's names, department and
// level, remove (deactivate) a user, re-activate a removed one, or reset a
// password. One of five mode boxes chooses the operation and enables the
// fields it uses; Submit checks the fields, asks, and sends one request.
// A new account's password travels as typed, a reset one as its digest.
class UserAdminDialog : public QDialog
{
    Q_OBJECT

public:
    explicit UserAdminDialog(QWidget *parent = nullptr);
    ~UserAdminDialog() override;

private slots:
    void on_checkBox_Add_clicked();
    void on_checkBox_Edit_clicked();
    void on_checkBox_Remove_clicked();
    void on_pushButton_Submit_clicked();
    void on_listWidget_Users_clicked();
    void on_lineEdit_UserName_textChanged(const QString &text);
    void on_lineEdit_Password_textChanged(const QString &text);
    void on_lineEdit_RePassword_textChanged(const QString &text);
    void on_lineEdit_FirstName_textChanged(const QString &text);
    void on_lineEdit_LastName_textChanged(const QString &text);
    void on_pushButton_Back_clicked();
    void on_checkBox_ReActivate_clicked();
    void on_checkBox_ResetPassword_clicked();

private:
    // Which parts of the form a mode lets the user change.
    struct FormFields
    {
        bool userList;
        bool userName;
        bool passwords;
        bool names;
        bool choices;
    };

    void handleReplies();
    void showUserList(const QStringList &names);
    void showUser(const QString &userName, const QString &firstName, const QString &lastName, const QString &department,
                  const QString &permissionCode);
    void userAdded(const QString &result);

    // Unticks the other mode box that is ticked, then sets the form.
    void chooseMode(QCheckBox *clicked, const FormFields &fields);
    QList<QCheckBox *> modeBoxes() const;
    QList<QLineEdit *> lineEdits() const;
    void clearLineEdits();
    void checkLength(const QString &text, const QString &messagePrefix);
    // Says what is wrong with the fields, if anything.
    bool fieldsAreValid();
    bool confirmed(const QString &question, QMessageBox::StandardButton defaultButton);
    QString permissionCode() const;

    void requestUpdateUserList();
    void requestFullUserList();
    void requestAddUser();
    void requestEditUser();
    void requestRemoveUser();
    void requestReActivateUser();
    void requestResetUserPassword();

    Ui::UserAdminDialog *ui;
    ServerLink *link;
};
