#include "ferdialog1.h"
#include "ui_ferdialog1.h"

FerDialog1::FerDialog1(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::FerDialog1)
{
    ui->setupUi(this);
}

FerDialog1::~FerDialog1()
{
    delete ui;
}
