#pragma once

#include <QDialog>

namespace Ui {
class ManagementPanelDialog;
}
class ServerLink;

// The managers' hub: how many finished bin and custom orders wait for
// confirmation, and one button per management screen. The panel hides
// while the chosen screen runs and closes when it returns, so control
// always falls back to the main window.
class ManagementPanelDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ManagementPanelDialog(QWidget *parent = nullptr);
    ~ManagementPanelDialog() override;

private slots:
    void on_pushButton_ConfirmOrders_clicked();
    void on_pushButton_View_clicked();
    void on_pushButton_Back_clicked();
    void on_pushButton_TimeStamp_clicked();
    void on_pushButton_RepairCodes_clicked();
    void on_pushButton_EditUsers_clicked();
    void on_pushButton_Departments_clicked();

private:
    void handleReplies();
    void requestNumberWorkToConfirm();

    Ui::ManagementPanelDialog *ui;
    ServerLink *link;
};
