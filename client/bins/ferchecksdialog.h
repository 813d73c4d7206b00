#pragma once

#include <QDialog>

namespace Ui {
class FerChecksDialog;
}

// Placeholder: the screen is being built.
class FerChecksDialog : public QDialog
{
    Q_OBJECT

public:
    explicit FerChecksDialog(QWidget *parent = nullptr);
    ~FerChecksDialog() override;

private:
    Ui::FerChecksDialog *ui;
};
