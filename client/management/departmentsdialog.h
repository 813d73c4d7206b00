#pragma once

#include <QDialog>

namespace Ui {
class DepartmentsDialog;
}
class ServerLink;

// The department names the user forms offer: add one by name, or remove
// one chosen from the list after a question. Blanks in a new name are
// warned about, not refused.
class DepartmentsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit DepartmentsDialog(QWidget *parent = nullptr);
    ~DepartmentsDialog() override;

private slots:
    void on_lineEdit_Add_textChanged(const QString &text);
    void on_pushButton_Add_clicked();
    void on_pushButton_Remove_clicked();
    void on_pushButton_Back_clicked();

private:
    void handleReplies();
    void showDepartments(const QStringList &names);

    void requestDepartments();
    void requestAddDepartment(const QString &name);
    void requestRemoveDepartment(const QString &name);

    Ui::DepartmentsDialog *ui;
    ServerLink *link;
};
