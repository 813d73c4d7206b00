#pragma once

#include <QDialog>

namespace Ui {
class ManagementPanelDialog;
}

// Placeholder: the screen is being built.
class ManagementPanelDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ManagementPanelDialog(QWidget *parent = nullptr);
    ~ManagementPanelDialog() override;

private:
    Ui::ManagementPanelDialog *ui;
};
