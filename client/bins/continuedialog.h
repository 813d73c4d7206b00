#pragma once

#include <QDialog>

namespace Ui {
class ContinueDialog;
}

// Placeholder: the screen is being built.
class ContinueDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ContinueDialog(QWidget *parent = nullptr);
    ~ContinueDialog() override;

private:
    Ui::ContinueDialog *ui;
};
