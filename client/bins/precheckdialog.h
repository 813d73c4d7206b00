#pragma once

#include <QDialog>

namespace Ui {
class PreCheckDialog;
}

// Placeholder: the screen is being built.
class PreCheckDialog : public QDialog
{
    Q_OBJECT

public:
    explicit PreCheckDialog(QWidget *parent = nullptr);
    ~PreCheckDialog() override;

private:
    Ui::PreCheckDialog *ui;
};
