#pragma once

#include <QMainWindow>

#include "core/navigation.h"

namespace Ui {
class MainWindow;
}
class ServerLink;

// The window a worker sees after logging in: who is logged in and whether
// they are clocked in, the work-type choice, and the entry points to every
// other screen, offered by permission level.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

private slots:
    void on_pushButton_Next_clicked();
    void on_pushButton_Continue_clicked();
    void on_pushButton_Orders_clicked();
    void on_pushButton_Management_clicked();
    void on_pushButton_Continue_Custom_clicked();
    void on_pushButton_LogOut_clicked();
    void on_pushButton_Clock_clicked();

private:
    void onConnected();
    enum class LinkWhileOpen { Closed, KeptOpen };

    void handleReplies();
    void logIn();
    void applyPermissions(const QString &level);
    void applyClockStatus(const QString &state);
    void refreshUserLabel();
    void continueOrder(int status);
    // Hides this window while the child runs; a closed link is reopened
    // afterwards, which refreshes permissions, order count and clock state.
    void runChildScreen(ScreenKind screen, LinkWhileOpen link, const QString &workType = QString());
    void forgetFlowState();

    void requestWork();
    void requestPermissions();
    void requestNumberOfOrders();
    void requestClockStatus();

    Ui::MainWindow *ui;
    ServerLink *link;
    QString clockStatus;
};
