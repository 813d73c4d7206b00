#include "continuedialog.h"
#include "ui_continuedialog.h"

ContinueDialog::ContinueDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::ContinueDialog)
{
    ui->setupUi(this);
}

ContinueDialog::~ContinueDialog()
{
    delete ui;
}
