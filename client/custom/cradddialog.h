#pragma once

#include <QDialog>

namespace Ui {
class CRAddDialog;
}

// Placeholder: the screen is being built.
class CRAddDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CRAddDialog(QWidget *parent = nullptr);
    ~CRAddDialog() override;

private:
    Ui::CRAddDialog *ui;
};
