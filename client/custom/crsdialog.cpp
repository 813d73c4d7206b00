#include "crsdialog.h"
#include "ui_crsdialog.h"

CRSDialog::CRSDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::CRSDialog)
{
    ui->setupUi(this);
}

CRSDialog::~CRSDialog()
{
    delete ui;
}
