#include "ferchecksdialog.h"
#include "ui_ferchecksdialog.h"

FerChecksDialog::FerChecksDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::FerChecksDialog)
{
    ui->setupUi(this);
}

FerChecksDialog::~FerChecksDialog()
{
    delete ui;
}
