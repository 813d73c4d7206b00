#pragma once

#include <QDialog>

namespace Ui {
class LoginDialog;
}
class ServerLink;

// Asks for a user name and password and has the server check them; the
// password travels only as its digest. On success the user is recorded in
// AppState and the dialog closes.
class LoginDialog : public QDialog
{
    Q_OBJECT

public:
    explicit LoginDialog(QWidget *parent = nullptr);
    ~LoginDialog() override;

private slots:
    void on_pushButton_Login_clicked();
    void on_pushButton_Cancel_clicked();

private:
    // Each press of Login opens a further link of its own.
    ServerLink *openLink();
    void refuse(ServerLink *link, const QString &message);

    Ui::LoginDialog *ui;
    QString typedUserName;
    QString typedPasswordHash;
};
