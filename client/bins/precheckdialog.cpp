#include "precheckdialog.h"
#include "ui_precheckdialog.h"

PreCheckDialog::PreCheckDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::PreCheckDialog)
{
    ui->setupUi(this);
}

PreCheckDialog::~PreCheckDialog()
{
    delete ui;
}
