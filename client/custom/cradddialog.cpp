#include "cradddialog.h"
#include "ui_cradddialog.h"

CRAddDialog::CRAddDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::CRAddDialog)
{
    ui->setupUi(this);
}

CRAddDialog::~CRAddDialog()
{
    delete ui;
}
