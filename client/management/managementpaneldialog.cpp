#include "managementpaneldialog.h"
#include "ui_managementpaneldialog.h"

ManagementPanelDialog::ManagementPanelDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::ManagementPanelDialog)
{
    ui->setupUi(this);
}

ManagementPanelDialog::~ManagementPanelDialog()
{
    delete ui;
}
