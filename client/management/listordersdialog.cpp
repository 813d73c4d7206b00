#include "listordersdialog.h"
#include "ui_listordersdialog.h"

ListOrdersDialog::ListOrdersDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::ListOrdersDialog)
{
    ui->setupUi(this);
}

ListOrdersDialog::~ListOrdersDialog()
{
    delete ui;
}
