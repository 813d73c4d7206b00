#pragma once

#include <QDialog>

namespace Ui {
class FerAddDialog;
}

// Placeholder: the screen is being built.
class FerAddDialog : public QDialog
{
    Q_OBJECT

public:
    explicit FerAddDialog(QWidget *parent = nullptr);
    ~FerAddDialog() override;

private:
    Ui::FerAddDialog *ui;
};
