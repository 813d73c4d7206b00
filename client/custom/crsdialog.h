#pragma once

#include <QDialog>

namespace Ui {
class CRSDialog;
}

// Placeholder: the screen is being built.
class CRSDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CRSDialog(QWidget *parent = nullptr);
    ~CRSDialog() override;

private:
    Ui::CRSDialog *ui;
};
