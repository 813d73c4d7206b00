#pragma once

#include <QDialog>

namespace Ui {
class ListOrdersDialog;
}

// Placeholder: the screen is being built.
class ListOrdersDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ListOrdersDialog(QWidget *parent = nullptr);
    ~ListOrdersDialog() override;

private:
    Ui::ListOrdersDialog *ui;
};
