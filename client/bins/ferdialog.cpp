#include "ferdialog.h"
#include "ui_ferdialog.h"

FERDialog::FERDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::FERDialog)
{
    ui->setupUi(this);
}

FERDialog::~FERDialog()
{
    delete ui;
}
