#pragma once

#include <QDialog>

namespace Ui {
class FerDialog1;
}

// Placeholder: the screen is being built.
class FerDialog1 : public QDialog
{
    Q_OBJECT

public:
    explicit FerDialog1(QWidget *parent = nullptr);
    ~FerDialog1() override;

private:
    Ui::FerDialog1 *ui;
};
