#include "crmdialog.h"
#include "ui_crmdialog.h"

CRMDialog::CRMDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::CRMDialog)
{
    ui->setupUi(this);
}

CRMDialog::~CRMDialog()
{
    delete ui;
}
