#pragma once

#include <QDialog>

namespace Ui {
class FERDialog;
}

// Placeholder: the screen is being built.
class FERDialog : public QDialog
{
    Q_OBJECT

public:
    explicit FERDialog(QWidget *parent = nullptr);
    ~FERDialog() override;

private:
    Ui::FERDialog *ui;
};
