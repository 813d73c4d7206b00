#pragma once

#include <QDialog>

namespace Ui {
class CRMDialog;
}

// Placeholder: the screen is being built.
class CRMDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CRMDialog(QWidget *parent = nullptr);
    ~CRMDialog() override;

private:
    Ui::CRMDialog *ui;
};
