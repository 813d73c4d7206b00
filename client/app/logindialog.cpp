#include "logindialog.h"
#include "ui_logindialog.h"

#include "core/appstate.h"
#include "core/serverlink.h"
#include "core/usermessages.h"
#include "wire/commands.h"
#include "wire/frame.h"
#include "wire/passworddigest.h"
#include "wire/replytags.h"

LoginDialog::LoginDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::LoginDialog)
{
    ui->setupUi(this);
    showMaximized();
}

LoginDialog::~LoginDialog()
{
    delete ui;
}

ServerLink *LoginDialog::openLink()
{
    auto *link = new ServerLink(this, ServerLink::AfterLoss::ReleaseLink, QString());
    link->replies()
        .on(ReplyTag::Success,
            [this, link]() {
                AppState &state = AppState::instance();
                state.setUser(typedUserName, typedPasswordHash);
                state.setLoggedIn(true);
                link->close();
                close();
            })
        .on(ReplyTag::Wrong, [this, link]() { refuse(link, QStringLiteral("Wrong UserName or Password")); })
        .otherwise([this, link]() { refuse(link, QStringLiteral("Error")); });
    link->whenConnected([this, link]() {
        typedUserName = ui->lineEdit_UserName->text();
        typedPasswordHash = wire::passwordDigest(ui->lineEdit_Password->text());
        link->send(wire::frame(Command::Login, typedUserName, typedPasswordHash));
    });
    link->open();
    return link;
}

void LoginDialog::refuse(ServerLink *link, const QString &message)
{
    AppState::instance().setLoggedIn(false);
    ui->lineEdit_Password->clear();
    UserMessages::show(this, message);
    // The link stays attached: the server's hang-up shows "Disconnected"
    // and releases it, and the dialog waits for another try.
    link->hangUp();
}

void LoginDialog::on_pushButton_Login_clicked()
{
    openLink();
}

void LoginDialog::on_pushButton_Cancel_clicked()
{
    ProgramExit::exit(0);
}
