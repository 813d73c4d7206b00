#pragma once

#include <QDialog>

namespace Ui {
class CustomJobStartDialog;
}
class QLineEdit;
class ServerLink;

// Opens a new custom job: work for a named customer that is not tied to a
// bin. The worker enters who does the job, what kind of job it is, the
// customer and optional contact details; once the server has registered
// the job, its repair sheet takes over.
class CustomJobStartDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CustomJobStartDialog(QWidget *parent = nullptr);
    ~CustomJobStartDialog() override;

private slots:
    void on_pushButton_Cancel_clicked();
    void on_pushButton_Next_clicked();
    void on_lineEdit_Worker_textChanged();
    void on_lineEdit_JobType_textChanged();
    void on_lineEdit_Customer_textChanged();

private:
    void handleReplies();
    // The first required field left empty, by its message; empty when all are given.
    QString missingField() const;
    void storeJob();
    void requestStart();

    Ui::CustomJobStartDialog *ui;
    ServerLink *link;
};
