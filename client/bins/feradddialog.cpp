#include "feradddialog.h"
#include "ui_feradddialog.h"

FerAddDialog::FerAddDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::FerAddDialog)
{
    ui->setupUi(this);
}

FerAddDialog::~FerAddDialog()
{
    delete ui;
}
